#include "app/workbench.h"

#include "language/key_file.h"

#include <algorithm>
#include <system_error>

#include "app/editor_profiles.h"

namespace quillon::app {

Workbench::Workbench(Ports ports)
    : ui_(ports.ui),
      view_(ports.view),
      states_(ports.states),
      clipboard_(ports.clipboard),
      options_(ports.ui, ports.view, ports.states, sourceEditor_),
      status_(ports.ui, ports.view, ports.states, sourceEditor_, ports.keyboard),
      editing_(ports.ui, sourceEditor_, gutter_),
      documents_({ports.ui, ports.view, ports.states, sourceEditor_, errorView_, pageBookmarks_, windowList_}) {
  applySourceEditorProfile(sourceEditor_);
  applyErrorViewProfile(errorView_);
  // Highlighting waits for the end of start-up, as the form has it off.
  highlighting_.setApplyKeyWords(false);
  highlighting_.setApplyStartStopKeys(false);
  options_.attachHighlighting(highlighting_, numbers_);
  sourceEditor_.onSelMove = [this] { status_.caretMoved(); };

  editing_.onCaptionsChanged = [this](int slot) {
    view_.setBookmarkCaption(slot, editing_.captions()[static_cast<std::size_t>(slot)]);
  };
  editing_.nextPage = [this] { documents_.nextPage(); };
  editing_.previousPage = [this] { documents_.previousPage(); };
  editing_.refreshWindowList = [this] { documents_.refreshWindowList(); };
  editing_.toggleInsertMode = [this] { status_.toggleMode(); };
  editing_.onParenthesisCountChanged = [this](int count) { status_.setOpenParenCount(count); };

  documents_.hooks.addRecentFile = [this](const std::string& path) { recentFiles_.add(path); };
  documents_.hooks.reApplyKeywords = [this] { highlighting_.reApplyKeywords(); };
  documents_.hooks.pageAdded = [this] { editing_.resetParenthesisCount(); };
}

Workbench::~Workbench() { sourceEditor_.onSelMove = nullptr; }

void Workbench::start(const std::filesystem::path& programFile, const std::vector<std::string>& arguments) {
  std::error_code ec;
  std::filesystem::path program = std::filesystem::absolute(programFile, ec);
  if (ec) program = programFile;
  programFolder_ = program.parent_path() / "";
  documents_.setProgramFolder(programFolder_);
  if (documents_.projectFolder().empty()) documents_.setProjectFolder(programFolder_);

  for (Command c : {Command::bSave, Command::bCompile, Command::Compile1, Command::bLink, Command::Link1,
                    Command::bUndo, Command::Undo1, Command::bRedo, Command::Redo1, Command::bCut, Command::Cut1,
                    Command::bCopy, Command::Copy1, Command::bAgain, Command::FindNext1, Command::Revert1,
                    Command::bPreview, Command::bPrint})
    states_.setEnabled(c, false);
  states_.setChecked(Command::bError, Command::ShowErrors1, false);
  options_.initialize();
  loadWordLists(program);

  // The gutter and the error view follow the source editor's font and colour.
  view_.setEditorFont(options_.font());
  view_.setEditorBackground(options_.background());

  documents_.startUp();

  status_.showLockKeys();
  status_.showMode();
  options_.refreshHighlighting();
  status_.showStartCaret();

  documents_.setCommandLineFile(arguments.empty() ? std::string() : arguments.front());
  if (!documents_.commandLineFile().empty()) documents_.open(DocumentCommands::Opener::Dialog);

  ui_.processPendingMessages();
  if (states_.checked(Command::SyntaxHighlighting1)) {
    options_.applyHighlighting(true);
    options_.refreshHighlighting();  // what was painted before was scanned with highlighting off
  }
}

// The key file beside the program fills the highlighter's lists; the sorted copy feeds the
// context list.
void Workbench::loadWordLists(const std::filesystem::path& program) {
  std::filesystem::path defaultKeyFile = program;
  defaultKeyFile.replace_extension(".bin");
  std::filesystem::path keyFile = defaultKeyFile;
  language::loadKeyFile(keyFile, defaultKeyFile, highlighting_.keywords(), highlighting_.startStopKeys(), ui_);
  keyList_ = language::buildKeyList(highlighting_.keywords());
  highlighting_.reApplyKeywords();
}

bool Workbench::closeQuery() {
  if (!documents_.confirmClose()) return false;
  ui_.processPendingMessages();
  return true;
}

void Workbench::lockKeyPressed() { status_.showLockKeys(); }

void Workbench::anotherCopyStarted() {
  view_.bringToFront();
  ui_.showMessage("Quillon Is Running....Use Drag-N-Drop");
}

void Workbench::undo() { sourceEditor_.undo(); }
void Workbench::redo() { sourceEditor_.redo(); }
void Workbench::cut() { clipboard_.cut(); }
void Workbench::copy() { clipboard_.copy(); }

void Workbench::paste() {
  if (view_.editorHasFocus()) clipboard_.paste();
}

void Workbench::selectAll() {
  sourceEditor_.selectAll();
  states_.setEnabled(Command::bCut, Command::Cut1, true);
  states_.setEnabled(Command::bCopy, Command::Copy1, true);
}

}  // namespace quillon::app

#include "app/workbench.h"

#include "language/key_file.h"

#include <algorithm>
#include <system_error>

#include "app/editor_profiles.h"

namespace quillon::app {

namespace {

constexpr const char* kUntitled = "Untitled";

std::string lowerExtension(const std::filesystem::path& path) {
  std::string ext = path.extension().string();
  if (!ext.empty()) ext.erase(0, 1);
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : static_cast<char>(c); });
  return ext;
}

}  // namespace

Workbench::Workbench(Ports ports)
    : ui_(ports.ui),
      view_(ports.view),
      states_(ports.states),
      clipboard_(ports.clipboard),
      options_(ports.ui, ports.view, ports.states, sourceEditor_),
      status_(ports.ui, ports.view, ports.states, sourceEditor_, ports.keyboard) {
  applySourceEditorProfile(sourceEditor_);
  applyErrorViewProfile(errorView_);
  // Highlighting waits for the end of start-up, as the form has it off.
  highlighting_.setApplyKeyWords(false);
  highlighting_.setApplyStartStopKeys(false);
  options_.attachHighlighting(highlighting_, numbers_);
  sourceEditor_.onChange = [this] { textChanged(); };
  sourceEditor_.onSelMove = [this] { status_.caretMoved(); };
}

Workbench::~Workbench() {
  sourceEditor_.onChange = nullptr;
  sourceEditor_.onSelMove = nullptr;
}

void Workbench::start(const std::filesystem::path& programFile, const std::vector<std::string>& arguments) {
  std::error_code ec;
  std::filesystem::path program = std::filesystem::absolute(programFile, ec);
  if (ec) program = programFile;
  programFolder_ = program.parent_path() / "";

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

  setCurrentFile(kUntitled);
  currentExt_ = "mb";
  view_.setTabCaption(0, kUntitled);
  sourceEditor_.setModified(false);
  states_.setEnabled(Command::bSave, false);

  status_.showLockKeys();
  status_.showMode();
  options_.refreshHighlighting();
  status_.showStartCaret();

  commandLineFile_.clear();
  if (!arguments.empty()) commandLineFile_ = arguments.front();
  if (!commandLineFile_.empty()) openCommandLineFile();

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

// Stands in for Open until the document commands exist: loads the file into the one page.
void Workbench::openCommandLineFile() {
  const std::filesystem::path path = commandLineFile_;
  commandLineFile_.clear();
  sourceEditor_.onChange = nullptr;
  bool loaded = true;
  try {
    sourceEditor_.loadFromFile(path);
  } catch (const std::exception&) {
    loaded = false;
  }
  // Highlighting waits for the end of start-up, as the form has it off.
  highlighting_.setApplyKeyWords(false);
  highlighting_.setApplyStartStopKeys(false);
  options_.attachHighlighting(highlighting_, numbers_);
  sourceEditor_.onChange = [this] { textChanged(); };
  if (!loaded) {
    sourceEditor_.clear();
    sourceEditor_.setModified(false);
    ui_.showMessage("Cannot open file " + path.string());
    return;
  }
  sourceEditor_.setModified(false);
  states_.setEnabled(Command::bUndo, Command::Undo1, false);
  states_.setEnabled(Command::bRedo, Command::Redo1, false);
  setCurrentFile(path.string());
  currentExt_ = lowerExtension(path);
  const std::string caption = path.filename().string();
  view_.setTabCaption(0, caption);
  const bool hasText = sourceEditor_.charCount() > 0;
  states_.setEnabled(Command::bPreview, hasText);
  states_.setEnabled(Command::bPrint, hasText);
  ui_.setStatusText(StatusPresenter::kMessagePanel, "LOADED: " + caption);
  if (currentExt_ == "mb") {
    states_.setEnabled(Command::bCompile, Command::Compile1, true);
    states_.setEnabled(Command::bLink, Command::Link1, false);
  } else if (currentExt_ == "mbp") {
    states_.setEnabled(Command::bCompile, Command::Compile1, false);
    states_.setEnabled(Command::bLink, Command::Link1, true);
  }
}

void Workbench::setCurrentFile(const std::string& name) {
  currentFile_ = name;
  const std::string shown = name.empty() ? std::string(kUntitled) : std::filesystem::path(name).filename().string();
  view_.setCaption("Quillon - " + shown);
}

void Workbench::textChanged() {
  states_.setEnabled(Command::bUndo, Command::Undo1, sourceEditor_.canUndo());
  states_.setEnabled(Command::bRedo, Command::Redo1, sourceEditor_.canRedo());
  // A page whose text was deleted completely counts as unmodified.
  const bool hasText = sourceEditor_.charCount() > 0;
  sourceEditor_.setModified(hasText);
  for (Command c : {Command::bSave, Command::bPreview, Command::bPrint}) states_.setEnabled(c, hasText);
}

std::vector<std::string> Workbench::refreshWindowList(const std::vector<std::string>& tabCaptions) {
  for (auto it = tabCaptions.rbegin(); it != tabCaptions.rend(); ++it) windowList_.add(*it);
  return windowList_.captions(pages::RecentList::Shown::FileNamePart);
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

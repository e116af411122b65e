#include "app/workbench.h"

#include <algorithm>
#include <system_error>

#include "app/status_presenter.h"
#include "build/build_commands.h"
#include "build/build_output.h"
#include "build/build_rows.h"
#include "build/error_panel.h"
#include "build/insert_file.h"
#include "build/proc_runner.h"
#include "build/project_commands.h"
#include "editor/code_gutter.h"
#include "editor/code_memo.h"
#include "editor/code_memo_printer.h"
#include "editor/editor_rows.h"
#include "editor/highlight_engine.h"
#include "editor/memo_clipboard.h"
#include "editor/number_highlighter.h"
#include "language/code_intelligence.h"
#include "language/context_list.h"
#include "language/help_commands.h"
#include "language/keys_dict_commands.h"
#include "language/language_rows.h"
#include "language/outline_commands.h"
#include "language/word_check_commands.h"
#include "language/word_lists.h"
#include "pages/document_commands.h"
#include "pages/page_rows.h"
#include "pages/pdf_target.h"
#include "pages/recent_commands.h"
#include "pages/recent_list.h"
#include "platform/automation.h"
#include "platform/clipboard.h"
#include "platform/clock.h"
#include "platform/command_registry.h"
#include "platform/command_states.h"
#include "platform/environment.h"
#include "platform/file_association.h"
#include "platform/file_identity.h"
#include "platform/help_viewer.h"
#include "platform/keyboard_state.h"
#include "platform/main_thread.h"
#include "platform/main_view.h"
#include "platform/process_launcher.h"
#include "platform/ui.h"
#include "platform/xdg_help_viewer.h"
#include "settings/editor_profiles.h"
#include "settings/option_commands.h"
#include "settings/option_rows.h"
#include "settings/session_shelf.h"
#include "settings/session_store.h"
#include "settings/settings.h"
#include "settings/stored_options.h"
#include "settings/window_placements.h"
#include "tools/char_map.h"
#include "tools/editing_commands.h"
#include "tools/find_replace.h"
#include "tools/tool_rows.h"

namespace quillon::app {

// Every part of the program, built in the order the members are written: a part is handed
// only parts written before it.
struct Workbench::Impl {
  explicit Impl(Ports ports);
  void start(const std::filesystem::path& programFile, const std::vector<std::string>& arguments,
             Surroundings surroundings);
  bool closeQuery();
  void toggleDefaultEditor();
  void numberSyntaxApplied();
  void lockKeyPressed();
  bool editorKeyPressed(tools::EditorKey key, editor::KeyModifiers mods);
  bool editorKeyReleased(tools::EditorKey key, editor::KeyModifiers mods);
  void anotherCopyStarted();

  // The page table's view of the bookmarks, kept by the editing commands.
  class PageBookmarks final : public pages::BookmarkKeeper {
  public:
    PageBookmarks(tools::EditingCommands& editing, editor::CodeGutter& gutter)
        : editing_(editing), gutter_(gutter) {}
    void clearAllBookmarks() override {
      editing_.clearAllBookmarks();
      gutter_.setErrorMarks({});
    }
    std::vector<editor::ErrorMark> errorMarks() const override { return gutter_.errorMarks(); }
    void setErrorMarks(const std::vector<editor::ErrorMark>& marks) override {
      gutter_.setErrorMarks(marks);
    }
    pages::Page::Captions bookmarkCaptions() const override { return editing_.captions(); }
    void setBookmarkCaptions(const pages::Page::Captions& c) override { editing_.setCaptions(c); }
    void restoreBookmarks() override { editing_.restoreBookmarks(); }

  private:
    tools::EditingCommands& editing_;
    editor::CodeGutter& gutter_;
  };

  settings::OptionHolders storedOptions() { return {options_, sourceEditor_, numbers_}; }
  void readSettings(const std::filesystem::path& program, Surroundings& surroundings);
  void writeSettings();
  void registerOwnRows();

  const std::function<int()>* codeInfoWidth = nullptr;  // Workbench's own

  platform::Ui& ui_;
  platform::MainView& view_;
  platform::ProcessLauncher& launcher_;
  platform::CommandStates& states_;
  platform::CommandRegistry commands_;
  editor::CodeMemo sourceEditor_;
  editor::CodeMemo errorView_;
  editor::MemoClipboard sourceClipboard_;
  editor::MemoClipboard errorViewClipboard_;
  editor::PrinterPort& printerPort_;
  editor::NumberHighlighter numbers_;
  editor::HighlightEngine highlighting_{sourceEditor_};
  language::WordLists wordLists_;
  editor::CodeGutter gutter_{&sourceEditor_};
  pages::RecentList windowList_{pages::PageTable::kMaxTabs, pages::DocumentCommands::documentKey};
  settings::OptionCommands options_;
  StatusPresenter status_;
  tools::EditingCommands editing_;
  language::ContextList contextList_{{ui_, view_, states_, sourceEditor_, wordLists_, status_}};
  language::KeysDictCommands keysDict_{{ui_, sourceEditor_, highlighting_, options_, wordLists_}};
  PageBookmarks pageBookmarks_{editing_, gutter_};
  pages::DocumentCommands documents_;
  settings::SessionShelf sessionShelf_{settings_};
  pages::RecentCommands recent_{{ui_, view_, documents_, sourceEditor_, sessionShelf_}};
  build::ProcRunner runner_;
  build::ErrorPanel errorPanel_;
  language::CodeIntelligence code_{
      {ui_, view_, states_, sourceEditor_, documents_, errorPanel_.includes()}};
  build::BuildCommands build_;
  build::BuildOutputView buildOutput_;
  build::ProjectCommands project_;
  build::InsertFile insertFile_;
  language::OutlineCommands outline_;
  language::WordCheckCommands wordCheck_;
  editor::MemoClipboard wordCheckClipboard_;
  std::unique_ptr<platform::HelpViewer> helpViewer_;
  language::HelpCommands help_;
  tools::FindReplace findReplace_;
  tools::CharMap charMap_;
  std::filesystem::path programFolder_;
  std::filesystem::path programFile_;
  std::unique_ptr<settings::Settings> settings_;
  settings::WindowPlacements placements_;
  platform::AssociationStore* associations_ = nullptr;
  std::unique_ptr<platform::FileAssociation> association_;
  // Reads the source editor's paragraphs while it prints, so it goes before them.
  editor::CodeMemoPrinter memoPrinter_{printerPort_};
  // What ties one feature's events to another's commands.
  std::vector<editor::Subscription> links_;
};

Workbench::Impl::Impl(Ports ports)
    : ui_(ports.ui),
      view_(ports.view),
      launcher_(ports.launcher),
      states_(ports.states),
      sourceClipboard_(sourceEditor_, &ports.clipboard),
      errorViewClipboard_(errorView_, &ports.clipboard),
      printerPort_(ports.printer),
      options_(ports.ui, ports.view, ports.states, sourceEditor_),
      status_(ports.ui, ports.view, ports.states, sourceEditor_, ports.keyboard),
      editing_(ports.ui, sourceEditor_, gutter_),
      documents_({ports.ui, ports.view, ports.states, sourceEditor_, errorView_, pageBookmarks_,
                  windowList_}),
      runner_(ports.launcher, ports.mainThread),
      errorPanel_({ports.ui, ports.view, ports.states, sourceEditor_, errorView_, documents_}),
      build_({ports.ui, ports.view, ports.states, sourceEditor_, documents_, options_, errorPanel_,
              runner_, ports.clock, ports.automation}),
      buildOutput_(&ports.clipboard),
      project_({ports.ui, ports.states, sourceEditor_, documents_, pageBookmarks_, errorPanel_}),
      insertFile_({ports.ui, sourceEditor_, documents_}),
      outline_({ports.ui, ports.view, ports.states, sourceEditor_,
                [this] {
                  const auto& tabs = documents_.tabCaptions();
                  const auto i = static_cast<std::size_t>(documents_.currentTab());
                  return i < tabs.size() ? tabs[i] : std::string();
                },
                ports.clock, &documents_}),
      wordCheck_({ports.ui, sourceEditor_, wordLists_, [this] { return documents_.tabCount(); },
                  [this] {
                    std::vector<std::string> texts;
                    for (int i = 0; i < documents_.tabCount(); ++i)
                      texts.push_back(i == documents_.currentTab() ? sourceEditor_.text()
                                                                   : documents_.page(i).text);
                    return texts;
                  }}),
      wordCheckClipboard_(wordCheck_.workCopy(), &ports.clipboard),
      help_({ports.ui, [this] { return helpViewer_.get(); },
             [this] { return build_.mapBasicFolder(); }, [this] { return programFile_; },
             [this](const std::filesystem::path& name) {
               return settings_ ? settings_->files().findShared(name) : std::filesystem::path();
             }}),
      findReplace_({ports.ui, ports.states, sourceEditor_, documents_, ports.clock}),
      charMap_(sourceEditor_, ports.clipboard) {
  placements_.shown(settings::PlacedWindow::Main, [this] { return view_.windowPlacement(); });
  settings::applySourceEditorProfile(sourceEditor_);
  settings::applyErrorViewProfile(errorView_);
  build_.reportReady = [this](const build::BuildReport& report) { buildOutput_.show(report); };
  // Highlighting waits for the end of start-up, as the form has it off.
  highlighting_.setApplyKeyWords(false);
  highlighting_.setApplyStartStopKeys(false);
  options_.attachHighlighting(highlighting_, numbers_);

  links_.push_back(editing_.captionsChanged.listen([this](int slot) {
    view_.setBookmarkCaption(slot, editing_.captions()[static_cast<std::size_t>(slot)]);
  }));
  links_.push_back(editing_.nextPageAsked.listen([this] { documents_.nextPage(); }));
  links_.push_back(editing_.previousPageAsked.listen([this] { documents_.previousPage(); }));
  links_.push_back(editing_.windowListAsked.listen([this] { documents_.refreshWindowList(); }));
  links_.push_back(editing_.insertModeToggled.listen([this] { status_.toggleMode(); }));
  links_.push_back(editing_.parenthesisCountChanged.listen(
      [this](int count) { status_.setOpenParenCount(count); }));
  links_.push_back(editing_.buildKeyReleased.listen([this](bool ctrl) { build_.buildKey(ctrl); }));
  links_.push_back(editing_.searchAgainAsked.listen([this] { findReplace_.next(); }));
  links_.push_back(documents_.filesLoaded.listen([this] { highlighting_.reApplyKeywords(); }));
  links_.push_back(documents_.pageAdded.listen([this] { editing_.resetParenthesisCount(); }));

  editor::registerEditorRows(commands_,
                             {sourceEditor_, sourceClipboard_, view_, states_, memoPrinter_,
                              [this] { return documents_.currentFile(); }});
  pages::registerPageRows(commands_, documents_, recent_);
  settings::registerOptionRows(commands_, options_);
  build::registerBuildRows(commands_, {build_, errorPanel_, project_, insertFile_});
  language::registerLanguageRows(
      commands_, {outline_, contextList_, help_, wordCheck_, view_, code_.navigator()});
  tools::registerToolRows(commands_, {editing_, findReplace_, charMap_});
  registerOwnRows();

  // Pages of code without a name or number are hard to use in a pile of paper.
  memoPrinter_.setFooter("Page {p}");
  memoPrinter_.choosePrintFile = [this] {
    return pages::askPdfFile(ui_, documents_.currentFile(), programFolder_);
  };
  memoPrinter_.onPrintedToFile = [this](const std::string& file) {
    pages::reportPdfPrinted(ui_, file);
  };
  memoPrinter_.onProgress = [this](editor::CodeMemoPrinter& printer) {
    if (!printerPort_.showProgress(printer.currentPage(), printer.pageCount())) printer.abort();
  };
}

void Workbench::Impl::start(const std::filesystem::path& programFile,
                            const std::vector<std::string>& arguments, Surroundings surroundings) {
  std::error_code ec;
  std::filesystem::path program = std::filesystem::absolute(programFile, ec);
  if (ec) program = programFile;
  programFile_ = program;
  programFolder_ = program.parent_path() / "";
  documents_.setProgramFolder(programFolder_);
  associations_ = surroundings.associations;
  const platform::Environment environment = surroundings.environment;
  helpViewer_ = std::make_unique<platform::XdgHelpViewer>(environment, launcher_);

  for (platform::Command c :
       {platform::Command::bSave, platform::Command::bCompile, platform::Command::Compile1,
        platform::Command::bLink, platform::Command::Link1, platform::Command::bUndo,
        platform::Command::Undo1, platform::Command::bRedo, platform::Command::Redo1,
        platform::Command::bCut, platform::Command::Cut1, platform::Command::bCopy,
        platform::Command::Copy1, platform::Command::bAgain, platform::Command::FindNext1,
        platform::Command::Revert1, platform::Command::bPreview, platform::Command::bPrint})
    states_.setEnabled(c, false);
  states_.setChecked(platform::Command::bError, platform::Command::ShowErrors1, false);
  options_.initialize();

  // A step that fails is reported in words and the steps after it still run, so start-up
  // always ends with a page on screen.
  auto step = [this](auto&& run) {
    try {
      run();
    } catch (const std::exception& e) {
      ui_.showMessage(e.what());
    }
  };
  step([&] { readSettings(program, surroundings); });
  build_.setSurroundings(settings_ ? &settings_->values() : nullptr, environment);
  project_.setEnvironment(environment);
  step([&] {
    keysDict_.setSurroundings(
        settings_ ? &settings_->values() : nullptr,
        settings_ ? settings_->files() : settings::ProgramFiles(program, environment));
    keysDict_.startUp();
  });
  step([&] {
    // Files that went away since the last run leave the recent list.
    recent_.dropVanishedFiles();
  });
  step([&] { documents_.startUp(); });
  step([&] {
    status_.showLockKeys();
    status_.showMode();
    options_.refreshHighlighting();
    status_.showStartCaret();
  });
  step([&] {
    documents_.setCommandLineFile(arguments.empty() ? std::string() : arguments.front());
    if (!documents_.commandLineFile().empty())
      documents_.open(pages::DocumentCommands::Opener::Dialog);
  });
  step([&] {
    if (!associations_) return;
    association_ = std::make_unique<platform::FileAssociation>(*associations_);
    states_.setChecked(platform::Command::DefaultEditor1, association_->checkAssociation());
  });
  step([&] {
    ui_.processPendingMessages();
    if (states_.checked(platform::Command::SyntaxHighlighting1)) {
      options_.applyHighlighting(true);
      options_.refreshHighlighting();  // what was painted before was scanned with highlighting off
    }
  });
}

void Workbench::Impl::readSettings(const std::filesystem::path& program,
                                   Surroundings& surroundings) {
  settings_ = std::make_unique<settings::Settings>(ui_, program, surroundings.environment,
                                                   surroundings.folderLookup);
  const settings::SettingsValues& v = settings_->read();
  if (settings_->firstRun()) view_.centreWindow();
  placements_.read(settings_->file(), view_.screen());
  documents_.setProjectFolder(v.projectFolder.empty() ? programFolder_ : v.projectFolder);
  // The font and the background reach the gutter and the error view from here, once.
  settings::applyStoredOptions(settings_->file(), storedOptions(), ui_);

  const settings::IniSectionStore files(settings_->file(), std::string(settings::kMruListSection));
  const settings::IniSectionStore sessions(settings_->file(),
                                           std::string(settings::kLastSessionSection));
  recent_.files().load(files);
  recent_.sessions().load(sessions);
  findReplace_.setHistories(v.findHistory, v.replaceHistory);
}

// Everything the run changed goes into the file, which is saved once.
void Workbench::Impl::writeSettings() {
  if (!settings_) return;
  settings_->values().projectFolder = documents_.projectFolder();
  settings_->values().findHistory = findReplace_.findHistory();
  settings_->values().replaceHistory = findReplace_.replaceHistory();
  settings::storeOptions(settings_->file(), storedOptions());
  settings::IniSectionStore files(settings_->file(), std::string(settings::kMruListSection));
  settings::IniSectionStore sessions(settings_->file(), std::string(settings::kLastSessionSection));
  recent_.files().save(files);
  recent_.sessions().save(sessions);
  placements_.write(settings_->file());
  if (codeInfoWidth && *codeInfoWidth)
    settings::writeCodeInfoWidth(settings_->file(), (*codeInfoWidth)());
  settings_->write();
}

bool Workbench::Impl::closeQuery() {
  // A replace-all run in progress ends first; the window closes on the next request.
  if (findReplace_.running()) {
    findReplace_.cancel();
    return false;
  }
  // No compiler is left behind: it is stopped, and waited for, before the window goes.
  if (build_.waiting()) {
    if (ui_.ask("Confirm", "A build is running. Stop the build and exit?",
                platform::Ui::Buttons::YesNo) != platform::Ui::Answer::Yes)
      return false;
    build_.stopBuildNow();
  }
  if (!documents_.confirmClose()) return false;
  if (settings_ && documents_.tabCaptions().front() != pages::DocumentCommands::kUntitled) {
    std::vector<std::string> files;
    for (int i = 0; i < documents_.tabCount(); ++i) files.push_back(documents_.page(i).fileName);
    settings::writeSession(settings_->file(), recent_.sessions(), files, documents_.currentTab(),
                           sourceEditor_.topLine(), sourceEditor_.selStart());
    recent_.refreshMenus();
  }
  ui_.processPendingMessages();
  writeSettings();
  ui_.processPendingMessages();
  // A dictionary that cannot be written is reported; the window closes all the same.
  wordLists_.saveDictionary(ui_);
  ui_.processPendingMessages();
  build_.abandonWait();
  return true;
}

// ----- Options -----

// The rows of the commands that are still the root's own.
void Workbench::Impl::registerOwnRows() {
  commands_.add({.id = "options.defaultEditor",
                 .caption = "Set as Defaut [*.MB] Editor",
                 .run = [this] { toggleDefaultEditor(); },
                 .state = platform::Command::DefaultEditor1,
                 .checkable = true});
}

void Workbench::Impl::toggleDefaultEditor() {
  if (!association_) return;
  const std::filesystem::path mapBasic =
      settings_ ? settings_->values().mapBasicFolder : std::filesystem::path();
  const std::optional<std::string> error =
      association_->toggleDefaultEditor(programFile_, mapBasic);
  states_.setChecked(platform::Command::DefaultEditor1, association_->checked());
  if (error) ui_.showMessage(*error);
}

void Workbench::Impl::numberSyntaxApplied() {
  highlighting_.reApplyKeywords();
  if (!settings_) return;
  settings::storeOptions(settings_->file(), storedOptions(), settings::OptionGroup::Numbers);
  settings_->save();
}

void Workbench::Impl::lockKeyPressed() { status_.showLockKeys(); }

bool Workbench::Impl::editorKeyPressed(tools::EditorKey key, editor::KeyModifiers mods) {
  return editing_.keyPressed(key, mods) || contextList_.keyPressed(key.named, key.character, mods);
}

bool Workbench::Impl::editorKeyReleased(tools::EditorKey key, editor::KeyModifiers mods) {
  return editing_.keyReleased(key, mods) ||
         contextList_.keyReleased(key.named, key.character, mods);
}

void Workbench::Impl::anotherCopyStarted() {
  view_.bringToFront();
  ui_.showMessage("Quillon Is Running....Use Drag-N-Drop");
}

Workbench::Workbench(Ports ports) : impl_(std::make_unique<Impl>(ports)) {
  impl_->codeInfoWidth = &codeInfoWidth;
}
Workbench::~Workbench() = default;

void Workbench::start(const std::filesystem::path& programFile,
                      const std::vector<std::string>& arguments, Surroundings surroundings) {
  impl_->start(programFile, arguments, std::move(surroundings));
}
bool Workbench::closeQuery() { return impl_->closeQuery(); }
void Workbench::toggleDefaultEditor() { impl_->toggleDefaultEditor(); }
void Workbench::numberSyntaxApplied() { impl_->numberSyntaxApplied(); }
void Workbench::lockKeyPressed() { impl_->lockKeyPressed(); }
bool Workbench::editorKeyPressed(tools::EditorKey key, editor::KeyModifiers mods) {
  return impl_->editorKeyPressed(key, mods);
}
bool Workbench::editorKeyReleased(tools::EditorKey key, editor::KeyModifiers mods) {
  return impl_->editorKeyReleased(key, mods);
}
void Workbench::anotherCopyStarted() { impl_->anotherCopyStarted(); }
void Workbench::editorMousePressed() { impl_->status_.mousePressed(); }
void Workbench::editorMouseReleased() { impl_->status_.mouseReleased(); }
void Workbench::statusBarClicked(int x) { impl_->status_.statusBarClicked(x); }
settings::Settings* Workbench::settings() { return impl_->settings_.get(); }
editor::CodeMemo& Workbench::sourceEditor() { return impl_->sourceEditor_; }
editor::CodeMemo& Workbench::errorView() { return impl_->errorView_; }
editor::MemoClipboard& Workbench::sourceClipboard() { return impl_->sourceClipboard_; }
editor::MemoClipboard& Workbench::errorViewClipboard() { return impl_->errorViewClipboard_; }
editor::HighlightEngine& Workbench::highlighting() { return impl_->highlighting_; }
language::WordLists& Workbench::wordLists() { return impl_->wordLists_; }
language::ContextList& Workbench::contextList() { return impl_->contextList_; }
language::KeysDictCommands& Workbench::keysDict() { return impl_->keysDict_; }
pages::RecentList& Workbench::windowList() { return impl_->windowList_; }
pages::RecentCommands& Workbench::recent() { return impl_->recent_; }
editor::CodeGutter& Workbench::gutter() { return impl_->gutter_; }
pages::DocumentCommands& Workbench::documents() { return impl_->documents_; }
tools::EditingCommands& Workbench::editing() { return impl_->editing_; }
language::OutlineCommands& Workbench::outline() { return impl_->outline_; }
tools::FindReplace& Workbench::findReplace() { return impl_->findReplace_; }
tools::CharMap& Workbench::charMap() { return impl_->charMap_; }
settings::OptionCommands& Workbench::options() { return impl_->options_; }
build::BuildCommands& Workbench::build() { return impl_->build_; }
build::BuildOutputView& Workbench::buildOutput() { return impl_->buildOutput_; }
build::ErrorPanel& Workbench::errorPanel() { return impl_->errorPanel_; }
build::ProjectCommands& Workbench::project() { return impl_->project_; }
build::InsertFile& Workbench::insertFile() { return impl_->insertFile_; }
build::ProcRunner& Workbench::runner() { return impl_->runner_; }
StatusPresenter& Workbench::status() { return impl_->status_; }
language::WordCheckCommands& Workbench::wordCheck() { return impl_->wordCheck_; }
editor::MemoClipboard& Workbench::wordCheckClipboard() { return impl_->wordCheckClipboard_; }
language::HelpCommands& Workbench::help() { return impl_->help_; }
language::CodeIntelligence& Workbench::code() { return impl_->code_; }
const std::filesystem::path& Workbench::programFolder() const { return impl_->programFolder_; }
const std::string& Workbench::currentFile() const { return impl_->documents_.currentFile(); }
const std::string& Workbench::currentExt() const { return impl_->documents_.currentExt(); }
const std::string& Workbench::commandLineFile() const {
  return impl_->documents_.commandLineFile();
}
editor::CodeMemoPrinter& Workbench::memoPrinter() { return impl_->memoPrinter_; }
platform::CommandRegistry& Workbench::commands() { return impl_->commands_; }
editor::NumberHighlighter& Workbench::numbers() { return impl_->numbers_; }
settings::WindowPlacements& Workbench::placements() { return impl_->placements_; }

}  // namespace quillon::app

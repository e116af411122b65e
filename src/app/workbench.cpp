#include "app/workbench.h"

#include <algorithm>
#include <system_error>

#include "build/build_rows.h"
#include "editor/editor_rows.h"
#include "language/language_rows.h"
#include "pages/page_rows.h"
#include "pages/pdf_target.h"
#include "platform/xdg_help_viewer.h"
#include "settings/editor_profiles.h"
#include "settings/option_rows.h"
#include "settings/session_store.h"
#include "settings/stored_options.h"
#include "tools/tool_rows.h"

namespace quillon::app {

Workbench::Workbench(Ports ports)
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
  errorPanel_.mapBasicFolder = [this] { return build_.mapBasicFolder(); };

  editor::registerEditorRows(commands_,
                             {sourceEditor_, sourceClipboard_, view_, states_, memoPrinter_,
                              [this] { return documents_.currentFile(); }});
  pages::registerPageRows(commands_, documents_, recent_);
  settings::registerOptionRows(commands_, options_);
  build::registerBuildRows(
      commands_, {build_, errorPanel_, project_, insertFile_,
                  [this](bool forward) { return code_.navigator().walkReferences(forward); }});
  language::registerLanguageRows(
      commands_, {outline_, contextList_, help_, wordCheck_, view_, code_.navigator()});
  tools::registerToolRows(commands_, {editing_, findReplace_, charMap_});
  registerOwnRows();
  errorPanel_.resolveInclude = [this](const std::string& name,
                                      const std::filesystem::path& folder) {
    return code_.keeper().resolveInclude(name, folder);
  };

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

void Workbench::start(const std::filesystem::path& programFile,
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
  code_.setSurroundings(environment, [this] { return build_.mapBasicFolder(); });
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

void Workbench::readSettings(const std::filesystem::path& program, Surroundings& surroundings) {
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
void Workbench::writeSettings() {
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
  if (codeInfoWidth) settings::writeCodeInfoWidth(settings_->file(), codeInfoWidth());
  settings_->write();
}

bool Workbench::closeQuery() {
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
void Workbench::registerOwnRows() {
  commands_.add({.id = "options.defaultEditor",
                 .caption = "Set as Defaut [*.MB] Editor",
                 .run = [this] { toggleDefaultEditor(); },
                 .state = platform::Command::DefaultEditor1,
                 .checkable = true});
}

void Workbench::toggleDefaultEditor() {
  if (!association_) return;
  const std::filesystem::path mapBasic =
      settings_ ? settings_->values().mapBasicFolder : std::filesystem::path();
  const std::optional<std::string> error =
      association_->toggleDefaultEditor(programFile_, mapBasic);
  states_.setChecked(platform::Command::DefaultEditor1, association_->checked());
  if (error) ui_.showMessage(*error);
}

void Workbench::numberSyntaxApplied() {
  highlighting_.reApplyKeywords();
  if (!settings_) return;
  settings::storeOptions(settings_->file(), storedOptions(), settings::OptionGroup::Numbers);
  settings_->save();
}

void Workbench::lockKeyPressed() { status_.showLockKeys(); }

bool Workbench::editorKeyPressed(tools::EditorKey key, editor::KeyModifiers mods) {
  return editing_.keyPressed(key, mods) || contextList_.keyPressed(key.named, key.character, mods);
}

bool Workbench::editorKeyReleased(tools::EditorKey key, editor::KeyModifiers mods) {
  return editing_.keyReleased(key, mods) ||
         contextList_.keyReleased(key.named, key.character, mods);
}

void Workbench::anotherCopyStarted() {
  view_.bringToFront();
  ui_.showMessage("Quillon Is Running....Use Drag-N-Drop");
}

}  // namespace quillon::app

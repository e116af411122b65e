#pragma once
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/status_presenter.h"
#include "build/build_commands.h"
#include "build/build_output.h"
#include "build/error_panel.h"
#include "build/insert_file.h"
#include "build/proc_runner.h"
#include "build/project_commands.h"
#include "editor/code_gutter.h"
#include "editor/code_memo.h"
#include "editor/code_memo_printer.h"
#include "editor/highlight_engine.h"
#include "editor/memo_clipboard.h"
#include "editor/number_highlighter.h"
#include "language/code_intelligence.h"
#include "language/context_list.h"
#include "language/help_commands.h"
#include "language/keys_dict_commands.h"
#include "language/outline_commands.h"
#include "language/word_check_commands.h"
#include "language/word_lists.h"
#include "pages/document_commands.h"
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
#include "settings/option_commands.h"
#include "settings/session_shelf.h"
#include "settings/settings.h"
#include "settings/stored_options.h"
#include "settings/window_placements.h"
#include "tools/char_map.h"
#include "tools/editing_commands.h"
#include "tools/find_replace.h"

namespace quillon::app {

// The composition root behind the main window: owns the source editor and the error view,
// runs the start-up steps in order and carries the window-level commands. It reaches the
// screen only through Ui, MainView and CommandStates, so the whole of it runs in tests.
class Workbench {
public:
  struct Ports {
    platform::Ui& ui;
    platform::MainView& view;
    platform::CommandStates& states;
    const platform::KeyboardState& keyboard;
    platform::Clipboard& clipboard;
    platform::Clock& clock;
    platform::ProcessLauncher& launcher;
    platform::Automation& automation;
    platform::MainThread& mainThread;
    editor::PrinterPort& printer;
  };

  explicit Workbench(Ports ports);
  Workbench(const Workbench&) = delete;
  Workbench& operator=(const Workbench&) = delete;

  // What start-up reads from the machine besides the settings file. Tests point all of it
  // at temporary folders.
  struct Surroundings {
    platform::Environment environment;
    settings::ProgramFolderLookup folderLookup;  // empty: the Wine registry of `environment`
    platform::AssociationStore* associations =
        nullptr;  // empty: no opener is known, nothing is written
  };

  // `programFile` is the program's own path; `arguments` are the command-line arguments
  // after it. Start-up always completes, whatever the command-line file is.
  void start(const std::filesystem::path& programFile, const std::vector<std::string>& arguments,
             Surroundings surroundings);

  editor::CodeMemo& sourceEditor() { return sourceEditor_; }
  editor::CodeMemo& errorView() { return errorView_; }
  // Every clipboard action of an editor, from its keys, the menus or the toolbar, goes
  // through its one MemoClipboard; the window hands these to the editor widgets.
  editor::MemoClipboard& sourceClipboard() { return sourceClipboard_; }
  editor::MemoClipboard& errorViewClipboard() { return errorViewClipboard_; }
  editor::HighlightEngine& highlighting() { return highlighting_; }
  language::WordLists& wordLists() { return wordLists_; }
  language::ContextList& contextList() { return contextList_; }
  language::KeysDictCommands& keysDict() { return keysDict_; }
  pages::RecentList& windowList() { return windowList_; }
  pages::RecentCommands& recent() { return recent_; }
  editor::CodeGutter& gutter() { return gutter_; }
  pages::DocumentCommands& documents() { return documents_; }
  tools::EditingCommands& editing() { return editing_; }
  language::OutlineCommands& outline() { return outline_; }
  const language::NameSource& names() const { return code_.names(); }
  tools::FindReplace& findReplace() { return findReplace_; }
  tools::CharMap& charMap() { return charMap_; }
  settings::OptionCommands& options() { return options_; }
  build::BuildCommands& build() { return build_; }
  build::BuildOutputView& buildOutput() { return buildOutput_; }
  build::ErrorPanel& errorPanel() { return errorPanel_; }
  build::ProjectCommands& project() { return project_; }
  build::InsertFile& insertFile() { return insertFile_; }
  build::ProcRunner& runner() { return runner_; }
  StatusPresenter& status() { return status_; }
  language::WordCheckCommands& wordCheck() { return wordCheck_; }
  editor::MemoClipboard& wordCheckClipboard() { return wordCheckClipboard_; }
  // The CodeInfo panel's width, stored beside the main window's placement.
  std::function<int()> codeInfoWidth;
  language::HelpCommands& help() { return help_; }
  language::CodeIntelligence& code() { return code_; }

  const std::filesystem::path& programFolder() const { return programFolder_; }
  const std::string& currentFile() const { return documents_.currentFile(); }
  const std::string& currentExt() const { return documents_.currentExt(); }
  const std::string& commandLineFile() const { return documents_.commandLineFile(); }

  // Events from the window.
  void editorMousePressed() { status_.mousePressed(); }
  void editorMouseReleased() { status_.mouseReleased(); }
  void statusBarClicked(int x) { status_.statusBarClicked(x); }
  void lockKeyPressed();
  // Keys in the source editor, before the editor sees them; true when consumed.
  bool editorKeyPressed(tools::EditorKey key, editor::KeyModifiers mods);
  bool editorKeyReleased(tools::EditorKey key, editor::KeyModifiers mods);
  // Another copy of the program was started.
  void anotherCopyStarted();

  editor::CodeMemoPrinter& memoPrinter() { return memoPrinter_; }

  // The window is asked to close: the questions about unsaved pages, then the session and
  // the settings. False keeps the window open.
  bool closeQuery();

  void toggleDefaultEditor();
  // Every command of the menus and the toolbar, as the features registered them.
  platform::CommandRegistry& commands() { return commands_; }
  // After the Number Syntax dialog applied: re-highlight and store the Numbers keys now.
  void numberSyntaxApplied();
  editor::NumberHighlighter& numbers() { return numbers_; }
  settings::Settings* settings() { return settings_.get(); }
  settings::WindowPlacements& placements() { return placements_; }

private:
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
  language::CodeIntelligence code_{{ui_, view_, states_, sourceEditor_, documents_}};
  build::ErrorPanel errorPanel_;
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

}  // namespace quillon::app

#pragma once
#include <filesystem>
#include <string>
#include <vector>

#include "app/command_states.h"
#include "app/edit_clipboard.h"
#include "app/main_view.h"
#include "app/option_commands.h"
#include "app/status_presenter.h"
#include "editor/code_memo.h"
#include "editor/highlight_engine.h"
#include "editor/number_highlighter.h"
#include "pages/recent_list.h"
#include "platform/keyboard_state.h"
#include "platform/ui.h"

namespace quillon::app {

// Commands whose subsystem is not built yet. The window routes them here, where they do
// nothing, so that every menu item and button already exists and is harmless.
enum class LaterCommand {
  NewPage, OpenFiles, SetPageAsProject, Save, SaveAs, SaveAll, ClosePage, CloseAll,  // pages
  ClearRecentFiles, ClearSessions, WindowMenuPick,                                   // recent lists
  InsertFile,                                                                        // insert file
  Preview, Print,                                                                    // printing
  NewProject, SelectProject, ProjectFromPages,                                       // project file
  Compile, Link, Run, ShowErrors,                                                    // build, error panel
  Indent, Outdent, GoToLine, SetBookmark, GotoBookmark, ClearBookmarks,              // editing commands
  CheckWords, CharacterMap, FindReplace, FindNext, Revert,                           // tools
  CodeInfoShow, CodeInfoRescan, CodeInfoSorted,                                      // code outline
  HelpContext, IgnoreWord, AddToDictionary, AddToKeywords,                           // context list
  KeysDict, SetDefaultEditor, MapBasicHelp, QuillonHelp,
};

// The composition root behind the main window: owns the source editor and the error view,
// runs the start-up steps in order and carries the window-level commands. It reaches the
// screen only through Ui, MainView and CommandStates, so the whole of it runs in tests.
class Workbench {
public:
  struct Ports {
    platform::Ui& ui;
    MainView& view;
    CommandStates& states;
    const platform::KeyboardState& keyboard;
    EditClipboard& clipboard;
  };

  explicit Workbench(Ports ports);
  Workbench(const Workbench&) = delete;
  Workbench& operator=(const Workbench&) = delete;
  ~Workbench();

  // `programFile` is the program's own path; `arguments` are the command-line arguments
  // after it. Start-up always completes, whatever the command-line file is.
  void start(const std::filesystem::path& programFile, const std::vector<std::string>& arguments);

  editor::CodeMemo& sourceEditor() { return sourceEditor_; }
  editor::CodeMemo& errorView() { return errorView_; }
  editor::HighlightEngine& highlighting() { return highlighting_; }
  const std::vector<std::string>& keyList() const { return keyList_; }
  pages::RecentList& windowList() { return windowList_; }
  OptionCommands& options() { return options_; }
  StatusPresenter& status() { return status_; }

  const std::filesystem::path& programFolder() const { return programFolder_; }
  const std::string& currentFile() const { return currentFile_; }
  const std::string& currentExt() const { return currentExt_; }
  const std::string& commandLineFile() const { return commandLineFile_; }

  // Events from the window.
  void editorMousePressed() { status_.mousePressed(); }
  void editorMouseReleased() { status_.mouseReleased(); }
  void statusBarClicked(int x) { status_.statusBarClicked(x); }
  // After the Insert key has switched the editor's mode.
  void insertKeyPressed() { status_.showMode(); }
  void lockKeyPressed();
  // Another copy of the program was started.
  void anotherCopyStarted();

  // Edit menu.
  void undo();
  void redo();
  void cut();
  void copy();
  void paste();
  void selectAll();

  void later(LaterCommand) {}

  // The "&Window" menu's list after adding the open pages' captions (last tab first, so the
  // open pages stand at the top in tab order); returns the menu captions.
  std::vector<std::string> refreshWindowList(const std::vector<std::string>& tabCaptions);

private:
  void textChanged();
  void setCurrentFile(const std::string& name);
  void openCommandLineFile();
  void loadWordLists(const std::filesystem::path& program);

  platform::Ui& ui_;
  MainView& view_;
  CommandStates& states_;
  EditClipboard& clipboard_;
  editor::CodeMemo sourceEditor_;
  editor::CodeMemo errorView_;
  editor::NumberHighlighter numbers_;
  editor::HighlightEngine highlighting_{sourceEditor_};
  std::vector<std::string> keyList_;  // the keywords, sorted for the context list
  pages::RecentList windowList_{50};
  OptionCommands options_;
  StatusPresenter status_;
  std::filesystem::path programFolder_;
  std::string currentFile_;
  std::string currentExt_;
  std::string commandLineFile_;
};

}  // namespace quillon::app

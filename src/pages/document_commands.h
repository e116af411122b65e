#pragma once
#include <array>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/code_memo_fwd.h"
#include "editor/listener_list.h"
#include "pages/load_view.h"
#include "pages/page_table.h"
#include "pages/recent_list.h"
#include "platform/command_states.h"
#include "platform/main_view.h"
#include "platform/ui.h"

namespace quillon::pages {

// The bookmark side of a page: the captions of the ten slots and the gutter marks behind
// them. The editing commands keep both; the page commands only save and restore them.
class BookmarkKeeper {
public:
  virtual ~BookmarkKeeper() = default;
  // Removes every mark; all captions become bare digits.
  virtual void clearAllBookmarks() = 0;
  virtual Page::Captions bookmarkCaptions() const = 0;
  virtual void setBookmarkCaptions(const Page::Captions& captions) = 0;
  // Re-creates the marks from the "Set" captions. Toggles, so only after a clear.
  virtual void restoreBookmarks() = 0;
  // The error marks of the page on screen, and replacing them (a clear removes them too).
  virtual std::vector<editor::ErrorMark> errorMarks() const { return {}; }
  virtual void setErrorMarks(const std::vector<editor::ErrorMark>& /*marks*/) {}
};

// Many documents over the one source editor: the page table, the tab strip's captions, and
// the file commands New, Open, Save, Save As, Save All, Close Page, Close All, Revert and the
// questions asked before the window closes.
//
// The editor is the truth for the page on screen; its record is brought up to date by
// savePageState before anything reads it. Everything goes through enterPage/savePageState,
// the one place where a page's state moves in or out of the editor.
class DocumentCommands {
public:
  enum class Opener { Dialog, Drop, RecentFiles, Session, Project };

  struct Parts {
    platform::Ui& ui;
    platform::MainView& view;
    platform::CommandStates& states;
    editor::CodeMemo& editor;
    editor::CodeMemo& errorView;
    BookmarkKeeper& bookmarks;
    RecentList& windowList;
  };
  static constexpr const char* kUntitled = "Untitled";
  static constexpr const char* kReadOnlyNote =
      ", read-only: convert it to UTF-8 elsewhere to edit it";

  explicit DocumentCommands(Parts parts);
  DocumentCommands(const DocumentCommands&) = delete;
  DocumentCommands& operator=(const DocumentCommands&) = delete;

  // What other features hear about the pages; each subscribes itself. Listeners are told
  // after the change, with the new page already in the editor.
  editor::Event<DocumentCommands>
      pageEntered;  // a page came on screen: a tab change, an open, a new page
  // A page's record went into the editor by any route, a jump to an error's page or a
  // search's walk included; pageEntered may follow.
  editor::Event<DocumentCommands> pageShown;
  editor::Event<DocumentCommands> pageClosed;  // Close Page; the page now on screen was entered
  editor::Event<DocumentCommands> allPagesClosed;
  editor::Event<DocumentCommands> pagesChanged;  // pages were opened, added or closed
  editor::Event<DocumentCommands> pageAdded;     // a new page: the parenthesis count restarts
  editor::Event<DocumentCommands> filesLoaded;   // files were read into pages: keywords apply again
  // A file opened or saved under its name by the user: the recent files take it.
  editor::Event<DocumentCommands, const std::string&> fileUsed;
  // The page on screen was written to its file.
  editor::Event<DocumentCommands, const std::string&> pageSaved;
  // The error view was refilled for the page entered: the error file now shown, or empty.
  editor::Event<DocumentCommands, const std::filesystem::path&> errorFileShown;
  // A lone project was dropped: it opens with its modules.
  editor::Event<DocumentCommands, const std::string&> projectDropped;

  // The start-up state: one "Untitled" page, stored into record 0.
  void startUp();

  // ----- Pages -----
  int tabCount() const { return static_cast<int>(tabs_.size()); }
  int currentTab() const { return current_; }
  const std::vector<std::string>& tabCaptions() const { return tabs_; }
  const Page& page(int i) const { return pages_[i]; }
  const std::string& currentFile() const { return currentFile_; }
  const std::string& currentExt() const { return currentExt_; }  // without its dot

  void savePageState(int i);
  void restorePageState(int i);
  // The tab strip: before and after the user picks another tab.
  void tabChanging();
  void tabChanged(int index);
  // A tab change as if the user had clicked the tab (Ctrl+Tab and Ctrl+Shift+Tab).
  void selectTab(int index);
  void nextPage();
  void previousPage();
  // Tab `index` becomes current through savePageState and restorePageState, also when it is
  // current already; the error view is left as it is.
  void showPage(int index);
  // A search that walked the pages with showPage does the rest of a tab change once, for the
  // page it ends on: the code outline and the error view's companion file.
  void settleVisitedPage();
  // Opens `name` as a page, or brings its page to the front when open, without a recent-files
  // entry and without refilling the error view. The page's tab, or -1 when it cannot be read.
  int openAsPage(const std::string& name);
  void textChanged();
  // Page i's Modified: the editor's for the page on screen, its record's for the others.
  bool pageModified(int i) const;
  // Brings the tabs' modified marks in line with the pages; the view hears only of a change.
  void showModifiedMarks();

  // For the commands that build and reorder pages around these: each changes only what it
  // names, and no change handler runs.
  void setTabCaption(int i, const std::string& caption);
  // Tab i is marked current in the strip; the editor keeps what it holds.
  void makeCurrent(int i);
  void writeRecord(int i, Page page) { pages_[i] = std::move(page); }
  // The error marks of page i: the editor's when it is on screen, else its record's.
  std::vector<editor::ErrorMark> errorMarks(int i) const;
  void setErrorMarks(int i, std::vector<editor::ErrorMark> marks);
  // The file name (window caption too) and extension, without its dot, of the page on screen.
  void setCurrentDocument(const std::string& name, const std::string& ext);

  // What makes two page file names one document: a file's key (platform::fileKey), or for
  // "Untitled", which names no file, nothing but the name itself (an empty key).
  static std::string documentKey(std::string_view fileName);

  // The "&Window" menu.
  void refreshWindowList();
  void windowMenuPick(std::size_t entry);

  // ----- Commands -----
  void newPage();
  void open(Opener opener);
  // The names Open works through when its opener is not the dialog.
  std::vector<std::string>& openList() { return openList_; }
  void openFiles(const std::vector<std::string>& names, Opener opener);
  bool loadFileIntoEditor(const std::string& name);
  // Loads of at least this many bytes show the window first and can be stopped by Escape;
  // smaller ones take well under 200 ms.
  static constexpr std::uintmax_t kLongLoadBytes = 8u << 20;
  // The screen's side of a long load; none (tests, headless runs): loads just run.
  void setLoadView(LoadView* view) { loadView_ = view; }
  bool save();
  bool saveAs();
  // Writes the page on screen to its file and leaves its modified mark as it was (a build's
  // save question); false, after a message, when it could not be written.
  bool writeKeepingMark();
  void saveAll();
  void closePage();
  void closeAll();
  void filesDropped(const std::vector<std::string>& names);
  // Asks about every modified page before the window closes; false when the user cancelled
  // or a save he asked for did not happen.
  bool confirmClose();

  // The revert table: filled just before find and replace changes text.
  void fillRevertTable();
  bool revertAvailable() const { return revertAvailable_; }
  void revert(bool allPages);

  // ----- Folders and the command line -----
  const std::filesystem::path& programFolder() const { return programFolder_; }
  void setProgramFolder(std::filesystem::path folder) { programFolder_ = std::move(folder); }
  const std::filesystem::path& projectFolder() const { return projectFolder_; }
  void setProjectFolder(std::filesystem::path folder) { projectFolder_ = std::move(folder); }
  const std::string& commandLineFile() const { return commandLineFile_; }
  void setCommandLineFile(std::string name) { commandLineFile_ = std::move(name); }

  // Menu captions of the Window list, and the dialogs' texts.
  static constexpr const char* kOpenFilter =
      "Source Files (*.mb)|*.mb|Definations (*.def)|*.def|Error Files (*.err)|*.err|All Files "
      "(*.*)|*.*";
  static constexpr const char* kUntitledSaveFilter =
      "MapBasic Source (*.mb)|*.mb|Project Source (*.mbp)|*.mbp|All Files (*.*)|*.*";
  static constexpr const char* kSaveFilter =
      "Source Files (*.mb)|*.mb|Project Files (*.mbp)|*.mbp|Definations (*.def)|*.def|All Files "
      "(*.*)|*.*";

private:
  void enterPage(int i);  // restorePageState and the gutter marks
  // The set of pages changed: the revert table no longer matches the tabs.
  void pageSetChanged();
  // Undo and Redo as the editor's history allows, for the page it shows.
  void showUndoStates();
  void setCurrentFile(const std::string& name);
  // The format of the page on screen; a page that cannot take edits makes the editor read-only.
  void setCurrentFormat(const TextFormat& format);
  // " (UTF-8 beyond Windows-1252)" and the like for a page held as UTF-8 bytes, else empty.
  std::string formatNote() const;
  // "LOADED: " and the page's caption, and the format note.
  void showLoaded(const std::string& caption);
  void syncTabs();
  void showWindowMenu();
  void addTab(const std::string& caption);
  void removeTab(int i);
  bool singleUntouchedPage() const;
  bool editorBlank() const;
  bool writeFile(const std::string& name);
  bool askSavePage(int i);
  // Saves page i, which is put into the editor first; false when it was not saved.
  bool savePageFromTable(int i);
  // Compile and Link for the current extension, as on entering a page.
  void enableBuildCommands(bool disableOthers);
  void savedBuildCommands();
  void loadErrorCompanion();
  void setMessage(std::string_view text) { ui_.setStatusText(platform::Ui::kMessagePanel, text); }
  // The page of a file, given its documentKey and the keys of the open pages (pageKeys), so
  // that a command looking up many names takes each page's key once.
  int findOpenPage(const std::string& fileName, const std::string& key,
                   const std::vector<std::string>& pageKeys) const;
  int findOpenPage(const std::string& fileName) const {
    return findOpenPage(fileName, documentKey(fileName), pageKeys());
  }
  std::vector<std::string> pageKeys() const;
  const std::string& fileNameOf(int i) const;  // the editor's for the page on screen

  platform::Ui& ui_;
  platform::MainView& view_;
  platform::CommandStates& states_;
  editor::CodeMemo& editor_;
  editor::CodeMemo& errorView_;
  BookmarkKeeper& bookmarks_;
  RecentList& windowList_;

  PageTable pages_;
  std::vector<std::string> tabs_;
  std::vector<bool> shownMarks_;  // what the tab strip shows, tab for tab
  int current_ = 0;
  std::string currentFile_;
  std::string currentExt_;
  TextFormat currentFormat_;  // how the page on screen goes back into its file
  LoadView* loadView_ = nullptr;
  // The file whose load Escape stopped during the present Open; empty when none was.
  std::string stoppedLoad_;
  std::string commandLineFile_;
  std::vector<std::string> openList_;
  std::filesystem::path programFolder_;
  std::filesystem::path projectFolder_;
  std::string saveFilter_ = kSaveFilter;

  struct RevertEntry {
    std::string text;
    bool modified = false;
    bool savedSince = false;  // the page's file was written after the table was filled
    bool differsFromDisk() const { return modified || savedSince; }
  };
  std::array<RevertEntry, PageTable::kRecords> revertTable_;
  bool revertAvailable_ = false;
  bool lastLoadFailed_ = false;  // the last file Open tried could not be loaded

  editor::Subscription textChanges_;
  editor::Subscription refusals_;  // an edit of a read-only page: panel 4 says why
};

}  // namespace quillon::pages

#include "pages/document_commands.h"

#include <algorithm>
#include <system_error>
#include <utility>

#include "editor/code_memo.h"
#include "editor/memo_error.h"
#include "pages/text_file.h"
#include "platform/any_case_file.h"
#include "platform/ascii_text.h"
#include "platform/file_identity.h"
#include "platform/replace_file.h"

namespace quillon::pages {

namespace fs = std::filesystem;

namespace {

// What a command silences while it moves pages in and out of the editor: the text is
// the page's, not the user's edit.
constexpr editor::CodeMemo::EventKinds kPageText = editor::CodeMemo::kOnChange;
constexpr editor::CodeMemo::EventKinds kPageLoad = kPageText | editor::CodeMemo::kOnParse;
constexpr editor::CodeMemo::EventKinds kBulk = kPageLoad | editor::CodeMemo::kOnSelMove;

std::string fileNamePart(const std::string& name) { return fs::path(name).filename().string(); }

// ".mb" for "C:/x/a.MB"; empty when the name has none.
std::string lowerDotExtension(const std::string& name) {
  return platform::asciiLowered(fs::path(name).extension().string());
}

std::string withoutDot(const std::string& ext) { return ext.empty() ? ext : ext.substr(1); }

std::string saveQuestion(const std::string& fileName) {
  return "Save changes to \"" + fileNamePart(fileName) + "\"?";
}

fs::path folderOf(const std::string& name) {
  const fs::path parent = fs::path(name).parent_path();
  return parent.empty() ? parent : parent / "";
}

}  // namespace

bool DocumentCommands::pageModified(int i) const {
  return i == current_ ? editor_.modified() : pages_[i].modified;
}

DocumentCommands::DocumentCommands(Parts parts)
    : ui_(parts.ui),
      view_(parts.view),
      states_(parts.states),
      editor_(parts.editor),
      errorView_(parts.errorView),
      bookmarks_(parts.bookmarks),
      windowList_(parts.windowList),
      textChanges_(editor_.onChange.listen([this] { textChanged(); })),
      refusals_(editor_.onEditRefused.listen([this] {
        if (editsRefused(currentFormat_)) setMessage(tabs_[current_] + formatNote());
      })) {}

void DocumentCommands::startUp() {
  tabs_.assign(1, kUntitled);
  current_ = 0;
  setCurrentFile(kUntitled);
  currentExt_ = "mb";
  setCurrentFormat({.lineBreak = editor_.lineBreak()});
  editor_.setModified(false);
  states_.setEnabled(platform::Command::bSave, false);
  savePageState(0);
  syncTabs();
}

// ----- Page state -----

void DocumentCommands::savePageState(int i) {
  Page& p = pages_[i];
  p.text = editor_.text();
  p.fileName = currentFile_;
  p.topLine = editor_.topLine();
  p.caretPos = editor_.selStart();
  p.modified = editor_.modified();
  states_.setEnabled(platform::Command::bSave, p.modified);
  p.ext = lowerDotExtension(currentFile_);
  p.bookmarkCaptions = bookmarks_.bookmarkCaptions();
  p.errorMarks = bookmarks_.errorMarks();
  p.format = currentFormat_;
}

std::vector<editor::ErrorMark> DocumentCommands::errorMarks(int i) const {
  return i == current_ ? bookmarks_.errorMarks() : pages_[i].errorMarks;
}

void DocumentCommands::setErrorMarks(int i, std::vector<editor::ErrorMark> marks) {
  if (i == current_) bookmarks_.setErrorMarks(marks);
  pages_[i].errorMarks = std::move(marks);
}

void DocumentCommands::restorePageState(int i) {
  const Page& p = pages_[i];
  {
    const auto mute = editor_.muteEvents(kPageLoad);
    editor_.setText(p.text);
    editor_.setModified(p.modified);
    setCurrentFile(p.fileName);
    setCurrentFormat(p.format);
    editor_.setTopLine(p.topLine);
    editor_.setSelStart(p.caretPos);
    currentExt_ = withoutDot(p.ext);
    bookmarks_.clearAllBookmarks();
    bookmarks_.setBookmarkCaptions(p.bookmarkCaptions);
    bookmarks_.setErrorMarks(p.errorMarks);
  }
  states_.setEnabled(platform::Command::bSave, editor_.modified());
  pageShown.listeners_.notify();
  states_.setEnabled(platform::Command::bCut, false);
  states_.setEnabled(platform::Command::bCopy, false);
  showUndoStates();
  const bool hasText = editor_.charCount() > 0;
  states_.setEnabled(platform::Command::bPreview, hasText);
  states_.setEnabled(platform::Command::bPrint, hasText);
}

void DocumentCommands::enterPage(int i) {
  restorePageState(i);
  bookmarks_.restoreBookmarks();
}

void DocumentCommands::setCurrentFile(const std::string& name) {
  currentFile_ = name;
  view_.setCaption("Quillon - " + (name.empty() ? std::string(kUntitled) : fileNamePart(name)));
}

void DocumentCommands::setCurrentFormat(const TextFormat& format) {
  currentFormat_ = format;
  editor_.setReadOnly(editsRefused(format));
}

std::string DocumentCommands::formatNote() const {
  // Why the user sees a character as two or three: they are its UTF-8 bytes.
  if (!currentFormat_.heldAsUtf8) return {};
  return std::string(" (") + encodingName(currentFormat_.encoding) + " beyond Windows-1252" +
         (editsRefused(currentFormat_) ? kReadOnlyNote : "") + ")";
}

void DocumentCommands::showLoaded(const std::string& caption) {
  setMessage("LOADED: " + caption + formatNote());
}

void DocumentCommands::showUndoStates() {
  states_.setEnabled(platform::Command::bUndo, platform::Command::Undo1, editor_.canUndo());
  states_.setEnabled(platform::Command::bRedo, platform::Command::Redo1, editor_.canRedo());
}

void DocumentCommands::textChanged() {
  showUndoStates();
  // A page whose text was deleted completely counts as unmodified.
  const bool hasText = editor_.charCount() > 0;
  editor_.setModified(hasText);
  pages_[current_].modified = hasText;
  for (platform::Command c :
       {platform::Command::bSave, platform::Command::bPreview, platform::Command::bPrint})
    states_.setEnabled(c, hasText);
  showModifiedMarks();
}

// ----- Tabs -----

// The strip's tabs are set anew, marks and all.
void DocumentCommands::syncTabs() {
  view_.setTabs(tabs_, current_);
  shownMarks_.clear();
  showModifiedMarks();
}

void DocumentCommands::showModifiedMarks() {
  std::vector<bool> marks(tabs_.size());
  for (int i = 0; i < tabCount(); ++i) marks[static_cast<std::size_t>(i)] = pageModified(i);
  if (marks == shownMarks_) return;
  shownMarks_ = marks;
  view_.setTabMarks(marks);
}

// An entry is marked when an open page has exactly its name; closed names stay unmarked.
void DocumentCommands::showWindowMenu() {
  view_.setWindowMenu(windowList_.captions(RecentList::Shown::FileNamePart));
  std::vector<bool> marks;
  for (const std::string& name : windowList_.entries()) {
    bool modified = false;
    for (int i = 0; i < tabCount() && !modified; ++i)
      modified = fileNameOf(i) == name && pageModified(i);
    marks.push_back(modified);
  }
  view_.setWindowMenuMarks(marks);
}

void DocumentCommands::addTab(const std::string& caption) {
  tabs_.push_back(caption);
  syncTabs();
}

void DocumentCommands::removeTab(int i) {
  tabs_.erase(tabs_.begin() + i);
  if (current_ >= tabCount()) current_ = std::max(0, tabCount() - 1);
  syncTabs();
}

void DocumentCommands::tabChanging() {
  savePageState(current_);
  ui_.processPendingMessages();
}

void DocumentCommands::tabChanged(int index) {
  if (index < 0 || index >= tabCount()) return;
  current_ = index;
  enterPage(index);
  ui_.processPendingMessages();
  // Cleared first: a scan of the page writes its own text. A read-only page says why.
  setMessage(editsRefused(currentFormat_) ? tabs_[current_] + formatNote() : std::string());
  pageEntered.listeners_.notify();
  enableBuildCommands(true);
  loadErrorCompanion();
  syncTabs();
}

void DocumentCommands::selectTab(int index) {
  if (index < 0 || index >= tabCount() || index == current_) return;
  tabChanging();
  tabChanged(index);
}

void DocumentCommands::showPage(int index) {
  if (index < 0 || index >= tabCount()) return;
  savePageState(current_);
  current_ = index;
  syncTabs();
  enterPage(index);
  enableBuildCommands(true);
}

void DocumentCommands::settleVisitedPage() {
  pageEntered.listeners_.notify();
  loadErrorCompanion();
}

void DocumentCommands::pageSetChanged() {
  revertAvailable_ = false;
  states_.setEnabled(platform::Command::Revert1, false);
  pagesChanged.listeners_.notify();
}

int DocumentCommands::openAsPage(const std::string& name) {
  if (const int open = findOpenPage(name); open >= 0) {
    showPage(open);
    return open;
  }
  if (tabCount() >= PageTable::kMaxTabs) {
    setMessage(PageTable::kTooManyPages);
    return -1;
  }
  const std::vector<std::string> tabsBefore = tabs_;
  openFiles({name}, Opener::Project);
  if (tabs_ != tabsBefore) pageSetChanged();
  if (findOpenPage(name) != current_) return -1;
  pageEntered.listeners_.notify();
  enableBuildCommands(true);
  refreshWindowList();
  filesLoaded.listeners_.notify();
  return current_;
}

void DocumentCommands::setTabCaption(int i, const std::string& caption) {
  if (i < 0 || i >= tabCount()) return;
  tabs_[static_cast<std::size_t>(i)] = caption;
  syncTabs();
}

void DocumentCommands::makeCurrent(int i) {
  if (i < 0 || i >= tabCount()) return;
  current_ = i;
  syncTabs();
}

void DocumentCommands::setCurrentDocument(const std::string& name, const std::string& ext) {
  setCurrentFile(name);
  currentExt_ = ext;
}

void DocumentCommands::nextPage() { selectTab(current_ + 1 < tabCount() ? current_ + 1 : 0); }
void DocumentCommands::previousPage() { selectTab(current_ > 0 ? current_ - 1 : tabCount() - 1); }

void DocumentCommands::enableBuildCommands(bool disableOthers) {
  if (currentExt_ == "mb") {
    states_.setEnabled(platform::Command::bCompile, platform::Command::Compile1, true);
    states_.setEnabled(platform::Command::bLink, platform::Command::Link1, false);
  } else if (currentExt_ == "mbp") {
    states_.setEnabled(platform::Command::bCompile, platform::Command::Compile1, false);
    states_.setEnabled(platform::Command::bLink, platform::Command::Link1, true);
  } else if (disableOthers) {
    states_.setEnabled(platform::Command::bCompile, platform::Command::Compile1, false);
    states_.setEnabled(platform::Command::bLink, platform::Command::Link1, false);
  }
}

void DocumentCommands::loadErrorCompanion() {
  // An untitled page has no folder: its companion would be looked up in whatever folder the
  // program happens to run in.
  fs::path shown;
  if (currentFile_ != kUntitled && !currentFile_.empty()) {
    fs::path err = currentFile_;
    err.replace_extension(".err");
    if (const std::optional<fs::path> found = platform::findAnyCase(err)) {
      try {
        loadErrorFile(errorView_, *found);
        shown = *found;
      } catch (const std::exception&) {}
    }
  }
  if (shown.empty()) errorView_.clear();
  errorFileShown.listeners_.notify(shown);
}

// ----- Window menu -----

std::string DocumentCommands::documentKey(std::string_view fileName) {
  // A file called "Untitled" in the working folder is another page than the fresh one.
  return fileName == kUntitled ? std::string() : platform::fileKey(fileName);
}

const std::string& DocumentCommands::fileNameOf(int i) const {
  return i == current_ ? currentFile_ : pages_[i].fileName;
}

// The list keeps file names and shows their file-name part, so that a pick finds the very file
// even where two pages have the same caption.
void DocumentCommands::refreshWindowList() {
  view_.setWindowMenu({});
  ui_.processPendingMessages();
  for (int i = tabCount() - 1; i >= 0; --i) windowList_.add(fileNameOf(i));
  showWindowMenu();
}

void DocumentCommands::windowMenuPick(std::size_t entry) {
  if (entry >= windowList_.size()) return;
  const std::string name = windowList_.entries()[entry];
  const int index = findOpenPage(name);
  if (index < 0) return;
  savePageState(current_);
  ui_.processPendingMessages();
  current_ = index;
  syncTabs();
  ui_.processPendingMessages();
  restorePageState(index);
  ui_.processPendingMessages();
  bookmarks_.restoreBookmarks();
  // As a click on the tab would: the build commands and the error view follow the page.
  enableBuildCommands(true);
  loadErrorCompanion();
  windowList_.add(name);
  showWindowMenu();
}

// ----- New -----

bool DocumentCommands::editorBlank() const {
  if (editor_.paragraphCount() > 1) return false;
  const std::string_view line =
      editor_.paragraphCount() == 0 ? std::string_view() : editor_.paragraphText(0);
  return platform::trimStart(line, platform::isSpaceOrTab).empty();
}

bool DocumentCommands::singleUntouchedPage() const {
  return tabCount() == 1 && tabs_[0] == kUntitled && editorBlank() && !editor_.modified();
}

void DocumentCommands::newPage() {
  {
    const auto mute = editor_.muteEvents(kPageText);
    if (tabCount() >= PageTable::kMaxTabs) {
      setMessage(PageTable::kTooManyPages);
      return;
    }
    // A new page starts without the history of the text that was there before, even when
    // that text was deleted to nothing.
    if (tabCount() == 0) {
      editor_.setText({});
      tabs_.push_back(kUntitled);
      current_ = 0;
      syncTabs();
      setCurrentFile(kUntitled);
      currentExt_.clear();
      setCurrentFormat({.lineBreak = editor_.lineBreak()});
      editor_.setModified(false);
      states_.setEnabled(platform::Command::bSave, false);
      bookmarks_.clearAllBookmarks();
      savePageState(0);
      states_.setEnabled(platform::Command::bCompile, platform::Command::Compile1, false);
      states_.setEnabled(platform::Command::bLink, platform::Command::Link1, false);
    } else if (tabCount() == 1 && !editor_.modified() && editorBlank()) {
      // The one page is untouched: it becomes the new page.
      Page& p = pages_[0];
      p.text = editor_.text();
      p.fileName = currentFile_;
      p.topLine = p.caretPos = 0;
      p.modified = false;
      p.ext.clear();
      editor_.clearUndo();
      editor_.setModified(false);
      states_.setEnabled(platform::Command::bSave, false);
      currentExt_.clear();
      bookmarks_.clearAllBookmarks();
      savePageState(0);
    } else {
      savePageState(current_);
      bookmarks_.clearAllBookmarks();
      editor_.setText({});
      tabs_.push_back(kUntitled);
      current_ = tabCount() - 1;
      syncTabs();
      setCurrentFile(kUntitled);
      currentExt_.clear();
      setCurrentFormat({.lineBreak = editor_.lineBreak()});
      Page& p = pages_[current_];
      p.clear();
      p.fileName = kUntitled;
      bookmarks_.clearAllBookmarks();
      savePageState(current_);
      editor_.setModified(false);
      states_.setEnabled(platform::Command::bSave, false);
      pageAdded.listeners_.notify();
    }
  }
  const bool hasText = editor_.charCount() > 0;
  states_.setEnabled(platform::Command::bPreview, hasText);
  states_.setEnabled(platform::Command::bPrint, hasText);
  states_.setEnabled(platform::Command::bCut, platform::Command::Cut1, false);
  states_.setEnabled(platform::Command::bCopy, platform::Command::Copy1, false);
  showUndoStates();
  pageSetChanged();
  refreshWindowList();
  pageEntered.listeners_.notify();
}

// ----- Open -----

void DocumentCommands::open(Opener opener) {
  if (tabCount() >= PageTable::kMaxTabs) {
    setMessage(PageTable::kTooManyPages);
    return;
  }
  const std::vector<std::string> tabsBefore = tabs_;
  stoppedLoad_.clear();
  lastLoadFailed_ = false;
  if (opener == Opener::Dialog && !commandLineFile_.empty()) {
    const std::string name = std::exchange(commandLineFile_, std::string());
    tabs_[0] = fileNamePart(name);
    syncTabs();
    platform::removeStaleSaveTemporaries(fs::path(name));
    if (loadFileIntoEditor(name)) {
      editor_.setModified(false);
      currentExt_ = withoutDot(lowerDotExtension(name));
      states_.setEnabled(platform::Command::bSave, editor_.modified());
      current_ = 0;
      savePageState(0);
      projectFolder_ = folderOf(name);
      fileUsed.listeners_.notify(name);
      ui_.processPendingMessages();
      editor_.setTopLine(0);
      editor_.setSelStart(0);
    } else {
      // Start-up goes on with the untouched page.
      tabs_[0] = kUntitled;
      syncTabs();
    }
  } else if (opener == Opener::Dialog) {
    openList_.clear();
    platform::Ui::FileDialog dialog;
    dialog.title = "Open File....";
    dialog.filter = kOpenFilter;
    dialog.filterIndex = 1;
    dialog.multiSelect = true;
    dialog.initialDir = projectFolder_;
    for (const fs::path& f : ui_.openFiles(dialog)) openList_.push_back(f.string());
    if (!openList_.empty()) openFiles(openList_, opener);
  } else {
    openFiles(openList_, opener);
  }

  // The end of every Open, also after a cancelled dialog.
  if (tabs_ != tabsBefore) pageSetChanged();
  // A failure keeps its own words: "LOADED: " names only a file that was loaded.
  if (!stoppedLoad_.empty())
    setMessage("LOAD STOPPED: " + fileNamePart(stoppedLoad_));
  else if (!lastLoadFailed_)
    showLoaded(tabs_[current_]);
  pageEntered.listeners_.notify();
  // A page of another type must not keep the last page's Compile or Link.
  enableBuildCommands(true);
  refreshWindowList();
  loadErrorCompanion();
  filesLoaded.listeners_.notify();
}

void DocumentCommands::openFiles(const std::vector<std::string>& requested, Opener opener) {
  const auto mute = editor_.muteEvents(kPageText);
  std::vector<std::string> names = requested;
  if (names.size() > static_cast<std::size_t>(PageTable::kMaxTabs)) {
    ui_.showMessage("Can Not Open " + std::to_string(names.size()) + " Files...Using First" +
                    std::to_string(PageTable::kMaxTabs));
    names.resize(PageTable::kMaxTabs);
  }
  savePageState(current_);
  bookmarks_.clearAllBookmarks();
  ui_.setBusy(true);
  // What a save killed half-way left beside these files goes now, one listing per folder.
  platform::removeStaleSaveTemporaries(std::vector<fs::path>(names.begin(), names.end()));
  std::vector<std::string> keys = pageKeys();
  for (const std::string& name : names) {
    const std::string key = documentKey(name);
    if (const int open = findOpenPage(name, key, keys); open >= 0) {
      current_ = open;
      syncTabs();
      enterPage(open);
      states_.setEnabled(platform::Command::bSave, editor_.modified());
      continue;
    }
    const bool reuse = singleUntouchedPage();
    if (!reuse && tabCount() >= PageTable::kMaxTabs) break;
    const int index = reuse ? 0 : tabCount();
    if (reuse) {
      tabs_[0] = fileNamePart(name);
      syncTabs();
    } else {
      addTab(fileNamePart(name));
    }
    // A fresh file starts without the marks of the page shown before it.
    bookmarks_.clearAllBookmarks();
    if (!loadFileIntoEditor(name)) {
      // The tab goes again and the page on screen comes back, so the strip and the table agree.
      if (reuse)
        tabs_[0] = kUntitled;
      else
        tabs_.pop_back();
      syncTabs();
      enterPage(current_);
      // Escape stops the whole Open, not only the one file.
      if (!stoppedLoad_.empty()) break;
      continue;
    }
    editor_.setModified(false);
    currentExt_ = withoutDot(lowerDotExtension(name));
    states_.setEnabled(platform::Command::bSave, editor_.modified());
    savePageState(index);
    current_ = index;
    keys.resize(static_cast<std::size_t>(tabCount()));
    keys[static_cast<std::size_t>(index)] = key;
    syncTabs();
    projectFolder_ = folderOf(name);
    if (opener == Opener::Dialog) fileUsed.listeners_.notify(name);
    ui_.processPendingMessages();
    editor_.setTopLine(0);
    editor_.setSelStart(0);
  }
  ui_.setBusy(false);
}

int DocumentCommands::findOpenPage(const std::string& fileName, const std::string& key,
                                   const std::vector<std::string>& pageKeys) const {
  for (int i = 0; i < tabCount(); ++i)
    if (fileNameOf(i) == fileName || (!key.empty() && pageKeys[static_cast<std::size_t>(i)] == key))
      return i;
  return -1;
}

std::vector<std::string> DocumentCommands::pageKeys() const {
  std::vector<std::string> keys;
  keys.reserve(static_cast<std::size_t>(tabCount()));
  for (int i = 0; i < tabCount(); ++i) keys.push_back(documentKey(fileNameOf(i)));
  return keys;
}

bool DocumentCommands::loadFileIntoEditor(const std::string& name) {
  bool loaded = true;
  bool stopped = false;
  std::string refusal;
  std::error_code sizeError;
  const std::uintmax_t size = fs::file_size(name, sizeError);
  LoadView* const watch = !sizeError && size >= kLongLoadBytes ? loadView_ : nullptr;
  if (watch) {
    watch->showWindowNow();
    watch->beginLoad();
    // Reading the file comes before the first report of the editor; say so at once.
    setMessage("LOADING 0%");
    stopped = watch->pollStop();
  }
  if (!stopped) {
    const auto mute = editor_.muteEvents(kPageText);
    const editor::Subscription progress =
        editor_.onProgress.listen([this, watch](std::int64_t done, std::int64_t total) {
          if (total <= 0) return;
          setMessage("LOADING " + std::to_string(done * 100 / total) + "%");
          if (watch) {
            if (watch->pollStop()) editor_.stopLoad();
          } else if (done >= total - 1) {
            ui_.processPendingMessages();
          }
        });
    try {
      setCurrentFormat(loadTextFile(editor_, name));
    } catch (const editor::MemoError& e) {
      // Over the editor's limits: refused before anything was read.
      refusal = "Cannot open file " + name + "\n" + e.what();
      loaded = false;
    } catch (const std::exception&) {
      refusal = "Cannot open file " + name;
      loaded = false;
    }
    if (loaded) {
      editor_.setModified(false);
      showUndoStates();
    }
    // The editor is empty and the page names no file, so nothing can be saved over it.
    if (loaded && editor_.loadStopped()) {
      stoppedLoad_ = name;
      stopped = true;
      editor_.setModified(false);
    }
  }
  if (watch) watch->endLoad();
  if (stopped) {
    stoppedLoad_ = name;
    setMessage("LOAD STOPPED: " + fileNamePart(name));
    return false;
  }
  lastLoadFailed_ = !loaded;
  if (!loaded) {
    setMessage(refusal.substr(0, refusal.find('\n')));
    ui_.showMessage(refusal);
    return false;
  }
  setCurrentFile(name);
  showLoaded(fileNamePart(name));
  editor_.setModified(false);
  states_.setEnabled(platform::Command::bSave, false);
  const bool hasText = editor_.charCount() > 0;
  states_.setEnabled(platform::Command::bPreview, hasText);
  states_.setEnabled(platform::Command::bPrint, hasText);
  return true;
}

// ----- Save -----

bool DocumentCommands::writeFile(const std::string& name) {
  // Its file holds this very text: the page took no edit.
  if (editsRefused(currentFormat_) && name == currentFile_) {
    setMessage("NOT SAVED: " + fileNamePart(name) + formatNote());
    editor_.setModified(false);
    return true;
  }
  if (currentFormat_.heldAsUtf8 && !editsRefused(currentFormat_)) {
    const std::int64_t broken = firstBrokenParagraph(editor_);
    if (broken >= 0 &&
        ui_.ask("Confirm",
                "Line " + std::to_string(broken + 1) + " of \"" + fileNamePart(name) +
                    "\" is no longer valid UTF-8. Save anyway, with its bytes written as the "
                    "characters they show?",
                platform::Ui::Buttons::YesNo) != platform::Ui::Answer::Yes)
      return false;
  }
  bool ok = true;
  bool ownerKept = true;
  {
    const editor::Subscription progress =
        editor_.onProgress.listen([this](std::int64_t done, std::int64_t total) {
          if (total <= 0) return;
          setMessage("Saving " + std::to_string(done * 100 / total) + "%");
        });
    try {
      ownerKept = saveTextFile(editor_, name, currentFormat_);
    } catch (const std::exception&) {
      ok = false;
    }
  }
  if (!ok) {
    setMessage("SAVE FAILED: " + fileNamePart(name));
    ui_.showMessage("Cannot create file " + name);
    return false;
  }
  if (!ownerKept) ui_.showMessage("Saved " + name + ", but its owner or group could not be kept");
  editor_.setModified(false);
  // Put back, the page would differ from what is now on the disk.
  if (revertAvailable_) revertTable_[static_cast<std::size_t>(current_)].savedSince = true;
  pageSaved.listeners_.notify(name);
  return true;
}

bool DocumentCommands::writeKeepingMark() {
  const bool modified = editor_.modified();
  const bool written = writeFile(currentFile_);
  editor_.setModified(modified);
  return written;
}

bool DocumentCommands::save() {
  bool saved;
  if (currentFile_ == kUntitled)
    saved = saveAs();
  else
    saved = writeFile(currentFile_);
  pages_[current_].modified = editor_.modified();
  states_.setEnabled(platform::Command::bSave, editor_.modified());
  showModifiedMarks();
  savedBuildCommands();
  return saved;
}

// After a save the page may have a new extension, or still none.
void DocumentCommands::savedBuildCommands() {
  if (currentExt_.empty() || tabs_[current_] == kUntitled) {
    states_.setEnabled(platform::Command::bCompile, platform::Command::Compile1, false);
    states_.setEnabled(platform::Command::bLink, platform::Command::Link1, false);
  } else {
    enableBuildCommands(true);
  }
}

bool DocumentCommands::saveAs() {
  platform::Ui::FileDialog dialog;
  dialog.title = "Save As....";
  dialog.overwritePrompt = true;
  if (currentFile_ == kUntitled) {
    saveFilter_ = kUntitledSaveFilter;
    dialog.filter = saveFilter_;
    const editor::Offset caret = editor_.selStart();
    const editor::Offset length = editor_.selLength();
    const bool linked = editor_.findText("[link]", true, false, false);
    editor_.select(caret, length);
    dialog.defaultExt = linked ? "mbp" : "mb";
    dialog.initialDir = linked ? projectFolder_ : programFolder_;
    dialog.fileName = kUntitled;
    dialog.filterIndex = linked ? 2 : 1;
  } else {
    dialog.filter = saveFilter_;
    dialog.filterIndex = currentExt_ == "mbp" ? 2 : 1;
    dialog.initialDir = folderOf(currentFile_);
    dialog.fileName = fileNamePart(currentFile_);
  }
  const std::optional<fs::path> chosen = ui_.saveFile(dialog);
  if (!chosen || chosen->empty()) return false;
  const std::string name = chosen->string();
  // Written before the page takes the new name, so a failed write leaves the page as it was.
  if (!writeFile(name)) return false;
  setCurrentFile(name);
  Page& p = pages_[current_];
  p.text = editor_.text();
  p.fileName = name;
  p.topLine = editor_.topLine();
  p.caretPos = editor_.selStart();
  p.ext = lowerDotExtension(name);
  p.format = currentFormat_;
  tabs_[current_] = fileNamePart(name);
  syncTabs();
  currentExt_ = withoutDot(p.ext);
  projectFolder_ = folderOf(name);
  fileUsed.listeners_.notify(name);
  editor_.setModified(false);
  p.modified = false;
  states_.setEnabled(platform::Command::bSave, false);
  showModifiedMarks();
  savedBuildCommands();
  return true;
}

bool DocumentCommands::savePageFromTable(int i) {
  current_ = i;
  syncTabs();
  enterPage(i);
  return save();
}

void DocumentCommands::saveAll() {
  const auto mute = editor_.muteEvents(kPageText);
  const int before = current_;
  savePageState(current_);
  for (int i = 0; i < tabCount(); ++i)
    if (pages_[i].modified) savePageFromTable(i);
  current_ = before;
  syncTabs();
  enterPage(before);
}

// ----- Close -----

bool DocumentCommands::askSavePage(int i) {
  if (i < 0) return false;
  ui_.processPendingMessages();
  if (!pages_[i].modified) return true;
  switch (
      ui_.ask("Confirm", saveQuestion(pages_[i].fileName), platform::Ui::Buttons::YesNoCancel)) {
    case platform::Ui::Answer::Yes:
      // A save that did not happen keeps the page open rather than losing it.
      return save();
    case platform::Ui::Answer::No: return true;
    default: return false;
  }
}

void DocumentCommands::closePage() {
  bool closed = false;
  {
    const auto mute = editor_.muteEvents(kPageText);
    const int i = current_;
    closed = askSavePage(i);
    if (!closed) {
      // Kept open: its marks are still set, and re-creating them would toggle them off.
    } else if (i == tabCount() - 1) {
      pages_[i].clear();
      removeTab(i);
      if (tabCount() > 0) {
        current_ = tabCount() - 1;
        syncTabs();
        restorePageState(current_);
      } else {
        newPage();
      }
    } else {
      for (int j = i; j < tabCount() - 1; ++j) {
        pages_[j] = pages_[j + 1];
        tabs_[static_cast<std::size_t>(j)] = tabs_[static_cast<std::size_t>(j) + 1];
      }
      pages_[tabCount() - 1].clear();
      tabs_.pop_back();
      current_ = i;
      syncTabs();
      restorePageState(i);
    }
  }
  const bool hasText = editor_.charCount() > 0;
  states_.setEnabled(platform::Command::bPrint, hasText);
  states_.setEnabled(platform::Command::bPreview, hasText);
  if (closed) bookmarks_.restoreBookmarks();
  ui_.processPendingMessages();
  pageClosed.listeners_.notify();
  enableBuildCommands(true);
  loadErrorCompanion();
  setMessage("CLOSED PAGE....");
  if (closed) pageSetChanged();
  refreshWindowList();
}

void DocumentCommands::closeAll() {
  {
    const auto mute = editor_.muteEvents(kBulk);
    const int before = current_;
    savePageState(current_);
    bool yesToAll = false;
    for (int i = 0; i < tabCount(); ++i) {
      if (!pages_[i].modified) continue;
      if (!yesToAll) {
        const auto answer =
            ui_.ask("Confirm", saveQuestion(pages_[i].fileName), platform::Ui::Buttons::YesNoAll);
        if (answer == platform::Ui::Answer::NoToAll) break;
        if (answer == platform::Ui::Answer::No) continue;
        if (answer == platform::Ui::Answer::YesToAll)
          yesToAll = true;
        else if (answer != platform::Ui::Answer::Yes)
          continue;
      }
      if (!savePageFromTable(i)) {
        // The user asked for this page to be kept; it stays open, and so does everything else.
        if (current_ != before) {
          current_ = before;
          syncTabs();
          enterPage(before);
        }
        return;
      }
    }
    ui_.processPendingMessages();
    pages_.clearAll();
    tabs_.clear();
    ui_.processPendingMessages();
    editor_.clear();
    editor_.setModified(false);
    states_.setEnabled(platform::Command::bSave, false);
    newPage();
    current_ = 0;
    syncTabs();
  }
  for (platform::Command c :
       {platform::Command::bCut, platform::Command::Cut1, platform::Command::bCopy,
        platform::Command::Copy1, platform::Command::bPreview, platform::Command::bPrint})
    states_.setEnabled(c, false);
  allPagesClosed.listeners_.notify();
  loadErrorCompanion();
  setMessage("CLOSED ALL....");
  pageSetChanged();
  refreshWindowList();
}

bool DocumentCommands::confirmClose() {
  if (tabCount() == 1 && tabs_[0] == kUntitled && !editor_.modified()) return true;
  const auto mute = editor_.muteEvents(kBulk);
  const int before = current_;
  savePageState(current_);
  bool yesToAll = false;
  bool canClose = true;
  for (int i = 0; i < tabCount() && canClose; ++i) {
    if (!pages_[i].modified) continue;
    if (!yesToAll) {
      const auto answer = ui_.ask("Confirm", saveQuestion(pages_[i].fileName),
                                  platform::Ui::Buttons::YesNoCancelAll);
      if (answer == platform::Ui::Answer::Cancel) {
        canClose = false;
        break;
      }
      if (answer == platform::Ui::Answer::NoToAll) break;
      if (answer == platform::Ui::Answer::No) continue;
      if (answer == platform::Ui::Answer::YesToAll) yesToAll = true;
    }
    // A save that did not happen keeps the window open rather than losing the page.
    if (!savePageFromTable(i)) canClose = false;
  }
  // The page on screen is the current tab's again, for the session and for going on editing.
  if (current_ != before) {
    current_ = before;
    syncTabs();
    enterPage(before);
  }
  return canClose;
}

// ----- Drop -----

void DocumentCommands::filesDropped(const std::vector<std::string>& names) {
  openList_ = names;
  ui_.processPendingMessages();
  if (names.size() == 1 && lowerDotExtension(names.front()) == ".mbp" &&
      projectDropped.listeners_.heard())
    projectDropped.listeners_.notify(names.front());
  else
    open(Opener::Drop);
  view_.bringToFront();
  setMessage("Files Dropped.....");
}

// ----- Revert -----

void DocumentCommands::fillRevertTable() {
  for (int i = 0; i < tabCount(); ++i) {
    RevertEntry& e = revertTable_[static_cast<std::size_t>(i)];
    if (i == current_) {
      e.text = editor_.text();
      e.modified = editor_.modified();
    } else {
      e.text = pages_[i].text;
      e.modified = pages_[i].modified;
    }
    e.savedSince = false;
  }
  revertAvailable_ = true;
  states_.setEnabled(platform::Command::Revert1, true);
}

void DocumentCommands::revert(bool allPages) {
  if (!revertAvailable_) return;
  auto putBackCurrent = [this] {
    const RevertEntry& e = revertTable_[static_cast<std::size_t>(current_)];
    const editor::Offset caret = editor_.selStart();
    const auto mute = editor_.muteEvents(kPageText);
    editor_.setText(e.text);
    editor_.setModified(e.differsFromDisk());
    editor_.setSelStart(std::min<editor::Offset>(caret, editor_.charCount()));
    pages_[current_].modified = e.differsFromDisk();
  };
  bool anyModified = false;
  if (allPages) {
    for (int i = 0; i < tabCount(); ++i) {
      const RevertEntry& e = revertTable_[static_cast<std::size_t>(i)];
      if (i == current_) {
        putBackCurrent();
      } else {
        pages_[i].text = e.text;
        pages_[i].modified = e.differsFromDisk();
      }
      anyModified = anyModified || e.differsFromDisk();
    }
  } else {
    putBackCurrent();
    anyModified = revertTable_[static_cast<std::size_t>(current_)].differsFromDisk();
  }
  states_.setEnabled(platform::Command::bSave, platform::Command::Save1, anyModified);
  revertAvailable_ = false;
  states_.setEnabled(platform::Command::Revert1, false);
}

}  // namespace quillon::pages

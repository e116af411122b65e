// The page commands end to end: a Workbench over real files in a temporary folder, with a
// scripted Ui answering every dialog and question.
#include "pages/document_commands.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "app/workbench.h"
#include "pages/text_encoding.h"
#include "support/fixed_metrics.h"
#include "support/special_files.h"
#include "support/temp_folder.h"
#include "support/test_program.h"
#include "support/workbench_ports.h"

namespace quillon::pages {
namespace {

namespace fs = std::filesystem;
using Answer = platform::Ui::Answer;
using Opener = DocumentCommands::Opener;
using app::Workbench;
using testing::numberedLines;
using testing::TempFolder;

class DocumentCommandsTest : public ::testing::Test, protected testing::WorkbenchPorts {
protected:
  void SetUp() override {
    editor().setMetrics(&metrics);
    editor().setViewport(400, 160);  // ten lines
    installed.start(bench);
  }

  editor::CodeMemo& editor() { return bench.sourceEditor(); }
  DocumentCommands& docs() { return bench.documents(); }

  fs::path file(const std::string& name, const std::string& text) { return folder.write(name, text); }

  void openFromDialog(const std::vector<fs::path>& files) {
    ui.queueOpenFiles(files);
    docs().open(Opener::Dialog);
  }

  void type(const std::string& text) { editor().setSelText(text); }
  void caretToLine(int line) { editor().setSelLine(line - 1); }

  testing::TestProgram installed;
  TempFolder folder{"quillon-pages"};
  test::FixedMetrics metrics;
  Workbench bench{ports()};
};

TEST_F(DocumentCommandsTest, PagesKeepTextCaretTopLineModifiedStateAndBookmarksThroughSwitchesAndClosing) {
  openFromDialog({file("a.mb", numberedLines("a", 60)), file("b.mb", numberedLines("b", 60)),
                  file("c.mb", numberedLines("c", 60))});
  ASSERT_EQ(docs().currentTab(), 2);
  caretToLine(10);
  bench.editing().setBookmark(2);
  caretToLine(30);
  bench.editing().setBookmark(7);
  caretToLine(25);
  type("edited ");
  editor().setTopLine(17);
  const std::string text = editor().text();
  const editor::Offset caret = editor().selStart();

  docs().selectTab(0);
  EXPECT_EQ(editor().text(), numberedLines("a", 60));
  EXPECT_FALSE(editor().modified());
  EXPECT_EQ(bench.gutter().bookmarkLine(2), -1) << "page 0 has no bookmarks";
  EXPECT_EQ(view.bookmarkCaptions[2], "2");
  EXPECT_EQ(view.caption, "Quillon - a.mb");
  caretToLine(3);
  bench.editing().setBookmark(5);

  // Closing the middle page brings the last one back as it was left.
  docs().selectTab(1);
  type("b edit ");
  ui.queueAnswer(Answer::No);
  docs().closePage();
  ASSERT_EQ(ui.questions().size(), 1u);
  EXPECT_EQ(ui.questions()[0].caption, "Confirm");
  EXPECT_EQ(ui.questions()[0].text, "Save changes to \"b.mb\"?");
  EXPECT_EQ(ui.questions()[0].buttons, platform::Ui::Buttons::YesNoCancel);
  EXPECT_EQ(view.tabs, (std::vector<std::string>{"a.mb", "c.mb"}));
  EXPECT_EQ(ui.statusText(4), "CLOSED PAGE....");
  EXPECT_EQ(docs().page(2).fileName, "") << "the freed record is cleared";
  EXPECT_EQ(docs().currentTab(), 1);
  EXPECT_EQ(editor().text(), text);
  EXPECT_EQ(editor().selStart(), caret);
  EXPECT_EQ(editor().topLine(), 17);
  EXPECT_TRUE(editor().modified());
  EXPECT_TRUE(states.enabled(platform::Command::bSave));
  EXPECT_EQ(bench.gutter().bookmarkLine(2), 9);
  EXPECT_EQ(bench.gutter().bookmarkLine(7), 29);
  EXPECT_EQ(view.bookmarkCaptions[7], "7 30==>c 30");

  docs().selectTab(0);
  EXPECT_EQ(editor().text(), numberedLines("a", 60));
  EXPECT_EQ(bench.gutter().bookmarkLine(5), 2);
}

TEST_F(DocumentCommandsTest, AnEmptiedPageCountsAsUnmodifiedAndOnlyAnUntouchedPageIsReused) {
  docs().newPage();
  EXPECT_EQ(docs().tabCount(), 1);
  type("x");
  EXPECT_TRUE(editor().modified());
  for (platform::Command c : {platform::Command::bSave, platform::Command::bPreview, platform::Command::bPrint}) EXPECT_TRUE(states.enabled(c));
  editor().selectAll();
  type("");
  EXPECT_FALSE(editor().modified());
  EXPECT_FALSE(docs().page(0).modified);
  for (platform::Command c : {platform::Command::bSave, platform::Command::bPreview, platform::Command::bPrint}) EXPECT_FALSE(states.enabled(c));
  type("y");
  EXPECT_TRUE(states.enabled(platform::Command::bSave));
  EXPECT_TRUE(docs().page(0).modified);
  docs().newPage();
  EXPECT_EQ(docs().tabCount(), 2);
  EXPECT_EQ(docs().currentTab(), 1);
  EXPECT_EQ(editor().charCount(), 0);
  EXPECT_FALSE(states.enabled(platform::Command::bSave));
  docs().selectTab(0);
  EXPECT_EQ(editor().text(), "y");
}

// The error view that follows the page is the error panel's test.
TEST_F(DocumentCommandsTest, EnteringAPageSetsCompileAndLink) {
  openFromDialog({file("a.mb", "Dim a\r\n"), file("b.mbp", "[link]\r\n"), file("notes.txt", "notes\r\n")});
  for (const auto& [tab, compile, link] :
       {std::tuple{0, true, false}, {1, false, true}, {2, false, false}, {0, true, false}}) {
    docs().selectTab(tab);
    EXPECT_EQ(states.enabled(platform::Command::bCompile), compile) << tab;
    EXPECT_EQ(states.enabled(platform::Command::Compile1), compile) << tab;
    EXPECT_EQ(states.enabled(platform::Command::bLink), link) << tab;
    EXPECT_EQ(states.enabled(platform::Command::Link1), link) << tab;
  }
  docs().newPage();
  docs().selectTab(0);
  docs().selectTab(3);
  EXPECT_FALSE(states.enabled(platform::Command::bCompile));
  EXPECT_FALSE(states.enabled(platform::Command::bLink));
}

TEST_F(DocumentCommandsTest, OpenUsesTheUntouchedPageSwitchesToOpenFilesAndKeepsTheDialogTexts) {
  const fs::path a = file("a.mb", "A\r\n");
  const fs::path b = file("b.mb", "B\r\n");
  openFromDialog({a});
  EXPECT_EQ(view.tabs, std::vector<std::string>{"a.mb"}) << "the untouched Untitled page is reused";
  ASSERT_EQ(ui.fileDialogs().size(), 1u);
  const auto& dialog = ui.fileDialogs()[0];
  EXPECT_EQ(dialog.title, "Open File....");
  EXPECT_EQ(dialog.filter,
            "Source Files (*.mb)|*.mb|Definations (*.def)|*.def|Error Files (*.err)|*.err|All Files (*.*)|*.*");
  EXPECT_EQ(dialog.filterIndex, 1);
  EXPECT_TRUE(dialog.multiSelect);
  EXPECT_EQ(ui.statusText(4), "LOADED: a.mb");
  EXPECT_NE(std::find(ui.statusHistory().begin(), ui.statusHistory().end(), std::pair<int, std::string>{4, "LOADING 100%"}),
            ui.statusHistory().end());
  EXPECT_EQ(bench.recentFiles().entries(), std::vector<std::string>{a.string()});

  openFromDialog({b});
  // The same file under another name is already open: only its tab comes forward.
  fs::create_symlink(a, folder / "link.mb");
  openFromDialog({folder / "link.mb"});
  EXPECT_EQ(docs().tabCount(), 2);
  EXPECT_EQ(docs().currentTab(), 0);
  EXPECT_EQ(editor().text(), "A\r\n");

  // A cancelled dialog still ends as every Open does.
  openFromDialog({});
  EXPECT_EQ(ui.statusText(4), "LOADED: a.mb");
  EXPECT_EQ(docs().tabCount(), 2);
}

// Letter case makes another file here, so another page, everywhere a page is looked up.
TEST_F(DocumentCommandsTest, NamesThatDifferOnlyInCaseAreTwoPages) {
  const fs::path lower = file("a.mb", "lower\r\n");
  const fs::path upper = file("A.mb", "upper\r\n");
  openFromDialog({lower});
  openFromDialog({upper});
  EXPECT_EQ(view.tabs, (std::vector<std::string>{"a.mb", "A.mb"}));
  EXPECT_EQ(editor().text(), "upper\r\n");
  EXPECT_EQ(ui.statusText(4), "LOADED: A.mb");
  EXPECT_EQ(bench.recentFiles().entries(), (std::vector<std::string>{upper.string(), lower.string()}));

  EXPECT_EQ(view.windowMenu, (std::vector<std::string>{"&1 a.mb", "&2 A.mb"}));
  docs().windowMenuPick(0);
  EXPECT_EQ(editor().text(), "lower\r\n");
  docs().windowMenuPick(1);
  EXPECT_EQ(editor().text(), "upper\r\n");

  openFromDialog({lower});
  EXPECT_EQ(docs().tabCount(), 2);
  EXPECT_EQ(editor().text(), "lower\r\n");
}

TEST_F(DocumentCommandsTest, FiftyPagesAtMost) {
  std::vector<fs::path> files;
  for (int i = 0; i < 60; ++i) files.push_back(file("f" + std::to_string(i) + ".mb", "file " + std::to_string(i)));
  openFromDialog(files);
  ASSERT_EQ(ui.messages(), std::vector<std::string>{"Can Not Open 60 Files...Using First50"});
  EXPECT_EQ(docs().tabCount(), 50);
  EXPECT_EQ(view.tabs.back(), "f49.mb");
  EXPECT_EQ(docs().page(49).fileName, files[49].string());

  docs().newPage();
  EXPECT_EQ(ui.statusText(4), "50 File MAX -- Close Excess First");
  EXPECT_EQ(docs().tabCount(), 50);
  docs().open(Opener::Dialog);  // no dialog: the limit stops it first
  EXPECT_EQ(docs().tabCount(), 50);

  // An open that reaches the limit on the way stops adding pages there.
  docs().closePage();
  docs().closePage();
  openFromDialog({file("x.mb", "x"), file("y.mb", "y"), file("z.mb", "z")});
  EXPECT_EQ(docs().tabCount(), 50);
  EXPECT_EQ(view.tabs[49], "y.mb");
}

TEST_F(DocumentCommandsTest, UnreadableFilesAreReportedAndTheRestStillOpen) {
  testing::HangGuard guard;
  const fs::path a = file("a.mb", "A\r\n");
  const fs::path missing = folder / "missing.mb";
  const fs::path huge = testing::makeSparseFile(folder / "huge.mb", editor::kMaxLoadLength + 1);
  const fs::path nul = file("nul.mb", std::string("a\0b\r\n", 5));
  const fs::path odd = file("my café file.mb", "odd\r\n");
  std::vector<fs::path> chosen{a, missing};
  std::vector<std::string> expected{"Cannot open file " + missing.string()};
  // A FIFO, a socket, a folder, a link to the FIFO and /dev/zero.
  for (const testing::SpecialFile& f : testing::makeSpecialFiles(folder.path())) {
    chosen.push_back(f.path);
    expected.push_back("Cannot open file " + f.path.string());
  }
  chosen.insert(chosen.end(), {huge, nul, odd});
  expected.push_back("Cannot open file " + huge.string() + "\nText too long");
  openFromDialog(chosen);

  EXPECT_EQ(ui.messages(), expected);
  ASSERT_EQ(view.tabs, (std::vector<std::string>{"a.mb", "nul.mb", "my café file.mb"}));
  for (int i = 0; i < 3; ++i) EXPECT_EQ(fs::path(docs().page(i).fileName).filename().string(), view.tabs[i]);
  EXPECT_EQ(docs().currentTab(), 2);
  EXPECT_EQ(editor().text(), "odd\r\n");
  EXPECT_EQ(view.caption, "Quillon - my café file.mb");
  docs().selectTab(1);
  EXPECT_EQ(editor().charCount(), 5) << "the NUL byte is replaced, not a line end";

  // A failure on the untouched page leaves it Untitled.
  docs().closeAll();
  openFromDialog({missing});
  EXPECT_EQ(view.tabs, std::vector<std::string>{"Untitled"});
  EXPECT_EQ(docs().page(0).fileName, "Untitled");
}

TEST_F(DocumentCommandsTest, SavingAnUntitledPageFollowsTheLinkRule) {
  docs().setProjectFolder(folder / "project/");
  type("Dim x\r\n[LINK] a.mbo\r\n");
  editor().setSelStart(0);
  const fs::path project = folder / "p.mbp";
  ui.queueSaveFile(project);
  ASSERT_TRUE(docs().save());
  const platform::Ui::FileDialog linked = ui.fileDialogs().back();
  EXPECT_EQ(linked.title, "Save As....");
  EXPECT_EQ(linked.filter, "MapBasic Source (*.mb)|*.mb|Project Source (*.mbp)|*.mbp|All Files (*.*)|*.*");
  EXPECT_EQ(linked.defaultExt, "mbp");
  EXPECT_EQ(linked.filterIndex, 2);
  EXPECT_EQ(linked.initialDir, folder / "project/");
  EXPECT_EQ(linked.fileName, "Untitled");
  EXPECT_TRUE(linked.overwritePrompt);
  EXPECT_EQ(editor().selStart(), 0) << "the search puts the caret back";
  EXPECT_EQ(TempFolder::read(project), "Dim x\r\n[LINK] a.mbo\r\n");
  EXPECT_EQ(view.tabs, std::vector<std::string>{"p.mbp"});
  EXPECT_EQ(view.caption, "Quillon - p.mbp");
  EXPECT_FALSE(editor().modified());
  EXPECT_FALSE(states.enabled(platform::Command::bSave));
  EXPECT_TRUE(states.enabled(platform::Command::bLink));
  EXPECT_FALSE(states.enabled(platform::Command::bCompile));
  EXPECT_EQ(bench.recentFiles().entries(), std::vector<std::string>{project.string()});
  EXPECT_EQ(docs().projectFolder(), folder.path() / "");

  // The link stands before the caret: an ordinary source in the program folder.
  docs().newPage();
  type("[link]\r\n");
  ui.queueSaveFile(std::nullopt);
  EXPECT_FALSE(docs().save());
  const platform::Ui::FileDialog plain = ui.fileDialogs().back();
  EXPECT_EQ(plain.defaultExt, "mb");
  EXPECT_EQ(plain.filterIndex, 1);
  EXPECT_EQ(plain.initialDir, docs().programFolder());
  EXPECT_TRUE(editor().modified()) << "a cancelled Save As saves nothing";

  // A named project page: the last filter set, index 2.
  docs().selectTab(0);
  ui.queueSaveFile(std::nullopt);
  docs().saveAs();
  EXPECT_EQ(ui.fileDialogs().back().filter, linked.filter);
  EXPECT_EQ(ui.fileDialogs().back().filterIndex, 2);

  // Saved under another extension, the page builds as what it now is.
  ui.queueSaveFile(folder / "p.mb");
  ASSERT_TRUE(docs().saveAs());
  EXPECT_TRUE(states.enabled(platform::Command::bCompile));
  EXPECT_FALSE(states.enabled(platform::Command::bLink));
}

// A full disk or a read-only file: the old file stays, the page stays modified.
TEST_F(DocumentCommandsTest, AFailedSaveKeepsTheOldFileAndThePageModified) {
  const std::string old = numberedLines("old", 10);
  const fs::path readOnly = file("read-only.mb", old);
  ::chmod(readOnly.c_str(), 0444);  // refused even to root
  const fs::path a = file("a.mb", old);
  openFromDialog({readOnly, a});
  for (const fs::path& f : {a, readOnly}) {
    SCOPED_TRACE(f.filename().string());
    docs().selectTab(f == a ? 1 : 0);
    type(std::string(64 * 1024, 'x'));
    {
      std::optional<testing::FileSizeLimit> full;
      if (f == a) full.emplace(4096);
      EXPECT_FALSE(docs().save());
    }
    EXPECT_EQ(ui.statusText(4), "SAVE FAILED: " + f.filename().string()) << "not \"Saving 100%\"";
    EXPECT_EQ(TempFolder::read(f), old);
    EXPECT_TRUE(editor().modified());
    EXPECT_TRUE(states.enabled(platform::Command::bSave));
    EXPECT_TRUE(docs().page(docs().currentTab()).modified);
  }
  EXPECT_EQ(ui.messages(),
            (std::vector<std::string>{"Cannot create file " + a.string(), "Cannot create file " + readOnly.string()}));
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), {}), 2) << "no temporary file left behind";

  // Save As into a folder that does not exist: the page keeps its own name.
  docs().selectTab(1);
  ui.queueSaveFile(folder / "no/such/folder/b.mb");
  EXPECT_FALSE(docs().saveAs());
  EXPECT_EQ(docs().currentFile(), a.string());
  EXPECT_EQ(view.tabs, (std::vector<std::string>{"read-only.mb", "a.mb"}));

  EXPECT_TRUE(docs().save());
  EXPECT_EQ(TempFolder::read(a), editor().text());
  EXPECT_EQ(ui.statusText(4), "Saving 100%");
}

// Another user saves a file he may write but does not own: it is saved, and he is told.
TEST_F(DocumentCommandsTest, ASaveThatCannotKeepTheOwnerSaysSo) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as two users";
  ::chmod(folder.path().c_str(), 0777);
  const fs::path shared = file("shared.mb", "old\r\n");
  ::chmod(shared.c_str(), 0666);
  openFromDialog({shared});
  type("new ");
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(10);
    const bool saved = docs().save();
    const std::vector<std::string> told{"Saved " + shared.string() + ", but its owner or group could not be kept"};
    ::_exit(!saved ? 11 : ui.messages() != told ? 12 : editor().modified() ? 13 : 0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "10: no second user, 11: not saved, 12: not told, 13: still modified";
  EXPECT_EQ(TempFolder::read(shared), "new old\r\n");
}

TEST_F(DocumentCommandsTest, ClosingTheOnlyPageAsksAndLeavesAnEmptyUntitledPage) {
  openFromDialog({file("a.mb", numberedLines("a", 20))});
  caretToLine(6);
  bench.editing().setBookmark(4);
  type("x");
  ui.queueAnswer(Answer::Cancel);
  docs().closePage();
  EXPECT_EQ(view.tabs, std::vector<std::string>{"a.mb"});
  EXPECT_EQ(bench.gutter().bookmarkLine(4), 5);
  EXPECT_TRUE(editor().modified());

  ui.queueAnswer(Answer::No);
  docs().closePage();
  EXPECT_EQ(view.tabs, std::vector<std::string>{"Untitled"});
  EXPECT_EQ(editor().charCount(), 0);
  EXPECT_EQ(view.caption, "Quillon - Untitled");
  EXPECT_FALSE(states.enabled(platform::Command::bCompile));
  const std::size_t asked = ui.questions().size();
  EXPECT_TRUE(bench.closeQuery()) << "nothing to ask for the untouched page";
  EXPECT_EQ(ui.questions().size(), asked);
}

// Undo and Redo belong to the page on screen: a page switched to has none of the history of
// the one before, and a fresh page has nothing to undo, even after text deleted to nothing.
TEST_F(DocumentCommandsTest, UndoAndRedoFollowThePageShown) {
  using platform::Command;
  auto undoShown = [&] { return states.enabled(Command::bUndo) || states.enabled(Command::Undo1); };
  openFromDialog({file("a.mb", "A\r\n"), file("b.mb", "B\r\n")});
  type("x");
  ASSERT_TRUE(undoShown());
  bench.undo();
  EXPECT_FALSE(undoShown());
  EXPECT_TRUE(states.enabled(Command::bRedo) && states.enabled(Command::Redo1));
  bench.redo();
  EXPECT_EQ(editor().text(), "xB\r\n");
  EXPECT_FALSE(states.enabled(Command::bRedo));
  docs().selectTab(0);
  EXPECT_FALSE(undoShown());

  type("y");
  ui.queueAnswer(Answer::No);
  docs().closePage();
  ASSERT_EQ(view.tabs, std::vector<std::string>{"b.mb"});
  EXPECT_FALSE(undoShown());

  type("z");
  ui.queueAnswer(Answer::No);
  docs().closePage();
  ASSERT_EQ(view.tabs, std::vector<std::string>{"Untitled"});
  EXPECT_FALSE(undoShown());
  EXPECT_FALSE(states.enabled(Command::bRedo));

  // Typed, deleted again (the page counts as untouched), closed: the fresh page cannot
  // bring the text back.
  type("gone");
  editor().selectAll();
  type("");
  ASSERT_TRUE(editor().canUndo());
  docs().closePage();
  EXPECT_FALSE(undoShown());
  bench.undo();
  EXPECT_EQ(editor().charCount(), 0);
  type("q");
  bench.undo();
  ASSERT_TRUE(editor().canRedo());
  docs().newPage();  // the untouched page becomes the new one
  EXPECT_FALSE(editor().canRedo());
  EXPECT_FALSE(states.enabled(Command::bRedo));
}

// Two modified pages: one answer at the first question decides for both.
TEST_F(DocumentCommandsTest, CloseAllWithYesToAllOrNoToAllAsksOnce) {
  for (const Answer answer : {Answer::YesToAll, Answer::NoToAll}) {
    const bool saved = answer == Answer::YesToAll;
    const fs::path a = file("a.mb", "a\r\n");
    const fs::path b = file("b.mb", "b\r\n");
    openFromDialog({a, b});
    type("B");
    docs().selectTab(0);
    type("A");
    const std::size_t asked = ui.questions().size();
    ui.queueAnswer(answer);
    docs().closeAll();
    EXPECT_EQ(ui.questions().size(), asked + 1);
    EXPECT_EQ(ui.questions().back().buttons, platform::Ui::Buttons::YesNoAll);
    EXPECT_EQ(TempFolder::read(a), saved ? "Aa\r\n" : "a\r\n");
    EXPECT_EQ(TempFolder::read(b), saved ? "Bb\r\n" : "b\r\n");
    EXPECT_EQ(view.tabs, std::vector<std::string>{"Untitled"});
    EXPECT_EQ(ui.statusText(4), "CLOSED ALL....");
    EXPECT_EQ(docs().page(1).fileName, "");
  }
}

TEST_F(DocumentCommandsTest, CloseAllStopsWhenAPageTheUserWantsSavedCannotBe) {
  openFromDialog({file("a.mb", "a\r\n")});
  docs().newPage();
  type("unsaved work");
  ui.queueAnswer(Answer::Yes);
  ui.queueSaveFile(std::nullopt);  // Save As cancelled
  docs().closeAll();
  EXPECT_EQ(docs().tabCount(), 2);
  EXPECT_EQ(docs().currentTab(), 1);
  EXPECT_EQ(editor().text(), "unsaved work");
}

TEST_F(DocumentCommandsTest, CancelInTheCloseQueryKeepsTheWindowAndItsHandlers) {
  openFromDialog({file("a.mb", "a\r\n"), file("b.mb", "b\r\n")});
  type("B");
  docs().selectTab(0);
  type("A");
  ui.queueAnswer(Answer::Cancel);
  EXPECT_FALSE(bench.closeQuery());
  EXPECT_EQ(ui.questions().back().buttons, platform::Ui::Buttons::YesNoCancelAll);
  EXPECT_EQ(docs().currentTab(), 0);
  EXPECT_EQ(editor().text(), "Aa\r\n");
  editor().setModified(false);
  type("again");
  EXPECT_TRUE(editor().modified()) << "the change handler is attached again";

  // No to All lets it close without saving.
  ui.queueAnswer(Answer::NoToAll);
  EXPECT_TRUE(bench.closeQuery());
}

// The outline, the context list and the word checker listen to the editor beside the page
// commands: moving pages in and out of the editor must not cost anyone a listener.
TEST_F(DocumentCommandsTest, EditorListenersStayThroughPageSwitchesAndBulkLoads) {
  struct Heard {
    int changes = 0, parses = 0, moves = 0;
  };
  std::array<Heard, 2> heard;
  std::vector<editor::Subscription> subscriptions;
  for (Heard& h : heard) {
    subscriptions.push_back(editor().onChange.listen([&h] { ++h.changes; }));
    subscriptions.push_back(editor().onParse.listen([&h](editor::Offset, editor::Offset) { ++h.parses; }));
    subscriptions.push_back(editor().onSelMove.listen([&h] { ++h.moves; }));
  }
  // Leaves the page modified, so the commands after it have something to ask about.
  auto expectStillHeard = [&](const char* after) {
    editor().setSelStart(0);
    editor().setModified(false);
    heard = {};
    type("x");  // one change, one parse, one caret move
    for (const Heard& h : heard) {
      EXPECT_EQ(h.changes, 1) << after;
      EXPECT_EQ(h.parses, 1) << after;
      EXPECT_EQ(h.moves, 1) << after;
    }
    EXPECT_TRUE(editor().modified()) << after << ": the page commands' own listener";
    editor().undo();
  };

  openFromDialog({file("a.mb", "a\r\n"), file("b.mb", "b\r\n"), file("c.mb", "c\r\n")});
  expectStillHeard("Open of three files");
  docs().selectTab(0);
  expectStillHeard("a page switch");
  ui.queueAnswer(Answer::No);
  docs().closePage();
  expectStillHeard("Close Page");
  docs().saveAll();
  expectStillHeard("Save All");
  ui.queueAnswer(Answer::NoToAll);
  ASSERT_TRUE(bench.closeQuery());
  ASSERT_EQ(bench.sessions().size(), 1u);
  expectStillHeard("the close query");
  ui.queueAnswer(Answer::NoToAll);
  docs().closeAll();
  expectStillHeard("Close All");
  bench.sessionPicked(0);
  ASSERT_EQ(docs().tabCount(), 2);
  expectStillHeard("a session restore");
}

TEST_F(DocumentCommandsTest, TheWindowListKeepsClosedNamesBelowTheOpenOnes) {
  const fs::path a = file("a.mb", "a\r\n");
  const fs::path b = file("b.mb", "b\r\n");
  openFromDialog({a, b});
  docs().selectTab(0);
  docs().closePage();
  docs().refreshWindowList();
  EXPECT_EQ(view.windowMenu, (std::vector<std::string>{"&1 b.mb", "&2 a.mb"}));
  docs().windowMenuPick(1);  // a.mb is closed
  EXPECT_EQ(docs().currentTab(), 0);
  EXPECT_EQ(editor().text(), "b\r\n");

  docs().newPage();
  ASSERT_EQ(view.windowMenu, (std::vector<std::string>{"&1 b.mb", "&2 Untitled", "&3 a.mb"}));
  docs().windowMenuPick(0);
  EXPECT_EQ(docs().currentTab(), 0);
  EXPECT_EQ(view.windowMenu.front(), "&1 b.mb");
}

TEST_F(DocumentCommandsTest, CtrlTabWrapsAroundThePages) {
  openFromDialog({file("a.mb", "a"), file("b.mb", "b"), file("c.mb", "c")});
  bench.editing().keyPressed(editor::EditKey::Tab, {.ctrl = true});
  EXPECT_EQ(docs().currentTab(), 0);
  EXPECT_EQ(editor().text(), "a");
  bench.editing().keyPressed(editor::EditKey::Tab, {.shift = true, .ctrl = true});
  EXPECT_EQ(docs().currentTab(), 2);
  EXPECT_EQ(view.currentTab, 2);
}

// The rest of a drop is the project commands' test.
TEST_F(DocumentCommandsTest, ADroppedProjectOpensWithoutARecentEntryAndRaisesTheWindow) {
  docs().filesDropped({file("app.mbp", "[link]\r\n").string()});
  EXPECT_EQ(view.tabs, std::vector<std::string>{"app.mbp"});
  EXPECT_EQ(ui.messages(), std::vector<std::string>{"Error In MBP Structure"});
  EXPECT_TRUE(bench.recentFiles().empty());
  EXPECT_EQ(view.raised, 1);
}

TEST_F(DocumentCommandsTest, RevertPutsEveryPageBackAfterAReplaceOverAllPages) {
  openFromDialog({file("a.mb", "a\r\n"), file("b.mb", "b\r\n")});
  type("changed ");
  EXPECT_FALSE(states.enabled(platform::Command::Revert1));
  docs().fillRevertTable();
  EXPECT_TRUE(states.enabled(platform::Command::Revert1));
  // What a replace over all pages would do.
  type("more ");
  docs().selectTab(0);
  type("A ");
  docs().selectTab(1);
  docs().revert(true);
  EXPECT_EQ(editor().text(), "changed b\r\n");
  EXPECT_TRUE(editor().modified());
  EXPECT_TRUE(states.enabled(platform::Command::bSave));
  EXPECT_FALSE(states.enabled(platform::Command::Revert1));
  docs().selectTab(0);
  EXPECT_EQ(editor().text(), "a\r\n");
  EXPECT_FALSE(editor().modified());
}

TEST_F(DocumentCommandsTest, SaveAllSavesEachModifiedPageAndComesBack) {
  const fs::path a = file("a.mb", "a\r\n");
  const fs::path b = file("b.mb", "b\r\n");
  openFromDialog({a, b, file("c.mb", "c\r\n")});
  type("C");
  docs().selectTab(0);
  type("A");
  docs().selectTab(1);
  caretToLine(1);
  bench.editing().setBookmark(3);
  docs().saveAll();
  EXPECT_EQ(TempFolder::read(a), "Aa\r\n");
  EXPECT_EQ(TempFolder::read(folder / "c.mb"), "Cc\r\n");
  EXPECT_EQ(TempFolder::read(b), "b\r\n");
  EXPECT_EQ(docs().currentTab(), 1);
  EXPECT_EQ(bench.gutter().bookmarkLine(3), 0);
  EXPECT_FALSE(docs().page(0).modified);
  EXPECT_FALSE(docs().page(2).modified);
}

// ----- Encodings and line breaks -----

const std::string kUtf8Mark = "\xEF\xBB\xBF";

std::string utf16LE(std::string_view text) { return encodeText(text, {TextEncoding::utf16LE, false}); }

// A marked UTF-8 file shows its letters and keeps its mark at byte zero, behind other tabs and
// through Save As; one beyond Windows-1252 is held as UTF-8 and says so. A typed é is written
// as é in both, and a plain page stays plain.
TEST_F(DocumentCommandsTest, Utf8DocumentsKeepTheirMarkAndEncoding) {
  const fs::path m = file("m.mb", kUtf8Mark + "' caf\xC3\xA9 na\xC3\xAFve\r\n");
  const fs::path cn = file("cn.mb", kUtf8Mark + "' \xE4\xB8\xAD\xE6\x96\x87\r\n");
  openFromDialog({m, file("plain.mb", "p\r\n"), cn});
  EXPECT_EQ(editor().text(), "' \xE4\xB8\xAD\xE6\x96\x87\r\n");
  EXPECT_EQ(ui.statusText(4), "LOADED: cn.mb (UTF-8 beyond Windows-1252)");
  editor().setSelStart(0);
  type("\xE9");
  docs().save();
  EXPECT_EQ(TempFolder::read(cn), kUtf8Mark + "\xC3\xA9' \xE4\xB8\xAD\xE6\x96\x87\r\n");

  docs().selectTab(0);
  EXPECT_EQ(editor().text(), "' caf\xE9 na\xEFve\r\n");
  editor().setSelStart(0);
  type("\xE9");
  ui.queueSaveFile(folder / "copy.mb");
  ASSERT_TRUE(docs().saveAs());
  EXPECT_EQ(TempFolder::read(folder / "copy.mb"), kUtf8Mark + "\xC3\xA9' caf\xC3\xA9 na\xC3\xAFve\r\n");
  docs().selectTab(1);
  type("q");
  docs().save();
  EXPECT_EQ(TempFolder::read(folder / "plain.mb"), "qp\r\n");
}

TEST_F(DocumentCommandsTest, EachPageSavesWithTheBreaksItsFileCameWith) {
  struct Expect {
    const char* name;
    std::string before, after;  // after typing "x" and a break at the very start
  };
  const Expect expected[] = {
      {"lf.mb", "a\nb\nc\n", "x\na\nb\nc\n"},
      {"cr.mb", "a\rb", "x\ra\rb"},
      {"lfcr.mb", "a\n\rb", "x\n\ra\n\rb"},
      {"crlf.mb", "a\r\nb", "x\r\na\r\nb"},
      {"mixed.mb", "a\nb\r\nc", "x\r\na\r\nb\r\nc"},
      {"none.mb", "a", "x\r\na"},
      {"utf16.mb", utf16LE("a\nb"), utf16LE("x\na\nb")},
  };
  for (const Expect& e : expected) {
    const fs::path f = file(e.name, e.before);
    openFromDialog({f});
    editor().setSelStart(0);
    type("x\r\n");
    docs().save();
    EXPECT_EQ(TempFolder::read(f), e.after) << e.name;
  }
  // A new page's breaks are the editor's own.
  docs().newPage();
  type("n\r\nm");
  ui.queueSaveFile(folder / "new.mb");
  docs().saveAs();
  EXPECT_EQ(TempFolder::read(folder / "new.mb"), "n\r\nm");
}

// Bad and awkward files open without a word of complaint and come back byte for byte.
TEST_F(DocumentCommandsTest, OddDocumentsOpenAndSaveUnchangedByteForByte) {
  std::string big = kUtf8Mark;
  for (int i = 0; i < 40000; ++i) big += "\tPrint \"caf\xC3\xA9 \xE2\x82\xAC " + std::to_string(i) + "\" ' na\xC3\xAFve\r\n";
  std::string garbage;
  std::mt19937 rng(3);
  for (int i = 0; i < 5000; ++i) garbage += static_cast<char>(0x20 + rng() % 0xE0);
  const std::pair<const char*, std::string> files[] = {
      {"a mark alone", kUtf8Mark},
      {"UTF-8 cut short at the end", "' caf\xC3\xA9\r\nx = \"\xC3"},
      {"UTF-16 with an odd byte count", utf16LE("Dim a\r\nDim b\r\n") + "x"},
      {"UTF-16 with an unpaired surrogate", utf16LE("Dim a\r\n") + std::string("\x00\xD8\r\0\n\0", 6)},
      {"a large UTF-8 file", big},
      {"garbage", garbage},
  };
  for (const auto& [what, bytes] : files) {
    const fs::path f = file("odd.mb", bytes);
    openFromDialog({f});
    EXPECT_EQ(docs().currentFile(), f.string()) << what;
    docs().save();
    EXPECT_EQ(TempFolder::read(f), bytes) << what;
    docs().closePage();
  }
  EXPECT_TRUE(ui.messages().empty());
}

}  // namespace
}  // namespace quillon::pages

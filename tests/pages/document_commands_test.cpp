// The page commands end to end: a Workbench over real files in a temporary folder, with a
// scripted Ui answering every dialog and question.
#include "pages/document_commands.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <random>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <tuple>
#include <unistd.h>
#include <vector>

#include "app/workbench.h"
#include "build/insert_file.h"
#include "editor/code_gutter.h"
#include "editor/code_memo.h"
#include "editor/memo_keyboard.h"
#include "pages/recent_commands.h"
#include "pages/text_encoding.h"
#include "platform/command_registry.h"
#include "support/fixed_metrics.h"
#include "support/gone_process.h"
#include "support/special_files.h"
#include "support/temp_folder.h"
#include "support/test_program.h"
#include "support/workbench_ports.h"
#include "tools/editing_commands.h"
#include "tools/find_replace.h"

namespace quillon::pages {
namespace {

namespace fs = std::filesystem;
using Answer = platform::Ui::Answer;
using platform::Command;
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

  fs::path file(const std::string& name, const std::string& text) {
    return folder.write(name, text);
  }

  void openFromDialog(const std::vector<fs::path>& files) {
    ui.queueOpenFiles(files);
    docs().open(Opener::Dialog);
  }
  // "a.mb" holding "a\r\n", and so on for each letter.
  std::vector<fs::path> openLetters(std::string_view letters) {
    std::vector<fs::path> files;
    for (char c : letters)
      files.push_back(file(std::string(1, c) + ".mb", std::string(1, c) + "\r\n"));
    openFromDialog(files);
    return files;
  }

  void type(const std::string& text) { editor().setSelText(text); }
  void typeOn(int tab, const std::string& text) {
    docs().selectTab(tab);
    type(text);
  }
  void caretToLine(int line) { editor().setSelLine(line - 1); }
  std::vector<bool> enabled(const std::vector<Command>& commands) const {
    std::vector<bool> on;
    for (Command c : commands) on.push_back(states.enabled(c));
    return on;
  }
  auto shown() {
    return std::tuple(editor().text(), editor().selStart(), editor().topLine(),
                      editor().modified());
  }

  testing::TestProgram installed;
  TempFolder folder{"quillon-pages"};
  testing::FixedMetrics metrics;
  Workbench bench{ports()};
};

TEST_F(DocumentCommandsTest,
       PagesKeepTextCaretTopLineModifiedStateAndBookmarksThroughSwitchesAndClosing) {
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
  const auto left = shown();
  // Ctrl+Tab and Ctrl+Shift+Tab wrap around the pages.
  bench.editing().keyPressed(editor::EditKey::Tab, {.ctrl = true});
  EXPECT_EQ(std::tuple(docs().currentTab(), editor().text()),
            std::tuple(0, numberedLines("a", 60)));
  bench.editing().keyPressed(editor::EditKey::Tab, {.shift = true, .ctrl = true});
  EXPECT_EQ(std::tuple(docs().currentTab(), view.currentTab), std::tuple(2, 2));

  docs().selectTab(0);
  EXPECT_EQ(std::tuple(editor().text(), editor().modified(), bench.gutter().bookmarkLine(2),
                       view.bookmarkCaptions[2], view.caption),
            std::tuple(numberedLines("a", 60), false, -1, "2", "Quillon - a.mb"));
  caretToLine(3);
  bench.editing().setBookmark(5);

  // Closing the middle page brings the last one back as it was left.
  docs().selectTab(1);
  type("b edit ");
  ui.queueAnswer(Answer::No);
  docs().closePage();
  ASSERT_EQ(ui.questions().size(), 1u);
  const auto& q = ui.questions()[0];
  EXPECT_EQ(std::tuple(q.caption, q.text, q.buttons),
            std::tuple("Confirm", "Save changes to \"b.mb\"?", platform::Ui::Buttons::YesNoCancel));
  EXPECT_EQ(std::tuple(view.tabs, docs().currentTab()),
            std::tuple(std::vector<std::string>{"a.mb", "c.mb"}, 1));
  EXPECT_EQ(docs().page(2).fileName, "") << "the freed record is cleared";
  EXPECT_EQ(std::tuple(shown(), states.enabled(Command::bSave), bench.gutter().bookmarkLine(2),
                       bench.gutter().bookmarkLine(7), view.bookmarkCaptions[7]),
            std::tuple(left, true, 9, 29, "7 30==>c 30"));

  docs().selectTab(0);
  EXPECT_EQ(std::tuple(editor().text(), bench.gutter().bookmarkLine(5)),
            std::tuple(numberedLines("a", 60), 2));
}

TEST_F(DocumentCommandsTest, AnEmptiedPageCountsAsUnmodifiedAndOnlyAnUntouchedPageIsReused) {
  docs().newPage();
  EXPECT_EQ(docs().tabCount(), 1);
  type("x");
  const std::vector<Command> pageCommands{Command::bSave, Command::bPreview, Command::bPrint};
  EXPECT_EQ(enabled(pageCommands), std::vector<bool>(3, true));
  editor().selectAll();
  type("");
  EXPECT_FALSE(editor().modified() || docs().page(0).modified);
  EXPECT_EQ(enabled(pageCommands), std::vector<bool>(3, false));
  type("y");
  docs().newPage();
  EXPECT_EQ(std::tuple(docs().tabCount(), docs().currentTab(), editor().charCount(),
                       states.enabled(Command::bSave)),
            std::tuple(2, 1, 0, false));
  docs().selectTab(0);
  EXPECT_EQ(editor().text(), "y");
}

// The marks follow each page's Modified through switches, saves and an emptied page, and the
// view hears of a change only: typing on a marked page costs no repaint of the strip.
TEST_F(DocumentCommandsTest, TabAndWindowMenuMarksFollowEachPagesModifiedFlag) {
  openLetters("abc");
  auto marks = [&] {
    std::vector<bool> table;
    for (int i = 0; i < docs().tabCount(); ++i) table.push_back(docs().pageModified(i));
    EXPECT_EQ(view.tabMarks, table) << "the strip shows the page table";
    return table;
  };
  EXPECT_EQ(marks(), std::vector<bool>(3, false));
  typeOn(0, "x");
  typeOn(2, "y");
  EXPECT_EQ(marks(), (std::vector<bool>{true, false, true}));
  const int sets = view.tabMarkSets;
  type("z");
  EXPECT_EQ(view.tabMarkSets, sets);

  docs().selectTab(1);
  docs().refreshWindowList();
  EXPECT_EQ(std::tuple(view.windowMenu, view.windowMenuMarks),
            std::tuple(std::vector<std::string>{"&1 a.mb", "&2 b.mb", "&3 c.mb"},
                       std::vector<bool>{true, false, true}));

  docs().selectTab(2);
  docs().save();
  EXPECT_EQ(marks(), (std::vector<bool>{true, false, false}));
  docs().selectTab(0);
  editor().selectAll();
  type("");
  EXPECT_EQ(marks(), std::vector<bool>(3, false));

  // Closing a page moves the marks with the tabs.
  typeOn(2, "w");
  docs().selectTab(0);
  docs().closePage();
  EXPECT_EQ(marks(), (std::vector<bool>{false, true}));
}

// The error view that follows the page is the error panel's test.
TEST_F(DocumentCommandsTest, EnteringAPageSetsCompileAndLink) {
  openFromDialog(
      {file("a.mb", "Dim a\r\n"), file("b.mbp", "[link]\r\n"), file("notes.txt", "notes\r\n")});
  for (const auto& [tab, compile, link] :
       {std::tuple{0, true, false}, {1, false, true}, {2, false, false}, {0, true, false}}) {
    docs().selectTab(tab);
    EXPECT_EQ(enabled({Command::bCompile, Command::Compile1, Command::bLink, Command::Link1}),
              (std::vector<bool>{compile, compile, link, link}))
        << tab;
  }
  docs().newPage();
  docs().selectTab(0);
  docs().selectTab(3);
  EXPECT_EQ(enabled({Command::bCompile, Command::bLink}), (std::vector<bool>{false, false}));
}

TEST_F(DocumentCommandsTest, OpenUsesTheUntouchedPageSwitchesToOpenFilesAndKeepsTheDialogTexts) {
  const fs::path a = file("a.mb", "A\r\n");
  const fs::path b = file("b.mb", "B\r\n");
  openFromDialog({a});
  EXPECT_EQ(view.tabs, std::vector<std::string>{"a.mb"}) << "the untouched Untitled page is reused";
  ASSERT_EQ(ui.fileDialogs().size(), 1u);
  const auto& d = ui.fileDialogs()[0];
  EXPECT_EQ(std::tuple(d.title, d.filter, d.filterIndex, d.multiSelect),
            std::tuple("Open File....",
                       "Source Files (*.mb)|*.mb|Definations (*.def)|*.def|Error Files "
                       "(*.err)|*.err|All Files (*.*)|*.*",
                       1, true));
  EXPECT_EQ(ui.statusText(4), "LOADED: a.mb");
  EXPECT_NE(std::find(ui.statusHistory().begin(), ui.statusHistory().end(),
                      std::pair<int, std::string>{4, "LOADING 100%"}),
            ui.statusHistory().end());

  openFromDialog({b});
  // The same file under another name is already open: only its tab comes forward.
  fs::create_symlink(a, folder / "link.mb");
  openFromDialog({folder / "link.mb"});
  EXPECT_EQ(std::tuple(docs().tabCount(), docs().currentTab(), editor().text()),
            std::tuple(2, 0, "A\r\n"));

  // A cancelled dialog still ends as every Open does.
  openFromDialog({});
  EXPECT_EQ(std::tuple(ui.statusText(4), docs().tabCount()), std::tuple("LOADED: a.mb", 2));
}

// Letter case makes another file here, so another page, everywhere a page is looked up.
TEST_F(DocumentCommandsTest, NamesThatDifferOnlyInCaseAreTwoPages) {
  const fs::path lower = file("a.mb", "lower\r\n");
  const fs::path upper = file("A.mb", "upper\r\n");
  openFromDialog({lower});
  openFromDialog({upper});
  EXPECT_EQ(view.tabs, (std::vector<std::string>{"a.mb", "A.mb"}));
  EXPECT_EQ(std::tuple(editor().text(), ui.statusText(4)), std::tuple("upper\r\n", "LOADED: A.mb"));
  EXPECT_EQ(bench.recent().files().entries(),
            (std::vector<std::string>{upper.string(), lower.string()}));

  EXPECT_EQ(view.windowMenu, (std::vector<std::string>{"&1 a.mb", "&2 A.mb"}));
  for (const auto& [item, text] : {std::pair(0, "lower\r\n"), std::pair(1, "upper\r\n")}) {
    docs().windowMenuPick(item);
    EXPECT_EQ(editor().text(), text);
  }

  openFromDialog({lower});
  EXPECT_EQ(std::tuple(docs().tabCount(), editor().text()), std::tuple(2, "lower\r\n"));
}

TEST_F(DocumentCommandsTest, FiftyPagesAtMost) {
  std::vector<fs::path> files;
  for (int i = 0; i < 60; ++i)
    files.push_back(file("f" + std::to_string(i) + ".mb", "file " + std::to_string(i)));
  openFromDialog(files);
  ASSERT_EQ(ui.messages(), std::vector<std::string>{"Can Not Open 60 Files...Using First50"});
  EXPECT_EQ(std::tuple(docs().tabCount(), view.tabs.back(), docs().page(49).fileName),
            std::tuple(50, "f49.mb", files[49].string()));

  docs().newPage();
  EXPECT_EQ(std::tuple(ui.statusText(4), docs().tabCount()),
            std::tuple("50 File MAX -- Close Excess First", 50));
  docs().open(Opener::Dialog);  // the scripted Ui fails on a dialog: the limit stops it first

  // An open that reaches the limit on the way stops adding pages there.
  docs().closePage();
  docs().closePage();
  openLetters("xyz");
  EXPECT_EQ(std::tuple(docs().tabCount(), view.tabs[49]), std::tuple(50, "y.mb"));
}

TEST_F(DocumentCommandsTest, UnreadableFilesAreReportedAndTheRestStillOpen) {
  testing::HangGuard guard;
  const fs::path a = file("a.mb", "A\r\n");
  const fs::path missing = folder / "missing.mb";
  const fs::path huge = testing::makeSparseFile(folder / "huge.mb", editor::kMaxLoadLength + 1);
  const fs::path nul = file("nul.mb", std::string("a\0b\r\n", 5));
  const fs::path odd = file("my café file.mb", "odd\r\n");
  // Which files cannot be read is the file reader's test; a FIFO stands for them here.
  const fs::path fifo = testing::makeSpecialFiles(folder.path()).front().path;
  openFromDialog({a, missing, fifo, huge, nul, odd});

  EXPECT_EQ(ui.messages(),
            (std::vector<std::string>{"Cannot open file " + missing.string(),
                                      "Cannot open file " + fifo.string(),
                                      "Cannot open file " + huge.string() + "\nText too long"}));
  ASSERT_EQ(view.tabs, (std::vector<std::string>{"a.mb", "nul.mb", "my café file.mb"}));
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(fs::path(docs().page(i).fileName).filename().string(), view.tabs[i]);
  EXPECT_EQ(std::tuple(docs().currentTab(), editor().text(), view.caption),
            std::tuple(2, "odd\r\n", "Quillon - my café file.mb"));
  docs().selectTab(1);
  EXPECT_EQ(editor().charCount(), 5) << "the NUL byte is replaced, not a line end";

  // A failure on the untouched page leaves it Untitled, and says so rather than "LOADED: Untitled".
  docs().closeAll();
  openFromDialog({fifo});
  EXPECT_EQ(std::tuple(view.tabs, docs().page(0).fileName, ui.statusText(4)),
            std::tuple(std::vector<std::string>{"Untitled"}, "Untitled",
                       "Cannot open file " + fifo.string()));
}

TEST_F(DocumentCommandsTest, SavingAnUntitledPageFollowsTheLinkRule) {
  docs().setProjectFolder(folder / "project/");
  type("Dim x\r\n[LINK] a.mbo\r\n");
  editor().setSelStart(0);
  const fs::path project = folder / "p.mbp";
  ui.queueSaveFile(project);
  ASSERT_TRUE(docs().save());
  const platform::Ui::FileDialog linked = ui.fileDialogs().back();
  EXPECT_EQ(
      std::tuple(linked.title, linked.filter, linked.defaultExt, linked.filterIndex,
                 linked.initialDir, linked.fileName, linked.overwritePrompt),
      std::tuple("Save As....",
                 "MapBasic Source (*.mb)|*.mb|Project Source (*.mbp)|*.mbp|All Files (*.*)|*.*",
                 "mbp", 2, folder / "project/", "Untitled", true));
  EXPECT_EQ(editor().selStart(), 0) << "the search puts the caret back";
  EXPECT_EQ(std::tuple(TempFolder::read(project), view.tabs, view.caption, editor().modified(),
                       enabled({Command::bSave, Command::bLink, Command::bCompile}),
                       bench.recent().files().entries(), docs().projectFolder()),
            std::tuple("Dim x\r\n[LINK] a.mbo\r\n", std::vector<std::string>{"p.mbp"},
                       "Quillon - p.mbp", false, std::vector<bool>{false, true, false},
                       std::vector<std::string>{project.string()}, folder.path() / ""));

  // The link stands before the caret: an ordinary source in the program folder.
  docs().newPage();
  type("[link]\r\n");
  ui.queueSaveFile(std::nullopt);
  EXPECT_FALSE(docs().save());
  const platform::Ui::FileDialog plain = ui.fileDialogs().back();
  EXPECT_EQ(std::tuple(plain.defaultExt, plain.filterIndex, plain.initialDir),
            std::tuple("mb", 1, docs().programFolder()));
  EXPECT_TRUE(editor().modified()) << "a cancelled Save As saves nothing";

  // A named project page: the last filter set, index 2.
  docs().selectTab(0);
  ui.queueSaveFile(std::nullopt);
  docs().saveAs();
  EXPECT_EQ(std::tuple(ui.fileDialogs().back().filter, ui.fileDialogs().back().filterIndex),
            std::tuple(linked.filter, 2));

  // Saved under another extension, the page builds as what it now is.
  ui.queueSaveFile(folder / "p.mb");
  ASSERT_TRUE(docs().saveAs());
  EXPECT_EQ(enabled({Command::bCompile, Command::bLink}), (std::vector<bool>{true, false}));
}

// A full disk: the old file stays, the page stays modified. Other failures are replaceFile's.
TEST_F(DocumentCommandsTest, AFailedSaveKeepsTheOldFileAndThePageModified) {
  const std::string old = numberedLines("old", 10);
  const fs::path a = file("a.mb", old);
  openFromDialog({file("other.mb", old), a});
  type(std::string(64 * 1024, 'x'));
  {
    testing::FileSizeLimit full(4096);
    EXPECT_FALSE(docs().save());
  }
  EXPECT_EQ(
      std::tuple(ui.statusText(4), ui.messages(), TempFolder::read(a),
                 editor().modified() && states.enabled(Command::bSave) && docs().page(1).modified),
      std::tuple("SAVE FAILED: a.mb", std::vector<std::string>{"Cannot create file " + a.string()},
                 old, true));

  // Save As into a folder that does not exist: the page keeps its own name.
  ui.queueSaveFile(folder / "no/such/folder/b.mb");
  EXPECT_FALSE(docs().saveAs());
  EXPECT_EQ(std::tuple(docs().currentFile(), view.tabs),
            std::tuple(a.string(), std::vector<std::string>{"other.mb", "a.mb"}));

  EXPECT_TRUE(docs().save());
  EXPECT_EQ(std::tuple(TempFolder::read(a), ui.statusText(4)),
            std::tuple(editor().text(), "Saving 100%"));
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
    const std::vector<std::string> told{"Saved " + shared.string() +
                                        ", but its owner or group could not be kept"};
    ::_exit(!saved ? 11 : ui.messages() != told ? 12 : editor().modified() ? 13 : 0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0)
      << "10: no second user, 11: not saved, 12: not told, 13: still modified";
  EXPECT_EQ(std::tuple(TempFolder::read(shared), fs::status(shared).permissions()),
            std::tuple("new old\r\n", static_cast<fs::perms>(0666)))
      << "the mode is kept all the same";
}

// Open removes what saves killed half-way left beside the files it opens, in every folder of
// the selection, and keeps what a living process is writing.
TEST_F(DocumentCommandsTest, OpenRemovesTheStaleSaveTemporariesOfTheFilesItOpens) {
  const std::string dead = testing::goneProcessId();
  const std::string alive = std::to_string(::getpid());
  const std::vector<fs::path> files = {file("a.mb", "a\r\n"), file("b.mb", "b\r\n"),
                                       file("sub/c.mb", "c\r\n")};
  const std::vector<fs::path> stale = {folder / (".a.mb.quillon-save-" + dead + "-aB3xYz"),
                                       folder / (".b.mb.quillon-save-" + dead + "-Q0q0Q0"),
                                       folder / ("sub/.c.mb.quillon-save-" + dead + "-zzzzzz")};
  const fs::path living = folder / (".a.mb.quillon-save-" + alive + "-aB3xYz");
  const fs::path unopened = folder / (".d.mb.quillon-save-" + dead + "-aB3xYz");
  for (const fs::path& p : stale) file(fs::relative(p, folder.path()).string(), "half");
  file(living.filename().string(), "writing");
  file(unopened.filename().string(), "not opened");

  openFromDialog(files);
  EXPECT_EQ(docs().tabCount(), 3);
  for (const fs::path& p : stale) EXPECT_FALSE(fs::exists(p)) << p;
  EXPECT_TRUE(fs::exists(living));
  EXPECT_TRUE(fs::exists(unopened));
}

TEST_F(DocumentCommandsTest, ClosingTheOnlyPageAsksAndLeavesAnEmptyUntitledPage) {
  openFromDialog({file("a.mb", numberedLines("a", 20))});
  caretToLine(6);
  bench.editing().setBookmark(4);
  type("x");
  ui.queueAnswer(Answer::Cancel);
  docs().closePage();
  EXPECT_EQ(std::tuple(view.tabs, bench.gutter().bookmarkLine(4), editor().modified()),
            std::tuple(std::vector<std::string>{"a.mb"}, 5, true));

  ui.queueAnswer(Answer::No);
  docs().closePage();
  EXPECT_EQ(std::tuple(view.tabs, editor().charCount(), view.caption),
            std::tuple(std::vector<std::string>{"Untitled"}, 0, "Quillon - Untitled"));
  EXPECT_TRUE(bench.closeQuery()) << "nothing to ask for the untouched page";
}

// A page has none of the history of the one before, even after text deleted to nothing.
TEST_F(DocumentCommandsTest, UndoAndRedoFollowThePageShown) {
  auto undoShown = [&] { return states.enabled(Command::bUndo) || states.enabled(Command::Undo1); };
  openLetters("ab");
  type("x");
  ASSERT_TRUE(undoShown());
  bench.commands().run("edit.undo");
  EXPECT_FALSE(undoShown());
  EXPECT_TRUE(states.enabled(Command::bRedo) && states.enabled(Command::Redo1));
  bench.commands().run("edit.redo");
  EXPECT_EQ(std::pair(editor().text(), states.enabled(Command::bRedo)),
            std::pair(std::string("xb\r\n"), false));
  docs().selectTab(0);
  EXPECT_FALSE(undoShown());

  type("y");
  ui.queueAnswer(Answer::No);
  docs().closePage();
  ASSERT_EQ(view.tabs, std::vector<std::string>{"b.mb"});
  EXPECT_FALSE(undoShown());

  // Typed and deleted again (so untouched), then closed: the fresh page cannot bring it back.
  type("gone");
  editor().selectAll();
  type("");
  ASSERT_TRUE(editor().canUndo());
  docs().closePage();
  EXPECT_FALSE(undoShown());
  bench.commands().run("edit.undo");
  EXPECT_EQ(editor().charCount(), 0);
  type("q");
  bench.commands().run("edit.undo");
  ASSERT_TRUE(editor().canRedo());
  docs().newPage();  // the untouched page becomes the new one
  EXPECT_FALSE(editor().canRedo() || states.enabled(Command::bRedo));
}

// Two modified pages: one answer at the first question decides for both.
TEST_F(DocumentCommandsTest, CloseAllWithYesToAllOrNoToAllAsksOnce) {
  for (const Answer answer : {Answer::YesToAll, Answer::NoToAll}) {
    const bool saved = answer == Answer::YesToAll;
    const auto files = openLetters("ab");
    type("B");
    typeOn(0, "A");
    const std::size_t asked = ui.questions().size();
    ui.queueAnswer(answer);
    docs().closeAll();
    EXPECT_EQ(
        std::tuple(ui.questions().size(), ui.questions().back().buttons, TempFolder::read(files[0]),
                   TempFolder::read(files[1]), view.tabs, docs().page(1).fileName),
        std::tuple(asked + 1, platform::Ui::Buttons::YesNoAll, saved ? "Aa\r\n" : "a\r\n",
                   saved ? "Bb\r\n" : "b\r\n", std::vector<std::string>{"Untitled"}, ""));
  }
}

TEST_F(DocumentCommandsTest, CloseAllStopsWhenAPageTheUserWantsSavedCannotBe) {
  openLetters("a");
  docs().newPage();
  type("unsaved work");
  ui.queueAnswer(Answer::Yes);
  ui.queueSaveFile(std::nullopt);  // Save As cancelled
  docs().closeAll();
  EXPECT_EQ(std::tuple(docs().tabCount(), docs().currentTab(), editor().text()),
            std::tuple(2, 1, "unsaved work"));
}

TEST_F(DocumentCommandsTest, CancelInTheCloseQueryKeepsTheWindowAndItsHandlers) {
  openLetters("ab");
  type("B");
  typeOn(0, "A");
  ui.queueAnswer(Answer::Cancel);
  EXPECT_FALSE(bench.closeQuery());
  EXPECT_EQ(std::tuple(ui.questions().back().buttons, docs().currentTab(), editor().text()),
            std::tuple(platform::Ui::Buttons::YesNoCancelAll, 0, "Aa\r\n"));
  editor().setModified(false);
  type("again");
  EXPECT_TRUE(editor().modified()) << "the change handler is attached again";
}

// The outline, the context list and the word checker listen to the editor beside the page
// commands: moving pages in and out of the editor must not cost anyone a listener.
TEST_F(DocumentCommandsTest, EditorListenersStayThroughPageSwitchesAndBulkLoads) {
  std::array<std::array<int, 3>, 2> heard{};  // changes, parses and caret moves of two listeners
  std::vector<editor::Subscription> subscriptions;
  for (auto& h : heard) {
    subscriptions.push_back(editor().onChange.listen([&h] { ++h[0]; }));
    subscriptions.push_back(
        editor().onParse.listen([&h](editor::Offset, editor::Offset) { ++h[1]; }));
    subscriptions.push_back(editor().onSelMove.listen([&h] { ++h[2]; }));
  }
  // Leaves the page modified, so the commands after it have something to ask about.
  auto expectStillHeard = [&](const char* after) {
    editor().setSelStart(0);
    editor().setModified(false);
    heard = {};
    type("x");  // one change, one parse, one caret move
    for (const auto& h : heard) EXPECT_EQ(h, (std::array{1, 1, 1})) << after;
    EXPECT_TRUE(editor().modified()) << after << ": the page commands' own listener";
    editor().undo();
  };

  openLetters("abc");
  expectStillHeard("Open of three files");
  docs().selectTab(0);
  expectStillHeard("a page switch");
  ui.queueAnswer(Answer::NoToAll);
  ASSERT_TRUE(bench.closeQuery());
  ASSERT_EQ(bench.recent().sessions().size(), 1u);
  ui.queueAnswer(Answer::NoToAll);
  docs().closeAll();
  expectStillHeard("Close All");
  bench.recent().sessionPicked(0);
  ASSERT_EQ(docs().tabCount(), 3);
  expectStillHeard("a session restore");
}

TEST_F(DocumentCommandsTest, TheWindowListKeepsClosedNamesBelowTheOpenOnes) {
  openLetters("ab");
  docs().selectTab(0);
  docs().closePage();
  docs().refreshWindowList();
  EXPECT_EQ(view.windowMenu, (std::vector<std::string>{"&1 b.mb", "&2 a.mb"}));
  docs().windowMenuPick(1);  // a.mb is closed
  EXPECT_EQ(std::tuple(docs().currentTab(), editor().text()), std::tuple(0, "b\r\n"));

  docs().newPage();
  EXPECT_EQ(view.windowMenu, (std::vector<std::string>{"&1 b.mb", "&2 Untitled", "&3 a.mb"}));
}

// The rest of a drop is the project commands' test.
TEST_F(DocumentCommandsTest, ADroppedProjectOpensWithoutARecentEntryAndRaisesTheWindow) {
  docs().filesDropped({file("app.mbp", "[link]\r\n").string()});
  EXPECT_EQ(std::tuple(view.tabs, ui.messages(), bench.recent().files().size(), view.raised),
            std::tuple(std::vector<std::string>{"app.mbp"},
                       std::vector<std::string>{"Error In MBP Structure"}, 0u, 1));
}

TEST_F(DocumentCommandsTest, RevertPutsEveryPageBackAfterAReplaceOverAllPages) {
  openLetters("ab");
  type("changed ");
  docs().fillRevertTable();
  // What a replace over all pages would do.
  type("more ");
  typeOn(0, "A ");
  docs().selectTab(1);
  docs().revert(true);
  EXPECT_EQ(std::tuple(editor().text(), editor().modified()), std::tuple("changed b\r\n", true));
  EXPECT_EQ(enabled({Command::bSave, Command::Revert1}), (std::vector<bool>{true, false}));
  docs().selectTab(0);
  EXPECT_EQ(std::tuple(editor().text(), editor().modified()), std::tuple("a\r\n", false));
}

// A page saved after the table was filled differs from its file once put back.
TEST_F(DocumentCommandsTest, RevertAfterSaveAllMarksTheSavedPagesModified) {
  const auto files = openLetters("abc");
  docs().fillRevertTable();
  type("C");
  typeOn(0, "A");
  docs().saveAll();
  docs().revert(true);
  EXPECT_EQ(std::tuple(editor().text(), editor().modified(), states.enabled(Command::bSave)),
            std::tuple("a\r\n", true, true));
  EXPECT_EQ(std::tuple(docs().page(1).modified, docs().page(2).modified, docs().page(2).text),
            std::tuple(false, true, "c\r\n"));
  // Closing asks for the two saved pages only, and No keeps the replaced text on the disk.
  ui.queueAnswer(Answer::No);
  ui.queueAnswer(Answer::No);
  EXPECT_TRUE(docs().confirmClose());
  EXPECT_EQ(ui.questions().size(), 2u);
  EXPECT_EQ(TempFolder::read(files[2]), "Cc\r\n");
}

TEST_F(DocumentCommandsTest, SaveAllSavesEachModifiedPageAndComesBack) {
  const auto files = openLetters("abc");
  type("C");
  typeOn(0, "A");
  docs().selectTab(1);
  caretToLine(1);
  bench.editing().setBookmark(3);
  docs().saveAll();
  EXPECT_EQ((std::vector{TempFolder::read(files[0]), TempFolder::read(files[1]),
                         TempFolder::read(files[2])}),
            (std::vector<std::string>{"Aa\r\n", "b\r\n", "Cc\r\n"}));
  EXPECT_EQ(std::tuple(docs().currentTab(), bench.gutter().bookmarkLine(3)), std::tuple(1, 0));
  EXPECT_FALSE(docs().page(0).modified || docs().page(2).modified);
}

// ----- Encodings and line breaks -----

const std::string kUtf8Mark = "\xEF\xBB\xBF";

std::string utf16LE(std::string_view text) {
  return encodeText(text, {TextEncoding::utf16LE, false});
}

// Behind other tabs and through Save As.
TEST_F(DocumentCommandsTest, Utf8DocumentsKeepTheirMarkAndEncoding) {
  const fs::path m = file("m.mb", kUtf8Mark + "' caf\xC3\xA9 na\xC3\xAFve\r\n");
  openFromDialog({m, file("cn.mb", kUtf8Mark + "' \xE4\xB8\xAD\xE6\x96\x87\r\n")});
  EXPECT_EQ(
      std::tuple(editor().text(), ui.statusText(4)),
      std::tuple("' \xE4\xB8\xAD\xE6\x96\x87\r\n", "LOADED: cn.mb (UTF-8 beyond Windows-1252)"));

  docs().selectTab(0);
  EXPECT_EQ(editor().text(), "' caf\xE9 na\xEFve\r\n");
  editor().setSelStart(0);
  type("\xE9");
  ui.queueSaveFile(folder / "copy.mb");
  ASSERT_TRUE(docs().saveAs());
  EXPECT_EQ(TempFolder::read(folder / "copy.mb"),
            kUtf8Mark + "\xC3\xA9' caf\xC3\xA9 na\xC3\xAFve\r\n");
}

// Awkward files open without a word of complaint and come back byte for byte.
TEST_F(DocumentCommandsTest, EachPageSavesAsItsFileCame) {
  std::string garbage;
  std::mt19937 rng(3);
  for (int i = 0; i < 5000; ++i) garbage += static_cast<char>(0x20 + rng() % 0xE0);
  // What, the file, and the file after typing "x" and a break at the start (none: saved untouched).
  const std::tuple<const char*, std::string, std::string> rows[] = {
      {"LF", "a\nb\nc\n", "x\na\nb\nc\n"},
      {"mixed", "a\nb\r\nc", "x\r\na\r\nb\r\nc"},
      {"no break", "a", "x\r\na"},
      {"UTF-16", utf16LE("a\nb"), utf16LE("x\na\nb")},
      {"garbage", garbage, ""},
  };
  for (const auto& [what, before, after] : rows) {
    const fs::path f = file("page.mb", before);
    openFromDialog({f});
    EXPECT_EQ(docs().currentFile(), f.string()) << what;
    if (!after.empty()) {
      editor().setSelStart(0);
      type("x\r\n");
    }
    docs().save();
    EXPECT_EQ(TempFolder::read(f), after.empty() ? before : after) << what;
    docs().closePage();
  }
  EXPECT_TRUE(ui.messages().empty());
  // A new page's breaks are the editor's own.
  type("n\r\nm");
  ui.queueSaveFile(folder / "new.mb");
  docs().saveAs();
  EXPECT_EQ(TempFolder::read(folder / "new.mb"), "n\r\nm");
}

// Bytes that no edit may touch: UTF-16 with a character beyond Windows-1252, UTF-16 of an
// odd length, in both byte orders, and one that only its own bytes keep whole.
std::vector<std::pair<std::string, std::string>> unconvertibleUtf16() {
  return {{"LE beyond", std::string("\xFF\xFE"
                                    "D\0"
                                    "\x2D\x4E"
                                    "\n\0"
                                    "X\0",
                                    10)},
          {"BE beyond", std::string("\xFE\xFF"
                                    "\0D"
                                    "\x4E\x2D"
                                    "\0\n"
                                    "\0X",
                                    10)},
          {"LE odd", std::string("\xFF\xFE"
                                 "D\0"
                                 "\n\0"
                                 "X",
                                 7)},
          // Written, the page would lose the doubled formatting code.
          {"LE doubled code", std::string("\xFF\xFE"
                                          "D\0"
                                          "\x04\0\x04\0"
                                          "\x2D\x4E",
                                          10)}};
}

TEST_F(DocumentCommandsTest, Utf16PagesThatCannotBeConvertedTakeNoEditThroughAnyRoute) {
  editor::MemoKeyboard keys(editor(), bench.sourceClipboard());
  const fs::path inserted = file("ins.mb", "inserted\r\n");
  for (const auto& [what, bytes] : unconvertibleUtf16()) {
    const fs::path f = file("wide.mb", bytes);
    openFromDialog({f});
    EXPECT_TRUE(ui.statusText(4).ends_with(std::string(DocumentCommands::kReadOnlyNote) + ")"))
        << ui.statusText(4);
    const std::string shown = editor().text();
    editor().setSelStart(1);
    ui.setStatusText(4, "");
    keys.typeChar('Z');
    // A refused key says why.
    EXPECT_TRUE(ui.statusText(4).starts_with("wide.mb (UTF-16") &&
                ui.statusText(4).ends_with(std::string(DocumentCommands::kReadOnlyNote) + ")"))
        << ui.statusText(4);
    keys.keyDown(editor::EditKey::Backspace, {});
    keys.keyDown(editor::EditKey::Delete, {});
    clipboard.content = platform::ClipboardText{"pasted", false};
    view.focus = true;
    bench.commands().run("edit.paste");
    editor().selectAll();
    bench.commands().run("edit.cut");
    editor().lines().put(0, "put");
    editor().undo();
    ui.queueOpenFiles({inserted});
    bench.insertFile().run();
    bench.findReplace().open();
    bench.findReplace().view().setFindText("D");
    bench.findReplace().view().setReplaceText("Q");
    bench.findReplace().find();
    bench.findReplace().replaceAll();
    bench.findReplace().cancel();
    EXPECT_EQ(std::tuple(editor().text(), editor().modified(), states.enabled(Command::bUndo)),
              std::tuple(shown, false, false))
        << what;
    docs().save();
    EXPECT_TRUE(ui.statusText(4).starts_with("NOT SAVED: wide.mb")) << ui.statusText(4);
    EXPECT_EQ(TempFolder::read(f), bytes) << what;
    docs().closePage();
    // The next page takes edits again.
    type("t");
    EXPECT_EQ(editor().text(), "t") << what;
    editor().selectAll();
    editor().clearSelection();
  }
}

TEST_F(DocumentCommandsTest, Utf8TextThatIsNoLongerUtf8AsksBeforeItIsSaved) {
  const std::string bytes = "' a\r\n' \xE4\xB8\xAD\r\n";
  const fs::path f = file("cn.mb", bytes);
  openFromDialog({f});
  // Deleting one byte of the sequence on line 2 breaks it.
  editor().select(editor().table().startOf(1) + 2, 1);
  editor().clearSelection();
  ui.queueAnswer(Answer::No);
  EXPECT_FALSE(docs().save());
  ASSERT_EQ(ui.questions().size(), 1u);
  EXPECT_EQ(
      std::tuple(ui.questions()[0].text.starts_with("Line 2 of \"cn.mb\" is no longer valid UTF-8"),
                 ui.questions()[0].buttons, TempFolder::read(f), editor().modified()),
      std::tuple(true, platform::Ui::Buttons::YesNo, bytes, true));
  ui.queueAnswer(Answer::Yes);
  EXPECT_TRUE(docs().save());
  EXPECT_NE(TempFolder::read(f), bytes);
  EXPECT_FALSE(editor().modified());
}

}  // namespace
}  // namespace quillon::pages

// ----- Long loads -----

namespace quillon::pages {
namespace {

// The screen's side of a long load: records the calls, and presses Escape when the status
// line shows `escapeAt` ("" for the first report).
class RecordingLoadView final : public LoadView {
public:
  explicit RecordingLoadView(const platform::Ui& ui) : ui_(ui) {}
  void showWindowNow() override { calls.push_back("show"); }
  void beginLoad() override { calls.push_back("begin"); }
  bool pollStop() override {
    calls.push_back("poll");
    return escape && (escapeAt.empty() || ui_.statusText(4) == escapeAt);
  }
  void endLoad() override { calls.push_back("end"); }

  bool escape = false;
  std::string escapeAt;
  std::vector<std::string> calls;

private:
  const platform::Ui& ui_;
};

class LongLoadTest : public DocumentCommandsTest {
protected:
  void SetUp() override {
    DocumentCommandsTest::SetUp();
    docs().setLoadView(&loadView);
  }
  // Over the long-load size in lines short enough that the editor reports progress between.
  fs::path largeFile() {
    std::string text;
    text.reserve(DocumentCommands::kLongLoadBytes + 32);
    for (int i = 0; text.size() < DocumentCommands::kLongLoadBytes; ++i)
      text += "Dim x" + std::to_string(i % 1000) + "\r\n";
    return file("large.mb", text);
  }
  void startWith(const fs::path& f) {
    docs().setCommandLineFile(f.string());
    docs().open(Opener::Dialog);
  }
  RecordingLoadView loadView{ui};
};

TEST_F(LongLoadTest, EscapeAtTheFirstOrTheLastProgressLeavesAnEmptyUntitledPageAndTheFileAsItWas) {
  const fs::path large = largeFile();
  const std::string bytes = TempFolder::read(large);
  for (const char* escapeAt : {"", "LOADING 100%"}) {  // the first report, and the last
    SCOPED_TRACE(escapeAt);
    loadView.calls.clear();
    loadView.escape = true;
    loadView.escapeAt = escapeAt;
    startWith(large);
    EXPECT_EQ(loadView.calls.front(), "show") << "the window comes before the load";
    EXPECT_EQ(loadView.calls.back(), "end");
    EXPECT_EQ(std::tuple(editor().text(), editor().modified(), view.tabs, docs().currentFile(),
                         ui.statusText(4)),
              std::tuple("", false, std::vector<std::string>{"Untitled"}, "Untitled",
                         "LOAD STOPPED: large.mb"));
    EXPECT_TRUE(ui.messages().empty());
    EXPECT_EQ(TempFolder::read(large), bytes);
    EXPECT_EQ(bench.recent().files().size(), 0u);
  }
}

TEST_F(LongLoadTest, AStoppedOpenKeepsThePagesBeforeItAndTheNextLoadRunsToTheEnd) {
  const fs::path a = file("a.mb", "A\r\n");
  const fs::path large = largeFile();
  const fs::path b = file("b.mb", "B\r\n");
  openFromDialog({a});
  type("edited ");
  loadView.escape = true;
  openFromDialog({large, b});
  EXPECT_EQ(
      std::tuple(view.tabs, editor().text(), editor().modified(), ui.statusText(4)),
      std::tuple(std::vector<std::string>{"a.mb"}, "edited A\r\n", true, "LOAD STOPPED: large.mb"))
      << "Escape stops the whole Open; the page on screen comes back";

  // A second Escape after the stop belongs to nothing; the next load is not stopped by it.
  loadView.escape = false;
  openFromDialog({large});
  EXPECT_EQ(std::tuple(view.tabs.size(), ui.statusText(4), editor().charCount() > 0),
            std::tuple(2u, "LOADED: large.mb", true));
}

TEST_F(LongLoadTest, ASmallFileLoadsWithoutTheWindowFirst) {
  startWith(file("small.mb", "Dim a\r\n"));
  EXPECT_TRUE(loadView.calls.empty());
  EXPECT_EQ(ui.statusText(4), "LOADED: small.mb");
}

}  // namespace
}  // namespace quillon::pages

#include "tools/find_replace.h"

#include <functional>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

#include "app/workbench.h"
#include "editor/code_memo.h"
#include "platform/command_registry.h"
#include "support/fake_find_view.h"
#include "support/find_model_checker.h"
#include "support/test_program.h"
#include "support/workbench_ports.h"
#include "tools/editing_commands.h"

namespace quillon::tools {
namespace {

using Option = FindReplaceView::Option;
using Button = FindReplaceView::Button;
using platform::Command;
using Answer = platform::Ui::Answer;
using Sel = std::pair<editor::Offset, editor::Offset>;
using Texts = std::vector<std::string>;

class FindReplaceTest : public ::testing::Test, protected testing::WorkbenchPorts {
protected:
  void SetUp() override {
    installed.start(bench);
    find().attachView(&dialog);
  }
  FindReplace& find() { return bench.findReplace(); }
  editor::CodeMemo& memo() { return bench.sourceEditor(); }
  pages::DocumentCommands& docs() { return bench.documents(); }

  // Opens each text as a page of its own; the last one is current.
  void openPages(const std::vector<std::pair<std::string, std::string>>& files) {
    for (const auto& [name, text] : files)
      docs().openList().push_back(installed.folder().write(name, text).string());
    docs().open(pages::DocumentCommands::Opener::Session);
  }
  std::string pageText(int i) {
    return i == docs().currentTab() ? memo().text() : docs().page(i).text;
  }
  Sel sel() { return {memo().selStart(), memo().selLength()}; }

  // Opens the dialog with the caret at `caret`, and sets the texts as the user would.
  void openAt(editor::Offset caret, const std::string& what, const std::string& with = {}) {
    memo().select(caret, 0);
    find().open();
    dialog.typeFind(find(), what);
    if (!with.empty()) dialog.typeReplace(find(), with);
  }

  testing::TestProgram installed;
  app::Workbench bench{ports()};
  testing::FakeFindView dialog;
};

// Case and whole words on plain letters are the random find check's business.
TEST_F(FindReplaceTest, ReplaceAllFoldsAccentedLettersWithTheEditorsCase) {
  memo().setUpperCaseType(editor::UpperCaseType::muAnsi);
  memo().setText("caf\xe9 CAF\xc9");
  openAt(0, "CAF\xc9", "bar");
  find().find();
  ASSERT_TRUE(find().replaceMode());
  EXPECT_EQ(dialog.nextCaption, "Replace");
  find().replaceAll();
  EXPECT_EQ(std::tuple(memo().text(), dialog.status, dialog.buttons[Button::All],
                       states.enabled(Command::bAgain)),
            std::tuple("bar bar", "REPLACED: 2  >> SEARCHED TO END", false, false));
  EXPECT_EQ(std::pair(ui.questions().size(), ui.messages().size()),
            std::pair(std::size_t{0}, std::size_t{0}));
}

TEST_F(FindReplaceTest, NothingToFind) {
  memo().setText("one\r\ntwo");
  for (const std::string what : {"", "one\r\ntwo", "three"}) {
    SCOPED_TRACE(what);
    openAt(0, what, "x");
    find().find();
    EXPECT_EQ(std::pair(dialog.status, dialog.buttons[Button::Next]),
              std::pair(std::string("FOUND: 0  >> SEARCHED TO END"), false));
    find().replaceAll();
    EXPECT_EQ(memo().text(), "one\r\ntwo");
    find().cancel();
  }
  // A text over two lines is used, never kept.
  EXPECT_EQ(find().findHistory(), Texts{"three"});
}

// A backward selection has the caret at its end: what it covers before the caret is behind
// the search, and All after a Find that found nothing leaves it.
TEST_F(FindReplaceTest, FindSearchesFromTheCaretWhicheverWayTheSelectionRuns) {
  memo().setText("aa\r\nbabaa x");
  openAt(0, "babaa", "a ");
  memo().select(7, -3);
  find().find();
  EXPECT_EQ(dialog.status, "FOUND: 0  >> SEARCHED TO END");
  find().replaceAll();
  EXPECT_EQ(memo().text(), "aa\r\nbabaa x");

  memo().select(4, 3);
  dialog.typeFind(find(), "babaa");
  find().find();
  find().replaceAll();
  EXPECT_EQ(std::pair(memo().text(), dialog.status),
            std::pair(std::string("aa\r\na  x"), std::string("REPLACED: 1  >> SEARCHED TO END")));
}

TEST_F(FindReplaceTest, OpeningOffersTheWordAtTheCaretAndSearchesFromItsLine) {
  memo().setText("total = 1\r\nDim total As Integer\r\n");
  memo().select(17, 0);  // inside "total" on the second line
  find().open();
  EXPECT_EQ(std::tuple(dialog.find, sel(), dialog.status, dialog.shown),
            std::tuple("total", Sel(11, 0), "Ready", true));
  EXPECT_EQ((std::vector{dialog.checked[Option::SelectedText], dialog.enabled[Option::SelectedText],
                         dialog.enabled[Option::AllPages], dialog.enabled[Option::PromptOnReplace],
                         states.enabled(Command::Revert1), states.enabled(Command::bAgain)}),
            (std::vector{false, false, true, false, true, false}));

  find().find();
  EXPECT_EQ(std::tuple(sel(), dialog.status, dialog.nextCaption, dialog.findInFront,
                       states.enabled(Command::bAgain)),
            std::tuple(Sel(20, -5), "FOUND: 1", "Next", false, true));
  find().next();
  EXPECT_EQ(std::tuple(dialog.status, memo().selText()),
            std::tuple("FOUND: 1  >> SEARCHED TO END", "total"));
  EXPECT_TRUE(ui.messages().empty());  // the dialog is showing

  // Unchecking All Pages never enables Selected Text without a selection to search.
  dialog.tick(find(), Option::AllPages, true);
  dialog.tick(find(), Option::AllPages, false);
  EXPECT_FALSE(dialog.enabled[Option::SelectedText]);
}

TEST_F(FindReplaceTest, SelectedTextKeepsReplacementsInsideTheSelection) {
  // Twelve characters selected over two lines; the " foo" after them stays.
  memo().setText("foo foo\r\nfoo foo");
  memo().select(0, 12);
  find().open();
  EXPECT_EQ(std::tuple(dialog.find, dialog.checked[Option::SelectedText],
                       dialog.enabled[Option::AllPages]),
            std::tuple("foo", true, false));
  dialog.typeReplace(find(), "f");
  find().find();
  find().replaceAll();
  EXPECT_EQ(memo().text(), "f f\r\nf foo");
  find().cancel();

  // A match that starts inside the selection but ends after it is not replaced.
  memo().setText("foo foo");
  memo().select(6, -6);
  find().open();
  dialog.typeReplace(find(), "X");
  find().find();
  find().replaceAll();
  EXPECT_EQ(memo().text(), "X foo");
}

TEST_F(FindReplaceTest, PromptOnReplaceAsksAfterTheFirstMatch) {
  memo().setText("a1 a2 a3 a4 a5");
  openAt(0, "a", "b");
  ASSERT_TRUE(dialog.enabled[Option::PromptOnReplace]);
  dialog.tick(find(), Option::PromptOnReplace, true);
  find().find();
  ui.queueAnswer(Answer::No);
  ui.queueAnswer(Answer::All);
  find().replaceAll();
  EXPECT_EQ(memo().text(), "b1 a2 b3 b4 b5");
  ASSERT_EQ(ui.questions().size(), 2u);
  EXPECT_EQ(std::tuple(ui.questions()[0].text, ui.questions()[0].buttons),
            std::tuple("Replace....", platform::Ui::Buttons::YesNoCancelWithAll));
  EXPECT_TRUE(dialog.checked[Option::PromptOnReplace]);  // All was for this run only
  EXPECT_EQ(dialog.status, "REPLACED: 4  >> SEARCHED TO END");

  // Cancel ends the run where it is and puts Find in front.
  memo().setText("a1 a2 a3");
  dialog.typeFind(find(), "a");
  find().find();
  ui.queueAnswer(Answer::Yes);
  ui.queueAnswer(Answer::Cancel);
  find().replaceAll();
  EXPECT_EQ(std::tuple(memo().text(), dialog.findInFront, dialog.defaultButton),
            std::tuple("b1 b2 a3", true, Button::Find));
}

TEST_F(FindReplaceTest, ReplaceActsOnlyOnTheMatchStillSelected) {
  memo().setText("x abc x x");
  openAt(0, "x", "y");
  find().find();
  // The user selects something else, then presses Replace: the selection is his.
  memo().select(2, 3);
  find().next();
  EXPECT_EQ(std::tuple(memo().text(), sel()), std::tuple("x abc x x", Sel(7, -1)));
  find().next();
  EXPECT_EQ(std::tuple(memo().text(), dialog.status), std::tuple("x abc y x", "REPLACED: 1"));
  // A match changed behind the search's back is not replaced either.
  memo().setText("x abc y z");
  memo().select(9, -1);
  find().replaceAll();
  EXPECT_EQ(memo().text(), "x abc y z");

  // Nor is a read-only editor changed, nor its matches counted.
  memo().setText("a a a");
  openAt(0, "a", "b");
  find().find();
  memo().setReadOnly(true);
  find().replaceAll();
  EXPECT_EQ(std::tuple(memo().text(), dialog.status),
            std::tuple("a a a", "REPLACED: 0  >> SEARCHED TO END"));
}

TEST_F(FindReplaceTest, F3AndCtrlGAfterTheDialogClosed) {
  memo().setText("Dim a\r\nDim b\r\n");
  openAt(0, "Dim");
  find().find();
  find().cancel();
  EXPECT_EQ(std::tuple(dialog.shown, find().findHistory()), std::tuple(false, Texts{"Dim"}));
  bench.commands().run("find.next");
  EXPECT_EQ(std::tuple(memo().selStart(), ui.messages().size()), std::tuple(10, 0u));
  bench.commands().run("find.next");
  EXPECT_EQ(ui.messages(), Texts{"Searched To End"});
  EXPECT_EQ(std::pair(states.enabled(Command::bAgain), states.enabled(Command::FindNext1)),
            std::pair(false, false));
  bench.commands().run("find.next");  // disabled: nothing
  EXPECT_EQ(ui.messages().size(), 1u);
  // Ctrl+G runs Next all the same.
  memo().select(0, 0);
  EXPECT_TRUE(
      bench.editing().keyReleased(EditorKey('G'), {.shift = false, .ctrl = true, .alt = false}));
  EXPECT_EQ(memo().selStart(), 3);
}

TEST_F(FindReplaceTest, AllPagesWalksEveryPageOnce) {
  openPages({{"one.mb", "Dim a\r\nDim z\r\n"},
             {"two.def", "Dim b\r\nDim c\r\n"},
             {"three.mb", "no match\r\n"}});
  docs().selectTab(1);
  openAt(0, "Dim", "DIM_X");
  dialog.tick(find(), Option::AllPages, true);
  dialog.tick(find(), Option::WholeWords, true);
  find().find();
  find().replaceAll();
  EXPECT_EQ((Texts{pageText(0), pageText(1)}),
            (Texts{"DIM_X a\r\nDIM_X z\r\n", "DIM_X b\r\nDIM_X c\r\n"}));
  EXPECT_EQ(dialog.status, "REPLACED: 4  >> SEARCHED TO END");
  // The run ended on the first page, a .mb: Compile follows it as after a tab change.
  EXPECT_EQ(std::tuple(docs().currentTab(), view.currentTab, states.enabled(Command::bCompile)),
            std::tuple(0, 0, true));
}

TEST_F(FindReplaceTest, FindOverAllPagesStopsAtTheStartTab) {
  openPages({{"a.mb", "x\r\n"}, {"b.mb", "y\r\n"}, {"c.mb", "x\r\n"}});
  docs().selectTab(1);
  openAt(0, "x");
  dialog.tick(find(), Option::AllPages, true);
  find().find();
  EXPECT_EQ(docs().currentTab(), 2);
  find().next();
  EXPECT_EQ(docs().currentTab(), 0);
  find().next();
  EXPECT_EQ(std::tuple(dialog.status, docs().currentTab()),
            std::tuple("FOUND: 2  >> SEARCHED TO END", 0));

  // Closing pages under the open dialog cannot leave the start tab behind the last tab.
  docs().selectTab(2);
  find().open();
  dialog.typeFind(find(), "zzz");
  dialog.tick(find(), Option::AllPages, true);
  docs().closePage();
  find().find();
  EXPECT_EQ(dialog.status, "FOUND: 0  >> SEARCHED TO END");
}

// What Revert puts back after typing and replacing is the random find check's business.
TEST_F(FindReplaceTest, ChangingTheSetOfPagesTakesRevertAway) {
  // The revert table would refer to other pages.
  const auto other = installed.folder().write("other.mb", "x\r\n");
  const std::vector<std::pair<const char*, std::function<void()>>> changes = {
      {"new page", [&] { docs().newPage(); }},
      {"a page the error view opens", [&] { docs().openAsPage(other.string()); }},
      {"closing a page", [&] { docs().closePage(); }},
  };
  for (const auto& [what, change] : changes) {
    SCOPED_TRACE(what);
    find().open();
    EXPECT_TRUE(states.enabled(Command::Revert1));
    change();
    EXPECT_EQ(std::pair(states.enabled(Command::Revert1), docs().revertAvailable()),
              std::pair(false, false));
  }
}

// The run moves the caret unheard; the caret panel shows where it ended, not where Find stopped.
TEST_F(FindReplaceTest, TheCaretPanelFollowsReplaceAll) {
  memo().setText(testing::numberedLines("x total", 30));
  openAt(0, "total", "sum");
  find().find();
  EXPECT_EQ(ui.statusText(platform::Ui::kCaretPanel), "1:8");
  find().replaceAll();
  const std::string at =
      std::to_string(memo().selLine() + 1) + ":" + std::to_string(memo().selCol() + 1);
  EXPECT_EQ(std::tuple(memo().selLine(), ui.statusText(platform::Ui::kCaretPanel)),
            std::tuple(29, at));
}

TEST_F(FindReplaceTest, ReplaceAllIsOneUndoStep) {
  const std::string text = testing::numberedLines("word other", 100);
  memo().setText(text);
  memo().select(0, 0);
  memo().setSelText("start ");  // an edit before, which must stay undoable after the step
  openAt(0, "word", "w");
  find().find();
  find().replaceAll();
  memo().undo();
  EXPECT_EQ(memo().text(), "start " + text);
  memo().redo();
  EXPECT_EQ(memo().text().find("word"), std::string::npos);
  memo().undo();
  memo().undo();
  EXPECT_EQ(memo().text(), text);
}

// Keys past ten coming back in order are the INI file's test, a repeat moving up the recent list's.
TEST_F(FindReplaceTest, HistoriesGoThroughTheSettingsFile) {
  for (const std::string what : {"first", "second"}) {
    openAt(0, what, what + " with");
    find().cancel();
  }
  const Texts expected{"second", "first"};
  EXPECT_EQ(std::tuple(find().findHistory(), dialog.findItems), std::tuple(expected, expected));
  ASSERT_TRUE(bench.closeQuery());

  testing::WorkbenchPorts fakes;
  app::Workbench again{fakes.ports()};
  installed.start(again);
  EXPECT_EQ(std::tuple(again.findReplace().findHistory(), again.findReplace().replaceHistory()),
            std::tuple(expected, Texts{"second with", "first with"}));
}

TEST(FindModelCheck, TwentyThousandRandomStepsAgreeWithAStringModel) {
  std::mt19937 rng(1515);
  testing::FindModelChecker checker([&](std::uint32_t& out) {
    out = rng();
    return true;
  });
  EXPECT_EQ(checker.run(20000), "");
}

}  // namespace
}  // namespace quillon::tools

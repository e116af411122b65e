// The word checker as the window drives it, over real pages.
#include <gtest/gtest.h>
#include <string>
#include <tuple>
#include <vector>

#include "editor/code_memo.h"
#include "language/word_check_commands.h"
#include "language/word_lists.h"
#include "pages/document_commands.h"
#include "support/temp_folder.h"
#include "support/test_program.h"
#include "support/workbench_ports.h"

namespace quillon::app {
namespace {

using Words = std::vector<std::string>;
using language::WordCheckCommands;
using language::WordList;

class WorkbenchWordCheckTest : public ::testing::Test, protected testing::WorkbenchPorts {
protected:
  void SetUp() override {
    installed.start(bench);
    ui.queueOpenFiles({folder.write("a.mb", "Dim zorkA\r\n' zorkC\r\n"),
                       folder.write("b.mb", "Print zorkB\r\n")});
    bench.documents().open(pages::DocumentCommands::Opener::Dialog);
    ASSERT_EQ(bench.documents().tabCount(), 2);
  }
  Words words() const {
    Words w;
    for (const auto& item : check.items()) w.push_back(item.word);
    return w;
  }
  auto located() { return std::tuple(check.workCopy().selStart(), check.workCopy().selText()); }

  testing::TestProgram installed;
  testing::TempFolder folder{"quillon-wordcheck"};
  Workbench bench{ports()};
  WordCheckCommands& check = bench.wordCheck();
};

TEST_F(WorkbenchWordCheckTest, OnePageOrAllPagesAndAnEditorOfBlanksHasNothingToDo) {
  int shown = 0;
  auto watch = check.onShowRequested.listen([&] { ++shown; });
  check.open();
  EXPECT_EQ(std::tuple(shown, check.allPagesEnabled()), std::tuple(1, true));
  bench.sourceEditor().setText("Print zorkEdited");  // b.mb, not saved nor left

  ASSERT_TRUE(check.start());
  EXPECT_EQ(words(), Words{"zorkEdited"});
  check.setAllPages(true);
  ASSERT_TRUE(check.start());
  EXPECT_EQ(std::pair(words(), ui.busy()), std::pair(Words({"zorkA", "zorkEdited"}), false));
  EXPECT_EQ(check.workCopy().text(), "Print zorkEdited") << "Locate searches the page on screen";

  check.open();
  EXPECT_EQ(std::tuple(words(), check.allPages()), std::tuple(Words{}, false));
  // An editor of blanks has nothing to do, whatever the other pages hold, until the window closes.
  bench.sourceEditor().setText(" \t\r\n ");
  check.setAllPages(true);
  EXPECT_EQ(std::tuple(check.start(), check.message()),
            std::tuple(false, WordCheckCommands::kNothingToDo));
  check.close();
  EXPECT_EQ(check.message(), WordCheckCommands::kHint);
}

TEST_F(WorkbenchWordCheckTest, ARunWorksOnTheTextsAsTheyWereAtStart) {
  check.open();
  check.setAllPages(true);
  int inner = 0;
  ui.onPendingMessages = [&] {
    if (++inner > 1) return;  // the tab change lets messages run too
    EXPECT_EQ(std::tuple(check.running(), check.allPagesEnabled(), ui.busy()),
              std::tuple(true, false, true));
    EXPECT_FALSE(check.start()) << "a second START inside the first";
    check.setAllPages(false);
    bench.sourceEditor().setText("Print zorkLate");
    bench.documents().selectTab(0);
  };
  bool runningWhenLastTold = true;
  auto watch = check.onChanged.listen([&] { runningWhenLastTold = check.running(); });
  ASSERT_TRUE(check.start());
  EXPECT_GE(inner, 2);
  EXPECT_FALSE(runningWhenLastTold) << "the window enables START again";
  ui.onPendingMessages = nullptr;
  EXPECT_EQ(std::tuple(words(), check.allPages(), check.running()),
            std::tuple(Words({"zorkA", "zorkB"}), true, false));
}

// A word added twice is held once: the word lists' test.
TEST_F(WorkbenchWordCheckTest, CheckedWordsGoToTheDictionaryAndTheOthersAreIgnored) {
  bench.sourceEditor().setText("zorkOne zorkTwo zorkThree");
  check.open();
  ASSERT_TRUE(check.start());
  ASSERT_EQ(words(), Words({"zorkOne", "zorkThree", "zorkTwo"}));
  check.checkAll(true);
  check.setChecked(1, false);
  check.addToDictionary();
  const auto& dict = bench.wordLists().list(WordList::Dict);
  EXPECT_EQ(std::tuple(std::count(dict.begin(), dict.end(), "zorkOne") +
                           std::count(dict.begin(), dict.end(), "zorkTwo"),
                       std::count(dict.begin(), dict.end(), "zorkThree"),
                       bench.wordLists().list(WordList::User)),
            std::tuple(2, 0, Words{"zorkThree"}));
  ASSERT_TRUE(check.start());
  EXPECT_TRUE(words().empty());
}

TEST_F(WorkbenchWordCheckTest, LocateWalksTheOccurrencesAndStartsOver) {
  bench.sourceEditor().setText("zorkX\r\nPrint zorkx + 1\r\n");
  check.open();
  ASSERT_TRUE(check.start());
  check.locate();
  EXPECT_EQ(located(), std::tuple(0, "")) << "nothing selected: nothing happens";
  check.itemClicked(0);
  check.locate();
  EXPECT_EQ(located(), std::tuple(5, "zorkX"));
  check.locate();
  EXPECT_EQ(std::get<1>(located()), "zorkx");
  check.locate();
  EXPECT_EQ(located(), std::tuple(0, ""));
}

TEST_F(WorkbenchWordCheckTest, ListButtonsShowAListAndActivationShowsThePage) {
  bench.wordLists().assign(WordList::Dict, {"beta", "alpha"});
  check.showList(WordCheckCommands::ListView::Dictionary);
  EXPECT_EQ(check.workCopy().text(), "alpha\r\nbeta");
  check.showList(WordCheckCommands::ListView::None);
  EXPECT_EQ(check.workCopy().text(), "alpha\r\nbeta") << "raising a button leaves the work copy";
  check.activated();
  EXPECT_EQ(std::tuple(check.workCopy().text(), check.listView()),
            std::tuple(bench.sourceEditor().text(), WordCheckCommands::ListView::None));
}

}  // namespace
}  // namespace quillon::app

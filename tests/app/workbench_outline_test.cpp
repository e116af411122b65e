// Which page commands scan the code outline, and what they leave in the message panel.
#include <gtest/gtest.h>
#include <string>

#include "build/error_panel.h"
#include "language/outline_commands.h"
#include "pages/document_commands.h"
#include "support/temp_folder.h"
#include "support/test_program.h"
#include "support/workbench_ports.h"

namespace quillon::app {
namespace {

using platform::Command;
using Region = platform::MainView::Region;

class WorkbenchOutlineTest : public ::testing::Test, protected testing::WorkbenchPorts {
protected:
  void SetUp() override {
    installed.start(bench);
    ui.queueOpenFiles({folder.write("a.mb", "Sub InA\r\nEnd Sub\r\n"),
                       folder.write("b.mb", "Sub InB\r\nEnd Sub\r\n")});
    bench.documents().open(pages::DocumentCommands::Opener::Dialog);
    ASSERT_EQ(bench.documents().tabCount(), 2);
  }
  std::string message() const { return ui.statusText(platform::Ui::kMessagePanel); }
  std::string firstSub() {
    const auto& subs = bench.outline().outline()->group(language::OutlineGroup::Subs);
    return subs.empty() ? std::string() : subs.front().text;
  }
  bool panelShown() const {
    return view.visible.contains(Region::CodeInfo) && view.visible.at(Region::CodeInfo);
  }

  testing::TestProgram installed;
  testing::TempFolder folder{"quillon-outline"};
  Workbench bench{ports()};
};

TEST_F(WorkbenchOutlineTest, ATabChangeScansOnlyAShownOutlineAndKeepsItsText) {
  bench.documents().selectTab(0);
  EXPECT_EQ(message(), "") << "hidden: the message line is cleared";
  EXPECT_FALSE(bench.outline().outline());

  bench.outline().toggleShow();
  EXPECT_EQ(firstSub(), "InA [1]");
  bench.documents().selectTab(1);
  EXPECT_EQ(firstSub(), "InB [1]");

  // New and Open scan a shown outline too.
  bench.documents().newPage();
  EXPECT_EQ(bench.outline().outline()->caption, "Untitled");
  EXPECT_EQ(firstSub(), "");
}

TEST_F(WorkbenchOutlineTest, ClosingHidesTheOutline) {
  bench.outline().toggleShow();
  bench.documents().closePage();
  EXPECT_FALSE(panelShown() || states.checked(Command::CodeInfoShow1));
  EXPECT_EQ(firstSub(), "InA [1]") << "the page left on screen is scanned";
  EXPECT_EQ(message(), "CLOSED PAGE....");
  bench.outline().toggleShow();
  EXPECT_EQ(message(), "CLOSED PAGE....") << "the tree already describes the page: no second scan";

  bench.documents().closeAll();
  EXPECT_EQ(std::tuple(panelShown() || states.checked(Command::CodeInfoShow1),
                       bench.outline().outline().has_value(), message()),
            std::tuple(false, false, "CLOSED ALL...."));
}

// F8 from an error line into another open page and Shift+F8 back: the tree follows.
TEST_F(WorkbenchOutlineTest, AJumpToAnErrorsPageLeavesTheOutlineOnThePageShown) {
  bench.documents().selectTab(0);
  bench.outline().toggleShow();
  bench.errorPanel().showText("(b.mb:1) Error\r\n(a.mb:1) Error");
  bench.errorPanel().nextError(true);
  ASSERT_EQ(bench.documents().currentTab(), 1);
  bench.outline().idleElapsed();  // the scan the page change asked for
  EXPECT_EQ(std::tuple(bench.outline().stale(), firstSub()),
            std::tuple(false, std::string("InB [1]")));
  bench.errorPanel().nextError(false);
  ASSERT_EQ(bench.documents().currentTab(), 0);
  EXPECT_TRUE(bench.outline().stale()) << "InB's entries are not shown over a.mb";
  bench.outline().idleElapsed();
  EXPECT_EQ(firstSub(), "InA [1]");
}

}  // namespace
}  // namespace quillon::app

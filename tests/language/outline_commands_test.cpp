#include "language/outline_commands.h"

#include <gtest/gtest.h>
#include <string>

#include "editor/code_memo.h"
#include "support/fake_main_view.h"
#include "support/fixed_metrics.h"
#include "support/recording_command_states.h"
#include "support/scripted_ui.h"

namespace quillon::language {
namespace {

using platform::Command;
using Region = platform::MainView::Region;

// Each reading is 25 ms after the last, so one scan takes 25 ms.
struct SteppingClock : platform::Clock {
  mutable TimePoint at{};
  TimePoint now() const override { return at += std::chrono::milliseconds(25); }
  void sleepFor(std::chrono::milliseconds) override {}
};

class OutlineCommandsTest : public ::testing::Test {
protected:
  void SetUp() override {
    memo.setText("Sub Main\r\n\tDim a As Integer\r\nEnd Sub\r\nSub Second\r\nEnd Sub\r\n");
  }
  std::string status() const { return ui.statusText(platform::Ui::kMessagePanel); }
  std::vector<std::string> subs() const {
    std::vector<std::string> out;
    for (const auto& e : commands.outline()->group(OutlineGroup::Subs)) out.push_back(e.text);
    return out;
  }
  int scans() const {
    int n = 0;
    for (const auto& [panel, text] : ui.statusHistory()) n += text.starts_with("CodeInfo Scanned ");
    return n;
  }
  bool panelShown() const {
    return view.visible.contains(Region::CodeInfo) && view.visible.at(Region::CodeInfo);
  }

  testing::ScriptedUi ui;
  testing::FakeMainView view;
  testing::RecordingCommandStates states;
  SteppingClock clock;
  editor::CodeMemo memo;
  std::string caption = "main.mb";
  OutlineCommands commands{{ui, view, states, memo, [this] { return caption; }, clock}};
};

TEST_F(OutlineCommandsTest, ScanReadsThePageWithoutTouchingIt) {
  memo.select(12, 5);
  memo.setModified(true);
  int heard = 0;
  auto moves = memo.onSelMove.listen([&] { ++heard; });
  auto changes = memo.onChange.listen([&] { ++heard; });
  int outlines = 0;
  auto outlineChanges = commands.onOutlineChanged.listen([&] { ++outlines; });

  commands.scan();
  EXPECT_EQ(std::tuple(memo.selStart(), memo.selLength(), memo.modified(), heard, outlines),
            std::tuple(12, 5, true, 0, 1));
  EXPECT_EQ(ui.pendingMessageCalls(), 0) << "no other command may run inside a scan";
  EXPECT_EQ(commands.outline()->caption, "main.mb");
  EXPECT_EQ(subs(), std::vector<std::string>({"Main [1]", "Second [4]"}));
  EXPECT_EQ(status(), "CodeInfo Scanned main.mb [6 lines] in 00.025 sec.");
}

// Word wrap cuts display lines out of paragraphs; names and numbers must not depend on it.
TEST_F(OutlineCommandsTest, WrappedLinesStillGiveWholeNamesAndParagraphNumbers) {
  testing::FixedMetrics metrics;
  memo.setMetrics(&metrics);
  memo.setWordWrap(true);
  memo.setUpdateMode(editor::UpdateMode::umImmediate);
  memo.setViewport(120, 400);
  memo.setText(
      "x = 1\r\nDim aVeryLongName, anotherLongName, yetAnotherName As Integer\r\nSub Tail\r\nEnd "
      "Sub");
  memo.ensureLaidOut(memo.paragraphCount() - 1);
  ASSERT_GT(memo.lineCount(), memo.paragraphCount());
  commands.scan();
  EXPECT_EQ(commands.outline()->group(OutlineGroup::Dim).front().text,
            "aVeryLongName, anotherLongName, yetAnotherName As Integer [2]");
  EXPECT_EQ(subs(), std::vector<std::string>({"Tail [3]"}));
  EXPECT_EQ(status(), "CodeInfo Scanned main.mb [4 lines] in 00.025 sec.");
}

TEST_F(OutlineCommandsTest, ShowRescansOnlyATreeOfAnotherPage) {
  commands.toggleShow();
  EXPECT_TRUE(panelShown() && states.checked(Command::CodeInfoShow1));
  EXPECT_EQ(scans(), 1) << "an empty tree is scanned";

  commands.toggleShow();
  EXPECT_FALSE(panelShown() || states.checked(Command::CodeInfoShow1));
  commands.toggleShow();
  EXPECT_EQ(scans(), 1) << "the hidden tree still describes this page";

  // Another page of the same caption came in while the panel was hidden.
  commands.toggleShow();
  memo.setText("Sub Other\r\nEnd Sub");
  commands.pageEntered();
  EXPECT_EQ(scans(), 1);
  commands.toggleShow();
  EXPECT_EQ(scans(), 2);
  EXPECT_EQ(subs(), std::vector<std::string>({"Other [1]"}));

  // A different caption is another page too.
  commands.toggleShow();
  caption = "other.mb";
  commands.toggleShow();
  EXPECT_EQ(scans(), 3);
}

TEST_F(OutlineCommandsTest, ReScanNeedsTextAndShowsThePanel) {
  memo.setText("");
  EXPECT_FALSE(commands.rescan());
  EXPECT_FALSE(scans() || panelShown());

  memo.setText("Sub B\r\nEnd Sub\r\nSub a\r\nEnd Sub");
  EXPECT_TRUE(commands.rescan());
  EXPECT_EQ(scans(), 1) << "showing does not scan the same page twice";
  EXPECT_TRUE(panelShown() && states.checked(Command::CodeInfoShow1));

  commands.toggleSorted();
  EXPECT_TRUE(states.checked(Command::CodeInfoSorted1));
  EXPECT_EQ(subs(), std::vector<std::string>({"a [3]", "B [1]"}));
  commands.toggleSorted();
  EXPECT_EQ(subs(), std::vector<std::string>({"B [1]", "a [3]"}));
}

TEST_F(OutlineCommandsTest, AClickJumpsOnlyOnceTheMouseHasMovedSinceAGroupOpened) {
  commands.scan();
  memo.select(3, 4);
  EXPECT_FALSE(commands.treeClicked(2, 4)) << "no mouse position yet";
  commands.treeMouseMoved(10, 30);
  EXPECT_FALSE(commands.treeClicked(0, 0)) << "the root";
  EXPECT_FALSE(commands.treeClicked(1, 0)) << "a group";
  EXPECT_EQ(memo.selStart(), 3);

  ASSERT_TRUE(commands.treeClicked(2, 4));
  EXPECT_EQ(std::tuple(memo.selStart(), memo.selLength()),
            std::tuple(editor::Offset{38}, editor::Offset{0}));

  commands.treeNodeToggled();
  EXPECT_FALSE(commands.treeClicked(2, 1));
  commands.treeMouseMoved(0, 0);
  ASSERT_TRUE(commands.treeClicked(2, 1));
  EXPECT_EQ(memo.selStart(), 0);

  // The text shrank since the scan: the entry's line is past the end.
  memo.setText("Sub Main");
  ASSERT_TRUE(commands.treeClicked(2, 4));
  EXPECT_EQ(memo.selStart(), 0);
}

TEST_F(OutlineCommandsTest, APageShownByAnyRouteIsScannedAndTheOldEntriesNeverJump) {
  std::vector<long> wanted;
  auto requests = commands.onScanWanted.listen(
      [&](std::chrono::milliseconds d) { wanted.push_back(d.count()); });
  commands.pageShown();
  EXPECT_TRUE(wanted.empty()) << "hidden, nothing to follow";
  commands.toggleShow();
  memo.setText("Sub Other\r\nEnd Sub\r\nSub Last\r\nEnd Sub");
  commands.pageShown();
  EXPECT_TRUE(commands.stale());
  EXPECT_EQ(wanted.back(), 0) << "at once, not after the idle delay";

  // The click came before the scan: it must not move the caret in this page.
  memo.select(5, 0);
  commands.treeMouseMoved(3, 3);
  EXPECT_FALSE(commands.treeClicked(2, 4));
  EXPECT_EQ(memo.selStart(), 5);
  EXPECT_EQ(subs(), std::vector<std::string>({"Other [1]", "Last [3]"}));
  ASSERT_TRUE(commands.treeClicked(2, 3));
  EXPECT_EQ(memo.selStart(), 20);

  memo.setText("Sub Main\r\nEnd Sub");
  commands.pageShown();
  commands.idleElapsed();
  EXPECT_FALSE(commands.stale());
  EXPECT_FALSE(commands.keptPage()) << "another page scrolls to the top";
  EXPECT_EQ(subs(), std::vector<std::string>({"Main [1]"}));
}

TEST_F(OutlineCommandsTest, EditsRescanQuietlyOnceIdleAndGroupsStayAsTheyWere) {
  std::vector<long> wanted;
  auto requests = commands.onScanWanted.listen(
      [&](std::chrono::milliseconds d) { wanted.push_back(d.count()); });
  commands.toggleShow();
  commands.setGroupExpanded(static_cast<std::size_t>(OutlineGroup::Subs), true);
  commands.idleElapsed();
  EXPECT_EQ(scans(), 1) << "nothing changed";

  memo.select(0, 0);
  memo.setSelText("Sub Third\r\nEnd Sub\r\n");
  ASSERT_FALSE(wanted.empty());
  EXPECT_EQ(wanted.back(), 300);
  EXPECT_EQ(subs().size(), 2u) << "not before the editor is idle";
  commands.idleElapsed();
  EXPECT_EQ(subs(), std::vector<std::string>({"Third [1]", "Main [3]", "Second [6]"}));
  EXPECT_EQ(scans(), 1) << "an idle scan leaves the message panel alone";
  EXPECT_TRUE(commands.keptPage());
  EXPECT_TRUE(commands.groupExpanded(static_cast<std::size_t>(OutlineGroup::Subs)));
  EXPECT_FALSE(commands.groupExpanded(static_cast<std::size_t>(OutlineGroup::Dim)));
  commands.rescan();
  EXPECT_TRUE(commands.groupExpanded(static_cast<std::size_t>(OutlineGroup::Subs)))
      << "ReScan keeps them too";

  // Hidden, edits wait for Show.
  commands.toggleShow();
  wanted.clear();
  memo.setSelText("Sub Fourth\r\nEnd Sub\r\n");
  EXPECT_TRUE(wanted.empty());
  commands.idleElapsed();
  commands.toggleShow();
  EXPECT_EQ(subs().front(), "Third [1]") << "Show scans an edited page";
  EXPECT_EQ(subs().size(), 4u);
}

}  // namespace
}  // namespace quillon::language

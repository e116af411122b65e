#include "language/outline_commands.h"

#include <gtest/gtest.h>

#include <string>

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
  bool panelShown() const { return view.visible.contains(Region::CodeInfo) && view.visible.at(Region::CodeInfo); }

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
  test::FixedMetrics metrics;
  memo.setMetrics(&metrics);
  memo.setWordWrap(true);
  memo.setUpdateMode(editor::UpdateMode::umImmediate);
  memo.setViewport(120, 400);
  memo.setText("x = 1\r\nDim aVeryLongName, anotherLongName, yetAnotherName As Integer\r\nSub Tail\r\nEnd Sub");
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
  EXPECT_EQ(std::tuple(memo.selStart(), memo.selLength()), std::tuple(editor::Offset{38}, editor::Offset{0}));

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

}  // namespace
}  // namespace quillon::language

#include <gtest/gtest.h>

#include "support/editing_fixture.h"
#include "support/temp_folder.h"

namespace {

using namespace quillon::editor;
using namespace quillon::testing;

using Pair = std::pair<Offset, Offset>;

class Mouse : public EditingTest {
protected:
  Pair sel() const { return {memo.selStart(), memo.selLength()}; }
  Pair caret() const { return {memo.selStart(), memo.extraColumns()}; }
  void click(int column, int line, KeyModifiers m = kNone) {
    mouse.press(xAt(column), yAt(line), m);
    mouse.release(xAt(column), yAt(line), m);
  }
  void drag(int c1, int l1, int c2, int l2, KeyModifiers m = kNone) {
    mouse.press(xAt(c1), yAt(l1), m);
    mouse.move(xAt(c2), yAt(l2), m);
    mouse.release(xAt(c2), yAt(l2), m);
  }
};

// Virtual space is the caret's to enter only when it keeps its column and does not wrap,
// for the mouse as for the keys; otherwise typed text would be padded with spaces.
TEST_F(Mouse, AClickPlacesTheCaretAndEntersVirtualSpaceOnlyWithoutWrapCaret) {
  load("hello\r\nworld");
  click(30, 0);  // beyond the end: the end, without virtual space
  EXPECT_EQ(caret(), Pair(5, 0));
  click(1, 1, kShift);
  EXPECT_EQ(sel(), Pair(8, -3));

  memo.setOptions(memo.options() | moKeepColumnPos | moPutExtraSpaces | moWrapCaret);
  click(9, 0);
  EXPECT_EQ(caret(), Pair(5, 0));
  memo.setOptions(memo.options() & ~moWrapCaret);
  click(9, 1);
  EXPECT_EQ(caret(), Pair(12, 4));
}

TEST_F(Mouse, DraggingSelectsAltDraggingSelectsAColumnAndDoubleClickAWord) {
  load("abcdef\r\nghijkl\r\nmnopqr");
  drag(4, 0, 1, 1);
  EXPECT_EQ(sel(), Pair(9, -5));

  drag(1, 0, 3, 2, kAlt);
  EXPECT_EQ(memo.selText(), "bc\r\nhi\r\nno\r\n");
  memo.setWordWrap(true);
  drag(1, 0, 3, 2, kAlt);
  EXPECT_FALSE(memo.blockSelection());

  load("call foo.bar, baz");
  mouse.doubleClick(xAt(6), yAt(0));
  EXPECT_EQ(memo.selText(), "foo");
  mouse.release(xAt(6), yAt(0), kNone);
  memo.setOptions(memo.options() | moLargeWordSelect);
  mouse.doubleClick(xAt(10), yAt(0));
  mouse.release(xAt(10), yAt(0), kNone);
  EXPECT_EQ(memo.selText(), "bar, ");
}

TEST_F(Mouse, TheLeftMarginSelectsWholeLines) {
  load("one\r\ntwo\r\nthree");
  EXPECT_EQ(mouse.cursorAt(2, yAt(1), kNone), MemoCursor::LineSelect);
  mouse.press(2, yAt(1), kNone);
  EXPECT_EQ(memo.selText(), "two\r\n");
  mouse.move(2, yAt(2), kNone);
  mouse.release(2, yAt(2), kNone);
  EXPECT_EQ(memo.selText(), "two\r\nthree");
  memo.setOptions(memo.options() | moNoLineSelection);
  memo.setSelStart(0);
  EXPECT_EQ(mouse.cursorAt(2, yAt(1), kNone), MemoCursor::IBeam);
}

TEST_F(Mouse, DragMoveUndoesInOneStepAndCtrlCopies) {
  load("alpha beta gamma");
  memo.select(6, 5);  // "beta "
  EXPECT_EQ(mouse.cursorAt(xAt(7), yAt(0), kNone), MemoCursor::Arrow);
  mouse.press(xAt(7), yAt(0), kNone);
  mouse.move(xAt(16), yAt(0), kNone);
  EXPECT_TRUE(mouse.draggingText());
  EXPECT_EQ(mouse.cursorAt(xAt(16), yAt(0), kCtrl), MemoCursor::DragCopy);
  mouse.release(xAt(16), yAt(0), kNone);
  EXPECT_EQ(memo.text(), "alpha gammabeta ");
  EXPECT_EQ(memo.selText(), "beta ");
  memo.undo();
  EXPECT_EQ(memo.text(), "alpha beta gamma");

  memo.select(0, 5);
  drag(1, 0, 16, 0, kCtrl);
  EXPECT_EQ(memo.text(), "alpha beta gammaalpha");
  memo.undo();
  EXPECT_EQ(memo.text(), "alpha beta gamma");

  // A click on the selection that does not move places the caret; a drop outside the
  // window or onto the selection itself changes nothing.
  memo.select(6, 4);
  click(7, 0);
  EXPECT_EQ(sel(), Pair(7, 0));
  memo.select(6, 4);
  mouse.press(xAt(7), yAt(0), kNone);
  mouse.move(xAt(7), yAt(5), kNone);
  mouse.release(xAt(7), -40, kNone);
  mouse.press(xAt(7), yAt(0), kNone);
  mouse.move(xAt(8), yAt(3), kNone);
  mouse.release(xAt(8), yAt(0), kNone);
  EXPECT_EQ(memo.text(), "alpha beta gamma");

  memo.setReadOnly(true);
  memo.select(6, 4);
  EXPECT_EQ(mouse.cursorAt(xAt(7), yAt(0), kNone), MemoCursor::IBeam);
}

TEST_F(Mouse, AutoScrollSpeedFollowsTheDistance) {
  load(quillon::testing::numberedLines(std::string(200, 'x'), 200));
  mouse.press(xAt(1), yAt(1), kNone);
  EXPECT_FALSE(mouse.autoScroll(xAt(2), yAt(2), kNone));  // inside: nothing
  EXPECT_TRUE(mouse.autoScroll(xAt(2), 160 + 29, kNone));
  EXPECT_EQ(memo.scrollY(), 10);                          // 30 px below the edge, a third of it
  EXPECT_EQ(memo.selStart(), memo.offsetOfLine(12) + 2);  // and the selection follows
  mouse.autoScroll(-31, yAt(2), kNone);
  EXPECT_EQ(memo.scrollX(), 0);  // never left of the origin
  mouse.autoScroll(memo.clientWidth() + 2, yAt(2), kNone);
  EXPECT_EQ(memo.scrollX(), 1);
  mouse.release(xAt(1), yAt(1), kNone);
  EXPECT_FALSE(mouse.autoScroll(xAt(2), 400, kNone));
  EXPECT_EQ(MemoMouse::autoScrollStep(1), 1);
}

TEST_F(Mouse, WheelScrollsByFactorLinesPerNotch) {
  load(quillon::testing::numberedLines("line", 100));
  memo.setMouseWheelFactor(5);
  // Fine-grained wheels add up before they scroll.
  for (const auto& [delta, top] : {Pair(-120, 5), Pair(-12, 5), Pair(-12, 6), Pair(240, 0)}) {
    mouse.wheel(static_cast<int>(delta));
    EXPECT_EQ(memo.topLine(), top) << "after " << delta;
  }
}

TEST_F(Mouse, TypingWaitsWhileTheButtonIsHeld) {
  load("ab");
  mouse.press(xAt(1), yAt(0), kNone);
  type("x");
  key(EditKey::Enter);
  mouse.release(xAt(1), yAt(0), kNone);
  EXPECT_EQ(memo.text(), "ab");
  type("x");
  EXPECT_EQ(memo.text(), "axb");
}

}  // namespace

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "editor/memo_error.h"
#include "support/editing_fixture.h"
#include "support/table_corruption.h"
#include "support/temp_folder.h"

namespace {

using namespace quillon::editor;
using namespace quillon::test;

using Caret = std::pair<Offset, int>;

class Keyboard : public EditingTest {
protected:
  Caret caret() const { return {memo.selStart(), memo.extraColumns()}; }
  std::string marked() const { return memo.text().insert(static_cast<std::size_t>(memo.selStart()), "|"); }
};

TEST_F(Keyboard, AutoIndentWithoutTrailingBlanksPutsTheCaretInVirtualSpace) {
  memo.setOptions(moAutoIndent | moDiscardTrailingSpaces | moKeepColumnPos | moPutExtraSpaces);
  memo.setTabStops(4);
  load(" \tx", 3);
  key(EditKey::Enter);
  EXPECT_EQ(paragraphs(), (Pars{" \tx", ""}));
  EXPECT_EQ(memo.extraColumns(), 5);  // one space, one tab of four columns
  type("y");
  // A space typed at the end only moves the caret.
  type(" ");
  EXPECT_EQ(paragraphs(), (Pars{" \tx", "     y"}));
  EXPECT_EQ(memo.extraColumns(), 1);
}

// One key on a text where '|' marks the caret, before and after; '~' the selection's other end.
// A row without a text goes on from the row before.
struct KeyRow {
  const char* what;
  CodeMemoOptions options;
  const char* before;
  EditKey key;
  KeyModifiers mods;
  const char* after;
};

TEST_F(Keyboard, EditingKeys) {
  constexpr CodeMemoOptions indent = kDefaultOptions | moAutoIndent, back = kDefaultOptions | moBackIndent;
  constexpr CodeMemoOptions keep = moKeepColumnPos;
  constexpr EditKey enter = EditKey::Enter, bs = EditKey::Backspace, del = EditKey::Delete;
  constexpr EditKey left = EditKey::Left, right = EditKey::Right, up = EditKey::Up, down = EditKey::Down;
  constexpr CodeMemoOptions none = kDefaultOptions;
  const KeyRow rows[] = {
      {"auto-indent copies blanks up to the caret", indent, "\t|\tif x", enter, kNone, "\t\r\n\t|\tif x"},
      {"Enter over a selection only replaces it", indent, "  |ab~c", enter, kNone, "  \r\n|c"},
      {"back-indent to the previous level", back, "    a\r\n        |b", bs, kNone, "    a\r\n    |b"},
      {"back-indent without a shallower line", back, "        |b", bs, kNone, "|b"},
      {"back-indent counts a tab as one", back, "\ta\r\n\t\t\t|b", bs, kNone, "\ta\r\n\t|b"},
      {"back-indent only at the indentation point", back, "    a\r\n        bc|", bs, kNone, "    a\r\n        b|"},
      {"Backspace joins paragraphs", keep, "ab\r\n|cd", bs, kNone, "ab|cd"},
      {"Backspace skips a code", keep, "a\x02" "b|", bs, kNone, "a|"},
      {"Delete skips a code", keep, "a|\x02" "b", del, kNone, "a|"},
      {"Delete joins paragraphs", keep, "ab|\r\ncd", del, kNone, "ab|cd"},
      {"nothing before the start", keep, "|x", bs, kNone, "|x"},
      {"nothing after the end", keep, "x|", del, kNone, "x|"},
      {"Ctrl+Backspace takes separators first", none, "foo bar.  baz|", bs, kCtrl, "foo bar.  |"},
      {"then the word before", none, nullptr, bs, kCtrl, "foo |"},
      {"and a paragraph break", none, "foo\r\n|bar", bs, kCtrl, "|bar"},
      {"Ctrl+Right to the next word", none, "|one, two\r\nthree", right, kCtrl, "one, |two\r\nthree"},
      {"and over the break", none, nullptr, right, kCtrl, "one, two\r\n|three"},
      {"Ctrl+Left back", none, nullptr, left, kCtrl, "one, |two\r\nthree"},
      {"Right passes over a code", none, "a|\x02" "b", right, kNone, "a\x02" "b|"},
      {"and so does Left", none, nullptr, left, kNone, "a|\x02" "b"},
      {"Down to the end of a shorter line", none, "abcde|f\r\nab\r\nabcdef", down, kNone, "abcdef\r\nab|\r\nabcdef"},
      {"and back to the remembered column", none, nullptr, down, kNone, "abcdef\r\nab\r\nabcde|f"},
      {"Up to the short line again", none, nullptr, up, kNone, "abcdef\r\nab|\r\nabcdef"},
      {"Left forgets the column", none, nullptr, left, kNone, "abcdef\r\na|b\r\nabcdef"},
      {"so Down keeps the new one", none, nullptr, down, kNone, "abcdef\r\nab\r\na|bcdef"},
  };
  for (const KeyRow& r : rows) {
    SCOPED_TRACE(r.what);
    memo.setOptions(r.options);
    if (r.before) {
      std::string text = r.before;
      const auto caret = static_cast<Offset>(text.find('|'));
      text.erase(caret, 1);
      const auto other = text.find('~');
      if (other != std::string::npos) text.erase(other, 1);
      load(text, caret);
      if (other != std::string::npos) memo.setSelLength(static_cast<Offset>(other) - caret);
    }
    key(r.key, r.mods);
    EXPECT_EQ(marked(), r.after);
  }

  // From virtual space: an empty line indents as far as the caret reaches into the line above,
  // and Backspace eats one virtual column.
  memo.setOptions(indent);
  load("    a\r\n\r\n", 7);
  memo.setExtraColumns(6);
  key(enter);
  EXPECT_EQ(paragraphs(), (Pars{"    a", "", "    ", ""}));
  memo.setOptions(keep);
  load("ab", 2);
  memo.setExtraColumns(2);
  key(bs);
  EXPECT_EQ(memo.text(), "ab");
  EXPECT_EQ(caret(), Caret(2, 1));
}

TEST_F(Keyboard, VirtualSpaceAndWrapCaret) {
  memo.setOptions(moKeepColumnPos | moPutExtraSpaces);
  load("ab\r\ncd", 0);
  key(EditKey::End);
  for (int i = 0; i < 3; ++i) key(EditKey::Right);
  EXPECT_EQ(caret(), Caret(2, 3));
  key(EditKey::Left);
  type("x");
  EXPECT_EQ(paragraphs(), (Pars{"ab  x", "cd"}));

  // Without moPutExtraSpaces the character lands at the line's end.
  memo.setOptions(moKeepColumnPos);
  load("ab", 2);
  key(EditKey::Right);
  type("x");
  EXPECT_EQ(memo.text(), "abx");

  // Up and Down keep the caret in its column on a short line; Shift extends from there.
  load("abcdef\r\nab\r\nabcdef", 5);
  key(EditKey::Down);
  EXPECT_EQ(caret(), Caret(10, 3));
  key(EditKey::Down, kShift);
  EXPECT_EQ(memo.selLength(), -7);

  memo.setOptions(moKeepColumnPos | moWrapCaret);
  load("ab\r\ncd", 2);
  key(EditKey::Right);
  EXPECT_EQ(caret(), Caret(4, 0));
}

TEST_F(Keyboard, OverwriteReplacesButAppendsAtTheParagraphEndAndInsertToggles) {
  memo.setOverwrite(true);
  load("ab\r\ncd", 0);
  type("x");
  memo.setSelStart(2);
  type("yz");
  // Enter moves to the next line, and adds a paragraph only on the last one.
  memo.setSelStart(1);
  key(EditKey::Enter);
  EXPECT_EQ(marked(), "xbyz\r\n|cd");
  key(EditKey::Enter);
  EXPECT_EQ(marked(), "xbyz\r\ncd\r\n|");

  // Insert toggles the mode only while moInsertKeyActive allows it.
  int styleChanges = 0;
  memo.onStyleChange.subscribe([&] { ++styleChanges; });
  key(EditKey::Insert);
  EXPECT_EQ(std::pair(memo.overwrite(), styleChanges), std::pair(false, 1));
  memo.setOptions(0);
  key(EditKey::Insert);
  EXPECT_FALSE(memo.overwrite());

  // A wide overwrite caret covers the character under it.
  memo.setOptions(kDefaultOptions);
  memo.setCaretWidth(3);
  memo.setTabStops(4);
  load("a\tb");
  memo.setOverwrite(true);
  // The tab from x 8 to 32; at the paragraph end nothing is under the caret.
  for (const auto& [at, width] : {std::pair(1, 24), std::pair(0, 8), std::pair(3, 3)}) {
    memo.setSelStart(at);
    EXPECT_EQ(memo.caretPixelWidth(), width) << at;
  }
  memo.setOptions(memo.options() & ~moWideOverwriteCaret);
  memo.setSelStart(0);
  EXPECT_EQ(memo.caretPixelWidth(), 3);
}

TEST_F(Keyboard, PageKeysMoveByWholeWindowsAndClamp) {
  load(quillon::testing::numberedLines("line", 100));
  key(EditKey::PageDown);
  EXPECT_EQ(memo.selLine(), 10);
  memo.setSelLine(95);
  key(EditKey::PageDown);
  EXPECT_EQ(memo.selLine(), 100);
  memo.setSelLine(3);
  key(EditKey::PageUp, kShift);
  EXPECT_EQ(std::pair(memo.selLine(), memo.selLength()), (std::pair<Offset, Offset>(0, memo.offsetOfLine(3))));
  key(EditKey::End, kCtrl);
  EXPECT_EQ(memo.selStart(), memo.charCount());
}

TEST_F(Keyboard, HotKeysWrapTheSelectionInFormattingCodes) {
  load("say hello", 4);
  memo.setSelLength(5);
  ASSERT_TRUE(keyboard.controlKey('B', kCtrl));
  EXPECT_EQ(memo.text(), "say \x02hello\x02");
  EXPECT_EQ(memo.selText(), "hello");
  memo.undo();
  EXPECT_EQ(memo.text(), "say hello");

  load("ab", 1);
  keyboard.controlKey('U', kCtrl);
  EXPECT_EQ(marked(), "a\x15|\x15" "b");

  load("ab", 1);
  keyboard.controlKey('P', kCtrl);
  EXPECT_EQ(paragraphs(), (Pars{"a", "\x10", "b"}));
  keyboard.controlKey('Z', kCtrl);
  EXPECT_EQ(memo.text(), "ab");
  keyboard.controlKey('Z', kCtrlShift);
  EXPECT_EQ(memo.paragraphCount(), 3);

  memo.setStaticFormat(false);
  load("ab", 1);
  EXPECT_TRUE(keyboard.controlKey('I', kCtrl));
  EXPECT_EQ(memo.text(), "ab");

  memo.setEnableHotKeys(false);
  EXPECT_FALSE(keyboard.controlKey('B', kCtrl));
  EXPECT_FALSE(keyboard.controlKey('Z', kCtrl));
}

TEST_F(Keyboard, ReadOnlyAndDisplayOnly) {
  load("abc", 0);
  memo.setSelLength(2);
  memo.setReadOnly(true);
  type("x");
  key(EditKey::Delete);
  key(EditKey::Enter);
  for (const char c : {'X', 'V', 'B'}) keyboard.controlKey(c, kCtrl);
  EXPECT_EQ(memo.text(), "abc");
  EXPECT_TRUE(keyboard.controlKey('C', kCtrl));
  ASSERT_TRUE(systemClipboard.content);
  EXPECT_EQ(systemClipboard.content->text, "ab");
  key(EditKey::Right);  // moving still works
  EXPECT_EQ(memo.selStart(), 1);

  systemClipboard.content.reset();
  memo.setReadOnly(false);
  memo.setDisplayOnly(true);
  memo.setSelLength(1);
  keyboard.controlKey('C', kCtrl);
  type("x");
  EXPECT_FALSE(systemClipboard.content);
  EXPECT_EQ(memo.text(), "abc");
  EXPECT_FALSE(keyboard.keyDown(EditKey::Tab, kNone));
}

TEST_F(Keyboard, CtrlERaisesTheFirstBrokenInvariant) {
  load("ab\r\ncd");
  EXPECT_NO_THROW(keyboard.controlKey('E', kCtrl));
  quillon::testing::corruptLineCount(memo, 0, 3);  // the line table now disagrees
  EXPECT_THAT([&] { keyboard.controlKey('E', kCtrl); },
              ::testing::ThrowsMessage<MemoError>(::testing::StartsWith("Error 3 in ")));
  quillon::testing::corruptLineCount(memo, 0, 1);
}

TEST_F(Keyboard, TypingFarOutInVirtualSpaceStaysSound) {
  memo.setOptions(moKeepColumnPos | moPutExtraSpaces);
  load("ab\r\ncd", 2);
  memo.setExtraColumns(100000);
  type("x");
  EXPECT_EQ(memo.paragraphText(0), "ab" + std::string(100000, ' ') + "x");
  memo.selfCheck();
  // Holding Right cannot push the caret without bound.
  memo.setSelStart(memo.charCount());
  memo.setExtraColumns(MemoKeyboard::kMaxExtraColumns);
  key(EditKey::Right);
  EXPECT_EQ(caret(), Caret(memo.charCount(), MemoKeyboard::kMaxExtraColumns));
}

class Blocks : public EditingTest {
protected:
  // Selects the rectangle from (column, paragraph) spanning `right` columns and `down` rows.
  void block(std::int64_t paragraph, int column, int right, int down) {
    memo.setSelStart(memo.table().startOf(paragraph) + column);
    for (int i = 0; i < right; ++i) key(EditKey::Right, kShiftAlt);
    for (int i = 0; i < down; ++i) key(EditKey::Down, kShiftAlt);
  }
  void pasteBlockText(std::string text) { systemClipboard.content = quillon::platform::ClipboardText{text, true}; }
};

TEST_F(Blocks, ShiftAltStartsABlockOnlyWhenAllowed) {
  load("abcd\r\nefgh");
  for (const auto& [allowed, wrap] : {std::pair(false, false), std::pair(true, true), std::pair(true, false)}) {
    memo.setOptions(allowed ? memo.options() | moBlockSelection : memo.options() & ~moBlockSelection);
    memo.setWordWrap(wrap);
    block(0, 1, 1, 1);
    EXPECT_EQ(memo.blockSelection(), allowed && !wrap) << "allowed " << allowed << ", wrap " << wrap;
  }
  key(EditKey::Left);  // an unshifted move ends it
  EXPECT_FALSE(memo.blockSelection());

  // A block reaches into virtual space.
  load("ab\r\nabcdef");
  block(0, 1, 3, 1);
  EXPECT_EQ(memo.selText(), "b\r\nbcd\r\n");
  key(EditKey::Up, kShiftAlt);
  EXPECT_EQ(memo.extraColumns(), 2);  // column 4 on "ab"
}

TEST_F(Blocks, CutAndTypingOverABlockAreOneUndoStep) {
  load("abcd\r\nefgh\r\nijkl");
  block(0, 1, 2, 2);
  keyboard.controlKey('X', kCtrl);
  EXPECT_EQ(paragraphs(), (Pars{"ad", "eh", "il"}));
  EXPECT_EQ(systemClipboard.content->text, "bc\r\nfg\r\njk\r\n");
  EXPECT_TRUE(systemClipboard.content->columnBlock);
  memo.undo();
  EXPECT_EQ(memo.text(), "abcd\r\nefgh\r\nijkl");

  block(0, 1, 2, 2);
  type("X");
  memo.undo();
  EXPECT_EQ(memo.text(), "abcd\r\nefgh\r\nijkl");
  memo.redo();
  EXPECT_EQ(paragraphs(), (Pars{"ad", "eh", "iXl"}));
  memo.selfCheck();
}

TEST_F(Blocks, PastePadsShortLinesAndAppendsParagraphs) {
  load("abcdefgh\r\nab");
  memo.setSelStart(6);
  pasteBlockText("12\r\n34\r\n56\r\n");
  keyboard.controlKey('V', kCtrl);
  EXPECT_EQ(paragraphs(), (Pars{"abcdef12gh", "ab    34", "      56"}));
  memo.selfCheck();
  memo.undo();
  EXPECT_EQ(memo.text(), "abcdefgh\r\nab");

  // The target column follows the caret in virtual space.
  memo.setOptions(memo.options() | moKeepColumnPos);
  load("x");
  memo.setSelStart(1);
  memo.setExtraColumns(3);
  pasteBlockText("q");
  keyboard.keyDown(EditKey::Insert, kShift);
  EXPECT_EQ(memo.text(), "x   q");
}

class Clipboard : public EditingTest {};

TEST_F(Clipboard, CutPasteAndLineBreaks) {
  load("one two");
  memo.select(3, 4);
  keyboard.controlKey('X', kCtrl);
  EXPECT_EQ(memo.text(), "one");
  EXPECT_EQ(systemClipboard.content->text, " two");
  EXPECT_FALSE(systemClipboard.content->columnBlock);

  // Line feeds alone end paragraphs once pasted; CR LF and lone CR are kept as they are.
  systemClipboard.content = quillon::platform::ClipboardText{"a\nb\r\nc\rd\n", false};
  keyboard.controlKey('V', kCtrl);
  EXPECT_EQ(paragraphs(), (Pars{"onea", "b", "c", "d", ""}));

  // An empty clipboard pastes nothing.
  systemClipboard.content.reset();
  keyboard.controlKey('V', kCtrl);
  EXPECT_EQ(memo.paragraphCount(), 5);

  // A paste is its own undo step between typed runs.
  load("");
  systemClipboard.content = quillon::platform::ClipboardText{"PASTE", false};
  type("ab");
  keyboard.controlKey('V', kCtrl);
  type("cd");
  EXPECT_EQ(memo.text(), "abPASTEcd");
  memo.undo();
  EXPECT_EQ(memo.text(), "abPASTE");
  memo.undo();
  EXPECT_EQ(memo.text(), "ab");
}

TEST_F(Clipboard, BinaryAndHugePastesStaySound) {
  std::string binary;
  for (int round = 0; round < 64; ++round)
    for (int c = 0; c < 256; ++c) binary.push_back(static_cast<char>(c ^ round));
  memo.setNullReplacement(' ');
  systemClipboard.content = quillon::platform::ClipboardText{binary, false};
  keyboard.controlKey('V', kCtrl);
  memo.selfCheck();
  EXPECT_EQ(memo.text().find('\0'), std::string::npos);
  // Offsets still count every break as two.
  EXPECT_EQ(memo.charCount(), static_cast<Offset>(memo.text().size()));

  // 50 MB of lines, pasted into the middle of a line.
  std::string big;
  big.reserve(50u << 20);
  while (big.size() < (50u << 20)) big += "0123456789 abcdefghij 0123456789 abcdefghij 0123456789 abcdefghij 0123456789\n";
  load("[]", 1);
  systemClipboard.content = quillon::platform::ClipboardText{big, false};
  keyboard.controlKey('V', kCtrl);
  memo.selfCheck();
  EXPECT_GT(memo.paragraphCount(), 600000);
  EXPECT_EQ(memo.paragraphText(0), "[0123456789 abcdefghij 0123456789 abcdefghij 0123456789 abcdefghij 0123456789");
  EXPECT_EQ(memo.paragraphText(memo.paragraphCount() - 1), "]");
  memo.undo();
  EXPECT_EQ(memo.text(), "[]");
}

using Pair = std::pair<Offset, Offset>;

class Mouse : public Keyboard {
protected:
  Pair sel() const { return {memo.selStart(), memo.selLength()}; }
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
  click(2, 1);
  EXPECT_EQ(memo.selStart(), 9);
  click(30, 0);  // beyond the end: the end, without virtual space
  EXPECT_EQ(caret(), Caret(5, 0));
  click(1, 1, kShift);
  EXPECT_EQ(sel(), Pair(8, -3));

  memo.setOptions(memo.options() | moKeepColumnPos | moPutExtraSpaces | moWrapCaret);
  click(9, 0);
  EXPECT_EQ(caret(), Caret(5, 0));
  memo.setOptions(memo.options() & ~moWrapCaret);
  click(9, 1);
  EXPECT_EQ(caret(), Caret(12, 4));
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
  EXPECT_EQ(memo.scrollY(), 10);  // 30 px below the edge, a third of it
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

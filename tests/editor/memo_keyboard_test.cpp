#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "editor/memo_error.h"
#include "support/editing_fixture.h"
#include "support/table_corruption.h"
#include "support/temp_folder.h"

namespace {

using namespace quillon::editor;
using namespace quillon::testing;

using Caret = std::pair<Offset, int>;

class Keyboard : public EditingTest {
protected:
  Caret caret() const { return {memo.selStart(), memo.extraColumns()}; }
  std::string marked() const {
    return memo.text().insert(static_cast<std::size_t>(memo.selStart()), "|");
  }
};

TEST_F(Keyboard, AutoIndentWithoutTrailingBlanksPutsTheCaretInVirtualSpace) {
  memo.setOptions(moAutoIndent | moDiscardTrailingSpaces | moKeepColumnPos | moPutExtraSpaces);
  memo.setTabStops(4);
  load(" \tx", 3);
  key(EditKey::Enter);
  EXPECT_EQ(std::pair(paragraphs(), memo.extraColumns()),
            std::pair(Pars{" \tx", ""}, 5));  // a space, a tab of four
  type("y");
  type(" ");  // at the end it only moves the caret
  EXPECT_EQ(std::pair(paragraphs(), memo.extraColumns()), std::pair(Pars{" \tx", "     y"}, 1));
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
  constexpr CodeMemoOptions indent = kDefaultOptions | moAutoIndent,
                            back = kDefaultOptions | moBackIndent;
  constexpr CodeMemoOptions keep = moKeepColumnPos;
  constexpr EditKey enter = EditKey::Enter, bs = EditKey::Backspace, del = EditKey::Delete;
  constexpr EditKey left = EditKey::Left, right = EditKey::Right, up = EditKey::Up,
                    down = EditKey::Down;
  constexpr CodeMemoOptions none = kDefaultOptions;
  const KeyRow rows[] = {
      {"auto-indent copies blanks up to the caret", indent, "\t|\tif x", enter, kNone,
       "\t\r\n\t|\tif x"},
      {"Enter over a selection only replaces it", indent, "  |ab~c", enter, kNone, "  \r\n|c"},
      {"back-indent to the previous level", back, "    a\r\n        |b", bs, kNone,
       "    a\r\n    |b"},
      {"back-indent without a shallower line", back, "        |b", bs, kNone, "|b"},
      {"back-indent counts a tab as one", back, "\ta\r\n\t\t\t|b", bs, kNone, "\ta\r\n\t|b"},
      {"back-indent only at the indentation point", back, "    a\r\n        bc|", bs, kNone,
       "    a\r\n        b|"},
      {"Backspace joins paragraphs", keep, "ab\r\n|cd", bs, kNone, "ab|cd"},
      {"Backspace skips a code", keep,
       "a\x02"
       "b|",
       bs, kNone, "a|"},
      {"Delete skips a code", keep,
       "a|\x02"
       "b",
       del, kNone, "a|"},
      {"Delete joins paragraphs", keep, "ab|\r\ncd", del, kNone, "ab|cd"},
      {"nothing before the start", keep, "|x", bs, kNone, "|x"},
      {"nothing after the end", keep, "x|", del, kNone, "x|"},
      {"Ctrl+Backspace takes separators first", none, "foo bar.  baz|", bs, kCtrl, "foo bar.  |"},
      {"then the word before", none, nullptr, bs, kCtrl, "foo |"},
      {"and a paragraph break", none, "foo\r\n|bar", bs, kCtrl, "|bar"},
      {"Ctrl+Right to the next word", none, "|one, two\r\nthree", right, kCtrl,
       "one, |two\r\nthree"},
      {"and over the break", none, nullptr, right, kCtrl, "one, two\r\n|three"},
      {"Ctrl+Left back", none, nullptr, left, kCtrl, "one, |two\r\nthree"},
      {"Right passes over a code", none,
       "a|\x02"
       "b",
       right, kNone,
       "a\x02"
       "b|"},
      {"and so does Left", none, nullptr, left, kNone,
       "a|\x02"
       "b"},
      {"Down to the end of a shorter line", none, "abcde|f\r\nab\r\nabcdef", down, kNone,
       "abcdef\r\nab|\r\nabcdef"},
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
  EXPECT_EQ(std::pair(memo.text(), caret()), std::pair(std::string("ab"), Caret(2, 1)));
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
  EXPECT_EQ(std::pair(memo.selLine(), memo.selLength()),
            (std::pair<Offset, Offset>(0, memo.offsetOfLine(3))));
  key(EditKey::End, kCtrl);
  EXPECT_EQ(memo.selStart(), memo.charCount());
}

TEST_F(Keyboard, HotKeysWrapTheSelectionInFormattingCodes) {
  load("say hello", 4);
  memo.setSelLength(5);
  ASSERT_TRUE(keyboard.controlKey('B', kCtrl));
  EXPECT_EQ(std::pair(memo.text(), memo.selText()),
            std::pair(std::string("say \x02hello\x02"), std::string("hello")));
  memo.undo();
  EXPECT_EQ(memo.text(), "say hello");

  load("ab", 1);
  keyboard.controlKey('U', kCtrl);
  EXPECT_EQ(marked(),
            "a\x15|\x15"
            "b");

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
  EXPECT_EQ(std::pair(keyboard.controlKey('B', kCtrl), keyboard.controlKey('Z', kCtrl)),
            std::pair(false, false));
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
  EXPECT_EQ(systemClipboard.content.value_or(quillon::platform::ClipboardText{}).text, "ab");
  key(EditKey::Right);  // moving still works
  EXPECT_EQ(memo.selStart(), 1);

  systemClipboard.content.reset();
  memo.setReadOnly(false);
  memo.setDisplayOnly(true);
  memo.setSelLength(1);
  keyboard.controlKey('C', kCtrl);
  type("x");
  EXPECT_EQ(std::pair(memo.text(), systemClipboard.content.has_value()),
            std::pair(std::string("abc"), false));
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

}  // namespace

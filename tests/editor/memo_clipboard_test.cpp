#include <gtest/gtest.h>

#include "support/editing_fixture.h"

namespace {

using namespace quillon::editor;
using namespace quillon::testing;

class Blocks : public EditingTest {
protected:
  // Selects the rectangle from (column, paragraph) spanning `right` columns and `down` rows.
  void block(std::int64_t paragraph, int column, int right, int down) {
    memo.setSelStart(memo.table().startOf(paragraph) + column);
    for (int i = 0; i < right; ++i) key(EditKey::Right, kShiftAlt);
    for (int i = 0; i < down; ++i) key(EditKey::Down, kShiftAlt);
  }
  void pasteBlockText(std::string text) {
    systemClipboard.content = quillon::platform::ClipboardText{text, true};
  }
};

TEST_F(Blocks, ShiftAltStartsABlockOnlyWhenAllowed) {
  load("abcd\r\nefgh");
  for (const auto& [allowed, wrap] :
       {std::pair(false, false), std::pair(true, true), std::pair(true, false)}) {
    memo.setOptions(allowed ? memo.options() | moBlockSelection
                            : memo.options() & ~moBlockSelection);
    memo.setWordWrap(wrap);
    block(0, 1, 1, 1);
    EXPECT_EQ(memo.blockSelection(), allowed && !wrap)
        << "allowed " << allowed << ", wrap " << wrap;
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

TEST_F(Blocks, CutIsOneUndoStep) {
  load("abcd\r\nefgh\r\nijkl");
  block(0, 1, 2, 2);
  keyboard.controlKey('X', kCtrl);
  EXPECT_EQ(paragraphs(), (Pars{"ad", "eh", "il"}));
  EXPECT_EQ(std::pair(systemClipboard.content->text, systemClipboard.content->columnBlock),
            std::pair(std::string("bc\r\nfg\r\njk\r\n"), true));
  memo.undo();
  EXPECT_EQ(memo.text(), "abcd\r\nefgh\r\nijkl");
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
  EXPECT_EQ(
      std::tuple(memo.text(), systemClipboard.content->text, systemClipboard.content->columnBlock),
      std::tuple("one", " two", false));

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
  while (big.size() < (50u << 20))
    big += "0123456789 abcdefghij 0123456789 abcdefghij 0123456789 abcdefghij 0123456789\n";
  load("[]", 1);
  systemClipboard.content = quillon::platform::ClipboardText{big, false};
  keyboard.controlKey('V', kCtrl);
  memo.selfCheck();
  EXPECT_GT(memo.paragraphCount(), 600000);
  EXPECT_EQ(std::tuple(memo.paragraphText(0), memo.paragraphText(memo.paragraphCount() - 1)),
            std::tuple("[" + big.substr(0, big.find('\n')), "]"));
  memo.undo();
  EXPECT_EQ(memo.text(), "[]");
}

}  // namespace

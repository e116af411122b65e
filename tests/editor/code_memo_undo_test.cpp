#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "editor/code_memo.h"
#include "editor/memo_error.h"

namespace {

using namespace quillon::editor;

// Each character as the keyboard sends it: one insertion at the caret.
void type(CodeMemo& m, std::string_view chars) {
  for (char c : chars) m.setSelText(std::string(1, c));
}

// Each character a step of its own: the caret is placed before each.
void typeSteps(CodeMemo& m, std::string_view chars) {
  for (char c : chars) {
    m.setSelStart(m.charCount());
    type(m, std::string_view(&c, 1));
  }
}

using Texts = std::vector<std::string>;

// The text after each Undo command that changes it; leaves everything undone.
Texts undoTexts(CodeMemo& m) {
  Texts texts;
  while (m.canUndo()) {
    const std::string before = m.text();
    m.undo();
    if (m.text() != before) texts.push_back(m.text());
  }
  return texts;
}

TEST(CodeMemoUndo, WhatStartsANewRecord) {
  CodeMemo m;
  // Placing the caret, even where it already is, ends a typed run.
  type(m, "ab");
  m.setSelStart(2);
  type(m, "c");
  EXPECT_EQ(undoTexts(m), (Texts{"ab", ""}));

  // Replacing a selection is a step of its own.
  m.setText("");
  type(m, "abc");
  m.select(3, -1);
  type(m, "xy");
  EXPECT_EQ(m.text(), "abxy");
  EXPECT_EQ(undoTexts(m), (Texts{"abc", ""}));

  // Undoing a replacement puts the caret after the restored text.
  m.setText("one two three");
  m.select(4, 4);
  m.setSelText("2");
  m.undo();
  EXPECT_EQ(m.text().insert(m.selStart(), "|"), "one two |three");
  m.redo();
  EXPECT_EQ(m.text(), "one 2three");

  // A deletion followed by typing at the same point: the deletion's record starts there.
  m.setText("abcd");
  m.select(4, -2);
  m.clearSelection();
  type(m, "XY");
  EXPECT_EQ(m.text(), "abXY");
  EXPECT_EQ(undoTexts(m), (Texts{"ab", "abcd"}));

  // Typing at the very start of the text.
  m.setText("z");
  type(m, "ab");
  EXPECT_EQ(m.text(), "abz");
  EXPECT_EQ(undoTexts(m), Texts{"z"});

  // Typing after an undo does not join the typed run before it.
  type(m, "ab");
  m.setSelStart(2);
  type(m, "c");
  m.undo();
  type(m, "d");
  m.undo();
  EXPECT_EQ(m.text(), "abz");
}

TEST(CodeMemoUndo, TheBudgetDropsTheOldestRecords) {
  CodeMemo m;
  m.setText("abcdefgh");
  m.setUndoMaxSpace(5 * 14);  // five records that removed one character each
  for (int i = 0; i < 8; ++i) {
    m.select(m.charCount(), -1);
    m.clearSelection();
  }
  // The first three deletions can no longer be undone.
  EXPECT_EQ(undoTexts(m), (Texts{"a", "ab", "abc", "abcd", "abcde"}));

  // A record too big for the budget on its own does not stay either.
  m.setText(std::string(100, 'x'));
  m.selectAll();
  m.setSelText("y");
  EXPECT_EQ(std::pair(m.canUndo(), m.undoHistory().totalSize()), (std::pair<bool, std::int64_t>(false, 0)));
}

TEST(CodeMemoUndo, MaxLevelRefusesHugeValuesAndTrims) {
  CodeMemo m;
  typeSteps(m, "abcde");
  EXPECT_THAT([&] { m.setUndoMaxLevel(134217728); },
              ::testing::ThrowsMessage<MemoError>(::testing::StrEq("Undo set too high")));
  EXPECT_EQ(m.undoMaxLevel(), 256);
  EXPECT_EQ(m.undoHistory().count(), 5u);
  m.setUndoMaxLevel(134217727);

  // Redo records beyond the new limit go first.
  m.undo();
  m.undo();
  m.setUndoMaxLevel(4);
  EXPECT_EQ(std::pair(m.undoHistory().count(), m.undoHistory().position()), (std::pair<std::size_t, std::size_t>(4, 3)));
  m.redo();
  EXPECT_EQ(m.text(), "abcd");
  EXPECT_FALSE(m.canRedo());

  // Then the oldest, until the position fits.
  m.setUndoMaxLevel(2);
  EXPECT_EQ(m.undoHistory().count(), 2u);
  EXPECT_EQ(undoTexts(m), (Texts{"abc", "ab"}));
}

TEST(CodeMemoUndo, ChangeHandlersSeeTheStateAfterTheUndoAndALoadClearsTheHistory) {
  CodeMemo m;
  typeSteps(m, "abc");
  std::vector<std::pair<bool, bool>> seen;
  m.onChange.subscribe([&] { seen.emplace_back(m.canUndo(), m.canRedo()); });
  for (int i = 0; i < 3; ++i) m.undo();
  EXPECT_EQ(seen, (std::vector<std::pair<bool, bool>>{{true, true}, {true, true}, {false, true}}));
  seen.clear();
  for (int i = 0; i < 3; ++i) m.redo();
  EXPECT_EQ(seen, (std::vector<std::pair<bool, bool>>{{true, true}, {true, true}, {true, false}}));

  m.setText("other");
  EXPECT_FALSE(m.canUndo());
  m.undo();
  EXPECT_EQ(m.text(), "other");
  type(m, "x");
  m.clear();
  m.undo();
  EXPECT_EQ(m.text(), "");
}

TEST(CodeMemoUndo, AGroupedMoveUndoesAndRedoesInOneStep) {
  CodeMemo m;
  m.setText("one two three");
  // The text dragged from the start to the end.
  m.select(0, 4);
  m.clearSelection();
  m.setSelStart(9);
  m.setSelText(" one");
  m.groupLastUndo();
  ASSERT_EQ(m.text(), "two three one");

  m.undo();
  EXPECT_EQ(m.text(), "one two three");
  EXPECT_FALSE(m.canUndo());
  m.redo();
  EXPECT_EQ(m.text(), "two three one");
  EXPECT_FALSE(m.canRedo());

  // The budget drops a group whole: half a move undone would lose "one ".
  m.setUndoMaxSpace(30);
  m.setSelStart(0);
  type(m, "x");
  EXPECT_EQ(undoTexts(m), Texts{"two three one"});
}

}  // namespace

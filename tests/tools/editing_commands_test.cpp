// A real editor model and gutter: 8x16 px characters, no word wrap, so display lines are
// paragraphs.
#include "tools/editing_commands.h"

#include <gtest/gtest.h>

#include "support/editing_fixture.h"
#include "support/scripted_ui.h"

namespace {

using quillon::editor::EditKey;
using quillon::tools::EditingCommands;
using namespace quillon::testing;

class EditingCommandsTest : public EditingTest {
protected:
  void SetUp() override {
    EditingTest::SetUp();
    gutter.setMemo(&memo);
  }
  // Twenty lines "line n", but line 12 holds "   Dim i As Integer  ".
  void loadTwenty() {
    std::string text;
    for (int i = 1; i <= 20; ++i)
      text += i == 12 ? "   Dim i As Integer  \r\n" : "line " + std::to_string(i) + "\r\n";
    load(text);
  }
  void caretTo(std::int64_t line, int column = 0) {
    memo.setSelStart(memo.offsetOfLine(line) + column);
  }
  std::string marked() const {
    return memo.text().insert(static_cast<std::size_t>(memo.selStart()), "|");
  }
  std::string slotCaptions(int n) const {
    const auto& c = commands.captions();
    EXPECT_EQ(c[n], c[n + 10]);
    return c[n];
  }

  quillon::editor::CodeGutter gutter;
  quillon::testing::ScriptedUi ui;
  EditingCommands commands{ui, memo, gutter};
  std::vector<int> changedSlots;
  quillon::editor::Subscription captionWatch =
      commands.captionsChanged.listen([this](int slot) { changedSlots.push_back(slot); });
};

TEST_F(EditingCommandsTest, IndentIsOneUndoStepAndOutdentTakesItBack) {
  load("a\r\nb\r\nc\r\nd");
  memo.setSelText("x");  // an earlier edit that must survive one undo
  memo.select(0, 10);    // "xa" b c, final break included
  commands.indent();
  EXPECT_EQ(marked(), "\txa\r\n\tb\r\n\tc\r\n|d");
  memo.undo();
  EXPECT_EQ(memo.text(), "xa\r\nb\r\nc\r\nd");
  memo.redo();
  memo.select(0, 13);
  commands.outdent();
  EXPECT_EQ(memo.text(), "xa\r\nb\r\nc\r\nd");

  load("abc\r\ndef\r\nghi");
  memo.select(1, 5);  // "bc\r\nd"
  commands.indent();
  EXPECT_EQ(memo.text(), "a\tbc\r\n\tdef\r\nghi");
  memo.setSelStart(13);  // inside "ghi"
  commands.indent();
  EXPECT_EQ(marked(), "a\tbc\r\n\tdef\r\n\tghi|");
}

TEST_F(EditingCommandsTest, OutdentRemovesOneLevelAndKeepsBlankLines) {
  memo.setTabStops(2);
  load("  two\r\n \tmixed\r\n   \r\n\t\tdeep\r\n   three\r\n");
  memo.selectAll();
  commands.outdent();
  EXPECT_EQ(memo.text(), "two\r\n \tmixed\r\n   \r\n\tdeep\r\n three\r\n");

  // Nothing to take away: the text and its modified flag stay, the caret goes to the end.
  load("x\r\n \tmixed", 4);
  memo.setModified(false);
  commands.outdent();
  EXPECT_EQ(std::pair(marked(), memo.modified()), std::pair(std::string("x\r\n \tmixed|"), false));
}

TEST_F(EditingCommandsTest, SetTwiceOnTheSameLineTheFortyCharacterCutAndTheKeys) {
  loadTwenty();
  caretTo(11, 4);
  commands.setBookmark(3);
  EXPECT_EQ(slotCaptions(3), "3 12==>Dim i As Integer");
  commands.setBookmark(3);
  EXPECT_EQ(std::tuple(slotCaptions(3), changedSlots), std::tuple("3", std::vector<int>{3, 3}));

  memo.lines().put(4, "  \t" + std::string(38, 'a') + "bcdefgh  ");
  caretTo(4);
  commands.setBookmark(0);
  EXPECT_EQ(slotCaptions(0), "0 5==>" + std::string(38, 'a') + "bc");

  // The keys, and another bookmark on a line that has one.
  caretTo(6);
  EXPECT_FALSE(commands.keyPressed('5', kCtrlShift));
  EXPECT_EQ(slotCaptions(5), "5 7==>line 7");
  caretTo(15, 3);
  EXPECT_FALSE(commands.keyPressed('5', kCtrl));
  EXPECT_EQ(memo.selStart(), memo.offsetOfLine(6));

  // 1 cannot join 5 on line 7; its captions follow where 1 really is.
  caretTo(2);
  commands.setBookmark(1);
  caretTo(6);
  commands.setBookmark(1);
  EXPECT_EQ(std::tuple(gutter.bookmarkLine(1), slotCaptions(1)), std::tuple(2, "1 3==>line 3"));
}

TEST_F(EditingCommandsTest, RestoreFromCaptionsAfterClearAll) {
  loadTwenty();
  caretTo(3);
  commands.setBookmark(2);
  caretTo(9);
  commands.setBookmark(7);
  auto saved = commands.captions();
  commands.clearAllBookmarks();
  EXPECT_EQ(slotCaptions(7), "7");

  saved[0] = "0 x==>";
  saved[3] = "3 -4==>";
  saved[4] = "4 99==>";
  saved[5] = "  ";
  saved[6] = "6 2";  // no "=": the whole rest is the number
  commands.setCaptions(saved);
  EXPECT_EQ(gutter.bookmarkLine(2), -1);  // captions alone set nothing
  commands.restoreBookmarks();
  commands.restoreBookmarks();  // a second run keeps them
  std::vector<std::int64_t> lines;
  for (int n = 0; n < 10; ++n) lines.push_back(gutter.bookmarkLine(n));
  EXPECT_EQ(lines, (std::vector<std::int64_t>{-1, -1, 3, -1, -1, -1, 1, 9, -1, -1}));
  EXPECT_EQ(commands.captions(), saved);
}

TEST_F(EditingCommandsTest, GoToLine) {
  load("1\r\n2\r\n3\r\n4\r\n5", 1);
  for (const char* answer : {"-3", "6", "0", "", "3a"}) ui.queuePrompt(answer);
  ui.queuePrompt(std::nullopt);
  for (int i = 0; i < 6; ++i) {
    commands.goToLine();
    EXPECT_EQ(memo.selStart(), 6);  // "-3" went to line 3; nothing else moves
  }
  EXPECT_EQ(std::tuple(ui.questions().back().caption, ui.questions().back().text),
            std::tuple("Go To Line", "Enter Line # [1-5]"));
  EXPECT_EQ(ui.messages(), (std::vector<std::string>{"'3a' is not a valid integer value"}));
}

TEST_F(EditingCommandsTest, Keys) {
  std::string calls;
  const quillon::editor::Subscription watches[] = {
      commands.insertModeToggled.listen([&] { calls += 'i'; }),
      commands.nextPageAsked.listen([&] { calls += '>'; }),
      commands.previousPageAsked.listen([&] { calls += '<'; }),
      commands.windowListAsked.listen([&] { calls += 'w'; }),
      commands.searchAgainAsked.listen([&] { calls += 'g'; })};
  // Shift+Insert is left to paste.
  const std::vector<bool> handled{commands.keyPressed(EditKey::Insert, kCtrl),
                                  commands.keyPressed(EditKey::Insert, kShift),
                                  commands.keyPressed(EditKey::Tab, kCtrl),
                                  commands.keyPressed(EditKey::Tab, kCtrlShift),
                                  commands.keyReleased('W', kAlt),
                                  commands.keyReleased('G', kCtrl)};
  EXPECT_EQ(std::tuple(handled, calls),
            std::tuple(std::vector<bool>{true, false, true, true, true, true}, "i><wg"));

  load("one\r\ntwo\r\nthree", 6);
  EXPECT_TRUE(commands.keyReleased('Y', kCtrl));
  EXPECT_EQ(memo.text(), "one\r\nthree");
  EXPECT_FALSE(commands.keyReleased('i', kCtrl));  // done, but the key goes on
  EXPECT_EQ(memo.text(), "one\r\n\tthree");

  loadTwenty();
  memo.setSelLine(4);
  EXPECT_TRUE(commands.keyPressed(EditKey::Up, kCtrl));  // already at the top
  EXPECT_EQ(std::pair(memo.topLine(), memo.selLine()),
            (std::pair<std::int64_t, std::int64_t>(0, 4)));
  for (const EditKey k : {EditKey::Down, EditKey::Down, EditKey::Up}) commands.keyPressed(k, kCtrl);
  EXPECT_EQ(std::pair(memo.topLine(), memo.selLine()),
            (std::pair<std::int64_t, std::int64_t>(1, 5)));
}

TEST_F(EditingCommandsTest, ParenthesisCount) {
  std::vector<int> reported;
  const auto watch = commands.parenthesisCountChanged.listen([&](int n) { reported.push_back(n); });
  for (char c : std::string("f((x)")) commands.characterTyped(c);
  EXPECT_EQ(commands.parenthesisCount(), 1);
  commands.resetParenthesisCount();
  EXPECT_EQ(reported, (std::vector<int>{1, 2, 1, 0}));
}

}  // namespace

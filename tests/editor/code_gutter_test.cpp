// Bookmarks and what the gutter paints, with a fixed-pitch font: characters 8 px wide, lines
// 16 px high, baseline 13 px below a line's top.
#include <gtest/gtest.h>

#include "editor/code_gutter.h"
#include "support/fixed_metrics.h"

namespace {

using quillon::editor::CodeGutter;
using quillon::editor::CodeMemo;
using quillon::editor::KeyModifiers;
using quillon::editor::Offset;
using quillon::test::FixedMetrics;

std::string lines(int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += (i ? "\r\nline " : "line ") + std::to_string(i + 1);
  return out;
}

// Lines 30 px high with the baseline where the test wants it.
class TallLines final : public quillon::editor::TextMetrics {
public:
  explicit TallLines(int ascent) : ascent_(ascent) {}
  int charWidth(unsigned char, std::uint8_t) const override { return 8; }
  int lineHeight() const override { return 30; }
  int ascent() const override { return ascent_; }
  int averageCharWidth() const override { return 8; }

private:
  int ascent_;
};

class CodeGutterTest : public ::testing::Test {
protected:
  void SetUp() override {
    memo.setMetrics(&metrics);
    memo.setViewport(16 + 40 * 8, 160);  // forty characters per line, ten lines visible
    memo.setText(lines(30));
    gutter.setMemo(&memo);
    gutter.onRepaint = [this] { ++repaints; };
    gutter.onScroll = [this](int dy) { scrolls.push_back(dy); };
  }

  // A full paint of a 50 px gutter beside the editor, repeated while the layout moves.
  CodeGutter::Paint paintAll(int width = 50) {
    const CodeGutter::PaintArea area{width, 160, 0, 160, 0};
    CodeGutter::Paint p = gutter.paint(area);
    if (p.repaintAgain) p = gutter.paint(area);
    return p;
  }

  const CodeGutter::Item* itemOn(const CodeGutter::Paint& p, std::int64_t line) {
    for (const auto& item : p.items)
      if (item.line == line) return &item;
    return nullptr;
  }

  FixedMetrics metrics;
  CodeMemo memo;
  CodeGutter gutter;
  int repaints = 0;
  std::vector<int> scrolls;
};

TEST_F(CodeGutterTest, ToggleRules) {
  EXPECT_TRUE(gutter.toggleBookmark(3, 2));
  EXPECT_EQ(gutter.bookmarkLine(2), 3);
  // Another bookmark on a line that holds one changes nothing.
  EXPECT_FALSE(gutter.toggleBookmark(3, 4));
  EXPECT_EQ(gutter.bookmarkLine(4), -1);
  EXPECT_EQ(gutter.bookmarkLine(2), 3);
  // The same bookmark again removes it.
  EXPECT_TRUE(gutter.toggleBookmark(3, 2));
  EXPECT_EQ(gutter.bookmarkLine(2), -1);
  // Setting a bookmark that is set elsewhere moves it.
  gutter.toggleBookmark(5, 7);
  gutter.toggleBookmark(9, 7);
  EXPECT_EQ(gutter.bookmarkLine(7), 9);
  EXPECT_TRUE(gutter.toggleBookmark(5, 1));  // the old line is free again
  // Slots outside 0..9 and lines past the end do not exist.
  EXPECT_EQ(gutter.bookmarkLine(10), -1);
  EXPECT_EQ(gutter.bookmarkLine(-1), -1);
  EXPECT_FALSE(gutter.toggleBookmark(2, 10));
  EXPECT_FALSE(gutter.toggleBookmark(2, -1));
  EXPECT_FALSE(gutter.toggleBookmark(30, 3));
  EXPECT_FALSE(gutter.toggleBookmark(-1, 3));
  gutter.goToBookmark(10);  // nothing to go to
}

TEST_F(CodeGutterTest, RepaintsOnlyWhenAToggleChangesSomething) {
  paintAll();
  repaints = 0;
  gutter.toggleBookmark(3, 2);
  gutter.toggleBookmark(3, 4);
  EXPECT_EQ(repaints, 1);
}

TEST_F(CodeGutterTest, BookmarksFollowTheirText) {
  gutter.toggleBookmark(4, 0);
  gutter.toggleBookmark(8, 1);
  memo.setSelStart(0);
  memo.setSelText("new a\r\nnew b\r\n");
  EXPECT_EQ(gutter.bookmarkLine(0), 6);
  EXPECT_EQ(gutter.bookmarkLine(1), 10);
  EXPECT_EQ(memo.lines().get(6), "line 5");

  // Deleting a bookmarked line leaves the bookmark on a line that exists.
  const Offset start = memo.offsetOfLine(6);
  memo.select(start, memo.offsetOfLine(7) - start);
  memo.setSelText("");
  EXPECT_EQ(gutter.bookmarkLine(0), 6);
  EXPECT_EQ(memo.lines().get(6), "line 6");
  EXPECT_EQ(gutter.bookmarkLine(1), 9);

  // Deleting everything from the middle of line 5 to the middle of bookmark 1's line
  // pushes both bookmarks onto line 5; each can still be removed, and Clear All clears both.
  const Offset from = memo.offsetOfLine(5) + 2;
  memo.select(from, memo.offsetOfLine(9) + 2 - from);
  memo.setSelText("");
  EXPECT_EQ(gutter.bookmarkLine(0), 5);
  EXPECT_EQ(gutter.bookmarkLine(1), 5);
  gutter.clearAll();
  EXPECT_EQ(gutter.bookmarkLine(0), -1);
  EXPECT_EQ(gutter.bookmarkLine(1), -1);
}

TEST_F(CodeGutterTest, ClearAllAndANewMemoFreeEverySlot) {
  for (int n = 0; n < 10; ++n) gutter.toggleBookmark(n * 2, n);
  gutter.clearAll();
  for (int n = 0; n < 10; ++n) EXPECT_EQ(gutter.bookmarkLine(n), -1);

  gutter.toggleBookmark(2, 5);
  CodeMemo other;
  other.setMetrics(&metrics);
  other.setText(lines(5));
  gutter.setMemo(&other);
  EXPECT_EQ(gutter.bookmarkLine(5), -1);
  EXPECT_TRUE(gutter.toggleBookmark(2, 5));
  gutter.setMemo(nullptr);  // `other` dies before the gutter
}

TEST_F(CodeGutterTest, KeysAndGoTo) {
  const KeyModifiers ctrlShift{true, true, false};
  const KeyModifiers ctrl{false, true, false};
  memo.setSelStart(memo.offsetOfLine(12) + 3);
  EXPECT_TRUE(gutter.keyDown(5, ctrlShift));
  EXPECT_EQ(gutter.bookmarkLine(5), 12);
  EXPECT_FALSE(gutter.keyDown(5, {true, true, true}));  // with Alt it is not ours
  EXPECT_FALSE(gutter.keyDown(5, {true, false, false}));

  memo.setSelStart(0);
  EXPECT_TRUE(gutter.keyDown(5, ctrl));
  EXPECT_EQ(memo.selStart(), memo.offsetOfLine(12));
  EXPECT_GT(memo.scrollY(), 0);  // scrolled into view

  memo.setSelStart(0);
  memo.setScroll(0, 0);
  gutter.goToBookmark(5);
  EXPECT_EQ(memo.selStart(), memo.offsetOfLine(12));
  EXPECT_GT(memo.scrollY(), 0);

  memo.setSelStart(3);
  gutter.keyDown(3, ctrl);  // empty slot: the caret stays
  gutter.goToBookmark(3);
  EXPECT_EQ(memo.selStart(), 3);

  memo.setSelStart(memo.offsetOfLine(12));
  gutter.keyDown(5, ctrlShift);  // again on its line: removed
  EXPECT_EQ(gutter.bookmarkLine(5), -1);
}

TEST_F(CodeGutterTest, NumberAlignment) {
  memo.setScroll(0, 0);
  const int usable = 48;
  // Right and left: numbers end at, or start at, the usable width's edges.
  gutter.setAlignment(CodeGutter::Alignment::right);
  CodeGutter::Paint p = paintAll();
  ASSERT_EQ(p.items.size(), 10u);
  for (int i = 0; i < 9; ++i) {
    EXPECT_EQ(p.items[static_cast<std::size_t>(i)].text, std::to_string(i + 1));
    EXPECT_EQ(p.items[static_cast<std::size_t>(i)].x, usable - 8);
    EXPECT_EQ(p.items[static_cast<std::size_t>(i)].y, i * 16 + 13);  // on the text baseline
  }
  EXPECT_EQ(p.items[9].x, usable - 16);  // "10"
  gutter.setAlignment(CodeGutter::Alignment::left);
  for (const auto& item : paintAll().items) EXPECT_EQ(item.x, 0);
  // Centred: one- and two-digit numbers have the same middle.
  gutter.setAlignment(CodeGutter::Alignment::centre);
  p = paintAll();
  EXPECT_EQ(p.items[0].x, (usable - 8) / 2);
  EXPECT_EQ(p.items[9].x, (usable - 16) / 2);
  EXPECT_EQ(p.items[0].x + 4, p.items[9].x + 8);

  gutter.setLineNumbers(false);
  EXPECT_TRUE(paintAll().items.empty());
}

TEST_F(CodeGutterTest, GlyphReplacesTheNumber) {
  gutter.toggleBookmark(2, 3);
  for (auto [a, x] : {std::pair{CodeGutter::Alignment::left, 2}, {CodeGutter::Alignment::right, 50 - 12},
                      {CodeGutter::Alignment::centre, (48 - 10) / 2}}) {
    gutter.setAlignment(a);
    const CodeGutter::Paint p = paintAll();
    ASSERT_EQ(p.items.size(), 10u);
    const CodeGutter::Item* glyph = itemOn(p, 2);
    ASSERT_NE(glyph, nullptr);
    EXPECT_EQ(glyph->bookmark, 3);
    EXPECT_TRUE(glyph->text.empty());
    EXPECT_EQ(glyph->x, x);
    EXPECT_EQ(glyph->y, 32 + 3);  // centred in the 16 px line; bottom on the baseline
  }
  // A tall line centres the glyph; a baseline far down pulls it down to stand on it.
  TallLines high(18);
  memo.setMetrics(&high);
  EXPECT_EQ(itemOn(paintAll(), 2)->y, 60 + 10);
  TallLines low(28);
  memo.setMetrics(&low);
  EXPECT_EQ(itemOn(paintAll(), 2)->y, 60 + 28 - 10);
}

TEST_F(CodeGutterTest, ParagraphNumbersOnlyOnFirstLines) {
  // Paragraph 2 wraps over three display lines of forty characters.
  memo.setText("one\r\n" + std::string(30, 'a') + " " + std::string(30, 'b') + " " + std::string(30, 'c') +
               "\r\nthree");
  gutter.setParagraphNumbers(true);
  CodeGutter::Paint p = paintAll();  // lays the paragraphs out
  ASSERT_EQ(memo.lineCount(), 5);
  ASSERT_EQ(p.items.size(), 3u);
  EXPECT_EQ(p.items[0].line, 0);
  EXPECT_EQ(p.items[0].text, "1");
  EXPECT_EQ(p.items[1].line, 1);
  EXPECT_EQ(p.items[1].text, "2");
  EXPECT_EQ(p.items[2].line, 4);
  EXPECT_EQ(p.items[2].text, "3");
  gutter.setParagraphNumbers(false);
  EXPECT_EQ(paintAll().items.size(), 5u);
}

TEST_F(CodeGutterTest, FirstLineComesFromTheEditorsOrigin) {
  memo.setScroll(0, 5 * 16 + 6);  // line 5 partly scrolled off
  CodeGutter::Paint p = paintAll();
  ASSERT_FALSE(p.items.empty());
  EXPECT_EQ(p.items[0].line, 5);
  EXPECT_EQ(p.items[0].y, -6 + 13);
  // A strip lower down starts at the line under its top.
  p = gutter.paint({50, 160, 100, 120, 0});
  ASSERT_FALSE(p.items.empty());
  EXPECT_EQ(p.items[0].line, 5 + (6 + 100) / 16);
  EXPECT_EQ(p.items.back().line, 5 + (6 + 119) / 16);
  // An editor whose client area starts 20 px lower.
  p = gutter.paint({50, 160, 40, 160, 20});
  EXPECT_EQ(p.items[0].line, 5 + (6 + 20) / 16);
  // The last line ends the list even when the gutter is taller.
  memo.setScroll(0, memo.maxScrollY());
  p = paintAll();
  EXPECT_EQ(p.items.back().line, 29);
}

TEST_F(CodeGutterTest, RepaintDecisions) {
  paintAll();
  // Scrolling with the layout unchanged shifts the picture by the same distance.
  repaints = 0;
  memo.setScroll(0, 40);
  memo.setScroll(0, 32);
  EXPECT_EQ(scrolls, (std::vector<int>{-40, 8}));
  EXPECT_EQ(repaints, 0);

  // Typing inside a line moves nothing; a new line does.
  memo.setSelStart(memo.offsetOfLine(3));
  memo.setSelText("x");
  EXPECT_EQ(repaints, 0);
  memo.setSelText("\r\n");
  EXPECT_EQ(repaints, 1);
  // Until the next paint the counts differ, so a scroll repaints instead of shifting.
  scrolls.clear();
  memo.setScroll(0, 0);
  EXPECT_TRUE(scrolls.empty());
  EXPECT_EQ(repaints, 2);
  // The first paint after the layout moved only asks for another.
  EXPECT_TRUE(gutter.paint({50, 160, 0, 160, 0}).repaintAgain);
  EXPECT_FALSE(gutter.paint({50, 160, 0, 160, 0}).repaintAgain);

  // A bookmark moving to another line repaints even when the counts stay: one break is
  // replaced by another, and the bookmark inside the replaced text moves up a line.
  gutter.toggleBookmark(6, 1);
  paintAll();
  repaints = 0;
  const Offset from = memo.offsetOfLine(5);
  memo.select(from, memo.offsetOfLine(6) + 2 - from);
  memo.setSelText("ab\r\nc");
  EXPECT_EQ(memo.lineCount(), 31);
  EXPECT_EQ(gutter.bookmarkLine(1), 5);
  EXPECT_EQ(repaints, 1);
}

}  // namespace

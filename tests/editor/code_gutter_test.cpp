// A fixed-pitch font: characters 8 px wide, lines 16 px high, baseline 13 px below a line's top.
#include "editor/code_gutter.h"

#include <gtest/gtest.h>

#include "editor/code_memo.h"
#include "support/fixed_metrics.h"
#include "support/temp_folder.h"

namespace {

using namespace quillon::editor;
using quillon::testing::FixedMetrics;
using Lines = std::vector<std::int64_t>;
using XY = std::pair<int, int>;
constexpr std::int64_t no = -1;

XY xy(const CodeGutter::Item& i) { return {i.x, i.y}; }

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
    memo.setText(quillon::testing::numberedLines("line", 30));  // and an empty line 31
    gutter.setMemo(&memo);
    gutter.onRepaint = [this] { ++repaints; };
    gutter.onScroll = [this](int dy) { scrolls.push_back(dy); };
  }

  // A full paint of a 50 px gutter beside the editor, repeated while the layout moves.
  CodeGutter::Paint paintAll() {
    const CodeGutter::PaintArea area{50, 160, 0, 160, 0};
    CodeGutter::Paint p = gutter.paint(area);
    if (p.repaintAgain) p = gutter.paint(area);
    return p;
  }

  Lines marks(int count = 10) const {
    Lines out;
    for (int n = 0; n < count; ++n) out.push_back(gutter.bookmarkLine(n));
    return out;
  }

  FixedMetrics metrics;
  CodeMemo memo;
  CodeGutter gutter;
  int repaints = 0;
  std::vector<int> scrolls;
};

TEST_F(CodeGutterTest, ToggleRulesAndClearAll) {
  EXPECT_TRUE(gutter.toggleBookmark(3, 2));
  EXPECT_FALSE(gutter.toggleBookmark(3, 4));  // the line shows 2
  EXPECT_TRUE(gutter.toggleBookmark(3, 2));   // 2 again: removed
  gutter.toggleBookmark(5, 7);
  gutter.toggleBookmark(9, 7);  // moves
  EXPECT_TRUE(gutter.toggleBookmark(5, 1));
  // Slots outside 0..9 and lines past the end do not exist.
  EXPECT_EQ(std::pair(gutter.bookmarkLine(10), gutter.bookmarkLine(-1)), std::pair(no, no));
  EXPECT_EQ(std::pair(gutter.toggleBookmark(2, 10), gutter.toggleBookmark(31, 3)),
            std::pair(false, false));
  gutter.goToBookmark(-1);
  EXPECT_EQ(marks(), (Lines{no, 5, no, no, no, no, no, 9, no, no}));
  gutter.clearAll();
  EXPECT_EQ(marks(), Lines(10, no));

  gutter.toggleBookmark(2, 5);
  CodeMemo other;
  other.setText(quillon::testing::numberedLines("line", 5));
  gutter.setMemo(&other);  // frees the old memo's bookmarks
  EXPECT_EQ(gutter.bookmarkLine(5), -1);
  gutter.setMemo(nullptr);
}

// Where an edit moves a bookmark is its anchor's business.
TEST_F(CodeGutterTest, BookmarksPushedOntoOneLineStayRemovable) {
  gutter.toggleBookmark(6, 0);
  gutter.toggleBookmark(10, 1);
  // Deleting from the middle of line 5 to the middle of line 10 pushes both bookmarks onto
  // line 5; each can still be removed, so Clear All clears both.
  const Offset from = memo.offsetOfLine(5) + 2;
  memo.select(from, memo.offsetOfLine(10) + 2 - from);
  memo.setSelText("");
  EXPECT_EQ(marks(2), (Lines{5, 5}));
  gutter.clearAll();
  EXPECT_EQ(marks(2), (Lines{no, no}));
}

TEST_F(CodeGutterTest, KeysAndGoTo) {
  memo.setSelStart(memo.offsetOfLine(12) + 3);
  EXPECT_TRUE(gutter.keyDown(5, {true, true, false}));  // Ctrl+Shift+5
  EXPECT_EQ(gutter.bookmarkLine(5), 12);
  EXPECT_FALSE(gutter.keyDown(6, {true, true, true}));  // with Alt it is not ours

  memo.setSelStart(3);
  gutter.keyDown(3, {false, true, false});  // Ctrl+3, not set: the caret stays
  EXPECT_EQ(memo.selStart(), 3);
  gutter.keyDown(5, {false, true, false});
  EXPECT_EQ(std::pair(memo.selStart(), memo.scrollY() > 0), std::pair(memo.offsetOfLine(12), true));
}

TEST_F(CodeGutterTest, WhereNumbersAndGlyphsGo) {
  gutter.toggleBookmark(2, 3);
  const int usable = 48;  // 50 less the edge
  struct Case {
    CodeGutter::Alignment a;
    int one, two, glyph;  // x of "1", of "10", of the glyph
  };
  for (const Case c : {Case{CodeGutter::Alignment::right, usable - 8, usable - 16, 50 - 12},
                       Case{CodeGutter::Alignment::left, 0, 0, 2},
                       Case{CodeGutter::Alignment::centre, (usable - 8) / 2, (usable - 16) / 2,
                            (usable - 10) / 2}}) {
    gutter.setAlignment(c.a);
    const CodeGutter::Paint p = paintAll();
    ASSERT_EQ(p.items.size(), 10u);
    // Numbers on the baseline; the glyph instead of the number.
    EXPECT_EQ(std::tuple(xy(p.items[0]), p.items[9].text, xy(p.items[9]), p.items[2].bookmark,
                         xy(p.items[2])),
              std::tuple(XY(c.one, 13), "10", XY(c.two, 9 * 16 + 13), 3, XY(c.glyph, 32 + 3)));
  }
  // A tall line centres the glyph; a baseline far down pulls it down to stand on it.
  for (const auto& [ascent, y] : {XY(18, 60 + 10), XY(28, 60 + 28 - 10)}) {
    TallLines tall(ascent);
    memo.setMetrics(&tall);
    EXPECT_EQ(paintAll().items[2].y, y) << "ascent " << ascent;
  }
  memo.setMetrics(&metrics);
}

TEST_F(CodeGutterTest, ParagraphNumbersOnlyOnFirstLines) {
  // The second paragraph wraps over three display lines of forty characters.
  memo.setText("one\r\n" + std::string(30, 'a') + " " + std::string(30, 'b') + " " +
               std::string(30, 'c') + "\r\nthree");
  gutter.setParagraphNumbers(true);
  std::vector<std::pair<std::int64_t, std::string>> numbers;
  for (const CodeGutter::Item& i : paintAll().items) numbers.emplace_back(i.line, i.text);
  EXPECT_EQ(numbers, (decltype(numbers){{0, "1"}, {1, "2"}, {4, "3"}}));
}

TEST_F(CodeGutterTest, FirstLineComesFromTheEditorsOrigin) {
  memo.setScroll(0, 5 * 16 + 6);  // line 5 partly scrolled off
  CodeGutter::Paint p = paintAll();
  EXPECT_EQ(std::tuple(p.items[0].line, p.items[0].y), std::tuple(5, -6 + 13));
  p = gutter.paint({50, 160, 100, 120, 0});  // a strip lower down
  EXPECT_EQ(Lines({p.items.front().line, p.items.back().line}),
            (Lines{5 + (6 + 100) / 16, 5 + (6 + 119) / 16}));
  p = gutter.paint({50, 160, 40, 160, 20});  // the editor's client area starts 20 px lower
  EXPECT_EQ(p.items[0].line, 5 + (6 + 20) / 16);
}

TEST_F(CodeGutterTest, RepaintDecisions) {
  paintAll();
  memo.setScroll(0, 40);
  memo.setScroll(0, 32);
  EXPECT_EQ(std::pair(scrolls, repaints),
            std::pair(std::vector<int>{-40, 8}, 0));  // shifted, not repainted
  memo.setSelStart(memo.offsetOfLine(3));
  memo.setSelText("x");  // nothing moved
  EXPECT_EQ(repaints, 0);
  memo.setSelText("\r\n");
  EXPECT_EQ(repaints, 1);
  // Until the next paint the counts differ, so a scroll repaints instead of shifting.
  memo.setScroll(0, 0);
  EXPECT_EQ(std::pair(scrolls.size(), repaints), std::pair(2ul, 2));
  EXPECT_TRUE(gutter.paint({50, 160, 0, 160, 0}).repaintAgain);
  EXPECT_FALSE(gutter.paint({50, 160, 0, 160, 0}).repaintAgain);

  // A bookmark inside replaced text moves up a line while the counts stay: repaint.
  gutter.toggleBookmark(6, 1);
  paintAll();
  repaints = 0;
  const Offset from = memo.offsetOfLine(5);
  memo.select(from, memo.offsetOfLine(6) + 2 - from);
  memo.setSelText("ab\r\nc");
  EXPECT_EQ(std::pair(gutter.bookmarkLine(1), repaints), (std::pair<std::int64_t, int>(5, 1)));
}

// The marks themselves (moving, surviving pages, clearing) are the build's tests; here the
// picture and the look-ups the tool tips use.
TEST_F(CodeGutterTest, ErrorGlyphsSitBesideBookmarksAndAnswerToolTips) {
  gutter.toggleBookmark(2, 3);
  gutter.setErrorMarks({{2, "with a bookmark", "a.mb"},
                        {5, "alone", "a.mb"},
                        {5, "second on the line", "a.mb"},
                        {-1, "before", "a.mb"},
                        {31, "past the end", "a.mb"}});
  EXPECT_EQ(gutter.errorMarkCount(), 2u) << "one mark a line, none outside the text";
  for (const auto a :
       {CodeGutter::Alignment::left, CodeGutter::Alignment::centre, CodeGutter::Alignment::right}) {
    gutter.setAlignment(a);
    const CodeGutter::Paint p = paintAll();
    std::vector<const CodeGutter::Item*> line2, line5;
    for (const CodeGutter::Item& item : p.items) {
      if (item.line == 2) line2.push_back(&item);
      if (item.line == 5) line5.push_back(&item);
    }
    ASSERT_EQ(line2.size(), 2u);
    EXPECT_EQ(std::pair(line2[0]->bookmark, line2[1]->error), std::pair(3, true));
    // Side by side, never over each other.
    EXPECT_GE(std::abs(line2[0]->x - line2[1]->x), CodeGutter::kGlyphSize) << static_cast<int>(a);
    ASSERT_EQ(line5.size(), 1u) << "the glyph instead of the number";
    EXPECT_TRUE(line5[0]->error && line5[0]->text.empty());
  }
  EXPECT_EQ(*gutter.errorMarkAt(5 * 16 + 3, 0), "alone");
  EXPECT_EQ(*gutter.errorMarkAt(5 * 16 + 3 + 20, 20), "alone") << "measured from the editor's top";
  EXPECT_EQ(gutter.errorMarkAt(4 * 16 + 3, 0), nullptr);
  EXPECT_EQ(gutter.errorMarkAt(-5, 0), nullptr);

  // Another memo, or none, drops them.
  gutter.setMemo(nullptr);
  EXPECT_EQ(gutter.errorMarkCount(), 0u);
}

}  // namespace

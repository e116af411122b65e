// The fixture measures with a fixed-pitch font: characters 8 px wide, lines 16 px high.
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

#include "editor/code_memo.h"
#include "support/fixed_metrics.h"
#include "support/proportional_metrics.h"

namespace {

using namespace quillon::editor;
using quillon::testing::FixedMetrics;
using quillon::testing::ProportionalMetrics;
using Pair = std::pair<std::int64_t, std::int64_t>;

constexpr int kMargins = 16;  // default left and right margins together

std::string numberedLines(int n, const std::string& body) {
  std::string out;
  for (int i = 0; i < n; ++i) out += (i ? "\r\n" : "") + body;
  return out;
}

std::vector<bool> laidOut(const CodeMemo& m, std::initializer_list<std::int64_t> paragraphs) {
  std::vector<bool> out;
  for (const std::int64_t p : paragraphs)
    out.push_back((m.table().at(p).flags & Paragraph::kLaidOut) != 0);
  return out;
}

class CodeMemoLayout : public ::testing::Test {
protected:
  void SetUp() override {
    memo.setMetrics(&metrics);
    memo.setViewport(kMargins + 12 * 8, 160);  // twelve characters per line
  }
  std::vector<std::string> displayLines() {
    std::vector<std::string> out;
    for (std::int64_t i = 0; i < memo.lines().count(); ++i) out.push_back(memo.lines().get(i));
    return out;
  }
  // Puts the caret at each offset in turn and expects the scroll that shows it.
  void expectScrolls(bool across, std::initializer_list<Pair> caretAndScroll) {
    for (const auto& [caret, scroll] : caretAndScroll) {
      memo.setSelStart(caret);
      memo.scrollInView();
      EXPECT_EQ(across ? memo.scrollX() : memo.scrollY(), scroll) << "caret at " << caret;
    }
  }
  FixedMetrics metrics;
  CodeMemo memo;
};

TEST_F(CodeMemoLayout, WrapBreaksAfterASpace) {
  memo.setText("aaaa bbbb cccc dddd\r\nshort\r\n");
  EXPECT_EQ(displayLines(), (std::vector<std::string>{"aaaa bbbb ", "cccc dddd", "short"}));
  memo.setSelStart(10);
  EXPECT_EQ(Pair(memo.selLine(), memo.selCol()), Pair(1, 0));
  memo.setSelLine(2);
  EXPECT_EQ(memo.selStart(), 21);

  // A word wider than the line is cut somewhere, but nothing is lost or too wide.
  const std::string word = "abcdefghijabcdefghijabcdefghij";
  memo.setText(word);
  std::string joined;
  for (const std::string& line : displayLines()) {
    EXPECT_LE(line.size(), 12u);
    joined += line;
  }
  EXPECT_EQ(joined, word);
  EXPECT_EQ(memo.lineCount(), 3);
}

TEST_F(CodeMemoLayout, EditsAndWidthChangesRewrap) {
  memo.setUpdateMode(UpdateMode::umImmediate);
  memo.setText("aaaa bbbb cccc dddd");
  memo.setSelStart(memo.charCount());
  memo.setSelText(" eeee ffff");
  EXPECT_EQ(memo.lineCount(), 3);
  memo.setViewport(kMargins + 40 * 8, 160);
  EXPECT_EQ(memo.lineCount(), 1);
  memo.setWordWrap(false);
  memo.setViewport(kMargins + 12 * 8, 160);
  EXPECT_EQ(displayLines(), std::vector<std::string>{memo.text()});
}

TEST_F(CodeMemoLayout, TopLineIsInWholeLinesAndCanBeSetBeforeLayoutIsDone) {
  memo.setWordWrap(false);
  memo.setText(numberedLines(30, "line"));
  memo.setTopLine(5);
  EXPECT_EQ(Pair(memo.topLine(), memo.scrollY()), Pair(5, 80));
  memo.setTopLine(100);
  EXPECT_EQ(memo.topLine(), 29);

  // A page switch restores the top line right after loading the page's text.
  memo.setWordWrap(true);
  memo.setText(numberedLines(100, "aaaa bbbb cccc dddd"));
  memo.setTopLine(150);
  EXPECT_EQ(Pair(memo.topLine(), memo.offsetOfLine(memo.topLine())),
            Pair(150, memo.table().startOf(75)));
  memo.setTopLine(1000);
  EXPECT_EQ(memo.topLine(), 199);
}

TEST_F(CodeMemoLayout, HorizontalScrollMovesInStepsOfFiveCharacters) {
  memo.setWordWrap(false);
  memo.setViewport(100, 160);
  memo.setText(std::string(200, 'x'));
  // 708 px too far right; 72 px left of the window; never below 0.
  expectScrolls(true, {{100, 720}, {80, 640}, {3, 0}, {100, 720}});
  memo.setWordWrap(true);  // wrapped text never scrolls sideways
  EXPECT_EQ(memo.scrollX(), 0);
  expectScrolls(true, {{100, 0}});
}

TEST_F(CodeMemoLayout, VerticalScrollIsPixelExactOrWholeLines) {
  memo.setWordWrap(false);
  memo.setViewport(400, 100);  // 6.25 lines
  memo.setText(numberedLines(30, "line"));
  // Six characters a line. Line 10's bottom at the window's bottom; line 2 at its top; line 5
  // already visible.
  expectScrolls(false, {{10 * 6, 11 * 16 - 100}, {2 * 6, 32}, {5 * 6, 32}});
  memo.setOptions(memo.options() | moNoFineScroll);
  memo.setScroll(0, 0);
  expectScrolls(false, {{10 * 6, (10 - 6 + 1) * 16}});
}

TEST_F(CodeMemoLayout, OnNeedLaysOutOnlyWhatIsAsked) {
  memo.setUpdateMode(UpdateMode::umOnNeed);
  memo.setText(numberedLines(1000, "aaaa bbbb cccc dddd"));
  EXPECT_FALSE(memo.layoutPending());
  memo.setSelStart(memo.table().startOf(500));
  EXPECT_EQ(memo.selLine(), 1000);
  EXPECT_EQ(laidOut(memo, {500, 501, 999}), (std::vector<bool>{true, false, false}));
  EXPECT_FALSE(memo.layoutStep());
  EXPECT_EQ(laidOut(memo, {999}), std::vector<bool>{false});
  memo.selfCheck();
}

TEST_F(CodeMemoLayout, BackgroundLayoutFinishesInIdleStepsAndImmediateAtOnce) {
  memo.setText(numberedLines(10000, "aaaa bbbb cccc dddd"));
  EXPECT_EQ(std::pair(memo.layoutPending(), laidOut(memo, {9999})),
            std::pair(true, std::vector<bool>{false}));
  while (memo.layoutStep()) continue;
  EXPECT_FALSE(memo.layoutPending());
  EXPECT_EQ(std::pair(laidOut(memo, {9999}), memo.lineCount()),
            std::pair(std::vector<bool>{true}, std::int64_t{20000}));
  memo.selfCheck();

  memo.setUpdateMode(UpdateMode::umImmediate);
  memo.setText(numberedLines(10000, "aaaa bbbb cccc dddd"));
  EXPECT_EQ(std::pair(memo.layoutPending(), laidOut(memo, {9999})),
            std::pair(false, std::vector<bool>{true}));
}

TEST_F(CodeMemoLayout, ColumnSelectionCopiesAndReplacesRows) {
  memo.setWordWrap(false);
  memo.setTabStops(4);
  memo.setText("ab\tcd\r\nefghij\r\nk\r\ntail");
  // Columns 1 to 5 over the first three paragraphs; the tab covers columns 2 and 3.
  memo.setBlockSelection(16, 1, 1, 5);
  EXPECT_EQ(memo.selText(), "b\tc\r\nfghi\r\n\r\n");
  memo.setBlockSelection(1, 16, 5, 1);
  EXPECT_EQ(memo.selText(), "b\tc\r\nfghi\r\n\r\n");

  memo.setSelText("X");
  EXPECT_EQ(std::pair(memo.text(), memo.blockSelection()),
            std::pair(std::string("ad\r\nej\r\nkX\r\ntail"), false));
  memo.selfCheck();
  memo.undo();  // one step each way
  EXPECT_EQ(memo.text(), "ab\tcd\r\nefghij\r\nk\r\ntail");
  memo.redo();
  EXPECT_EQ(memo.text(), "ad\r\nej\r\nkX\r\ntail");

  memo.setBlockSelection(0, 7, 0, 1);
  memo.setSelLength(0);
  EXPECT_FALSE(memo.blockSelection());
}

// The x of every position, added up from the start as the rules say.
std::vector<int> xsOf(const std::string& text, const TextMetrics& m, int tabStops) {
  const int tab = tabStops * m.averageCharWidth();
  std::vector<int> xs{0};
  for (const char c : text)
    xs.push_back(xs.back() + (c == '\t' ? tab - xs.back() % tab
                                        : m.charWidth(static_cast<unsigned char>(c), 0)));
  return xs;
}

// A long line is measured from marks along it, or by counting in a fixed-pitch font; edits and a
// new tab width must leave neither stale.
TEST(CodeMemoMeasure, LongLinesAreMeasuredExactlyAfterEdits) {
  const ProportionalMetrics proportional;
  const FixedMetrics fixed(7, 15, true);
  for (const TextMetrics* metrics :
       std::initializer_list<const TextMetrics*>{&proportional, &fixed}) {
    SCOPED_TRACE(metrics == &fixed ? "fixed pitch" : "proportional");
    CodeMemo memo;
    memo.setMetrics(metrics);
    memo.setViewport(1000, 700);
    memo.setWordWrap(false);
    memo.setTabStops(4);
    std::mt19937 rng(5);
    const std::string alphabet = "im ab\t";
    auto randomText = [&](std::size_t n) {
      std::string s;
      for (std::size_t i = 0; i < n; ++i) s += alphabet[rng() % alphabet.size()];
      return s;
    };
    memo.setText(randomText(30000));
    int tabStops = 4;
    auto check = [&](const char* when) {
      const std::string text = memo.text();
      const std::vector<int> xs = xsOf(text, *metrics, tabStops);
      const auto span = memo.lineSpan(0);
      for (int probe = 0; probe < 300; ++probe) {
        const auto pos = static_cast<std::uint32_t>(rng() % (text.size() + 1));
        ASSERT_EQ(memo.xInLine(span, pos), xs[pos]) << when << ", x of " << pos;
        if (pos < text.size()) {
          ASSERT_EQ(memo.positionAtX(span, xs[pos]), pos) << when << ", position at x of " << pos;
        }
        const int from = static_cast<int>(rng() % (xs.back() + 50)) - 20;
        std::uint32_t first = 0;
        while (first < text.size() && xs[first + 1] <= from) ++first;
        const auto got = memo.firstCharacterFrom(span, from);
        ASSERT_EQ(got.position, first) << when << ", first character from " << from;
        ASSERT_EQ(got.x, xs[first]) << when << ", its x";
      }
    };
    check("loaded");
    // Measure to the end first, so the edits below find marks to keep or drop.
    memo.xInLine(memo.lineSpan(0), 30000);
    struct Edit {
      Offset at, length;
      const char* text;
      const char* when;
    };
    for (const Edit& e : {Edit{15000, 0, "mmm\t", "after an edit in the middle"},
                          Edit{0, 0, "i", "after an edit at the start"},
                          Edit{20000, 5000, "", "after a deletion"}}) {
      memo.select(e.at, e.length);
      memo.setSelText(e.text);
      check(e.when);
    }
    memo.setTabStops(tabStops = 3);
    check("after a new tab width");
  }
}

}  // namespace

#include "editor/print_layout.h"

#include <gtest/gtest.h>
#include <string>
#include <tuple>

#include "editor/code_memo.h"
#include "support/fixed_metrics.h"
#include "support/proportional_metrics.h"

namespace quillon::editor {
namespace {

using quillon::testing::FixedMetrics;
using quillon::testing::ProportionalMetrics;

using Span = std::tuple<std::int64_t, std::uint32_t, std::uint32_t>;
Span spanOf(const CodeMemo::LineSpan& l) { return {l.paragraph, l.start, l.stop}; }

// Each with a metrics object of its own.
template <class Metrics>
void expectSameLinesAsTheEditor(const Metrics& metrics, const std::string& text, int width,
                                bool staticFormat) {
  Metrics screen = metrics;
  Metrics paper = metrics;
  CodeMemo memo;
  memo.setStaticFormat(staticFormat);
  memo.setTabStops(4);
  memo.setText(text);
  memo.setMetrics(&screen);
  memo.setUpdateMode(UpdateMode::umImmediate);
  memo.setViewport(width + memo.leftMargin() + memo.rightMargin(), 100);
  PrintLayout layout(memo, false);
  layout.layOut(paper, width);
  ASSERT_EQ(layout.lineCount(), memo.lineCount());
  for (std::int64_t n = 0; n < memo.lineCount(); ++n)
    EXPECT_EQ(spanOf(layout.line(n)), spanOf(memo.lineSpan(n))) << "line " << n;
}

const std::string kMixed =
    "Dim a As Integer\r\n"
    "\tIf a > 1 Then Print \"a long line that has to be broken after one of its spaces\" End If\r\n"
    "averyveryverylongwordwithoutanyspacethatmustbebrokenwhereitstopsfitting\r\n"
    "\r\n"
    "codes\x02 in\x02 between\x01 words of a line that is long enough to wrap twice over here\r\n"
    "mmmmmmmmmmmmmmmm iiiiiiiiiiiiiiiiiiiiiii WWWW\t\tend";

TEST(PrintLayout, BreaksLinesExactlyAsTheEditorDoes) {
  for (int width : {1, 40, 97, 160, 400}) {
    SCOPED_TRACE(width);
    // A font that says it is fixed pitch lets lines that fit be recognised by counting.
    expectSameLinesAsTheEditor(FixedMetrics(8, 16, true), kMixed, width, true);
    expectSameLinesAsTheEditor(FixedMetrics(8, 16, true), kMixed, width, false);
    expectSameLinesAsTheEditor(ProportionalMetrics(), kMixed, width, true);
    expectSameLinesAsTheEditor(ProportionalMetrics(), kMixed, width, false);
  }
}

TEST(PrintLayout, WithoutWordWrapEveryParagraphIsOneLine) {
  CodeMemo memo;
  memo.setWordWrap(false);
  memo.setText("short\r\n" + std::string(5000, 'x') + "\r\nlast");
  FixedMetrics paper;
  PrintLayout layout(memo, true);
  layout.layOut(paper, 80);
  ASSERT_EQ(layout.lineCount(), 3);
  // Out of range asks clamp to the text instead of reading past it.
  EXPECT_EQ((std::vector{spanOf(layout.line(1)), spanOf(layout.line(99)), spanOf(layout.line(-1))}),
            (std::vector{Span(1, 0, 5000), Span(2, 0, 4), Span(0, 0, 5)}));
}

TEST(PrintLayout, AHugeSingleLineWrapsIntoItsWholeLength) {
  constexpr std::uint32_t kLength = 20'000'000;
  CodeMemo memo;
  memo.setText(std::string(kLength, 'y'));
  FixedMetrics paper(8, 16);
  PrintLayout layout(memo, false);
  layout.layOut(paper, 800);  // 100 characters a line
  ASSERT_EQ(layout.lineCount(), kLength / 100);
  EXPECT_EQ(std::pair(spanOf(layout.line(0)), spanOf(layout.line(layout.lineCount() - 1))),
            std::pair(Span(0, 0, 100), Span(0, kLength - 100, kLength)));
}

}  // namespace
}  // namespace quillon::editor

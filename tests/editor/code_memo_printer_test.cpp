#include "editor/code_memo_printer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "editor/code_memo.h"
#include "editor/memo_error.h"
#include "support/fake_printer_port.h"

namespace quillon::editor {
namespace {

using Lines = std::pair<std::int64_t, std::int64_t>;

using testing::FakePrinterPort;

// An A4 sheet at 600 dpi whose outer sixth of an inch the printer cannot reach.
constexpr PrinterMetrics kA4{4760, 6816, 4960, 7016, 100, 100, 600, 600};

struct FormatRow {
  const char* what;
  PrinterMetrics metrics;
  PageSettings settings;
  int printerLineHeight;
  int lineHeight;
  double exactLineHeight;
  int linesPerPage;
  int textWidth;
  PrintPoint origin;
  PrintRect header{};  // left out: the same as the first row's
  PrintRect footer{};
};

TEST(PageFormat, PlacesEverythingAsTheSettingsSay) {
  const PageSettings window;  // the main window's values
  PageSettings inches = window;
  inches.lineSpacing = 0.25f;
  PageSettings zero = window;
  zero.lineSpacing = 0;
  const FormatRow rows[] = {
      // The page holds what fits into the paper height less 1.5 inches at 1.5 times "A".
      {"window settings",
       kA4,
       window,
       100,
       150,
       150,
       (7016 - 900) / 150,
       4960 - 750,
       {350, 350},
       {350, 140, 4560, 350},
       {350, 6676, 4560, 6916}},
      {"half a unit rounds for counting only",
       kA4,
       window,
       13,
       20,
       19.5,
       (7016 - 900) / 20,
       4210,
       {350, 350}},
      {"spacing in inches", kA4, inches, 100, 150, 150, 40, 4210, {350, 350}},
      {"zero spacing counts as one unit", kA4, zero, 100, 1, 1, 7016 - 900, 4210, {350, 350}},
      {"a printer without text height", kA4, window, 0, 1, 1, 7016 - 900, 4210, {350, 350}},
      {"horizontal lengths in horizontal units",
       {2380, 6816, 2480, 7016, 50, 100, 300, 600},
       window,
       100,
       150,
       150,
       40,
       2480 - 375,
       {175, 350},
       {175, 140, 2280, 350},
       {175, 6676, 2280, 6916}},
  };
  for (const FormatRow& row : rows) {
    SCOPED_TRACE(row.what);
    const PageFormat f(row.metrics, row.settings, row.printerLineHeight);
    EXPECT_EQ(std::tuple(f.lineHeight(), f.exactLineHeight(), f.linesPerPage(), f.textWidth()),
              std::tuple(row.lineHeight, row.exactLineHeight, row.linesPerPage, row.textWidth));
    EXPECT_EQ(f.textOrigin(), row.origin);
    EXPECT_EQ(f.headerBand(), row.header == PrintRect{} ? rows[0].header : row.header);
    EXPECT_EQ(f.footerBand(), row.footer == PrintRect{} ? rows[0].footer : row.footer);
  }
}

TEST(PageFormat, CountsPagesWithoutABlankSheetAndSplitsTheLines) {
  const PageFormat f(kA4, PageSettings{}, 100);
  ASSERT_EQ(f.linesPerPage(), 40);
  // A text that fills its last page exactly has no empty sheet after it.
  for (const auto& [lines, pages] :
       {Lines(40, 1), Lines(41, 2), Lines(80, 2), Lines(0, 1), Lines(1, 1)})
    EXPECT_EQ(f.pageCount(lines), pages) << lines << " lines";
  EXPECT_EQ(std::pair(f.pageLines(0, 41), f.pageLines(1, 41)),
            std::pair(Lines(0, 39), Lines(40, 40)));
}

TEST(PageFormat, MarginsBeyondThePaperLeaveNoRoomAndDivideByNothing) {
  // A custom paper of one inch by one inch: the margins alone are wider and taller.
  const PageFormat tiny({100, 100, 100, 100, 0, 0, 100, 100}, PageSettings{}, 10);
  EXPECT_EQ(std::tuple(tiny.hasRoom(8), tiny.linesPerPage(), tiny.pageCount(5)),
            std::tuple(false, 1, 5));
  // Wide enough for a character but not tall enough for a line.
  PageSettings flat;
  flat.marginTop = 5.45f;
  flat.marginBottom = 5.45f;
  const PageFormat low({850, 1100, 850, 1100, 0, 0, 100, 100}, flat, 10);
  EXPECT_FALSE(low.hasRoom(8));
  // A printer that reports nothing at all.
  const PageFormat none(PrinterMetrics{}, PageSettings{}, 0);
  EXPECT_EQ(none.lineHeight(), 1);
  EXPECT_FALSE(none.hasRoom(1));
}

TEST(PageText, ReplacesTheFirstPageMarkOnly) {
  EXPECT_EQ(
      std::tuple(pageText("Head {p} of {p}", 0), pageText("{p}", 9), pageText("No number", 3)),
      std::tuple("Head 1 of {p}", "10", "No number"));
}

class CodeMemoPrinterTest : public ::testing::Test {
protected:
  // `lines` lines "line 1" .. "line n".
  void fill(int lines) {
    std::string text;
    for (int i = 1; i <= lines; ++i)
      text += "line " + std::to_string(i) + (i < lines ? "\r\n" : "");
    memo.setText(text);
    printer.setMemoToPrint(&memo);
  }

  FakePrinterPort port;
  CodeMemo memo;
  CodeMemoPrinter printer{port};
};

// 11 inches less 1.5 at 15 units a line: 63 lines a page.
TEST_F(CodeMemoPrinterTest, PrintsEveryPageWithItsHeaderFooterAndLinesAndAnEmptyTextOnOneSheet) {
  memo.setWordWrap(false);
  fill(130);
  printer.setHeader("Head {p}");
  printer.setFooter("Foot {p}");
  std::vector<std::int64_t> progress;
  printer.onProgress = [&](CodeMemoPrinter& p) { progress.push_back(p.currentPage()); };
  printer.print();
  std::vector<std::string> expected = {"start"};
  for (const auto& [page, lines] :
       {std::pair("1", "0-62"), std::pair("2", "63-125"), std::pair("3", "126-129")}) {
    if (expected.size() > 1) expected.push_back("new page");
    expected.insert(expected.end(),
                    {std::string("text Head ") + page + " in 75,40-800,75 MS Sans Serif",
                     std::string("text Foot ") + page + " in 75,1060-800,1100 MS Sans Serif",
                     std::string("lines ") + lines + " at 75,75 every 15"});
  }
  expected.push_back("end");
  EXPECT_EQ(port.calls, expected);
  EXPECT_EQ(std::pair(progress, printer.currentPage()),
            std::pair(std::vector<std::int64_t>{0, 1, 2, -1}, std::int64_t{-1}));

  // An empty text is one sheet, and an empty band is not drawn.
  fill(0);
  printer.setHeader("");
  port.calls.clear();
  printer.print();
  EXPECT_EQ(port.calls,
            (std::vector<std::string>{"start", "text Foot 1 in 75,1060-800,1100 MS Sans Serif",
                                      "lines 0-0 at 75,75 every 15", "end"}));
}

TEST_F(CodeMemoPrinterTest, AbortStopsBeforeTheNextPageAndStillEndsTheDocument) {
  fill(200);
  printer.onProgress = [](CodeMemoPrinter& p) {
    if (p.currentPage() == 1) p.abort();
  };
  printer.print();
  EXPECT_EQ(port.calls, (std::vector<std::string>{"start", "lines 0-62 at 75,75 every 15", "end"}));
  // The next run starts with the flag cleared.
  printer.onProgress = nullptr;
  port.calls.clear();
  printer.print();
  EXPECT_EQ(port.calls.size(), 1u + 4 + 3 + 1);
}

TEST_F(CodeMemoPrinterTest, FailuresAreReportedAndNothingIsSentWithoutAPrinterOrRoom) {
  fill(200);
  const auto print = [&] { printer.print(); };
  auto fails = [](const char* message) {
    return ::testing::ThrowsMessage<MemoError>(::testing::StrEq(message));
  };
  port.installed = false;
  EXPECT_THAT(print, fails(CodeMemoPrinter::kNoPrinter));
  EXPECT_TRUE(port.calls.empty());

  port.installed = true;
  port.paper = {100, 100, 100, 100, 0, 0, 100, 100};  // one inch square
  printer.printerChanged();
  EXPECT_THAT(print, fails(CodeMemoPrinter::kNoRoom));
  EXPECT_EQ(std::tuple(port.calls.size(), printer.lineCount(), printer.pageCount()),
            std::tuple(0u, 0, 1));

  port.paper = FakePrinterPort().paper;
  printer.printerChanged();
  port.failingPage = 2;
  EXPECT_THAT(print, fails(CodeMemoPrinter::kPrintingFailed));
  EXPECT_EQ(port.calls,
            (std::vector<std::string>{"start", "lines 0-62 at 75,75 every 15", "new page",
                                      "lines 63-125 at 75,75 every 15", "new page", "end"}));

  port.failingPage = -1;
  port.calls.clear();
  port.startFails = true;
  EXPECT_THAT(print, fails(CodeMemoPrinter::kPrintingFailed));
  EXPECT_EQ(port.calls, std::vector<std::string>{"start"});

  port.startFails = false;
  port.endFails = true;
  EXPECT_THAT(print, fails(CodeMemoPrinter::kPrintingFailed));
  EXPECT_EQ(printer.currentPage(), -1);
}

TEST_F(CodeMemoPrinterTest, TheLayoutFollowsTheTextTheMarginsAndPlainText) {
  memo.setText(std::string(150, 'x'));  // 1200 units: two lines at 7.25 inches
  printer.setMemoToPrint(&memo);
  int formats = 0;
  printer.onFormatPrint = [&](CodeMemoPrinter&, PrintLayout& layout) {
    ++formats;
    EXPECT_FALSE(layout.laidOut());
  };
  ASSERT_TRUE(printer.layOut());
  EXPECT_EQ(printer.lineCount(), 2);
  EXPECT_TRUE(printer.layOut());
  EXPECT_EQ(formats, 1);

  printer.setMarginLeft(0.25f);  // 825 units: 103 characters a line
  printer.setMarginRight(0);
  ASSERT_TRUE(printer.layOut());
  EXPECT_EQ(std::pair(printer.layout()->line(0).stop, formats), std::pair(103u, 2));

  // Printing again after an edit lays the new text out, even for the same editor.
  memo.setText("short");
  printer.setMemoToPrint(&memo);
  ASSERT_TRUE(printer.layOut());
  EXPECT_EQ(printer.lineCount(), 1);

  printer.setPlainText(true);
  ASSERT_TRUE(printer.layOut());
  EXPECT_EQ(formats, 4);

  // Room follows the top and bottom margins, which need no new layout.
  printer.setMarginTop(6);
  printer.setMarginBottom(6);
  EXPECT_FALSE(printer.layOut());
  printer.setMarginTop(0.5f);
  printer.setMarginBottom(0.5f);
  EXPECT_TRUE(printer.layOut());
}

TEST_F(CodeMemoPrinterTest, PreviewIsRaisedBeforeItIsShownAndNeedsAText) {
  printer.preview();
  EXPECT_TRUE(port.calls.empty());
  fill(3);
  printer.onPreview = [&](CodeMemoPrinter& p, PrintPreview&) {
    EXPECT_EQ(&p, &printer);
    port.calls.push_back("onPreview");
  };
  printer.preview();
  EXPECT_EQ(port.calls,
            (std::vector<std::string>{"preview created", "onPreview", "preview shown"}));
}

}  // namespace
}  // namespace quillon::editor

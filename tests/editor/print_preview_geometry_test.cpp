#include "editor/print_preview_geometry.h"

#include <gtest/gtest.h>

namespace quillon::editor {
namespace {

using Lines = std::pair<std::int64_t, std::int64_t>;

constexpr PrinterMetrics kA4{4760, 6816, 4960, 7016, 100, 100, 600, 600};
constexpr double kScreenDpi = 96;

PreviewGeometry zoomed(PreviewZoom zoom, int width, int height,
                       const PrinterMetrics& metrics = kA4) {
  PreviewGeometry g;
  g.setPrinter(metrics);
  g.zoom(zoom, width, height, kScreenDpi);
  return g;
}

struct ZoomRow {
  PreviewZoom zoom;
  int areaWidth, areaHeight;
  double scaleY;
  int left, width, height;
};

TEST(PreviewGeometry, ScalesAndPlacesThePageForEachZoom) {
  const ZoomRow rows[] = {
      // An inch of paper is an inch of screen at 100%: 96 / 600.
      {PreviewZoom::z100, 699, 500, 0.16, 10, 794, 1123},
      // Narrower than the area: centred.
      {PreviewZoom::z75, 1200, 500, 0.12, (1200 - 595) / 2, 595, 842},
      {PreviewZoom::PageWidth, 700, 500, 680.0 / 4960, 10, 680, 962},
      // A wide window: the height decides and the page is centred across.
      {PreviewZoom::WholePage, 1200, 500, 480.0 / 7016, (1200 - 339) / 2, 339, 480},
      // A tall one: the width decides.
      {PreviewZoom::WholePage, 400, 1000, 380.0 / 4960, 10, 380, 538},
  };
  for (const ZoomRow& row : rows) {
    SCOPED_TRACE(kPreviewZoomNames[static_cast<int>(row.zoom)] + std::string(" in ") +
                 std::to_string(row.areaWidth));
    const PreviewGeometry g = zoomed(row.zoom, row.areaWidth, row.areaHeight);
    EXPECT_NEAR(g.scaleY(), row.scaleY, 1e-12);
    EXPECT_EQ(std::tuple(g.top(), g.left(), g.width(), g.height()),
              std::tuple(10, row.left, row.width, row.height));
  }
}

TEST(PreviewGeometry, AnAreaTooSmallOrAPrinterWithoutSizesKeepsTheLastScale) {
  PreviewGeometry g = zoomed(PreviewZoom::z100, 699, 500);
  g.zoom(PreviewZoom::PageWidth, 15, 500, kScreenDpi);
  EXPECT_DOUBLE_EQ(g.scaleY(), 0.16);
  g.zoom(PreviewZoom::WholePage, 699, 20, kScreenDpi);
  EXPECT_DOUBLE_EQ(g.scaleY(), 0.16);
  g.setPrinter(PrinterMetrics{});
  g.zoom(PreviewZoom::z200, 699, 500, kScreenDpi);
  g.zoom(PreviewZoom::WholePage, 699, 500, kScreenDpi);
  EXPECT_DOUBLE_EQ(g.scaleY(), 0.16);
  EXPECT_EQ(std::pair(g.width(), g.marginAt(MarginLine::Left, 50)), std::pair(1, 0.0f));
}

TEST(PreviewGeometry, UnequalResolutionsKeepThePageToScale) {
  // 300 units an inch across, 600 down: the image is still 8.27 by 11.69 inches.
  const PreviewGeometry g =
      zoomed(PreviewZoom::z100, 699, 500, {2380, 6816, 2480, 7016, 50, 100, 300, 600});
  EXPECT_EQ(std::pair(g.width(), g.height()), std::pair(794, 1123));
  EXPECT_EQ(g.marginPosition(MarginLine::Left, PageSettings{}), 72);
  EXPECT_NEAR(g.marginAt(MarginLine::Right, g.marginPosition(MarginLine::Right, PageSettings{})),
              0.5, 0.01);
}

TEST(PreviewGeometry, MarginLinesAreFoundAndDraggedInsideTheirLimits) {
  const PreviewGeometry g = zoomed(PreviewZoom::z100, 699, 500);
  const PageSettings s;
  const int left = 72, right = 746, top = 72, bottom = 1051;  // right: (4960 - 300) * 0.16 = 745.6
  EXPECT_EQ((std::vector<int>{
                g.marginPosition(MarginLine::Left, s), g.marginPosition(MarginLine::Right, s),
                g.marginPosition(MarginLine::Top, s), g.marginPosition(MarginLine::Bottom, s)}),
            (std::vector<int>{left, right, top, bottom}));

  // At a corner the first line that is as close wins; below the page there is none.
  const std::tuple<int, int, MarginLine> hits[] = {
      {left, 500, MarginLine::Left},     {left + 2, 500, MarginLine::Left},
      {left + 3, 500, MarginLine::None}, {right - 1, 500, MarginLine::Right},
      {400, bottom, MarginLine::Bottom}, {left, top, MarginLine::Left},
      {left, 2000, MarginLine::None}};
  for (const auto& [x, y, line] : hits)
    EXPECT_EQ(int(g.hit(x, y, s)), int(line)) << "at " << x << ", " << y;

  // A line dragged onto the opposite one stays 3 pixels short while held, 10 once let go; and
  // inside the image whatever the pointer does.
  EXPECT_EQ((std::vector{g.dragPosition(MarginLine::Left, right, s),
                         g.releasePosition(MarginLine::Left, right - 3, s),
                         g.dragPosition(MarginLine::Right, -50, s),
                         g.releasePosition(MarginLine::Right, left + 3, s),
                         g.dragPosition(MarginLine::Left, -40, s),
                         g.dragPosition(MarginLine::Bottom, 5000, s),
                         g.dragPosition(MarginLine::Top, 300, s)}),
            (std::vector{right - 3, right - 10, left + 3, left + 10, 0, g.height(), 300}));

  // Each margin is measured from its own page edge.
  EXPECT_FLOAT_EQ(g.marginAt(MarginLine::Left, 96), 1.0f);
  EXPECT_NEAR(g.marginAt(MarginLine::Right, right - 10), 0.5 + (10 - 0.4) / 96, 1e-5);
  EXPECT_FLOAT_EQ(g.marginAt(MarginLine::Top, 48), 0.5f);
  EXPECT_NEAR(g.marginAt(MarginLine::Bottom, g.height() - 96),
              1.0 + (7016 * 0.16 - g.height()) / 96, 1e-5);
  EXPECT_EQ(g.marginAt(MarginLine::Left, -5), 0.0f);
}

TEST(PreviewGeometry, OnlyTheLinesInTheRowsToRepaint) {
  const PreviewGeometry g = zoomed(PreviewZoom::z100, 699, 500);
  const PageFormat format(kA4, PageSettings{},
                          100);  // lines of 150 units from y 350 (450 on paper)
  // Rows 0-71 lie above the text (72 = 450 units down).
  EXPECT_LT(g.linesIn(0, 71, format, 40, 79).second, 40);
  // Row 72 is the first line's top; 24 rows make a line.
  EXPECT_EQ(g.linesIn(72, 72, format, 40, 79), Lines(40, 40));
  EXPECT_EQ(g.linesIn(90, 130, format, 40, 79), Lines(40, 42));
  EXPECT_EQ(g.linesIn(0, 2000, format, 40, 79), Lines(40, 79));
  EXPECT_LT(g.linesIn(1100, 1123, format, 40, 79).second,
            g.linesIn(1100, 1123, format, 40, 79).first);
}

}  // namespace
}  // namespace quillon::editor

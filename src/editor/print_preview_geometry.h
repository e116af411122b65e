#pragma once
#include <array>
#include <cstdint>
#include <utility>

#include "editor/code_memo_printer.h"
#include "editor/printer_port.h"

namespace quillon::editor {

// The zoom list of the preview window, in its order.
enum class PreviewZoom { z500, z200, z150, z100, z75, z50, PageWidth, WholePage };
inline constexpr std::array<const char*, 8> kPreviewZoomNames = {
    "500%", "200%", "150%", "100%", "75%", "50%", "Page width", "Whole page"};

enum class MarginLine { None, Left, Right, Top, Bottom };

// The preview's page image in screen pixels: its scale for a zoom, its place in the grey
// area, the four margin lines and dragging them. Horizontal lengths are converted with the
// printer's horizontal resolution and vertical ones with the vertical, so the image is to
// scale even when the two differ.
//
// Invariant: scaleX_ * logPixelsX == scaleY_ * logPixelsY (an inch is as long across as
// down) whenever both resolutions are known; zoom() is the one place that sets the scales.
class PreviewGeometry {
public:
  // Lines closer to the pointer than this count as under it.
  static constexpr int kHitTolerance = 2;
  // How close a dragged line may come to the opposite one while dragging and once let go.
  static constexpr int kDragGap = 3;
  static constexpr int kReleaseGap = 10;

  void setPrinter(const PrinterMetrics& metrics) { metrics_ = metrics; }
  const PrinterMetrics& printer() const { return metrics_; }
  // Scales for a zoom in an area of the given size at `screenDpi` screen pixels per inch. An
  // area too small to hold anything (under 20 pixels) keeps the last scale.
  void zoom(PreviewZoom zoom, int areaWidth, int areaHeight, double screenDpi);
  PreviewZoom currentZoom() const { return zoom_; }

  // Screen pixels per device unit.
  double scaleX() const { return scaleX_; }
  double scaleY() const { return scaleY_; }
  // The page image's place in the area and its size.
  int left() const { return left_; }
  int top() const { return top_; }
  int width() const;
  int height() const;

  // A margin line's position in image pixels: x for left and right, y for top and bottom.
  int marginPosition(MarginLine line, const PageSettings& settings) const;
  // The margin line under a point of the image, or None.
  MarginLine hit(int x, int y, const PageSettings& settings) const;
  // Where a line picked up follows the pointer at `position` while the button is held, and
  // where it stays when the button is let go.
  int dragPosition(MarginLine line, int position, const PageSettings& settings) const {
    return keptInside(line, position, kDragGap, settings);
  }
  int releasePosition(MarginLine line, int position, const PageSettings& settings) const {
    return keptInside(line, position, kReleaseGap, settings);
  }
  // The margin in inches for a line at `position`: its distance from its page edge.
  float marginAt(MarginLine line, int position) const;

  // The display lines of [first, last] whose band crosses image rows [top, bottom].
  std::pair<std::int64_t, std::int64_t> linesIn(int top, int bottom, const PageFormat& format,
                                                std::int64_t first, std::int64_t last) const;

private:
  int opposite(MarginLine line, const PageSettings& settings) const;
  // Inside the image and at least `gap` pixels short of the opposite line.
  int keptInside(MarginLine line, int position, int gap, const PageSettings& settings) const;

  PrinterMetrics metrics_;
  PreviewZoom zoom_ = PreviewZoom::z100;
  double scaleX_ = 1;
  double scaleY_ = 1;
  int left_ = 10;
  int top_ = 10;
};

}  // namespace quillon::editor

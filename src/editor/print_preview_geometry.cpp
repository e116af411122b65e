#include "editor/print_preview_geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace quillon::editor {

namespace {

constexpr double kFixedZooms[] = {5, 2, 1.5, 1, 0.75, 0.5};
// The grey border the area keeps around the page, on each side.
constexpr int kBorder = 10;

int pixels(double v) { return static_cast<int>(std::lround(std::clamp(v, -1e9, 1e9))); }

bool horizontal(MarginLine line) { return line == MarginLine::Left || line == MarginLine::Right; }

}  // namespace

void PreviewGeometry::zoom(PreviewZoom zoom, int areaWidth, int areaHeight, double screenDpi) {
  zoom_ = zoom;
  const double lpx = metrics_.logPixelsX;
  const double lpy = metrics_.logPixelsY;
  const double paperWidth = metrics_.physicalWidth;
  const double paperHeight = metrics_.physicalHeight;
  const bool resolutions = lpx > 0 && lpy > 0;
  auto byHeight = [&](double s) {
    scaleY_ = s;
    scaleX_ = resolutions ? s * lpy / lpx : s;
  };
  auto byWidth = [&](double s) {
    scaleX_ = s;
    scaleY_ = resolutions ? s * lpx / lpy : s;
  };
  const int roomX = areaWidth - 2 * kBorder;
  const int roomY = areaHeight - 2 * kBorder;
  bool centre = false;
  switch (zoom) {
    case PreviewZoom::PageWidth:
      if (roomX > 0 && paperWidth > 0) byWidth(roomX / paperWidth);
      break;
    case PreviewZoom::WholePage:
      if (roomX > 0 && roomY > 0 && paperWidth > 0 && paperHeight > 0 && resolutions) {
        // Compare the shapes in inches, so unequal resolutions do not distort the choice.
        const double pageRatio = (paperHeight / lpy) / (paperWidth / lpx);
        if (pageRatio > static_cast<double>(roomY) / roomX) {
          byHeight(roomY / paperHeight);
          centre = true;
        } else {
          byWidth(roomX / paperWidth);
        }
      }
      break;
    default:
      if (lpy > 0 && screenDpi > 0) byHeight(screenDpi / lpy * kFixedZooms[static_cast<int>(zoom)]);
      centre = width() < roomX;
      break;
  }
  top_ = kBorder;
  left_ = centre ? std::max(0, (areaWidth - width()) / 2) : kBorder;
}

int PreviewGeometry::width() const { return std::max(1, pixels(metrics_.physicalWidth * scaleX_)); }
int PreviewGeometry::height() const {
  return std::max(1, pixels(metrics_.physicalHeight * scaleY_));
}

int PreviewGeometry::marginPosition(MarginLine line, const PageSettings& s) const {
  const double lpx = metrics_.logPixelsX;
  const double lpy = metrics_.logPixelsY;
  switch (line) {
    case MarginLine::Left: return pixels(s.marginLeft * lpx * scaleX_);
    case MarginLine::Right: return pixels((metrics_.physicalWidth - s.marginRight * lpx) * scaleX_);
    case MarginLine::Top: return pixels(s.marginTop * lpy * scaleY_);
    case MarginLine::Bottom:
      return pixels((metrics_.physicalHeight - s.marginBottom * lpy) * scaleY_);
    case MarginLine::None: break;
  }
  return 0;
}

MarginLine PreviewGeometry::hit(int x, int y, const PageSettings& s) const {
  if (x < -kHitTolerance || y < -kHitTolerance || x > width() + kHitTolerance ||
      y > height() + kHitTolerance)
    return MarginLine::None;
  MarginLine best = MarginLine::None;
  int bestDistance = kHitTolerance + 1;
  for (MarginLine line :
       {MarginLine::Left, MarginLine::Right, MarginLine::Top, MarginLine::Bottom}) {
    const int distance = std::abs((horizontal(line) ? x : y) - marginPosition(line, s));
    if (distance < bestDistance) {
      best = line;
      bestDistance = distance;
    }
  }
  return best;
}

int PreviewGeometry::opposite(MarginLine line, const PageSettings& s) const {
  switch (line) {
    case MarginLine::Left: return marginPosition(MarginLine::Right, s);
    case MarginLine::Right: return marginPosition(MarginLine::Left, s);
    case MarginLine::Top: return marginPosition(MarginLine::Bottom, s);
    case MarginLine::Bottom: return marginPosition(MarginLine::Top, s);
    case MarginLine::None: break;
  }
  return 0;
}

int PreviewGeometry::keptInside(MarginLine line, int position, int gap,
                                const PageSettings& s) const {
  const int extent = horizontal(line) ? width() : height();
  const int other = opposite(line, s);
  if (line == MarginLine::Left || line == MarginLine::Top)
    return std::max(0, std::min({position, other - gap, extent}));
  return std::min(extent, std::max({position, other + gap, 0}));
}

float PreviewGeometry::marginAt(MarginLine line, int position) const {
  const double perInchX = metrics_.logPixelsX * scaleX_;
  const double perInchY = metrics_.logPixelsY * scaleY_;
  double inches = 0;
  switch (line) {
    case MarginLine::Left:
      if (perInchX > 0) inches = position / perInchX;
      break;
    case MarginLine::Right:
      if (perInchX > 0) inches = (metrics_.physicalWidth * scaleX_ - position) / perInchX;
      break;
    case MarginLine::Top:
      if (perInchY > 0) inches = position / perInchY;
      break;
    case MarginLine::Bottom:
      if (perInchY > 0) inches = (metrics_.physicalHeight * scaleY_ - position) / perInchY;
      break;
    case MarginLine::None: break;
  }
  return static_cast<float>(std::max(0.0, inches));
}

std::pair<std::int64_t, std::int64_t> PreviewGeometry::linesIn(int top, int bottom,
                                                               const PageFormat& format,
                                                               std::int64_t first,
                                                               std::int64_t last) const {
  if (last < first || scaleY_ <= 0) return {first, first - 1};
  const double lh = format.exactLineHeight();
  const double y0 = top / scaleY_ - metrics_.physicalOffsetY - format.textOrigin().y;
  const double y1 = (bottom + 1) / scaleY_ - metrics_.physicalOffsetY - format.textOrigin().y;
  const double count = static_cast<double>(last - first);
  const auto from = static_cast<std::int64_t>(std::clamp(std::floor(y0 / lh), 0.0, count + 1));
  const auto to = static_cast<std::int64_t>(std::clamp(std::ceil(y1 / lh) - 1, -1.0, count));
  return {first + from, first + to};
}

}  // namespace quillon::editor

#include "platform/window_placement.h"

#include <algorithm>
#include <array>
#include <climits>

#include "platform/integer_text.h"

namespace quillon::platform {

std::string formatPlacement(const WindowPlacement& p) {
  std::string out = "200";
  for (int v : {p.flags, p.showCmd, p.normal.left, p.normal.top, p.normal.right, p.normal.bottom}) {
    out += ',';
    out += std::to_string(v);
  }
  return out;
}

std::optional<WindowPlacement> parsePlacement(std::string_view text) {
  std::array<int, 7> v{};
  std::size_t n = 0;
  for (;;) {
    const std::size_t comma = text.find(',');
    if (n == v.size()) return std::nullopt;  // an eighth field
    const std::string_view field = text.substr(0, comma);
    if (n == 0 && field != "200") return std::nullopt;
    // A field that is no number makes the whole value unusable rather than a zero edge.
    const std::optional<std::int32_t> number = parseInteger(field);
    if (!number) return std::nullopt;
    v[n++] = *number;
    if (comma == std::string_view::npos) break;
    text.remove_prefix(comma + 1);
  }
  if (n != v.size()) return std::nullopt;
  WindowPlacement p;
  p.flags = v[1];
  p.showCmd = v[2];
  p.normal = {v[3], v[4], v[5], v[6]};
  return p;
}

namespace {
int saturate(long long v) { return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX)); }
}  // namespace

WindowPlacement clampToScreen(WindowPlacement p, const ScreenRect& screen) {
  // 64-bit so that stored edges near the int limits cannot overflow.
  if (p.normal.right > screen.right) {
    const long long shift = static_cast<long long>(p.normal.right) - screen.right;
    p.normal.left = saturate(p.normal.left - shift);
    p.normal.right = screen.right;
  }
  if (p.normal.bottom > screen.bottom) {
    const long long shift = static_cast<long long>(p.normal.bottom) - screen.bottom;
    p.normal.top = saturate(p.normal.top - shift);
    p.normal.bottom = screen.bottom;
  }
  return p;
}

std::optional<WindowPlacement> readPlacement(std::string_view text, const ScreenRect& screen) {
  std::optional<WindowPlacement> p = parsePlacement(text);
  if (!p) return p;
  return usablePlacement(clampToScreen(*p, screen), screen);
}

std::optional<WindowPlacement> usablePlacement(WindowPlacement p, const ScreenRect& screen) {
  ScreenRect& r = p.normal;
  // 64-bit: a stored edge may be near the int limits.
  const long long width = static_cast<long long>(r.right) - r.left;
  const long long height = static_cast<long long>(r.bottom) - r.top;
  if (width <= 0 || height <= 0) return std::nullopt;
  if (width > screen.width()) r.left = screen.left, r.right = screen.right;
  if (height > screen.height()) r.top = screen.top, r.bottom = screen.bottom;
  if (r.right <= screen.left) r = {screen.left, r.top, screen.left + r.right - r.left, r.bottom};
  if (r.bottom <= screen.top) r = {r.left, screen.top, r.right, screen.top + r.bottom - r.top};
  return p;
}

ScreenRect firstWindowRect(const ScreenRect& a) {
  const int width = std::min(std::max(a.width() * 3 / 4, 800), a.width());
  const int height = std::min(std::max(a.height() * 3 / 4, 600), a.height());
  const int left = a.left + a.width() / 2 - width / 2;
  const int top = a.top + a.height() / 2 - height / 2;
  return {left, top, left + width, top + height};
}

ScreenRect besideRect(const ScreenRect& owner, int width, int height, const ScreenRect& screen) {
  int left;
  if (owner.right + width <= screen.right)
    left = owner.right;
  else if (owner.left - width >= screen.left)
    left = owner.left - width;
  else
    left = std::min(owner.right, screen.right) - width;
  left = std::max(screen.left, std::min(left, screen.right - width));
  const int top = std::max(screen.top, std::min(owner.top, screen.bottom - height));
  return {left, top, left + width, top + height};
}

}  // namespace quillon::platform

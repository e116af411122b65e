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
  if (p) *p = clampToScreen(*p, screen);
  return p;
}

}  // namespace quillon::platform

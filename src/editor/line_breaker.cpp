#include "editor/line_breaker.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace quillon::editor {

int breakLines(std::string_view text, bool hasCodes, const CharAdvance& advance, int width,
               std::vector<std::uint32_t>& starts) {
  starts.clear();
  const auto length = static_cast<std::uint32_t>(text.size());
  // Most lines of code fit: with a fixed pitch and nothing of another width, counting tells.
  const int fixed = advance.metrics ? advance.metrics->fixedPitchWidth() : 0;
  if (fixed > 0 && !(advance.staticFormat && hasCodes) &&
      std::memchr(text.data(), '\t', length) == nullptr) {
    const std::int64_t total = static_cast<std::int64_t>(length) * fixed;
    if (total <= width) return static_cast<int>(total);
  }
  std::uint32_t lineStart = 0;
  std::uint32_t afterSpace = 0;  // position after the last space of this line, 0 when none
  int x = 0;
  int widest = 0;
  for (std::uint32_t j = 0; j < length; ++j) {
    const auto c = static_cast<unsigned char>(text[j]);
    int w = advance(c, x);
    if (x + w > width && j > lineStart) {
      const std::uint32_t brk = afterSpace > lineStart ? afterSpace : j;
      starts.push_back(brk);
      widest = std::max(widest, x);
      lineStart = brk;
      afterSpace = 0;
      x = 0;
      for (std::uint32_t k = brk; k < j; ++k) x += advance(static_cast<unsigned char>(text[k]), x);
      w = advance(c, x);
    }
    x += w;
    if (c == ' ') afterSpace = j + 1;
  }
  return std::max(widest, x);
}

}  // namespace quillon::editor

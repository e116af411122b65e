#include "language/compare_no_case.h"

#include <algorithm>

#include "platform/ascii_text.h"

namespace quillon::language {

namespace {
// Letters compare as their capitals, every byte as an unsigned number.
unsigned char reduced(char c) { return static_cast<unsigned char>(platform::asciiUpper(c)); }
}  // namespace

int compareNoCase(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const unsigned char x = reduced(a[i]);
    const unsigned char y = reduced(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

}  // namespace quillon::language

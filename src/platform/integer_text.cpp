#include "platform/integer_text.h"

#include <cstdint>

#include "platform/ascii_text.h"

namespace quillon::platform {

std::optional<std::int32_t> parseInteger(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  bool hex = false;
  if (i < text.size() && text[i] == '$') {
    hex = true;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (i == text.size()) return std::nullopt;
  std::uint64_t value = 0;
  for (; i < text.size(); ++i) {
    const int d =
        hex ? hexDigitValue(text[i]) : (text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : -1);
    if (d < 0) return std::nullopt;
    value = value * (hex ? 16 : 10) + static_cast<std::uint64_t>(d);
    if (value > 0xFFFFFFFFull) return std::nullopt;
  }
  if (hex) {
    // Hex is a bit pattern: $FFFFFFFF is -1.
    std::uint32_t bits = static_cast<std::uint32_t>(value);
    if (negative) bits = 0u - bits;
    return static_cast<std::int32_t>(bits);
  }
  if (negative) {
    if (value > 0x80000000ull) return std::nullopt;
    return static_cast<std::int32_t>(-static_cast<std::int64_t>(value));
  }
  if (value > 0x7FFFFFFFull) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

}  // namespace quillon::platform

#include "editor/windows1252.h"

#include <array>

namespace quillon::editor {

namespace {

constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

char16_t windows1252ToUnicode(unsigned char byte) {
  if (byte >= 0x80 && byte < 0xA0) return kHigh[byte - 0x80];
  return static_cast<char16_t>(byte);
}

std::u16string windows1252ToUtf16(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  for (char c : bytes) out.push_back(windows1252ToUnicode(static_cast<unsigned char>(c)));
  return out;
}

std::string utf16ToWindows1252(std::u16string_view text, char fallback) {
  std::string out;
  out.reserve(text.size());
  for (char16_t u : text) {
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
      out.push_back(static_cast<char>(u));
      continue;
    }
    char mapped = fallback;
    for (std::size_t i = 0; i < kHigh.size(); ++i)
      if (kHigh[i] == u) {
        mapped = static_cast<char>(0x80 + i);
        break;
      }
    out.push_back(mapped);
  }
  return out;
}

}  // namespace quillon::editor

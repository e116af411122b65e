#include "platform/windows1252.h"

#include <algorithm>
#include <array>
#include <utility>

namespace quillon::platform {

namespace {

constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// kHigh turned round: (character, byte) sorted by character.
constexpr auto kHighByCharacter = [] {
  std::array<std::pair<char16_t, unsigned char>, kHigh.size()> table{};
  for (std::size_t i = 0; i < kHigh.size(); ++i)
    table[i] = {kHigh[i], static_cast<unsigned char>(0x80 + i)};
  std::sort(table.begin(), table.end());
  return table;
}();

}  // namespace

char16_t windows1252ToUnicode(unsigned char byte) {
  if (byte >= 0x80 && byte < 0xA0) return kHigh[byte - 0x80];
  return static_cast<char16_t>(byte);
}

int unicodeToWindows1252(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<int>(c);
  const auto it =
      std::lower_bound(kHighByCharacter.begin(), kHighByCharacter.end(), c,
                       [](const auto& entry, char32_t key) { return entry.first < key; });
  return it != kHighByCharacter.end() && it->first == c ? it->second : -1;
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
    const int byte = unicodeToWindows1252(u);
    out.push_back(byte < 0 ? fallback : static_cast<char>(byte));
  }
  return out;
}

}  // namespace quillon::platform

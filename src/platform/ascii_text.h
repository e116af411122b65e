#pragma once
#include <algorithm>
#include <string>
#include <string_view>

namespace quillon::platform {

// Byte-text helpers that only know ASCII: case of the 26 letters, hex digits and blanks.
// Text is Windows-1252 everywhere, so bytes above 127 pass through unchanged; where the
// ANSI letters must fold too, editor::CaseFolder does it.

constexpr char asciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
}
constexpr char asciiUpper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - ('a' - 'A')) : c;
}

inline std::string asciiLowered(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = asciiLower(c);
  return out;
}

// Equal when the letters are equal in either case.
inline bool equalsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return asciiLower(x) == asciiLower(y);
         });
}

// 0 to 15 for a hex digit of either case, -1 for anything else.
constexpr int hexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The program's blank: a space or any control character (codes up to 32), as word-list
// lines and editing commands trim them.
constexpr bool isBlankOrControl(char c) { return static_cast<unsigned char>(c) <= ' '; }
constexpr bool isSpaceOrTab(char c) { return c == ' ' || c == '\t'; }
constexpr bool hasLineBreak(std::string_view s) {
  return s.find_first_of("\r\n") != std::string_view::npos;
}

template <class IsBlank>
constexpr std::string_view trimStart(std::string_view s, IsBlank isBlank) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  return s;
}

template <class IsBlank>
constexpr std::string_view trimEnd(std::string_view s, IsBlank isBlank) {
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return s;
}

template <class IsBlank>
constexpr std::string_view trim(std::string_view s, IsBlank isBlank) {
  return trimEnd(trimStart(s, isBlank), isBlank);
}

constexpr std::string_view trim(std::string_view s) { return trim(s, isBlankOrControl); }

}  // namespace quillon::platform

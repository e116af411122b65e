#include "lsp/position_codec.h"

#include "platform/windows1252.h"

namespace quillon::lsp {

std::size_t utf8SequenceLength(std::string_view s) {
  if (s.empty()) return 0;
  const auto b = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned char c = b(0);
  if (c < 0x80) return 1;
  std::size_t n = 0;
  char32_t min = 0;
  char32_t value = 0;
  if (c >= 0xC2 && c <= 0xDF) {
    n = 2, min = 0x80, value = c & 0x1F;
  } else if (c >= 0xE0 && c <= 0xEF) {
    n = 3, min = 0x800, value = c & 0x0F;
  } else if (c >= 0xF0 && c <= 0xF4) {
    n = 4, min = 0x10000, value = c & 0x07;
  } else {
    return 0;
  }
  if (s.size() < n) return 0;
  for (std::size_t i = 1; i < n; ++i) {
    if ((b(i) & 0xC0) != 0x80) return 0;
    value = (value << 6) | (b(i) & 0x3F);
  }
  if (value < min || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
  return n;
}

namespace {

// One character of `line` at byte `i`: its bytes there and its units in the protocol.
struct Char {
  std::uint32_t bytes;
  std::uint32_t units;
};

Char charAt(std::string_view line, std::size_t i, PositionEncoding encoding) {
  const auto c = static_cast<unsigned char>(line[i]);
  if (c < 0x80) return {1, 1};
  const std::size_t n = utf8SequenceLength(line.substr(i, 4));
  if (n == 0) {
    // A Windows-1252 byte: one character of the Basic Multilingual Plane.
    if (encoding == PositionEncoding::utf16) return {1, 1};
    const char16_t u = platform::windows1252ToUnicode(c);
    return {1, u < 0x800 ? 2u : 3u};
  }
  if (encoding == PositionEncoding::utf8)
    return {static_cast<std::uint32_t>(n), static_cast<std::uint32_t>(n)};
  return {static_cast<std::uint32_t>(n), n == 4 ? 2u : 1u};
}

}  // namespace

std::uint32_t byteColumn(std::string_view line, std::uint32_t units, PositionEncoding encoding) {
  std::size_t i = 0;
  std::uint32_t u = 0;
  while (i < line.size()) {
    // ASCII runs are the common case.
    if (static_cast<unsigned char>(line[i]) < 0x80) {
      if (u == units) return static_cast<std::uint32_t>(i);
      ++i, ++u;
      continue;
    }
    const Char c = charAt(line, i, encoding);
    if (u + c.units > units) return static_cast<std::uint32_t>(i);
    i += c.bytes;
    u += c.units;
  }
  return static_cast<std::uint32_t>(line.size());
}

std::uint32_t unitColumn(std::string_view line, std::uint32_t bytes, PositionEncoding encoding) {
  const std::size_t stop = bytes < line.size() ? bytes : line.size();
  std::size_t i = 0;
  std::uint32_t u = 0;
  while (i < stop) {
    const Char c = charAt(line, i, encoding);
    if (i + c.bytes > stop) break;
    i += c.bytes;
    u += c.units;
  }
  return u;
}

std::string toUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    if (c < 0x80) {
      out.push_back(bytes[i++]);
      continue;
    }
    const std::size_t n = utf8SequenceLength(bytes.substr(i, 4));
    if (n > 0) {
      out.append(bytes.substr(i, n));
      i += n;
      continue;
    }
    const char16_t u = platform::windows1252ToUnicode(c);
    if (u < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (u >> 6)));
      out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xE0 | (u >> 12)));
      out.push_back(static_cast<char>(0x80 | ((u >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
    }
    ++i;
  }
  return out;
}

}  // namespace quillon::lsp

#pragma once
#include <cstdint>

namespace quillon::editor {

// Attributes shared by keywords and start-stop keys; the key file stores exactly these fields.
struct KeywordInfo {
  std::uint8_t options = 0;     // KeywordOption bits
  std::uint8_t style = 0;       // KeywordStyle bits
  std::int16_t contextNum = 0;  // 0: keyword inactive, region transparent to keywords
  std::int16_t cursor = 0;      // system cursor number shown over the text
  std::int32_t backgnd = -1;    // 0x00BBGGRR, -1 none
  std::int32_t foregnd = -1;    // 0x00BBGGRR, -1 none

  bool matchCase() const { return (options & 0x01) != 0; }
  bool wholeWordsOnly() const { return (options & 0x02) != 0; }

  friend bool operator==(const KeywordInfo&, const KeywordInfo&) = default;
};

namespace KeywordOption {
inline constexpr std::uint8_t matchCase = 0x01;
inline constexpr std::uint8_t wholeWordsOnly = 0x02;
// Set when the keyword editor's cross-paragraphs box is unchecked; kept, never read by scans.
inline constexpr std::uint8_t noCrossParagraphs = 0x80;
}  // namespace KeywordOption

namespace KeywordStyle {
inline constexpr std::uint8_t bold = 0x01;
inline constexpr std::uint8_t italic = 0x02;
inline constexpr std::uint8_t underline = 0x04;
inline constexpr std::uint8_t strikeOut = 0x08;
inline constexpr std::uint8_t highlight = 0x10;
inline constexpr std::uint8_t altFont = 0x20;
}  // namespace KeywordStyle

}  // namespace quillon::editor

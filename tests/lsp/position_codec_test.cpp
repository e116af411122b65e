#include "lsp/position_codec.h"

#include <gtest/gtest.h>

namespace quillon::lsp {
namespace {

TEST(PositionCodecTest, NonAsciiLinesConvertExactly) {
  // "' Horsbøll Møller" with ø as UTF-8 (2 bytes), then a character beyond U+FFFF (4 bytes,
  // two UTF-16 units) and a Windows-1252 byte that is no UTF-8 (é as 0xE9, as read from disk).
  const std::string line = "' Horsb\xC3\xB8ll M\xC3\xB8ller \xF0\x9F\x97\xBA x\xE9y";
  struct Case {
    std::uint32_t bytes, utf16, utf8;
  };
  for (const Case& c :
       {Case{0, 0, 0}, Case{7, 7, 7}, Case{9, 8, 9}, Case{13, 12, 13}, Case{15, 13, 15},
        Case{20, 18, 20}, Case{25, 21, 25}, Case{26, 22, 26}, Case{27, 23, 28}, Case{28, 24, 29}}) {
    EXPECT_EQ(unitColumn(line, c.bytes, PositionEncoding::utf16), c.utf16) << c.bytes;
    EXPECT_EQ(byteColumn(line, c.utf16, PositionEncoding::utf16), c.bytes) << c.bytes;
    EXPECT_EQ(unitColumn(line, c.bytes, PositionEncoding::utf8), c.utf8) << c.bytes;
    EXPECT_EQ(byteColumn(line, c.utf8, PositionEncoding::utf8), c.bytes) << c.bytes;
  }
}

TEST(PositionCodecTest, ColumnsPastTheEndOrInsideACharacterStayOnABoundary) {
  const std::string line =
      "a\xF0\x9F\x97\xBA"
      "b";
  EXPECT_EQ(byteColumn(line, 2, PositionEncoding::utf16), 1u);  // between the two surrogates
  EXPECT_EQ(byteColumn(line, 3, PositionEncoding::utf8), 1u);
  EXPECT_EQ(byteColumn(line, 999, PositionEncoding::utf16), line.size());
  EXPECT_EQ(unitColumn(line, 999, PositionEncoding::utf16), 4u);
  EXPECT_EQ(unitColumn(line, 3, PositionEncoding::utf16), 1u);  // inside the character
}

TEST(PositionCodecTest, MalformedSequencesAreSingleBytes) {
  for (const std::string bad : {"\xC0\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE2\x82", "\x80"})
    EXPECT_EQ(utf8SequenceLength(bad), 0u) << bad.size();
  EXPECT_EQ(utf8SequenceLength("\xE2\x82\xAC"), 3u);
  // Windows-1252 becomes its characters; UTF-8 stays as it is.
  EXPECT_EQ(toUtf8("M\xF8ller \xC3\xB8 \x80"), "M\xC3\xB8ller \xC3\xB8 \xE2\x82\xAC");
}

}  // namespace
}  // namespace quillon::lsp

// The ASCII helpers leave every byte outside ASCII's letters, digits and blanks as it is:
// text is Windows-1252, and folding it is the editor's CaseFolder's business.
#include "platform/ascii_text.h"

#include <gtest/gtest.h>

namespace quillon::platform {
namespace {

TEST(AsciiText, OnlyTheTwentySixLettersChangeCase) {
  EXPECT_EQ(asciiLowered("Dim X@[`{\xC9\xE9"), "dim x@[`{\xC9\xE9");
  EXPECT_EQ(asciiUpper('\xE9'), '\xE9');
  EXPECT_TRUE(equalsNoCase("MRUList", "mrulist"));
  EXPECT_FALSE(equalsNoCase("\xC9", "\xE9"));
  EXPECT_FALSE(equalsNoCase("@", "`"));  // 0x40 and 0x60 are no pair of letters
  EXPECT_FALSE(equalsNoCase("ab", "abc"));
}

TEST(AsciiText, HexDigitsAndBlanks) {
  const std::string digits = "09afAFgG/:@`";
  const int values[] = {0, 9, 10, 15, 10, 15, -1, -1, -1, -1, -1, -1};
  for (std::size_t i = 0; i < digits.size(); ++i)
    EXPECT_EQ(hexDigitValue(digits[i]), values[i]) << digits[i];

  EXPECT_EQ(trim(" \t\x01 a b\r\n\x1a "), "a b");
  EXPECT_EQ(trim("\x7F"
                 "a\xA0"),
            "\x7F"
            "a\xA0")
      << "DEL and the no-break space are no blanks";
  EXPECT_EQ(trim("\r\n\t "), "");
  EXPECT_EQ(trimEnd(" a \t\r", isSpaceOrTab), " a \t\r");
  EXPECT_EQ(trimStart(" \ta ", isSpaceOrTab), "a ");
}

}  // namespace
}  // namespace quillon::platform

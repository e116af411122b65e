#include "platform/windows1252.h"

#include <gtest/gtest.h>

using namespace quillon::platform;

TEST(Windows1252, EveryByteSurvivesARoundTripAndOtherCharactersAreRefused) {
  std::string all;
  for (int i = 0; i < 256; ++i) all.push_back(static_cast<char>(i));
  EXPECT_EQ(utf16ToWindows1252(windows1252ToUtf16(all)), all);
  // The high block maps to its own characters; what Windows-1252 lacks becomes '?'.
  EXPECT_EQ(windows1252ToUtf16("\x80\x9F\xE9"), u"\u20AC\u0178\u00E9");
  EXPECT_EQ(utf16ToWindows1252(u"\u20AC\u0416x"), "\x80?x");
}

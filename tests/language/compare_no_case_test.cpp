#include "language/compare_no_case.h"

#include <gtest/gtest.h>

#include <string>

using quillon::language::compareNoCase;

TEST(CompareNoCase, Table) {
  struct Case {
    std::string a, b;
    int expected;
  };
  const Case cases[] = {
      {"", "", 0},
      {"abc", "ABC", 0},
      {"End If", "END IF", 0},
      {"END", "END IF", -1},     // a prefix sorts first
      {"END IF", "end", 1},
      {"abc", "abd", -1},
      {"B", "a", 1},             // letters compare as capitals
      {"a", "_", -1},            // 'A' (65) < '_' (95), though 'a' (97) is not
      {"[", "{", -1},            // not letters: no case swap
      {"\xe9", "\xc9", 1},       // accented letters are not folded
      {"x\x80", "X\x7f", 1},     // bytes compare unsigned
      {"Dim", "abc", 1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(compareNoCase(c.a, c.b), c.expected) << c.a << " vs " << c.b;
    EXPECT_EQ(compareNoCase(c.b, c.a), -c.expected) << c.b << " vs " << c.a;
  }
}

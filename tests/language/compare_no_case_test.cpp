#include "language/compare_no_case.h"

#include <gtest/gtest.h>
#include <string>

using quillon::language::compareNoCase;

TEST(CompareNoCase, Table) {
  const std::tuple<std::string, std::string, int> cases[] = {
      {"", "", 0},           {"abc", "ABC", 0}, {"End If", "END IF", 0}, {"END IF", "end", 1},
      {"abc", "abd", -1},    {"Dim", "abc", 1}, {"END", "END IF", -1},  // a prefix sorts first
      {"B", "a", 1},          // letters compare as capitals
      {"a", "_", -1},         // 'A' (65) < '_' (95), though 'a' (97) is not
      {"[", "{", -1},         // not letters: no case swap
      {"\xe9", "\xc9", 1},    // accented letters are not folded
      {"x\x80", "X\x7f", 1},  // bytes compare unsigned
  };
  for (const auto& [a, b, expected] : cases) {
    EXPECT_EQ(compareNoCase(a, b), expected) << a << " vs " << b;
    EXPECT_EQ(compareNoCase(b, a), -expected) << b << " vs " << a;
  }
}

#include "editor/case_fold.h"

#include <gtest/gtest.h>

using quillon::editor::CaseFolder;
using quillon::editor::UpperCaseType;

TEST(CaseFolder, AsciiLeavesAccentedLettersAlone) {
  EXPECT_EQ(CaseFolder::ascii().upper("dim x \xe9\xe0"), "DIM X \xe9\xe0");
}

TEST(CaseFolder, AnsiFoldsWindows1252Letters) {
  const auto& f = CaseFolder::ansi();
  EXPECT_EQ(f.upper("\xe9\xe0\xfe\x9a\x9c\x9e\xff"), "\xc9\xc0\xde\x8a\x8c\x8e\x9f");
  // Division sign, sharp s and micro sign have no capital of their own.
  EXPECT_EQ(f.upper("\xf7\xdf\xb5"), "\xf7\xdf\xb5");
}

TEST(CaseFolder, UserDefinedFallsBackToAscii) {
  EXPECT_EQ(&CaseFolder::forType(UpperCaseType::muUserDefined), &CaseFolder::ascii());
  std::array<unsigned char, 256> t{};
  for (int i = 0; i < 256; ++i) t[i] = static_cast<unsigned char>(i);
  t['x'] = 'Q';
  CaseFolder custom(t);
  EXPECT_EQ(CaseFolder::forType(UpperCaseType::muUserDefined, &custom).upper("xa"), "Qa");
}

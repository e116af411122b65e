#include "editor/case_fold.h"

#include <gtest/gtest.h>

using quillon::editor::CaseFolder;
using quillon::editor::UpperCaseType;

// ASCII folding and a user's own table are the keyword list's tests.
TEST(CaseFolder, AnsiFoldsWindows1252LettersAndAMissingUserTableMeansAscii) {
  const auto& f = CaseFolder::ansi();
  EXPECT_EQ(f.upper("\xe9\xe0\xfe\x9a\x9c\x9e\xff"), "\xc9\xc0\xde\x8a\x8c\x8e\x9f");
  // Division sign, sharp s and micro sign have no capital of their own.
  EXPECT_EQ(f.upper("\xf7\xdf\xb5"), "\xf7\xdf\xb5");
  EXPECT_EQ(&CaseFolder::forType(UpperCaseType::muUserDefined), &CaseFolder::ascii());
}

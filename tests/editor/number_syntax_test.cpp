#include "editor/number_syntax.h"

#include <gtest/gtest.h>

using quillon::editor::apply;
using quillon::editor::fromHighlighter;
using quillon::editor::NumberHighlighter;
using quillon::editor::NumberSyntax;

// The rest of the round trip is the Number Syntax dialog's business.
TEST(NumberSyntax, KeepsHighBytesAndTheColourOfASwitchedOffBackground) {
  NumberHighlighter numbers;
  // 27-31 and space read back from the highlighter; 0xA7 is a real Windows-1252 character.
  numbers.setSeparators("\x1B\x1F +-\xA7");
  numbers.setBackground(0x00FF00);
  NumberSyntax s = fromHighlighter(numbers);
  EXPECT_EQ(s.separators, "+-\xA7");
  s.backgroundOn = false;
  apply(s, numbers);
  EXPECT_EQ(numbers.background(), -1);
  s.backgroundOn = true;
  apply(s, numbers);
  EXPECT_EQ(numbers.background(), 0x00FF00);
}

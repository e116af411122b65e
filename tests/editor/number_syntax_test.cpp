#include "editor/number_syntax.h"

#include <gtest/gtest.h>

using quillon::editor::apply;
using quillon::editor::fromHighlighter;
using quillon::editor::NumberHighlighter;
using quillon::editor::NumberSyntax;

TEST(NumberSyntax, OpeningDropsBlanksAndControlCharactersButKeepsHighBytes) {
  NumberHighlighter numbers;
  // 27-31 and space read back from the highlighter; 0xA7 is a real Windows-1252 character.
  numbers.setSeparators("\x1B\x1F +-\xA7");
  numbers.setForeground(0x123456);
  numbers.setStyle(5);
  const NumberSyntax s = fromHighlighter(numbers);
  EXPECT_EQ(s.separators, "+-\xA7");
  EXPECT_EQ(s.foreground, 0x123456);
  EXPECT_EQ(s.style, 5);
  EXPECT_FALSE(s.backgroundOn);

  numbers.setBackground(0x00FFFF);
  EXPECT_TRUE(fromHighlighter(numbers).backgroundOn);
  EXPECT_EQ(fromHighlighter(numbers).background, 0x00FFFF);
}

TEST(NumberSyntax, ApplyAddsTabAndSpaceAndDropsOtherBlanks) {
  NumberHighlighter numbers;
  NumberSyntax s = fromHighlighter(numbers);
  s.separators = "( ) \x1E;";
  apply(s, numbers);
  EXPECT_EQ(numbers.separators(), " ();");
  EXPECT_TRUE(numbers.isSeparator('\t'));
  EXPECT_FALSE(numbers.isSeparator('+'));  // the old set is replaced, not extended
}

TEST(NumberSyntax, UncheckedBackgroundAppliesAsNone) {
  NumberHighlighter numbers;
  numbers.setBackground(0x00FF00);
  NumberSyntax s = fromHighlighter(numbers);
  s.backgroundOn = false;
  apply(s, numbers);
  EXPECT_EQ(numbers.background(), -1);

  // The colour is kept in the syntax, so switching back on restores it.
  s.backgroundOn = true;
  apply(s, numbers);
  EXPECT_EQ(numbers.background(), 0x00FF00);
}

#include "platform/box_text.h"

#include <gtest/gtest.h>
#include <string>

namespace quillon::platform {
namespace {

std::string lines(int count) {
  std::string text;
  for (int i = 1; i <= count; ++i) text += (i > 1 ? "\r\n" : "") + std::to_string(i);
  return text;
}

TEST(BoxTextTest, ShortTextsPassUnchangedButForTheirBreaks) {
  EXPECT_EQ(shortenForBox("Searched To End", false).shown, "Searched To End");
  const BoxText twenty = shortenForBox(lines(20), false);
  EXPECT_EQ(std::pair(twenty.shown.size(), twenty.shortened),
            std::pair(lines(20).size() - 19, false));
  EXPECT_EQ(shortenForBox("a\rb\r\n\nc", false).shown, "a\nb\n\nc");
}

TEST(BoxTextTest, LongLinesAndManyLinesAreCutInTheMiddle) {
  const std::string line = std::string(150, 'a') + std::string(150, 'z');
  const BoxText one =
      shortenForBox("Can Not Locate Source For:\n\n" + line + "\n\nSkipping....", false);
  EXPECT_TRUE(one.shortened);
  EXPECT_EQ(one.shown, "Can Not Locate Source For:\n\n" + std::string(100, 'a') + "\x85" +
                           std::string(99, 'z') + "\n\nSkipping....");

  const BoxText many = shortenForBox(lines(1000), false);
  EXPECT_EQ(many.shown,
            "1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n\x85\n992\n993\n994\n995\n996\n997\n998\n999\n1000");
  // Both at once: no line of the shortened text is longer than asked.
  std::string both;
  for (int i = 0; i < 50; ++i) both += std::string(5000, 'x') + "\n";
  const BoxText cut = shortenForBox(both, false, 20, 200);
  std::size_t count = 1, longest = 0, run = 0;
  for (char c : cut.shown) {
    if (c == '\n')
      ++count, run = 0;
    else
      longest = std::max(longest, ++run);
  }
  EXPECT_EQ(std::pair(count, longest), std::pair(std::size_t{20}, std::size_t{200}));
}

TEST(BoxTextTest, Utf8IsCutBetweenCharacters) {
  std::string line;
  for (int i = 0; i < 300; ++i) line += "\xC3\xA9";
  const BoxText box = shortenForBox(line, true);
  EXPECT_TRUE(box.shortened);
  const std::size_t mark = box.shown.find("\xE2\x80\xA6");
  ASSERT_NE(mark, std::string::npos);
  EXPECT_EQ(std::pair(mark % 2, (box.shown.size() - mark - 3) % 2),
            std::pair(std::size_t{0}, std::size_t{0}));
}

}  // namespace
}  // namespace quillon::platform

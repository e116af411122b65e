#include "tools/char_map.h"

#include <gtest/gtest.h>

#include "editor/code_memo.h"
#include "support/fake_clipboard.h"

namespace quillon::tools {
namespace {

class CharMapTest : public ::testing::Test {
protected:
  void pick(int code) { map.select(code % 16, code / 16); }
  void copy(std::string_view codes) {
    for (const char c : codes) {
      pick(static_cast<unsigned char>(c));
      map.copy();
    }
  }
  editor::CodeMemo memo;
  testing::FakeClipboard clipboard;
  CharMap map{memo, clipboard};
};

TEST_F(CharMapTest, CodeLinesAndNames) {
  EXPECT_EQ(map.codeLine(), " ALT+0000 [&&H00] [NUL]");
  const std::pair<int, const char*> lines[] = {
      {9, " Alt+0009 [&&H09] [TAB]"},    {13, " Alt+0013 [&&H0D] [CR ]"},
      {32, " Alt+0032 [&&H20] [ ]"},     {38, " Alt+0038 [&&H26] [&&]"},
      {65, " Alt+0065 [&&H41] [A]"},     {127, " Alt+0127 [&&H7F] [DEL]"},
      {255, " Alt+0255 [&&HFF] [\xff]"},
  };
  for (const auto& [code, line] : lines) {
    pick(code);
    EXPECT_EQ(map.codeLine(), line) << code;
  }
  // The names line up with the codes, from the first byte to the last: one missing shifts the last.
  for (const auto& [code, name] : {std::pair<int, const char*>{0, "NULL"},
                                   {0x81, "UNASSIGNED IN WINDOWS-1252"},
                                   {0xFF, "LATIN SMALL LETTER Y WITH DIAERESIS"}})
    EXPECT_EQ(CharMap::kCharacterNames[static_cast<std::size_t>(code)], name);
}

TEST_F(CharMapTest, EnlargedBoxStaysOnTheGrid) {
  using Box = std::tuple<std::string, int, int, int>;  // caption, width, left, top
  auto box = [&](int code) {
    pick(code);
    const CharMap::Box b = map.box(16, 16, 272, 272);
    return Box(b.caption, b.width, b.left, b.top);
  };
  EXPECT_EQ(box(9), Box("TAB", 48, 17 * 9 + 8 - 24, 1));  // would start above the grid
  EXPECT_EQ(std::get<0>(box(32)), "SPC");
  EXPECT_EQ(box(255), Box("\xff", 24, 272 - 24 - 4, 272 - 32 - 4));
}

TEST_F(CharMapTest, CopyCollectsAndCloseStartsAgain) {
  copy("ab");
  map.close();
  EXPECT_EQ(clipboard.content->text, "ab");  // the clipboard keeps its text
  copy("c");
  EXPECT_EQ(clipboard.content->text, "c");
  copy("\n");  // control codes are not collected
  EXPECT_EQ(map.collected(), "c");

  map.clearCopy();
  EXPECT_EQ(clipboard.content->text, "");
  // Clear Copy leaves alone what another program put there since.
  copy("d");
  clipboard.writeText("someone else's", false);
  map.clearCopy();
  EXPECT_EQ(std::tuple(clipboard.content->text, map.collected()), std::tuple("someone else's", ""));
}

TEST_F(CharMapTest, InsertReplacesTheSelectionAsOneStep) {
  memo.setText("a b");
  memo.select(1, 1);
  pick(0xE9);
  map.insert();
  EXPECT_EQ(memo.text(),
            "a\xe9"
            "b");
  pick(127);
  map.insert();
  EXPECT_EQ(memo.text(),
            "a\xe9"
            "b");
  memo.undo();
  EXPECT_EQ(memo.text(), "a b");
}

}  // namespace
}  // namespace quillon::tools

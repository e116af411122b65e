#include "editor/start_stop_key_list.h"

#include <gtest/gtest.h>

#include "editor/memo_error.h"

using quillon::editor::KeywordInfo;
using quillon::editor::MemoError;
using quillon::editor::StartStopKeyList;
using quillon::editor::UpperCaseType;

namespace {

KeywordInfo info(std::uint8_t options) {
  KeywordInfo i;
  i.options = options;
  i.contextNum = 1;
  return i;
}

}  // namespace

TEST(StartStopKeyList, AddDerivesSearchTextsLengthsAndSameStart) {
  StartStopKeyList list;
  EXPECT_THROW(list.item(0), MemoError);
  EXPECT_EQ(list.add("rem", "", true, info(2)), 0);
  EXPECT_EQ(list.maxStopLength(), 2u);  // a key that ends with the paragraph needs room for the break
  EXPECT_EQ(list.add("/*", "*/", false, info(0)), 1);
  EXPECT_EQ(list.add("REM", "end", false, info(2)), 2);  // same start once folded
  EXPECT_EQ(list.add("rem", "x", false, info(3)), 3);    // other options: a different start
  EXPECT_EQ(list.add("Rem", "y", false, info(2)), 4);

  const auto& first = list.item(0);
  EXPECT_EQ(first.startKey, "rem");
  EXPECT_EQ(first.startSearch, "REM");
  EXPECT_EQ(first.stopLength, 0u);
  EXPECT_EQ(list.item(2).stopSearch, "END");
  EXPECT_EQ(list.item(3).startSearch, "rem");  // match case keeps the text

  std::vector<int> sameStart;
  for (int i = 0; i < 5; ++i) sameStart.push_back(list.item(i).sameStart);
  EXPECT_EQ(sameStart, (std::vector<int>{-1, -1, 0, -1, 2}));  // the nearest earlier one, so regions chain

  EXPECT_EQ(list.maxStartLength(), 3u);
  EXPECT_EQ(list.maxStopLength(), 3u);
  EXPECT_THROW(list.item(-1), MemoError);
  EXPECT_THROW(list.item(5), MemoError);
  EXPECT_THROW(list.remove(5), MemoError);
}

TEST(StartStopKeyList, UpperCaseTypeRederivesFromTheGivenTexts) {
  StartStopKeyList list;
  list.add("\xe0", "\xe8", false, info(0));
  list.add("\xe0", "\xe8", false, info(1));
  EXPECT_EQ(list.item(0).startSearch, "\xe0");
  list.setUpperCaseType(UpperCaseType::muAnsi);
  EXPECT_EQ(list.item(0).startSearch, "\xc0");
  EXPECT_EQ(list.item(0).stopSearch, "\xc8");
  EXPECT_EQ(list.item(0).startKey, "\xe0");
  EXPECT_EQ(list.item(1).startSearch, "\xe0");
  list.setUpperCaseType(UpperCaseType::muAscii);
  EXPECT_EQ(list.item(0).startSearch, "\xe0");
}

TEST(StartStopKeyList, PrepareSetsBoundaryFlagsOnlyForWholeWordsAtNonSeparators) {
  StartStopKeyList list;
  list.add("rem", "", true, info(2));      // whole words, empty stop
  list.add("(*", "end)", false, info(2));  // '(' and ')' are separators here
  list.add("rem", "end", false, info(0));  // not whole words
  EXPECT_FALSE(list.prepared());
  list.prepare(std::string_view("\t ()"));
  EXPECT_TRUE(list.prepared());

  const auto& a = list.item(0);
  EXPECT_TRUE(a.startSepBefore && a.startSepAfter);
  EXPECT_FALSE(a.stopSepBefore || a.stopSepAfter);
  const auto& b = list.item(1);
  EXPECT_FALSE(b.startSepBefore);
  EXPECT_TRUE(b.startSepAfter);
  EXPECT_TRUE(b.stopSepBefore);
  EXPECT_FALSE(b.stopSepAfter);
  const auto& c = list.item(2);
  EXPECT_FALSE(c.startSepBefore || c.startSepAfter || c.stopSepBefore || c.stopSepAfter);

  int calls = 0;
  list.subscribe([&] { ++calls; });
  list.add("x", "y", false, info(0));
  EXPECT_FALSE(list.prepared());
  EXPECT_EQ(calls, 1);
}

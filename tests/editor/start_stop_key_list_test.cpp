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

// Each key's start and stop as searched for, and the nearest earlier key with the same start.
std::vector<std::string> searches(const StartStopKeyList& list) {
  std::vector<std::string> out;
  for (int i = 0; i < list.count(); ++i)
    out.push_back(list.item(i).startSearch + " " + list.item(i).stopSearch + " " +
                  std::to_string(list.item(i).sameStart));
  return out;
}

}  // namespace

TEST(StartStopKeyList, AddDerivesSearchTextsLengthsAndSameStart) {
  StartStopKeyList list;
  EXPECT_THROW(list.item(0), MemoError);
  EXPECT_EQ(list.add("rem", "", true, info(2)), 0);
  EXPECT_EQ(list.maxStopLength(),
            2u);  // a key that ends with the paragraph needs room for the break
  EXPECT_EQ(list.add("/*", "*/", false, info(0)), 1);
  EXPECT_EQ(list.add("REM", "end", false, info(2)), 2);  // same start once folded
  EXPECT_EQ(list.add("rem", "x", false, info(3)), 3);    // other options: a different start
  EXPECT_EQ(list.add("Rem", "y", false, info(2)), 4);

  EXPECT_EQ(std::tuple(list.item(0).startKey, list.item(0).stopLength), std::tuple("rem", 0u));
  // Match case keeps the texts; the nearest earlier same start chains the regions.
  EXPECT_EQ(searches(list),
            (std::vector<std::string>{"REM  -1", "/* */ -1", "REM END 0", "rem x -1", "REM Y 2"}));
  EXPECT_EQ(std::pair(list.maxStartLength(), list.maxStopLength()),
            (std::pair<std::size_t, std::size_t>(3, 3)));
  EXPECT_THROW(list.item(-1), MemoError);
  EXPECT_THROW(list.item(5), MemoError);
  EXPECT_THROW(list.remove(5), MemoError);
}

TEST(StartStopKeyList, UpperCaseTypeRederivesFromTheGivenTexts) {
  StartStopKeyList list;
  list.add("\xe0", "\xe8", false, info(0));
  list.add("\xe0", "\xe8", false, info(1));
  list.setUpperCaseType(UpperCaseType::muAnsi);
  EXPECT_EQ(searches(list), (std::vector<std::string>{"\xc0 \xc8 -1", "\xe0 \xe8 -1"}));
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

  using Flags = std::vector<bool>;  // before and after the start key, before and after the stop key
  auto flags = [&](int i) {
    const auto& k = list.item(i);
    return Flags{k.startSepBefore, k.startSepAfter, k.stopSepBefore, k.stopSepAfter};
  };
  EXPECT_EQ(
      (std::vector{flags(0), flags(1), flags(2)}),
      (std::vector<Flags>{
          {true, true, false, false}, {false, true, true, false}, {false, false, false, false}}));

  int calls = 0;
  list.subscribe([&] { ++calls; });
  list.add("x", "y", false, info(0));
  EXPECT_EQ(std::pair(list.prepared(), calls), std::pair(false, 1));
}

#include "editor/keyword_list.h"

#include <gtest/gtest.h>

#include "editor/memo_error.h"

using namespace quillon::editor;

namespace {

KeywordInfo info(std::uint8_t options, std::int16_t context = 1) {
  KeywordInfo i;
  i.options = options;
  i.contextNum = context;
  return i;
}

std::vector<std::string> searchTexts(const KeywordList& list) {
  std::vector<std::string> texts;
  for (int i = 0; i < list.count(); ++i) texts.push_back(list.searchText(i));
  return texts;
}

// The search texts, the longest keyword's length and whether any keyword ignores case.
using Derived = std::tuple<std::vector<std::string>, std::size_t, bool>;
Derived derived(const KeywordList& list) {
  return {searchTexts(list), list.maxLength(), list.anyIgnoresCase()};
}

}  // namespace

TEST(KeywordList, DerivedDataFollowsEveryChange) {
  KeywordList list;
  list.add("dim", info(2));
  list.add("MixedCase", info(1));  // match case: kept as given
  list.add("Global", info(3));
  EXPECT_EQ(derived(list), Derived({"DIM", "MixedCase", "Global"}, 9, true));
  list.remove(0);
  EXPECT_EQ(derived(list), Derived({"MixedCase", "Global"}, 9, false));
  list.remove(0);
  EXPECT_EQ(derived(list), Derived({"Global"}, 6, false));
  list.setInfo(0, info(2));
  EXPECT_EQ(derived(list), Derived({"GLOBAL"}, 6, true));
  list.insert(0, "x", info(2));
  EXPECT_EQ(derived(list), Derived({"X", "GLOBAL"}, 6, true));
  list.clear();
  EXPECT_EQ(derived(list), Derived({}, 0, false));
}

TEST(KeywordList, UpperCaseTypeDecidesHowAccentsFold) {
  KeywordList list;
  list.add("caf\xe9", info(2));
  list.add("\xe9t\xe9", info(1));  // match case never folds
  EXPECT_EQ(list.searchText(0), "CAF\xe9");
  list.setUpperCaseType(UpperCaseType::muAnsi);
  EXPECT_EQ(searchTexts(list), (std::vector<std::string>{"CAF\xc9", "\xe9t\xe9"}));

  std::array<unsigned char, 256> t{};
  for (int i = 0; i < 256; ++i) t[i] = static_cast<unsigned char>(i);
  t['c'] = 'K';
  const CaseFolder custom(t);
  list.setUpperCaseType(UpperCaseType::muUserDefined, &custom);
  // Words added later fold the same way.
  list.add("cc", info(0));
  EXPECT_EQ(searchTexts(list), (std::vector<std::string>{"Kaf\xe9", "\xe9t\xe9", "KK"}));
}

TEST(KeywordList, ItemAccessOutsideTheListThrows) {
  KeywordList list;
  list.add("a", info(0));
  for (int bad : {-1, 1}) {
    EXPECT_THROW(list.text(bad), MemoError);
    EXPECT_THROW(list.info(bad), MemoError);
    EXPECT_THROW(list.remove(bad), MemoError);
    EXPECT_THROW(list.setInfo(bad, info(0)), MemoError);
  }
  EXPECT_THROW(list.insert(2, "b", info(0)), MemoError);
  EXPECT_THROW(list.searchText(5), MemoError);
  EXPECT_EQ(list.count(), 1);
}

TEST(KeywordList, ScanIndexHoldsActiveKeywordsInListOrder) {
  KeywordList list;
  list.add("End If", info(2));
  list.add("inactive", info(2, 0));  // ContextNum 0 is never searched
  list.add("", info(2));             // nor is an empty text
  list.add("End", info(2));
  EXPECT_EQ(list.activeIndices(), (std::vector<int>{0, 3}));
  list.remove(0);
  EXPECT_EQ(list.activeIndices(), (std::vector<int>{2}));
}

TEST(KeywordList, NotifiesOnChangeAndCoalescesBatches) {
  KeywordList list;
  int calls = 0;
  const int id = list.subscribe([&] { ++calls; });
  list.add("a", info(0));
  list.setUpperCaseType(UpperCaseType::muAnsi);
  EXPECT_EQ(calls, 2);

  list.beginUpdate();
  list.clear();
  for (int i = 0; i < 5; ++i) list.add("k", info(0));
  EXPECT_EQ(calls, 2);
  list.endUpdate();
  EXPECT_EQ(calls, 3);

  list.unsubscribe(id);
  list.add("b", info(0));
  EXPECT_EQ(calls, 3);
}

TEST(KeywordList, AssignCopiesEntriesButKeepsOwnFolding) {
  KeywordList source;
  source.add("\xe9t\xe9", info(2));
  KeywordList target;
  target.setUpperCaseType(UpperCaseType::muAnsi);
  int calls = 0;
  target.subscribe([&] { ++calls; });
  target.assign(source);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(target.searchText(0), "\xc9T\xc9");
  source.setInfo(0, info(1));  // a deep copy: the target keeps its own record
  EXPECT_EQ(target.info(0).options, 2);

  const KeywordList copy(target);
  EXPECT_EQ(copy.upperCaseType(), UpperCaseType::muAnsi);
  EXPECT_EQ(copy.searchText(0), "\xc9T\xc9");
}

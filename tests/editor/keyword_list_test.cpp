#include "editor/keyword_list.h"

#include <gtest/gtest.h>

#include "editor/case_fold.h"
#include "editor/memo_error.h"
#include "editor/start_stop_key_list.h"
#include "editor/windows1252.h"

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
Derived derived(const KeywordList& list) { return {searchTexts(list), list.maxLength(), list.anyIgnoresCase()}; }

// Each key's start and stop as searched for, and the nearest earlier key with the same start.
std::vector<std::string> searches(const StartStopKeyList& list) {
  std::vector<std::string> out;
  for (int i = 0; i < list.count(); ++i)
    out.push_back(list.item(i).startSearch + " " + list.item(i).stopSearch + " " + std::to_string(list.item(i).sameStart));
  return out;
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

TEST(CaseFolder, AnsiFoldsWindows1252LettersAndAMissingUserTableMeansAscii) {
  const auto& f = CaseFolder::ansi();
  EXPECT_EQ(f.upper("\xe9\xe0\xfe\x9a\x9c\x9e\xff"), "\xc9\xc0\xde\x8a\x8c\x8e\x9f");
  // Division sign, sharp s and micro sign have no capital of their own.
  EXPECT_EQ(f.upper("\xf7\xdf\xb5"), "\xf7\xdf\xb5");
  EXPECT_EQ(&CaseFolder::forType(UpperCaseType::muUserDefined), &CaseFolder::ascii());
}

TEST(Windows1252, EveryByteSurvivesARoundTripAndOtherCharactersAreRefused) {
  std::string all;
  for (int i = 0; i < 256; ++i) all.push_back(static_cast<char>(i));
  EXPECT_EQ(utf16ToWindows1252(windows1252ToUtf16(all)), all);
  // The high block maps to its own characters; what Windows-1252 lacks becomes '?'.
  EXPECT_EQ(windows1252ToUtf16("\x80\x9F\xE9"), u"\u20AC\u0178\u00E9");
  EXPECT_EQ(utf16ToWindows1252(u"\u20AC\u0416x"), "\x80?x");
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

  list.beginUpdate();
  list.endUpdate();  // nothing changed, nothing to say
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

TEST(StartStopKeyList, AddDerivesSearchTextsLengthsAndSameStart) {
  StartStopKeyList list;
  EXPECT_THROW(list.item(0), MemoError);
  EXPECT_EQ(list.add("rem", "", true, info(2)), 0);
  EXPECT_EQ(list.maxStopLength(), 2u);  // a key that ends with the paragraph needs room for the break
  EXPECT_EQ(list.add("/*", "*/", false, info(0)), 1);
  EXPECT_EQ(list.add("REM", "end", false, info(2)), 2);  // same start once folded
  EXPECT_EQ(list.add("rem", "x", false, info(3)), 3);    // other options: a different start
  EXPECT_EQ(list.add("Rem", "y", false, info(2)), 4);

  EXPECT_EQ(std::tuple(list.item(0).startKey, list.item(0).stopLength), std::tuple("rem", 0u));
  // Match case keeps the texts; the nearest earlier same start chains the regions.
  EXPECT_EQ(searches(list), (std::vector<std::string>{"REM  -1", "/* */ -1", "REM END 0", "rem x -1", "REM Y 2"}));
  EXPECT_EQ(std::pair(list.maxStartLength(), list.maxStopLength()), (std::pair<std::size_t, std::size_t>(3, 3)));
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
  EXPECT_EQ(list.item(0).startKey, "\xe0");
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
  EXPECT_EQ(flags(0), (Flags{true, true, false, false}));
  EXPECT_EQ(flags(1), (Flags{false, true, true, false}));
  EXPECT_EQ(flags(2), (Flags{false, false, false, false}));

  int calls = 0;
  list.subscribe([&] { ++calls; });
  list.add("x", "y", false, info(0));
  EXPECT_FALSE(list.prepared());
  EXPECT_EQ(calls, 1);
}

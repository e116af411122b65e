#include "language/word_classifier.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

#include "editor/case_fold.h"
#include "language/word_list_files.h"

namespace quillon::language {
namespace {

using Words = std::vector<std::string>;

Words words(std::string_view line, std::size_t count = 10) {
  Words out;
  for (std::string_view w : WordClassifier::lastWords(line, count)) out.emplace_back(w);
  return out;
}

TEST(WordClassifier, LinesSplitAtDelimitersOutsideQuotes) {
  EXPECT_EQ(words("x = (a+b)"), (Words{"x", "=", "a", "b"}));
  EXPECT_EQ(words("Print \"a b\""), (Words{"Print", "\"a b\""}));
  EXPECT_EQ(words("\tNote \"a, b\" + x(1)\\y/z*w-v.u,"),
            (Words{"Note", "\"a, b\"", "x", "1", "y", "z", "w", "v", "u"}));
  // An open quote runs to the end of the line.
  EXPECT_EQ(words("Note \"abc def"), (Words{"Note", "\"abc def"}));
  EXPECT_EQ(words("a b c d e", 3), (Words{"c", "d", "e"}));
  EXPECT_TRUE(words(" ( , ) ").empty());
}

// The classification done the slow way: every entry of every list against every phrase, one
// sort, then passes until nothing moves.
Words literalClassify(const WordLists& lists, std::string_view line, std::string_view currentWord) {
  const editor::CaseFolder& fold = editor::CaseFolder::ansi();
  // The split itself is the test above's.
  const std::vector<std::string_view> split = WordClassifier::lastWords(line, 3);
  std::string w[3];
  const std::size_t n = split.size();
  if (n >= 1) w[0] = split[n - 1];
  if (n >= 2) w[1] = std::string(split[n - 2]) + " " + w[0];
  if (n >= 3) w[2] = std::string(split[n - 3]) + " " + w[1];

  Words stored;
  for (WordList list : kWordLists)
    for (const std::string& e : lists.list(list))
      for (const std::string& phrase : w)
        if (!phrase.empty() && fold.upper(e).starts_with(fold.upper(phrase)))
          stored.push_back(e + std::string(classTag(list)));
  std::stable_sort(stored.begin(), stored.end(), [&](const std::string& a, const std::string& b) {
    return fold.upper(a) < fold.upper(b);
  });
  auto key = [&](std::size_t i) { return fold.upper(stored[i].substr(0, stored[i].size() - 3)); };
  for (bool moved = true; moved;) {
    moved = false;
    for (std::size_t i = stored.size(); i-- > 1;) {
      std::string a = key(i), b = key(i - 1);
      if (a.size() < b.size() && b.starts_with(a)) {
        for (std::size_t j = i; j >= 1; --j) {
          a = key(j);
          b = key(j - 1);
          if (a.size() > b.size()) break;
          if (b.starts_with(a)) {
            std::swap(stored[j], stored[j - 1]);
            moved = true;
          }
        }
      }
    }
  }
  Words items;
  for (const std::string& s : stored)
    items.push_back(s.substr(s.size() - 3) + " " + s.substr(0, s.size() - 3));
  if (items.empty() && !std::string(currentWord).empty())
    items = {" ?  " + std::string(currentWord), "    *** IGNORE FOR NOW",
             "    *** ADD TO DICTIONARY"};
  return items;
}

class ClassifyTest : public ::testing::Test {
protected:
  Words classify(std::string_view line, std::string_view word = {}) {
    return classifier.classify(line, word).items;
  }
  WordLists lists;
  WordClassifier classifier{lists};
};

TEST_F(ClassifyTest, AKeywordComesBeforeItsHelpLine) {
  lists.assign(WordList::Key, {"Dim", "Do"});
  lists.assign(WordList::Help, {"Dim var_name As var_type", "Do"});
  const WordClassifier::Result r = classifier.classify("    di", "di");
  EXPECT_EQ(r.items, (Words{"KEY Dim", "HLP Dim var_name As var_type"}));
  EXPECT_EQ(r.extent, 216);
  // A second list's row for the keyword pushes the help line off the second row.
  lists.add(WordList::Dict, "DIM");
  EXPECT_EQ(classify("di")[1], "DIC DIM");
}

TEST_F(ClassifyTest, AWordThatMatchesNothingOffersTheFixedRowsUntilIgnored) {
  lists.assign(WordList::Key, {"Dim"});
  EXPECT_EQ(classify("x = zzq", "zzq"),
            (Words{" ?  zzq", "    *** IGNORE FOR NOW", "    *** ADD TO DICTIONARY"}));
  EXPECT_EQ(classifier.classify("x = zzq", "zzq").extent, -1);
  lists.add(WordList::User, "zzq");
  EXPECT_EQ(classify("x = zzq", "zzq"), Words{"USR zzq"});
  // No word at the caret, or one too long to offer, gives nothing.
  EXPECT_TRUE(classify("x = yyq", "").empty());
  EXPECT_TRUE(classify("x = yyq", std::string(WordClassifier::kMaxWordLength + 1, 'y')).empty());
}

// Ties, prefixes, phrases, cases and Windows-1252 letters included.
TEST_F(ClassifyTest, GivesTheOrderOfTheWordByWordWay) {
  std::mt19937 random(1234);
  const std::string letters = "aAbB \xE9\xC9";
  auto text = [&](int longest) {
    std::string t;
    for (int n = std::uniform_int_distribution<int>(1, longest)(random); n > 0; --n)
      t += letters[std::uniform_int_distribution<std::size_t>(0, letters.size() - 1)(random)];
    return t;
  };
  for (int round = 0; round < 200; ++round) {
    for (WordList list : kWordLists) {
      Words entries;
      for (int i = std::uniform_int_distribution<int>(0, 12)(random); i > 0; --i)
        entries.push_back(text(5));
      lists.assign(list, entries);
    }
    const std::string line = text(3) + " " + text(3) + "(" + text(2);
    ASSERT_EQ(classify(line, "w"), literalClassify(lists, line, "w"))
        << "line '" << line << "' round " << round;
  }
}

}  // namespace
}  // namespace quillon::language

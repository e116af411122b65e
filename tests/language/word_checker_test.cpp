#include "language/word_checker.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace quillon::language {
namespace {

using Words = std::vector<std::string>;

class WordCheckerTest : public ::testing::Test {
protected:
  WordCheckerTest() {
    lists.assign(WordList::Key, {"Dim", "End Sub", "End", "Print"});
    lists.assign(WordList::Def, {"Name"});
    lists.assign(WordList::Dict, {"alpha"});
    lists.add(WordList::User, "Ignored");
    lists.assign(WordList::Help, {"Helpword"});
  }
  Words run(std::vector<std::string> texts, bool showKeyWords, bool includeStrings) {
    checker.start({showKeyWords, includeStrings});
    for (const std::string& t : texts) checker.check(t);
    return checker.words();
  }

  WordLists lists;
  WordChecker checker{lists};
};

TEST_F(WordCheckerTest, ListsTheUnknownWordsOfALine) {
  // What, the line, show keywords, include strings, and the words listed.
  const std::tuple<const char*, const char*, bool, bool, Words> cases[] = {
      {"pieces of code",
       "Print \"Total:\" + Str$(n) ' the sum",
       true,
       false,
       {"n", "Print", "Str$"}},
      {"string words too",
       "Print \"Total:\" + Str$(n) ' the sum",
       true,
       true,
       {"n", "Print", "Str$", "Total"}},
      {"unclosed string", "x = \"abc", true, false, {"x"}},
      {"digit first or no letter", "1st 2 99bottles _tmp A$ $ __ _1", true, false, {"A$", "_tmp"}},
      {"first spelling kept", "Foo FOO foo", true, false, {"Foo"}},
      {"comments only", "' one\r\n  'two\r\n", true, true, {}},
      {"known words removed", "Dim DIM Dimension", false, false, {"Dimension"}},
      {"help contexts are no known words", "Helpword", false, false, {"Helpword"}},
      {"every list but help", "ALPHA ignored name Zed", false, false, {"Zed"}},
      {"phrase of adjacent words", "End Sub EndSub end  sub", false, false, {"EndSub"}},
      {"phrase across a string", "End \"x\" Sub", false, false, {}},
      {"phrase only on one line", "x End\r\nSub y", false, false, {"Sub", "x", "y"}},
      {"bytes above 127 are blanks", "caf\xe9 na\xefve", true, false, {"caf", "na", "ve"}},
      {"sorted without case", "b _x A c", true, false, {"A", "b", "c", "_x"}},
      // Mended: an apostrophe inside a string starts no comment; with Name known, Name$ is a
      // word of its own, and no lone "$" is listed.
      {"apostrophe in a string", "Print \"It's \" + sName", false, false, {"sName"}},
      {"apostrophe in a listed string",
       "Print \"It's \" + sName",
       false,
       true,
       {"It", "s", "sName"}},
      {"a dollar sign ends a word", "Name$ Name", false, false, {"Name$"}},
      {"a lone dollar sign", "Name $", false, false, {}},
  };
  for (const auto& [what, text, keyWords, strings, expected] : cases)
    EXPECT_EQ(run({text}, keyWords, strings), expected) << what;
}

TEST_F(WordCheckerTest, MergesTextsAndFollowsTheLists) {
  EXPECT_EQ(run({"beta Gamma", "", "gamma delta\r\nBETA"}, false, false),
            Words({"beta", "delta", "Gamma"}));
  lists.add(WordList::User, "beta");
  EXPECT_EQ(run({"beta Gamma"}, false, false), Words{"Gamma"});
  lists.assign(WordList::Key, {"Gamma Ray", "gamma"});
  EXPECT_EQ(run({"Gamma ray zeta"}, false, false), Words{"zeta"});
  // An entry with anything but words and single blanks never matches.
  lists.assign(WordList::Dict, {"zeta(", "two  blanks", "two"});
  EXPECT_EQ(run({"zeta two blanks"}, false, false), Words({"blanks", "zeta"}));
}

}  // namespace
}  // namespace quillon::language

#include "language/word_list_files.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace quillon::language {
namespace {

using Words = std::vector<std::string>;

TEST(WordListFiles, ReadersSkipCommentsAndSortWithoutCase) {
  const std::string dic = "Alpha\r\n'5.0 additions\r\nBeta\r\n  gamma  \r\n'note\r\n\r\n";
  const std::string defs =
      "Define A 1\r\nDefine  B   2\r\nDefine C\r\n  ' Define D 4\r\n"
      "Define\tTABBED\t5\r\n\tDefine E\t 6\r\nGlobal X 1\r\nDefine F \"a b\"\r\n";
  const std::tuple<const char*, Words, Words> rows[] = {
      // what, read, expected
      {"a dictionary stops at its version marker", readDictionary(dic, "5.0"), {"Alpha"}},
      {"an older version reads on", readDictionary(dic, "4.5"), {"Alpha", "Beta", "gamma"}},
      // CR LF, LF, CR and LF CR; a doubled break is an empty line, not a joined one.
      {"every break ends a line",
       readDictionary("delta\r\nalpha\nbeta\rgamma\n\repsilon\n\nzeta", "6.0"),
       {"alpha", "beta", "delta", "epsilon", "gamma", "zeta"}},
      {"help lines too", readHelpContexts("b x\rc y\n\ra z"), {"c y", "b x", "a z"}},
      {"cut inside the last break", readDictionary("a\r\nb\r", "6.0"), {"a", "b"}},
      {"cut inside a definition", readDefinitions("Define A 1\r\nDefine B", "6.0"), {"A"}},
      // É (0xC9) and é (0xE9) fold together and after every ASCII letter; "abc" and "ABC" tie.
      {"Windows-1252, ties kept in order",
       readDictionary("\xE9t\xE9\nzed\nabc\nABC\nAb\n", "6.0"),
       {"Ab", "abc", "ABC", "zed", "\xE9t\xE9"}},
      {"definitions take the second word when a value follows",
       readDefinitions(defs, "6.0"),
       {"A", "B", "E", "F", "TABBED", "X"}},
      {"definitions stop at the marker",
       readDefinitions("Define A 1\n'6.0\nDefine B 2\n", "6.0"),
       {"A"}},
      {"help lines drop comments only at their first byte and sort descending",
       readHelpContexts("; x\r\n' y\r\n   ; z\r\nDim x As Integer\r\n   \r\nDim\r\nabc\r\n"),
       {"Dim x As Integer", "Dim", "abc", "   ; z"}},
  };
  for (const auto& [what, read, expected] : rows) EXPECT_EQ(read, expected) << what;
  EXPECT_TRUE(sameWord("\xC9T\xC9", "\xE9t\xE9"));
}

TEST(WordListFiles, BinaryAndHugeLinesAreOrdinaryBytes) {
  const std::string nul("a\0b\nc", 5);
  EXPECT_EQ(readDictionary(nul, "6.0"), (Words{std::string("a\0b", 3), "c"}));
  const std::string megabyte(1 << 20, 'w');
  EXPECT_EQ(readDictionary(megabyte + "\n" + megabyte, "6.0").size(), 2u);
  EXPECT_TRUE(readDefinitions(megabyte, "6.0").empty());
  std::string many;
  for (int i = 0; i < 100000; ++i)
    many += "Define N" + std::to_string(99999 - i) + " " + std::to_string(i) + "\n";
  const Words names = readDefinitions(many, "6.0");
  ASSERT_EQ(names.size(), 100000u);
  EXPECT_TRUE(
      std::is_sorted(names.begin(), names.end(), [](auto& a, auto& b) { return wordLess(a, b); }));
}

TEST(WordListFiles, MergeKeepsCommentsAndEverythingAfterTheFirstRunOfWords) {
  const std::tuple<const char*, std::string, Words, std::string> cases[] = {
      // what, the file, added, merged
      {"no file", "", {"beta", "Alpha"}, "Alpha\r\nbeta\r\n"},
      {"no comments: sorted, trimmed, no empty lines",
       "zeta\n\n  eta \nbeta",
       {"Alpha"},
       "Alpha\r\nbeta\r\neta\r\nzeta\r\n"},
      {"leading comments stay first, byte for byte",
       "' mine\n\n' too\nzeta\n",
       {"alpha"},
       "' mine\n\n' too\nalpha\r\nzeta\r\n"},
      {"a comment without a break", "' only", {"alpha"}, "' only\r\nalpha\r\n"},
      {"later sections stay as they are",
       "b\r\na\r\n' roads\nRoad  \n'6.0\nNew6\n",
       {"c"},
       "a\r\nb\r\nc\r\n' roads\nRoad  \n'6.0\nNew6\n"},
      {"words go before a marker that opens the file",
       "'6.0\nlater\n",
       {"now"},
       "now\r\n'6.0\nlater\n"},
      {"a word held in any case is not added again",
       "' c\nALPHA\n' s\nBeta\n",
       {"alpha", "beta", " gamma "},
       "' c\nALPHA\r\ngamma\r\n' s\nBeta\n"},
      {"a word after the marker counts as missing", "a\n'6.0\nb\n", {"b"}, "a\r\nb\r\n'6.0\nb\n"},
  };
  for (const auto& [what, now, added, merged] : cases)
    EXPECT_EQ(mergeDictionary(now, added, "6.0"), merged) << what;
}

}  // namespace
}  // namespace quillon::language

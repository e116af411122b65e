#include <gtest/gtest.h>

#include <random>
#include <string>

#include "editor/code_memo.h"

namespace quillon::editor {
namespace {

// The first match at or after `from` the slow way, within one paragraph.
std::size_t naiveFind(const std::string& text, const std::string& pattern, std::size_t from, bool matchCase,
                      bool wholeWord, const CharSet& separators) {
  const CaseFolder& f = CaseFolder::ascii();
  for (std::size_t i = from; i + pattern.size() <= text.size(); ++i) {
    bool same = true;
    for (std::size_t k = 0; k < pattern.size() && same; ++k)
      same = matchCase ? text[i + k] == pattern[k] : f.fold(text[i + k]) == f.fold(pattern[k]);
    if (!same) continue;
    const std::size_t e = i + pattern.size();
    if (wholeWord && !((i == 0 || separators.contains(text[i - 1])) && (e >= text.size() || separators.contains(text[e]))))
      continue;
    return i;
  }
  return std::string::npos;
}

// Self-overlapping patterns over a tiny alphabet are where a shift table goes wrong.
TEST(CodeMemoSearch, AgreesWithASlowSearchOnRepetitiveText) {
  std::mt19937 rng(7);
  const std::string alphabet = "aAb ";
  CodeMemo memo;
  for (int round = 0; round < 3000; ++round) {
    std::string text, pattern;
    const int n = static_cast<int>(rng() % 40), m = 1 + static_cast<int>(rng() % 5);
    for (int i = 0; i < n; ++i) text += alphabet[rng() % alphabet.size()];
    for (int i = 0; i < m; ++i) pattern += alphabet[rng() % 3];
    const bool matchCase = rng() % 2, wholeWord = rng() % 2;
    const auto from = static_cast<std::size_t>(rng() % (text.size() + 1));
    memo.setText(text);
    memo.select(static_cast<Offset>(from), 0);
    const std::size_t expected = naiveFind(text, pattern, from, matchCase, wholeWord, memo.separators());
    const bool found = memo.findText(pattern, true, wholeWord, matchCase);
    ASSERT_EQ(found, expected != std::string::npos) << text << " / " << pattern;
    if (found) {
      EXPECT_EQ(memo.selStart(), static_cast<Offset>(expected + pattern.size())) << text << " / " << pattern;
    }
  }
}

TEST(CodeMemoSearch, BackwardFindsTheLastMatchBeforeTheCaret) {
  CodeMemo memo;
  memo.setText("aaaa aaaa");
  memo.select(9, 0);
  ASSERT_TRUE(memo.findText("aaa", false, false, true));
  EXPECT_EQ(memo.selStart(), 6);
  memo.select(9, 0);
  EXPECT_FALSE(memo.findText("aaa", false, true, true));
}

}  // namespace
}  // namespace quillon::editor

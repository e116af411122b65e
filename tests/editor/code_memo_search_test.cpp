#include <gtest/gtest.h>

#include <random>
#include <string>

#include "editor/code_memo.h"

namespace quillon::editor {
namespace {

using Sel = std::pair<Offset, Offset>;
Sel sel(const CodeMemo& m) { return {m.selStart(), m.selLength()}; }

// Forward: the first match at or after `from`; backward: the last one starting before it.
// The slow way, within one paragraph.
std::size_t naiveFind(const std::string& text, const std::string& pattern, std::size_t from, bool forward,
                      bool matchCase, bool wholeWord, const CharSet& separators) {
  const CaseFolder& f = CaseFolder::ascii();
  auto matchesAt = [&](std::size_t i) {
    for (std::size_t k = 0; k < pattern.size(); ++k)
      if (matchCase ? text[i + k] != pattern[k] : f.fold(text[i + k]) != f.fold(pattern[k])) return false;
    const std::size_t e = i + pattern.size();
    return !wholeWord || ((i == 0 || separators.contains(text[i - 1])) && (e >= text.size() || separators.contains(text[e])));
  };
  if (pattern.size() > text.size()) return std::string::npos;
  const std::size_t last = text.size() - pattern.size();
  if (forward) {
    for (std::size_t i = from; i <= last; ++i)
      if (matchesAt(i)) return i;
  } else {
    for (std::size_t i = std::min(from, last + 1); i-- > 0;)
      if (matchesAt(i)) return i;
  }
  return std::string::npos;
}

// Self-overlapping patterns over a tiny alphabet are where a shift table goes wrong, in
// either direction.
TEST(CodeMemoSearch, AgreesWithASlowSearchOnRepetitiveText) {
  std::mt19937 rng(7);
  const std::string alphabet = "aAb ,";
  CodeMemo memo;
  for (int round = 0; round < 3000; ++round) {
    std::string text, pattern;
    const int n = static_cast<int>(rng() % 40), m = 1 + static_cast<int>(rng() % 5);
    for (int i = 0; i < n; ++i) text += alphabet[rng() % alphabet.size()];
    for (int i = 0; i < m; ++i) pattern += alphabet[rng() % 3];
    const bool forward = rng() % 2, matchCase = rng() % 2, wholeWord = rng() % 2;
    const auto from = static_cast<std::size_t>(rng() % (text.size() + 1));
    memo.setText(text);
    memo.select(static_cast<Offset>(from), 0);
    const std::size_t expected = naiveFind(text, pattern, from, forward, matchCase, wholeWord, memo.separators());
    const bool found = memo.findText(pattern, forward, wholeWord, matchCase);
    ASSERT_EQ(found, expected != std::string::npos) << text << " / " << pattern << " from " << from;
    if (found) {
      const auto start = static_cast<Offset>(expected), length = static_cast<Offset>(pattern.size());
      EXPECT_EQ(sel(memo), forward ? Sel(start + length, -length) : Sel(start, length)) << text << " / " << pattern;
    }
  }
}

}  // namespace
}  // namespace quillon::editor

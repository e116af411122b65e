#include <gtest/gtest.h>

#include "support/memo_model_checker.h"

namespace {

// A long deterministic random walk through edits, undo, redo, loads, list edits, searches
// and layout changes, checked against a plain string after every step.
TEST(CodeMemoModelCheck, FiftyThousandRandomStepsAgreeWithAStringModel) {
  std::uint64_t state = 0x5eed'1234'abcdULL;
  quillon::test::MemoModelChecker checker([&](std::uint32_t& out) {
    state += 0x9E3779B97F4A7C15ULL;
    std::uint64_t z = state;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    out = static_cast<std::uint32_t>(z ^ (z >> 31));
    return true;
  });
  EXPECT_EQ(checker.run(50000), "");
}

}  // namespace

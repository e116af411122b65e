#include <gtest/gtest.h>

#include <random>

#include "support/find_model_checker.h"

namespace quillon::testing {
namespace {

TEST(FindModelCheck, TwentyThousandRandomStepsAgreeWithAStringModel) {
  std::mt19937 rng(1515);
  FindModelChecker checker([&](std::uint32_t& out) {
    out = rng();
    return true;
  });
  EXPECT_EQ(checker.run(20000), "");
}

}  // namespace
}  // namespace quillon::testing

// Random find-and-replace sessions over up to five small pages, checked against a plain
// string model after every replace-all and every revert. One checker serves every input (a
// program start costs far more than a session), and a session is at most 64 steps, so the
// pages stay small and a run tries well over a thousand sessions a second.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "support/find_model_checker.h"

namespace {
constexpr std::size_t kMaxSteps = 64;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 4 * kMaxSteps) return 0;
  std::size_t pos = 0;
  auto source = [&](std::uint32_t& out) {
    if (pos >= size) return false;
    out = data[pos++];
    return true;
  };
  static quillon::testing::FindModelChecker checker(source);
  checker.reset(source);
  const std::string problem = checker.run(kMaxSteps);
  if (!problem.empty()) {
    std::fprintf(stderr, "find model check failed: %s\n", problem.c_str());
    std::abort();
  }
  return 0;
}

// Random find-and-replace sessions over up to five small pages, checked against a plain
// string model after every replace-all and every revert.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "support/find_model_checker.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::size_t pos = 0;
  quillon::testing::FindModelChecker checker([&](std::uint32_t& out) {
    if (pos >= size) return false;
    out = data[pos++];
    return true;
  });
  const std::string problem = checker.run(512);
  if (!problem.empty()) {
    std::fprintf(stderr, "find model check failed: %s\n", problem.c_str());
    std::abort();
  }
  return 0;
}

// Random edit sequences against the editor model, checked after every step against a plain
// string: the six table invariants, the text, and exact texts after undo and redo.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "support/memo_model_checker.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::size_t pos = 0;
  quillon::testing::MemoModelChecker checker([&](std::uint32_t& out) {
    if (pos >= size) return false;
    std::uint32_t v = 0;
    const std::size_t n = std::min<std::size_t>(2, size - pos);
    std::memcpy(&v, data + pos, n);
    pos += n;
    out = v;
    return true;
  });
  const std::string problem = checker.run(4096);
  if (!problem.empty()) {
    std::fprintf(stderr, "model check failed: %s\n", problem.c_str());
    std::abort();
  }
  return 0;
}

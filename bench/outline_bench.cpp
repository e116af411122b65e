// The code outline of the medium corpus, as "ReScan...." builds it from the editor's paragraphs.
#include <benchmark/benchmark.h>
#include <string>

#include "bench_support.h"
#include "editor/code_memo.h"
#include "language/code_outline.h"

namespace {

using quillon::editor::CodeMemo;

void BM_OutlineMedium(benchmark::State& state, bool sorted) {
  CodeMemo memo;
  try {
    memo.loadFromFile(quillon::bench::corpus("medium"));
  } catch (const std::exception& e) {
    state.SkipWithError((std::string("cannot read corpus: ") + e.what()).c_str());
    return;
  }
  std::size_t entries = 0;
  for (auto _ : state) {
    auto outline = quillon::language::scanOutline(
        memo.paragraphCount(), [&memo](std::int64_t i) { return memo.paragraphText(i); });
    if (sorted) quillon::language::sortOutline(outline);
    entries = outline.entryCount();
    benchmark::DoNotOptimize(outline);
  }
  state.counters["entries"] = static_cast<double>(entries);
}

const bool registered = [] {
  benchmark::RegisterBenchmark("BM_OutlineMedium", [](benchmark::State& s) {
    BM_OutlineMedium(s, false);
  })->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("BM_OutlineMedium/sorted", [](benchmark::State& s) {
    BM_OutlineMedium(s, true);
  })->Unit(benchmark::kMillisecond);
  return true;
}();

}  // namespace

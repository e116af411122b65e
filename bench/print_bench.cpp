// Pagination of the large corpus: everything Print does before it paints page 1 — the
// layout, lines per page, page count and every page's range of display lines.
#include <benchmark/benchmark.h>
#include <memory>
#include <string>

#include "bench_support.h"
#include "editor/code_memo.h"
#include "editor/code_memo_printer.h"
#include "settings/editor_profiles.h"

namespace {

using namespace quillon::editor;

void BM_Paginate(benchmark::State& state, const std::string& name, bool wrap) {
  CodeMemo memo;
  quillon::settings::applySourceEditorProfile(memo);
  try {
    memo.loadFromFile(quillon::bench::corpus(name));
  } catch (const std::exception& e) {
    state.SkipWithError((std::string("cannot load: ") + e.what()).c_str());
    return;
  }
  memo.setWordWrap(wrap);
  quillon::bench::BenchPrinter port;
  CodeMemoPrinter printer(port);
  std::int64_t pages = 0;
  for (auto _ : state) {
    printer.setMemoToPrint(&memo);
    printer.layOut();
    const PageFormat format = printer.format();
    const std::int64_t lines = printer.lineCount();
    pages = format.pageCount(lines);
    std::int64_t paragraphs = 0;
    for (std::int64_t p = 0; p < pages; ++p) {
      const auto [first, last] = format.pageLines(p, lines);
      if (last >= first) paragraphs += printer.layout()->line(first).paragraph;
    }
    benchmark::DoNotOptimize(paragraphs);
  }
  printer.setMemoToPrint(nullptr);
  state.counters["pages"] = static_cast<double>(pages);
}

const bool registered = [] {
  benchmark::RegisterBenchmark("BM_PaginateLarge",
                               [](benchmark::State& s) { BM_Paginate(s, "large", false); })
      ->UseRealTime()
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("BM_PaginateLargeWrapped",
                               [](benchmark::State& s) { BM_Paginate(s, "large", true); })
      ->UseRealTime()
      ->Unit(benchmark::kMillisecond);
  return true;
}();

}  // namespace

// Highlighting benchmarks on the synthetic corpora, with the default key file.
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "bench_support.h"
#include "editor/code_memo.h"
#include "editor/highlight_engine.h"
#include "editor/number_highlighter.h"
#include "language/key_file.h"
#include "settings/editor_profiles.h"

namespace {

using quillon::bench::corpus;
const quillon::bench::BenchMetrics kMetrics;

using quillon::editor::CodeMemo;
using quillon::editor::HighlightEngine;
using quillon::editor::NumberHighlighter;
using quillon::editor::Offset;
namespace fs = std::filesystem;

// A source editor with the program's highlighting: default key file and number highlighter.
struct Highlighted {
  CodeMemo memo;
  HighlightEngine engine{memo};
  NumberHighlighter numbers;

  bool setUp(const std::string& name, benchmark::State& state) {
    quillon::settings::applySourceEditorProfile(memo);
    memo.setMetrics(&kMetrics);
    memo.setViewport(1000, 700);
    memo.setUpdateMode(quillon::editor::UpdateMode::umImmediate);
    if (!quillon::bench::loadHighlighted(memo, engine, name, state)) return false;
    numbers.setSeparators("\t +-*/\\<=>.,:;()[]{}%$");
    engine.setSyntaxHighlighting(true, &numbers);
    return true;
  }
};

void BM_HighlightAll(benchmark::State& state, const std::string& name) {
  Highlighted h;
  if (!h.setUp(name, state)) return;
  const double bytes = static_cast<double>(h.memo.charCount());
  h.engine.scanAll();  // the first scan also allocates the runs; F10 re-uses them
  double seconds = 0;
  for (auto _ : state) {
    const auto t0 = std::chrono::steady_clock::now();
    h.engine.reApplyKeywords();
    h.engine.scanAll();
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  }
  state.counters["mb_per_s"] = bytes * static_cast<double>(state.iterations()) / 1e6 / seconds;
}

void BM_TypeHighlighted(benchmark::State& state, const std::string& name) {
  Highlighted h;
  if (!h.setUp(name, state)) return;
  h.engine.scanAll();
  std::mt19937_64 rng(42);
  constexpr int kInserts = 10000;
  double ns = 0;
  for (auto _ : state) {
    const auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < kInserts; ++i) {
      const auto par =
          static_cast<std::int64_t>(rng() % static_cast<std::uint64_t>(h.memo.paragraphCount()));
      const auto len = h.memo.table().at(par).length;
      const Offset at = h.memo.table().startOf(par) + static_cast<Offset>(rng() % (len + 1));
      h.memo.setSelStart(at);
      h.memo.setSelText("x");
    }
    ns += std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - t0).count();
  }
  state.counters["ns_per_insert"] = ns / (static_cast<double>(state.iterations()) * kInserts);
}

void registerAll() {
  quillon::bench::registerPerCorpus(
      {{"BM_HighlightAll", BM_HighlightAll}, {"BM_TypeHighlighted", BM_TypeHighlighted}},
      {"medium", "large"});
}

const bool registered = (registerAll(), true);

}  // namespace

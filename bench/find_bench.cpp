// Find and replace through FindReplace, as the dialog drives it.
#include <benchmark/benchmark.h>
#include <filesystem>
#include <string>
#include <vector>

#include "bench_support.h"
#include "editor/code_memo.h"
#include "platform/command_registry.h"
#include "quiet_program.h"
#include "support/fake_find_view.h"
#include "tools/find_replace.h"

namespace {

using quillon::bench::Program;
using quillon::testing::FakeFindView;
using Option = quillon::tools::FindReplaceView::Option;
namespace fs = std::filesystem;

constexpr const char* kNeedle = "QuillonNeedle";

// A quiet program whose find dialog is a fake view, and its source editor.
struct FindProgram {
  Program p;
  FakeFindView view;
  quillon::tools::FindReplace& find = p.bench.findReplace();
  quillon::editor::CodeMemo& memo = p.bench.sourceEditor();
  FindProgram() { find.attachView(&view); }
  // Loads a corpus into the source editor; false (the benchmark skipped) when it cannot.
  bool load(benchmark::State& state, const std::string& name) {
    try {
      memo.loadFromFile(quillon::bench::corpus(name));
      return true;
    } catch (const std::exception& e) {
      state.SkipWithError(e.what());
      return false;
    }
  }
};

// The large corpus with a word that only its last 1,000 lines hold; each iteration finds it
// from the top of the text with the default options.
void BM_FindNextLarge(benchmark::State& state) {
  FindProgram f;
  if (!f.load(state, "large")) return;
  f.memo.setSelLine(f.memo.lineCount() - 500);
  f.memo.setSelText(std::string(kNeedle) + " ");
  f.memo.select(0, 0);
  f.find.open();
  for (auto _ : state) {
    f.memo.select(0, 0);
    f.view.typeFind(f.find, kNeedle);
    f.find.find();
    if (!f.find.counter()) state.SkipWithError("not found");
  }
}
BENCHMARK(BM_FindNextLarge)->Unit(benchmark::kMillisecond)->UseRealTime();

// Opening the dialog (revert snapshot included), then Find and All, "Dim" to "DIM_X" as
// whole words, on the medium corpus as the only page.
void BM_ReplaceDialogMedium(benchmark::State& state) {
  FindProgram f;
  if (!f.load(state, "medium")) return;
  const std::string original = f.memo.text();
  int replaced = 0;
  for (auto _ : state) {
    state.PauseTiming();
    f.memo.setText(original);
    f.memo.select(0, 0);
    state.ResumeTiming();
    f.find.open();
    f.view.typeFind(f.find, "Dim");
    f.view.typeReplace(f.find, "DIM_X");
    f.view.tick(f.find, Option::WholeWords, true);
    f.find.find();
    f.find.replaceAll();
    replaced = f.find.counter();
  }
  state.counters["replaced"] = replaced;
}
BENCHMARK(BM_ReplaceDialogMedium)->Unit(benchmark::kMillisecond)->UseRealTime();

// Twenty pages of 20,000 lines each (pages/page0.mb .. page19.mb beside the corpora); one
// iteration is Find, then All around every page.
void BM_ReplaceAllPages(benchmark::State& state) {
  FindProgram f;
  auto& p = f.p;
  std::vector<fs::path> files;
  for (int i = 0; i < 20; ++i) {
    const fs::path source = quillon::bench::corpus("pages/page" + std::to_string(i));
    const fs::path copy = p.installed.folder() / ("page" + std::to_string(i) + ".mb");
    std::error_code ec;
    fs::copy_file(source, copy, ec);
    if (ec) {
      state.SkipWithError(("cannot copy " + source.string()).c_str());
      return;
    }
    files.push_back(copy);
  }
  p.open(files);
  auto& docs = p.bench.documents();
  if (docs.tabCount() != 20) {
    state.SkipWithError("cannot open the twenty pages");
    return;
  }
  docs.selectTab(0);
  p.bench.sourceEditor().select(0, 0);
  f.find.open();
  f.view.typeFind(f.find, "Dim");
  f.view.typeReplace(f.find, "DIM_X");
  f.view.tick(f.find, Option::WholeWords, true);
  f.view.tick(f.find, Option::AllPages, true);
  int replaced = 0;
  for (auto _ : state) {
    state.PauseTiming();
    p.bench.commands().run("find.revert");  // every page as it was
    docs.selectTab(0);
    p.bench.sourceEditor().select(0, 0);
    f.view.typeFind(f.find, "Dim");
    state.ResumeTiming();
    f.find.find();
    f.find.replaceAll();
    replaced = f.find.counter();
  }
  state.counters["replaced"] = replaced;
}
BENCHMARK(BM_ReplaceAllPages)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

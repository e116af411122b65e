// Project benchmarks: Select.... of a project of thirty modules, Set Page As #1 from the last
// of fifty pages, and Insert File of a large file into a highlighted page.
#include <benchmark/benchmark.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/workbench.h"
#include "bench_support.h"
#include "build/insert_file.h"
#include "build/project_commands.h"
#include "editor/code_memo.h"
#include "editor/highlight_engine.h"
#include "pages/document_commands.h"
#include "quiet_program.h"

namespace {

namespace fs = std::filesystem;
using quillon::bench::Program;

// `count` files of 2,000 lines each, taken from the medium corpus in turn.
std::vector<fs::path> modules(const fs::path& folder, int count) {
  std::ifstream in(quillon::bench::corpus("medium"), std::ios::binary);
  std::vector<fs::path> files;
  std::string line;
  for (int f = 0; f < count; ++f) {
    const fs::path file = folder / ("module" + std::to_string(f) + ".mb");
    std::ofstream out(file, std::ios::binary);
    for (int i = 0; i < 2000 && std::getline(in, line); ++i) out << line << '\n';
    files.push_back(file);
  }
  return files;
}

void BM_OpenProject30(benchmark::State& state) {
  Program p;
  const fs::path folder = p.installed.folder();
  modules(folder, 30);
  std::ofstream project(folder / "app.mbp", std::ios::binary);
  project << "[LINK]\r\nApplication=app.mbx\r\n";
  for (int f = 0; f < 30; ++f) project << "Module=module" << f << ".mbo\r\n";
  project.close();
  for (auto _ : state) {
    p.ui.nextOpen = {folder / "app.mbp"};
    p.bench.project().select();
    state.PauseTiming();
    if (p.bench.documents().tabCount() != 31 || p.bench.documents().currentTab() != 0)
      state.SkipWithError("the project did not open with every module");
    p.bench.documents().closeAll();
    state.ResumeTiming();
  }
}

void BM_SetPageAsFirst50(benchmark::State& state) {
  Program p;
  p.open(modules(p.installed.folder(), 50));
  auto& docs = p.bench.documents();
  if (docs.tabCount() != 50) state.SkipWithError("not every file opened");
  for (auto _ : state) {
    state.PauseTiming();
    docs.selectTab(49);
    state.ResumeTiming();
    p.bench.project().setPageAsFirst();
  }
}

// The medium corpus into the middle of a 2,000-line page, highlighting on.
void BM_InsertFile(benchmark::State& state) {
  Program p;
  const std::vector<fs::path> page = modules(p.installed.folder(), 1);
  p.open(page);
  auto& memo = p.bench.sourceEditor();
  const std::string text = memo.text();
  if (!p.states.checked(quillon::platform::Command::SyntaxHighlighting1) ||
      !p.bench.highlighting().applyKeyWords())
    state.SkipWithError("highlighting is off");
  for (auto _ : state) {
    state.PauseTiming();
    memo.setText(text);
    memo.setSelPar(1000);
    p.ui.nextOpen = {quillon::bench::corpus("medium")};
    state.ResumeTiming();
    p.bench.insertFile().run();
    benchmark::DoNotOptimize(memo.lineCount());
  }
  state.counters["lines"] = static_cast<double>(memo.paragraphCount());
}

const bool registered = [] {
  benchmark::RegisterBenchmark("BM_OpenProject30", BM_OpenProject30)
      ->UseRealTime()
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("BM_SetPageAsFirst50", BM_SetPageAsFirst50)
      ->UseRealTime()
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("BM_InsertFile", BM_InsertFile)
      ->UseRealTime()
      ->Unit(benchmark::kMillisecond);
  return true;
}();

}  // namespace

// Page benchmarks: switching between two big pages, and one Open of fifty files.
#include <benchmark/benchmark.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/workbench.h"
#include "bench_support.h"
#include "editor/code_memo.h"
#include "pages/document_commands.h"
#include "quiet_program.h"

namespace {

namespace fs = std::filesystem;
using quillon::bench::Program;
using quillon::pages::DocumentCommands;

// Two pages holding the same corpus; each iteration is one switch with the caret and top
// line in the middle of the text. The second is a copy: one file opened twice is one page.
void BM_TabSwitch(benchmark::State& state, const std::string& name) {
  Program p;
  const fs::path a = p.installed.folder() / "a.mb";
  const fs::path b = p.installed.folder() / "b.mb";
  fs::create_symlink(quillon::bench::corpus(name), a);
  std::error_code copied;
  fs::copy_file(quillon::bench::corpus(name), b, copied);
  p.open({a, b});
  DocumentCommands& docs = p.bench.documents();
  if (docs.tabCount() != 2) {
    state.SkipWithError("cannot open the corpus twice");
    return;
  }
  for (int tab : {1, 0}) {
    docs.selectTab(tab);
    p.bench.sourceEditor().setSelLine(p.bench.sourceEditor().lineCount() / 2);
  }
  int next = 1;
  for (auto _ : state) {
    docs.selectTab(next);
    next = 1 - next;
  }
  state.counters["lines"] = static_cast<double>(p.bench.sourceEditor().lineCount());
}

// BM_TabSwitch with fifty pages open and every one modified: the modified marks of the tab
// strip must not make a switch dearer. The two pages switched are the corpus ones.
void BM_TabSwitch50Modified(benchmark::State& state, const std::string& name) {
  Program p;
  std::vector<fs::path> files;
  for (int f = 0; f < 48; ++f) {
    files.push_back(p.installed.folder() / ("module" + std::to_string(f) + ".mb"));
    std::ofstream(files.back(), std::ios::binary) << "Dim a" << f << " As Integer\r\n";
  }
  files.push_back(p.installed.folder() / "a.mb");
  files.push_back(p.installed.folder() / "b.mb");
  fs::create_symlink(quillon::bench::corpus(name), files[48]);
  std::error_code copied;
  fs::copy_file(quillon::bench::corpus(name), files[49], copied);
  p.open(files);
  DocumentCommands& docs = p.bench.documents();
  if (docs.tabCount() != 50) {
    state.SkipWithError("not every file opened");
    return;
  }
  for (int tab = 0; tab < 50; ++tab) {
    docs.selectTab(tab);
    p.bench.sourceEditor().setSelLine(p.bench.sourceEditor().lineCount() / 2);
    p.bench.sourceEditor().setSelText("x");
  }
  int next = 48;
  for (auto _ : state) {
    docs.selectTab(next);
    next = 97 - next;
  }
  state.counters["lines"] = static_cast<double>(p.bench.sourceEditor().lineCount());
}

// One Open of fifty files of 2,000 lines each, taken from the medium corpus.
void BM_Open50(benchmark::State& state) {
  Program p;
  std::ifstream in(quillon::bench::corpus("medium"), std::ios::binary);
  std::vector<fs::path> files;
  std::string line;
  for (int f = 0; f < 50; ++f) {
    const fs::path file = p.installed.folder() / ("module" + std::to_string(f) + ".mb");
    std::ofstream out(file, std::ios::binary);
    for (int i = 0; i < 2000 && std::getline(in, line); ++i) out << line << '\n';
    files.push_back(file);
  }
  for (auto _ : state) {
    p.open(files);
    state.PauseTiming();
    if (p.bench.documents().tabCount() != 50) state.SkipWithError("not every file opened");
    p.bench.documents().closeAll();
    state.ResumeTiming();
  }
}

const bool registered = [] {
  quillon::bench::registerPerCorpus({{"BM_TabSwitch", BM_TabSwitch}}, {"small", "medium", "large"});
  quillon::bench::registerPerCorpus({{"BM_TabSwitch50Modified", BM_TabSwitch50Modified}},
                                    {"small", "medium"});
  benchmark::RegisterBenchmark("BM_Open50", BM_Open50)
      ->UseRealTime()
      ->Unit(benchmark::kMillisecond);
  return true;
}();

}  // namespace

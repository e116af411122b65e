// Build benchmarks: an error file loaded and jumped through, and a compile through the
// stand-in compiler with the real clock.
#include <benchmark/benchmark.h>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>

#include "build/build_commands.h"
#include "build/error_panel.h"
#include "editor/code_memo.h"
#include "pages/document_commands.h"
#include "quiet_program.h"
#include "settings/settings.h"

namespace {

namespace fs = std::filesystem;
using quillon::bench::Program;

void write(const fs::path& file, const std::string& text) {
  std::ofstream(file, std::ios::binary) << text;
}

void openPage(Program& p, const fs::path& file) {
  p.bench.documents().openList() = {file.string()};
  p.bench.documents().open(quillon::pages::DocumentCommands::Opener::Session);
}

// The stand-in compiler as MapBasic.exe in a MapBasic folder of the program's own.
void installStandIn(Program& p) {
  const fs::path mapBasic = p.installed.folder() / "MapBasic";
  fs::create_directories(mapBasic);
  fs::copy_file(QUILLON_STANDIN_MAPBASIC, mapBasic / "MapBasic.exe");
  p.bench.settings()->values().mapBasicFolder = mapBasic / "";
}

// A 20,000-line error file naming a 20,000-line page: load it and jump to its last error.
void BM_ErrorPanelLoad(benchmark::State& state) {
  Program p;
  const fs::path page = p.installed.folder() / "page.mb";
  const fs::path err = p.installed.folder() / "errors.err";
  std::string source, errors;
  for (int i = 1; i <= 20000; ++i) {
    source += "  Dim value" + std::to_string(i) + " As Integer\r\n";
    errors += "(page.mb:" + std::to_string(i) + ") Variable or Field value" + std::to_string(i) +
              " not defined.\r\n";
  }
  write(page, source);
  write(err, errors);
  openPage(p, page);
  quillon::build::ErrorPanel& panel = p.bench.errorPanel();
  for (auto _ : state) {
    panel.load(err);
    panel.nextError(false);  // from the top backwards: the last error
  }
  if (p.bench.sourceEditor().selPar() != 19999)
    state.SkipWithError("the jump did not reach the last line");
}

// Compile of a 2,000-line module through the stand-in compiler, to "COMPILED MODULE: ".
void BM_CompileStandIn(benchmark::State& state) {
  Program p;
  installStandIn(p);
  const fs::path module = p.installed.folder() / "module.mb";
  std::string source;
  for (int i = 1; i <= 2000; ++i) source += "  Dim value" + std::to_string(i) + " As Integer\r\n";
  write(module, source);
  openPage(p, module);
  for (auto _ : state) {
    p.bench.build().compile();
    if (p.ui.statusText(4) != "COMPILED MODULE: module.mbo") {
      state.SkipWithError(("compile ended with " + p.ui.statusText(4)).c_str());
      break;
    }
  }
}

// The program's own CPU while the stand-in compiler sleeps 10 s: the wait polls, it does not spin.
void BM_CompileWaitCpu(benchmark::State& state) {
  Program p;
  installStandIn(p);
  const fs::path module = p.installed.folder() / "sleepy.mb";
  write(module, "'standin-sleep 10000\r\nDim a As Integer\r\n");
  openPage(p, module);
  double cpu = 0, wall = 0;
  for (auto _ : state) {
    const std::clock_t cpuStart = std::clock();
    const auto wallStart = std::chrono::steady_clock::now();
    p.bench.build().compile();
    cpu += static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
  }
  state.counters["cpu_percent_of_a_core"] = wall > 0 ? 100 * cpu / wall : 0;
}

const bool registered = [] {
  benchmark::RegisterBenchmark("BM_ErrorPanelLoad", BM_ErrorPanelLoad)
      ->UseRealTime()
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("BM_CompileStandIn", BM_CompileStandIn)
      ->UseRealTime()
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("BM_CompileWaitCpu", BM_CompileWaitCpu)
      ->Iterations(1)
      ->UseRealTime()
      ->Unit(benchmark::kSecond);
  return true;
}();

}  // namespace

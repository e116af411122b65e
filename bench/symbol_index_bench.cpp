// The symbol index over a project of 30 modules of 20,000 lines, each including two shared
// definition files, read cold from disk; and one keystroke in the large corpus.
#include <benchmark/benchmark.h>
#include <chrono>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "bench_support.h"
#include "language/symbol_index.h"

namespace {

namespace fs = std::filesystem;
using quillon::language::SymbolIndex;

constexpr int kModules = 30;
constexpr int kCallsPerModule = 334;  // 30 x 334 uses of SharedTarget, about 10,000

// The project in a scratch folder, made once per run from the corpus modules.
class BenchProject {
public:
  BenchProject() {
    std::string tmpl = (fs::temp_directory_path() / "quillon-index-bench-XXXXXX").string();
    if (!::mkdtemp(tmpl.data())) return;
    folder_ = tmpl;
    std::string defs[2];
    for (int i = 0; i < 400; ++i) {
      defs[0] += "Define SHARED_ONE_" + std::to_string(i) + " " + std::to_string(i) + "\r\n";
      defs[1] +=
          "Declare Sub SharedSub" + std::to_string(i) + "(ByVal n As Integer, s As String)\r\n";
    }
    defs[0] += "Declare Sub SharedTarget(ByVal n As Integer)\r\nGlobal gShared As Integer\r\n";
    std::ofstream(folder_ / "shared1.def", std::ios::binary) << defs[0];
    std::ofstream(folder_ / "shared2.def", std::ios::binary) << defs[1];
    for (int m = 0; m < kModules; ++m) {
      const fs::path from = quillon::bench::corpus("project/module" + std::to_string(m));
      std::ifstream in(from, std::ios::binary);
      if (!in) return;
      std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      std::string calls = "Sub Caller" + std::to_string(m) + "\r\n";
      for (int c = 0; c < kCallsPerModule; ++c)
        calls += "  Call SharedTarget(" + std::to_string(c) + ")\r\n";
      calls += "End Sub\r\n";
      text = "Include \"shared1.def\"\r\nInclude \"SHARED2.DEF\"\r\n" + text + calls;
      bytes_ += text.size();
      const fs::path file = folder_ / ("module" + std::to_string(m) + ".mb");
      std::ofstream(file, std::ios::binary) << text;
      modules_.push_back(file);
    }
    bytes_ += defs[0].size() + defs[1].size();
    ok_ = true;
  }
  ~BenchProject() {
    std::error_code ec;
    if (!folder_.empty()) fs::remove_all(folder_, ec);
  }
  bool ok() const { return ok_; }
  const std::vector<fs::path>& modules() const { return modules_; }
  std::size_t bytes() const { return bytes_; }

private:
  fs::path folder_;
  std::vector<fs::path> modules_;
  std::size_t bytes_ = 0;
  bool ok_ = false;
};

BenchProject& project() {
  static BenchProject made;  // one scratch project for all the benchmarks of a run
  return made;
}

bool ready(benchmark::State& state) {
  if (project().ok()) return true;
  state.SkipWithError("cannot build the project from corpus/project/module*.mb");
  return false;
}

void BM_IndexProject(benchmark::State& state) {
  if (!ready(state)) return;
  std::size_t memory = 0;
  for (auto _ : state) {
    SymbolIndex index;  // cold: nothing read before
    index.setRoots(project().modules());
    memory = index.memoryBytes();
    benchmark::DoNotOptimize(memory);
  }
  state.counters["index_bytes"] = static_cast<double>(memory);
  state.counters["index_to_source"] =
      static_cast<double>(memory) / static_cast<double>(project().bytes());
}

SymbolIndex& projectIndex() {
  static SymbolIndex index;
  static const bool filled = [] {
    index.setRoots(project().modules());
    return true;
  }();
  (void)filled;
  return index;
}

struct Query {
  fs::path file;
  std::int64_t line;
  std::string word;
};

// 1,000 places in the modules, each with a name standing there.
std::vector<Query> queries(bool prefixes) {
  std::vector<Query> out;
  std::mt19937 random(11);
  const std::vector<std::string> names = {
      "ProcessRows", "iCount",  "SharedTarget", "SHARED_ONE_7", "gShared",
      "CountRows",   "Retry_5", "fArea",        "SharedSub3",   "Main"};
  for (int i = 0; i < 1000; ++i) {
    const std::string& name = names[random() % names.size()];
    out.push_back({project().modules()[random() % kModules],
                   static_cast<std::int64_t>(random() % 20000),
                   prefixes ? name.substr(0, 1 + random() % 3) : name});
  }
  return out;
}

void BM_GoToDefinition(benchmark::State& state) {
  if (!ready(state)) return;
  SymbolIndex& index = projectIndex();
  const std::vector<Query> qs = queries(false);
  std::size_t i = 0;
  for (auto _ : state) {
    const Query& q = qs[i++ % qs.size()];
    benchmark::DoNotOptimize(index.goToTargets(q.file, q.line, q.word));
  }
}

void BM_CompletionPrefix(benchmark::State& state) {
  if (!ready(state)) return;
  SymbolIndex& index = projectIndex();
  const std::vector<Query> qs = queries(true);
  std::size_t i = 0;
  for (auto _ : state) {
    const Query& q = qs[i++ % qs.size()];
    benchmark::DoNotOptimize(index.completions(q.file, q.line, q.word));
  }
}

void BM_FindReferences(benchmark::State& state) {
  if (!ready(state)) return;
  SymbolIndex& index = projectIndex();
  std::size_t found = 0;
  for (auto _ : state) {
    const auto refs = index.references(project().modules()[3], 10, "SharedTarget");
    found = refs.size();
    benchmark::DoNotOptimize(found);
  }
  state.counters["references"] = static_cast<double>(found);
}

// One character typed into the middle of the large corpus and taken back, in turn; only the
// index's work is timed.
void BM_ReindexKeystroke(benchmark::State& state) {
  std::ifstream in(quillon::bench::corpus("large"), std::ios::binary);
  if (!in) {
    state.SkipWithError("cannot read corpus: large");
    return;
  }
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
  }
  const SymbolIndex::LineAt lineAt = [&lines](std::int64_t i) {
    return std::string_view(lines[static_cast<std::size_t>(i)]);
  };
  SymbolIndex index;
  const auto count = static_cast<std::int64_t>(lines.size());
  const quillon::language::SourceId id = index.setLines("/bench/large.mb", count, lineAt);
  const std::int64_t middle = count / 2;
  bool typed = false;
  for (auto _ : state) {
    std::string& line = lines[static_cast<std::size_t>(middle)];
    if (typed)
      line.erase(line.size() / 2, 1);
    else
      line.insert(line.size() / 2, 1, 'x');
    typed = !typed;
    const auto start = std::chrono::steady_clock::now();
    index.replaceLines(id, middle, 1, 1, count, lineAt);
    state.SetIterationTime(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  state.counters["lines"] = static_cast<double>(count);
}

const bool registered = [] {
  benchmark::RegisterBenchmark("BM_IndexProject", BM_IndexProject)
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();
  benchmark::RegisterBenchmark("BM_ReindexKeystroke/large", BM_ReindexKeystroke)
      ->Unit(benchmark::kMicrosecond)
      ->UseManualTime();
  benchmark::RegisterBenchmark("BM_GoToDefinition", BM_GoToDefinition)
      ->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("BM_CompletionPrefix", BM_CompletionPrefix)
      ->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("BM_FindReferences", BM_FindReferences)
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();
  return true;
}();

}  // namespace

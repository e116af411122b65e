// Editor model benchmarks on the synthetic corpora (small, medium, large).
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <malloc.h>
#include <memory>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

#include "bench_support.h"
#include "editor/code_memo.h"
#include "pages/text_file.h"
#include "settings/editor_profiles.h"

namespace {

using quillon::editor::CodeMemo;
using quillon::editor::Offset;
namespace fs = std::filesystem;

using quillon::bench::corpus;
const quillon::bench::BenchMetrics kMetrics;

// Peak resident memory in bytes (VmHWM), after resetting it where the kernel allows.
long long readStatus(const char* key) {
  std::ifstream in("/proc/self/status");
  std::string line;
  const std::size_t n = std::strlen(key);
  while (std::getline(in, line))
    if (line.compare(0, n, key) == 0) return std::atoll(line.c_str() + n + 1) * 1024;
  return 0;
}
// Memory freed by an earlier run goes back to the system first, or a load that reuses it
// would look free.
void resetPeak() {
  ::malloc_trim(0);
  std::ofstream("/proc/self/clear_refs") << "5";
}

void setUp(CodeMemo& memo) {
  quillon::settings::applySourceEditorProfile(memo);
  memo.setMetrics(&kMetrics);
  memo.setViewport(1000, 700);
  memo.setUpdateMode(quillon::editor::UpdateMode::umImmediate);
}

void load(CodeMemo& memo, const fs::path& file, benchmark::State& state) {
  try {
    memo.loadFromFile(file);
  } catch (const std::exception& e) {
    state.SkipWithError((std::string("cannot read corpus: ") + e.what()).c_str());
  }
}

void BM_ReadBaseline(benchmark::State& state, const std::string& name) {
  const fs::path file = corpus(name);
  long long lines = 0;
  for (auto _ : state) {
    const int fd = ::open(file.c_str(), O_RDONLY);
    if (fd < 0) {
      state.SkipWithError("cannot read corpus");
      return;
    }
    const auto size = static_cast<std::size_t>(fs::file_size(file));
    auto buffer = std::make_unique_for_overwrite<char[]>(size);
    std::size_t got = 0;
    while (got < size) {
      const ssize_t n = ::read(fd, buffer.get() + got, size - got);
      if (n <= 0) break;
      got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    lines = 0;
    for (const char* p = buffer.get();
         (p = static_cast<const char*>(std::memchr(p, '\n', buffer.get() + got - p))); ++p)
      ++lines;
    benchmark::DoNotOptimize(lines);
  }
  state.counters["lines"] = static_cast<double>(lines);
}

void BM_Load(benchmark::State& state, const std::string& name) {
  const fs::path file = corpus(name);
  const double size = static_cast<double>(fs::file_size(file));
  {
    // Memory growth of one load, measured apart from the timed loads.
    resetPeak();
    const long long before = readStatus("VmRSS:");
    auto memo = std::make_unique<CodeMemo>();
    setUp(*memo);
    load(*memo, file, state);
    const long long peak = readStatus("VmHWM:");
    state.counters["bytes_per_byte"] = static_cast<double>(peak - before) / size;
  }
  for (auto _ : state) {
    state.PauseTiming();
    auto memo = std::make_unique<CodeMemo>();
    setUp(*memo);
    state.ResumeTiming();
    load(*memo, file, state);
    benchmark::DoNotOptimize(memo->lineCount());
    state.PauseTiming();
    memo.reset();
    state.ResumeTiming();
  }
}

// A scratch folder for files the benchmarks write, removed with them.
class ScratchFolder {
public:
  ScratchFolder() {
    std::string tmpl = (fs::temp_directory_path() / "quillon-bench-files-XXXXXX").string();
    if (::mkdtemp(tmpl.data())) path_ = tmpl;
  }
  ~ScratchFolder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  const fs::path& path() const { return path_; }

private:
  fs::path path_;
};

const quillon::pages::TextFormat kPlain{};
const quillon::pages::TextFormat kUtf8WithMark{quillon::pages::TextEncoding::utf8WithMark};

// The corpus in UTF-8 with a mark, written a piece at a time: the process touches no more
// memory than BM_Load's does before it measures.
fs::path utf8Corpus(const std::string& name, const ScratchFolder& scratch,
                    benchmark::State& state) {
  const fs::path file = scratch.path() / (name + "-utf8.mb");
  std::ifstream in(corpus(name), std::ios::binary);
  std::ofstream out(file, std::ios::binary);
  quillon::pages::EncodingStreamBuffer encoder(out, kUtf8WithMark);
  std::ostream encoded(&encoder);
  std::vector<char> piece(1 << 16);
  while (in.read(piece.data(), static_cast<std::streamsize>(piece.size())) || in.gcount() > 0)
    encoded.write(piece.data(), in.gcount());
  encoder.finish();
  if (!in.eof() || !out.flush()) state.SkipWithError("cannot write the UTF-8 corpus");
  return file;
}

// Loads as Open does: read once, recognised, converted in place, handed to the editor.
void BM_LoadUtf8(benchmark::State& state, const std::string& name) {
  ScratchFolder scratch;
  const fs::path file = utf8Corpus(name, scratch, state);
  const double size = static_cast<double>(fs::file_size(file));
  auto loadDocument = [&](CodeMemo& memo) {
    try {
      quillon::pages::loadTextFile(memo, file);
    } catch (const std::exception& e) {
      state.SkipWithError((std::string("cannot read the UTF-8 corpus: ") + e.what()).c_str());
    }
  };
  {
    resetPeak();
    const long long before = readStatus("VmRSS:");
    auto memo = std::make_unique<CodeMemo>();
    setUp(*memo);
    loadDocument(*memo);
    state.counters["bytes_per_byte"] = static_cast<double>(readStatus("VmHWM:") - before) / size;
  }
  for (auto _ : state) {
    state.PauseTiming();
    auto memo = std::make_unique<CodeMemo>();
    setUp(*memo);
    state.ResumeTiming();
    loadDocument(*memo);
    benchmark::DoNotOptimize(memo->lineCount());
    state.PauseTiming();
    memo.reset();
    state.ResumeTiming();
  }
}

// Save as the page commands do, through the safe writer: plain, and in UTF-8 with a mark.
void saving(benchmark::State& state, const std::string& name,
            const quillon::pages::TextFormat& format) {
  ScratchFolder scratch;
  CodeMemo memo;
  setUp(memo);
  load(memo, corpus(name), state);
  const fs::path file = scratch.path() / "saved.mb";
  for (auto _ : state) {
    try {
      quillon::pages::saveTextFile(memo, file, format);
    } catch (const std::exception& e) {
      state.SkipWithError((std::string("cannot save: ") + e.what()).c_str());
      break;
    }
  }
}

void BM_Save(benchmark::State& s, const std::string& n) { saving(s, n, kPlain); }
void BM_SaveUtf8(benchmark::State& s, const std::string& n) { saving(s, n, kUtf8WithMark); }

enum class Where { random, start, end };

void typing(benchmark::State& state, const std::string& name, Where where) {
  CodeMemo memo;
  setUp(memo);
  if (where == Where::start) {
    // Memory after the load and after the first keystroke, both against the memory before.
    const double size = static_cast<double>(fs::file_size(corpus(name)));
    resetPeak();
    const long long before = readStatus("VmRSS:");
    load(memo, corpus(name), state);
    state.counters["load_bytes_per_byte"] =
        static_cast<double>(readStatus("VmHWM:") - before) / size;
    memo.setSelStart(0);
    memo.setSelText("x");
    state.counters["bytes_per_byte"] = static_cast<double>(readStatus("VmHWM:") - before) / size;
    memo.select(0, 1);
    memo.clearSelection();
  } else {
    load(memo, corpus(name), state);
  }
  std::mt19937_64 rng(42);
  constexpr int kInserts = 10000;
  double ns = 0;
  for (auto _ : state) {
    const auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < kInserts; ++i) {
      Offset at = 0;
      if (where == Where::end) at = memo.charCount();
      if (where == Where::random)
        at = static_cast<Offset>(rng() % static_cast<std::uint64_t>(memo.charCount() + 1));
      memo.setSelStart(at);
      memo.setSelText("x");
    }
    ns += std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - t0).count();
    // Each iteration types into the corpus as it was, not into the line the last one grew.
    state.PauseTiming();
    if (where == Where::start) memo.select(0, kInserts);
    if (where == Where::end) memo.select(memo.charCount(), -kInserts);
    if (where != Where::random) memo.clearSelection();
    state.ResumeTiming();
  }
  state.counters["ns_per_insert"] = ns / (static_cast<double>(state.iterations()) * kInserts);
}

void BM_TypeRandom(benchmark::State& s, const std::string& n) { typing(s, n, Where::random); }
void BM_TypeStart(benchmark::State& s, const std::string& n) { typing(s, n, Where::start); }
void BM_TypeEnd(benchmark::State& s, const std::string& n) { typing(s, n, Where::end); }

void BM_UndoAll(benchmark::State& state, const std::string& name) {
  CodeMemo memo;
  setUp(memo);
  memo.setUndoMaxSpace(1 << 30);
  load(memo, corpus(name), state);
  std::mt19937_64 rng(7);
  constexpr int kEdits = 10000;
  double ns = 0;
  for (auto _ : state) {
    state.PauseTiming();
    for (int i = 0; i < kEdits; ++i) {
      memo.setSelStart(
          static_cast<Offset>(rng() % static_cast<std::uint64_t>(memo.charCount() + 1)));
      memo.setSelText("y");
    }
    state.ResumeTiming();
    const auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < kEdits; ++i) memo.undo();
    ns += std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - t0).count();
  }
  state.counters["ns_per_undo"] = ns / (static_cast<double>(state.iterations()) * kEdits);
}

void BM_ReplaceAll(benchmark::State& state, const std::string& name) {
  const fs::path file = corpus(name);
  CodeMemo memo;
  setUp(memo);
  long long replaced = 0;
  for (auto _ : state) {
    state.PauseTiming();
    load(memo, file, state);
    memo.setSelStart(0);
    state.ResumeTiming();
    replaced = 0;
    while (memo.findText("Dim", true, true, false)) {
      memo.setSelText("DIM_X");
      ++replaced;
    }
  }
  state.counters["replaced"] = static_cast<double>(replaced);
}

void BM_OffsetQueries(benchmark::State& state, const std::string& name) {
  CodeMemo memo;
  setUp(memo);
  load(memo, corpus(name), state);
  std::mt19937_64 rng(99);
  constexpr int kQueries = 100000;
  std::vector<Offset> offsets(kQueries);
  std::vector<std::int64_t> lines(kQueries);
  for (auto& o : offsets)
    o = static_cast<Offset>(rng() % static_cast<std::uint64_t>(memo.charCount() + 1));
  for (auto& l : lines)
    l = static_cast<std::int64_t>(rng() % static_cast<std::uint64_t>(memo.lineCount()));
  for (auto _ : state) {
    std::int64_t sum = 0;
    for (Offset o : offsets) sum += memo.table().paragraphAt(o) + memo.lineOfOffset(o);
    for (std::int64_t l : lines) sum += memo.offsetOfLine(l);
    benchmark::DoNotOptimize(sum);
  }
}

void registerAll() {
  quillon::bench::registerPerCorpus({{"BM_ReadBaseline", BM_ReadBaseline},
                                     {"BM_Load", BM_Load},
                                     {"BM_LoadUtf8", BM_LoadUtf8},
                                     {"BM_Save", BM_Save},
                                     {"BM_SaveUtf8", BM_SaveUtf8},
                                     {"BM_TypeRandom", BM_TypeRandom},
                                     {"BM_TypeStart", BM_TypeStart},
                                     {"BM_TypeEnd", BM_TypeEnd},
                                     {"BM_UndoAll", BM_UndoAll},
                                     {"BM_ReplaceAll", BM_ReplaceAll},
                                     {"BM_OffsetQueries", BM_OffsetQueries}},
                                    {"small", "medium", "large"});
}

const bool registered = (registerAll(), true);

}  // namespace

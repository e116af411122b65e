#pragma once
// What the benchmark files share: the corpora, fixed-pitch metrics and the program's
// highlighting set-up.
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <stdlib.h>
#include <string>
#include <system_error>
#include <utility>

#include "app/start_surroundings.h"
#include "editor/code_memo_fwd.h"
#include "editor/printer_port.h"
#include "editor/text_metrics.h"

namespace quillon::editor {
class HighlightEngine;
}

namespace quillon::bench {

// A fixed-pitch font: 8 x 16 pixels on the screen unless told otherwise.
class BenchMetrics final : public editor::TextMetrics {
public:
  explicit BenchMetrics(int width = 8, int height = 16) : width_(width), height_(height) {}
  int charWidth(unsigned char, std::uint8_t) const override { return width_; }
  int lineHeight() const override { return height_; }
  int ascent() const override { return height_ * 13 / 16; }
  int averageCharWidth() const override { return width_; }
  int fixedPitchWidth() const override { return width_; }

private:
  int width_;
  int height_;
};

// An A4 page at 600 dpi with a sixth of an inch that the printer cannot reach on each side.
class BenchPrinter final : public editor::PrinterPort {
public:
  bool printerInstalled() override { return true; }
  void setOutputFile(const std::string&) override {}
  editor::PrinterMetrics metrics() override { return {4760, 6816, 4960, 7016, 100, 100, 600, 600}; }
  const editor::TextMetrics& textMetrics() override { return text_; }
  bool startDocument() override { return true; }
  bool newPage() override { return true; }
  void drawText(const editor::PrintRect&, std::string_view, const platform::FontInfo&,
                editor::PrintAlign) override {}
  void paintLines(editor::PrintLayout&, std::int64_t, std::int64_t, editor::PrintPoint,
                  double) override {}
  bool endDocument() override { return true; }
  std::unique_ptr<editor::PrintPreview> createPreview(editor::CodeMemoPrinter&) override {
    return nullptr;
  }
  bool showProgress(std::int64_t, std::int64_t) override { return true; }

private:
  BenchMetrics text_{50, 100};  // the screen's metrics at 600 dpi
};

// small.mb, medium.mb or large.mb from QUILLON_CORPUS_DIR, else corpus/ beside the program.
inline std::filesystem::path corpus(const std::string& name) {
  const char* env = std::getenv("QUILLON_CORPUS_DIR");
  const std::filesystem::path dir =
      env ? std::filesystem::path(env)
          : std::filesystem::canonical("/proc/self/exe").parent_path() / "corpus";
  return dir / (name + ".mb");
}

// Fills the engine's lists from the default key file and loads a corpus; false (with the
// benchmark marked as failed) when either cannot be read.
bool loadHighlighted(editor::CodeMemo& memo, editor::HighlightEngine& engine,
                     const std::string& name, benchmark::State& state);

// The program as installed in a scratch folder of its own, beside the default word lists, so a
// benchmark run neither reads nor writes the user's settings and never asks for folders.
class ScratchProgram {
public:
  ScratchProgram() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "quillon-bench-XXXXXX").string();
    if (::mkdtemp(tmpl.data())) folder_ = tmpl;
    std::error_code ec;
    std::filesystem::create_symlink(QUILLON_KEYFILE, folder_ / "quillon.bin", ec);
    // Copies, as the dictionary is written back at exit.
    for (const char* name : {"quillon.dic", "quillon.ctx", "quillon.def"})
      std::filesystem::copy_file(std::filesystem::path(QUILLON_KEYFILE).parent_path() / name,
                                 folder_ / name, ec);
    std::filesystem::create_directories(folder_ / "home", ec);
  }
  ~ScratchProgram() {
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
  }
  ScratchProgram(const ScratchProgram&) = delete;
  ScratchProgram& operator=(const ScratchProgram&) = delete;

  const std::filesystem::path& folder() const { return folder_; }
  std::filesystem::path file() const { return folder_ / "quillon"; }
  app::StartSurroundings surroundings() const {
    app::StartSurroundings s;
    s.environment.home = folder_ / "home";
    s.environment.xdgConfigHome = (folder_ / "home/.config").string();
    s.folderLookup = [] { return platform::ProgramFolders{"/opt/mapinfo/", "/opt/mapbasic/"}; };
    return s;
  }

private:
  std::filesystem::path folder_;
};

using CorpusBenchmark = void (*)(benchmark::State&, const std::string&);

// Registers each benchmark once per corpus as "<name>/<corpus>", timed by the wall clock.
inline void registerPerCorpus(
    std::initializer_list<std::pair<const char*, CorpusBenchmark>> benches,
    std::initializer_list<const char*> corpora) {
  for (const auto& [name, fn] : benches)
    for (const char* c : corpora) {
      const std::string corpusName = c;
      benchmark::RegisterBenchmark(
          (std::string(name) + "/" + c).c_str(),
          [fn = fn, corpusName](benchmark::State& s) { fn(s, corpusName); })
          ->UseRealTime()
          ->Unit(benchmark::kMillisecond);
    }
}

}  // namespace quillon::bench

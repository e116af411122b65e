// Page benchmarks: switching between two big pages, and one Open of fifty files.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <memory>
#include <string>
#include <vector>

#include "app/workbench.h"
#include "bench_support.h"

namespace {

namespace fs = std::filesystem;
using quillon::platform::Command;
using quillon::pages::DocumentCommands;
using quillon::app::Workbench;

// The screen as a benchmark sees it: nothing shown, every dialog answered from a list.
class QuietUi final : public quillon::platform::Ui {
public:
  std::vector<fs::path> nextOpen;
  void showMessage(std::string_view) override {}
  Answer ask(std::string_view, std::string_view, Buttons) override { return Answer::No; }
  std::optional<std::string> prompt(std::string_view, std::string_view, std::string_view) override {
    return std::nullopt;
  }
  std::vector<fs::path> openFiles(const FileDialog&) override { return nextOpen; }
  std::optional<fs::path> saveFile(const FileDialog&) override { return std::nullopt; }
  std::optional<fs::path> pickFolder(std::string_view) override { return std::nullopt; }
  void setStatusText(int panel, std::string_view text) override { status_[panel] = text; }
  std::string statusText(int panel) const override {
    const auto it = status_.find(panel);
    return it == status_.end() ? std::string() : it->second;
  }
  void setBusy(bool) override {}
  void processPendingMessages() override {}

private:
  std::map<int, std::string> status_;
};

class QuietView final : public quillon::platform::MainView {
public:
  void setRegionVisible(Region, bool) override {}
  bool regionVisible(Region) const override { return true; }
  void setCaption(std::string_view) override {}
  void setTabs(const std::vector<std::string>&, int) override {}
  void setWindowMenu(const std::vector<std::string>&) override {}
  void setBookmarkCaption(int, std::string_view) override {}
  void setRecentMenus(const std::vector<std::string>&, const std::vector<std::string>&) override {}
  quillon::platform::WindowPlacement windowPlacement() const override { return {}; }
  void setWindowPlacement(const quillon::platform::WindowPlacement&) override {}
  quillon::platform::ScreenRect screen() const override { return {0, 0, 1024, 768}; }
  void centreWindow() override {}
  void setEditorFont(const quillon::platform::FontInfo&) override {}
  void setEditorBackground(quillon::platform::Color) override {}
  std::optional<quillon::platform::FontInfo> chooseFont(const quillon::platform::FontInfo&) override { return std::nullopt; }
  void showColorPicker(quillon::platform::Color) override {}
  void setContextItems(const std::vector<std::string>&) override {}
  bool editorHasFocus() const override { return true; }
  void bringToFront() override {}
};

class QuietStates final : public quillon::platform::CommandStates {
public:
  void setEnabled(Command c, bool on) override { enabled_[static_cast<std::size_t>(c)] = on; }
  bool enabled(Command c) const override { return enabled_[static_cast<std::size_t>(c)]; }
  void setChecked(Command c, bool on) override { checked_[static_cast<std::size_t>(c)] = on; }
  bool checked(Command c) const override { return checked_[static_cast<std::size_t>(c)]; }

private:
  std::array<bool, quillon::platform::kCommandCount> enabled_{};
  std::array<bool, quillon::platform::kCommandCount> checked_{};
};

struct NoKeyboard final : quillon::platform::KeyboardState {
  std::optional<bool> capsLock() const override { return std::nullopt; }
  std::optional<bool> numLock() const override { return std::nullopt; }
};

struct NoClipboard final : quillon::platform::Clipboard {
  std::optional<quillon::platform::ClipboardText> readText() const override { return std::nullopt; }
  void writeText(std::string_view, bool) override {}
};

const quillon::bench::BenchMetrics kMetrics;

// A started program with its source editor laid out as on screen.
struct Program {
  quillon::bench::ScratchProgram installed;
  QuietUi ui;
  QuietView view;
  QuietStates states;
  NoKeyboard keyboard;
  NoClipboard clipboard;
  Workbench bench{{ui, view, states, keyboard, clipboard}};

  Program() {
    bench.sourceEditor().setMetrics(&kMetrics);
    bench.sourceEditor().setViewport(1000, 700);
    bench.start(installed.file(), {}, installed.surroundings());
  }
  void open(const std::vector<fs::path>& files) {
    ui.nextOpen = files;
    bench.documents().open(DocumentCommands::Opener::Dialog);
  }
};

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
  benchmark::RegisterBenchmark("BM_Open50", BM_Open50)->UseRealTime()->Unit(benchmark::kMillisecond);
  return true;
}();

}  // namespace

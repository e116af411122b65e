// The build loop as the user meets it: Ctrl+K to the error marks painted, marks placed over
// many pages, a keystroke on a page full of marks, and a compiler that prints 100 MB.
// Offscreen platform (see bench_main.cpp).
#ifdef QUILLON_BENCH_GUI
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTimer>
#include <atomic>
#include <benchmark/benchmark.h>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>
#include <unistd.h>

#include "app/main_window.h"
#include "bench_support.h"
#include "build/build_commands.h"
#include "build/error_marker.h"
#include "editor/code_gutter.h"
#include "editor/code_gutter_widget.h"
#include "editor/code_memo.h"
#include "editor/code_memo_widget.h"
#include "editor/highlight_engine.h"
#include "editor/number_highlighter.h"
#include "quiet_program.h"
#include "settings/editor_profiles.h"
#include "settings/settings.h"

namespace {

namespace fs = std::filesystem;
using quillon::bench::NoKeyboard;
using quillon::editor::CodeMemo;
using quillon::editor::CodeMemoWidget;
using quillon::editor::ErrorMark;

void write(const fs::path& file, const std::string& text) {
  std::ofstream(file, std::ios::binary) << text;
}

void settle(CodeMemo& memo) {
  do QCoreApplication::processEvents();
  while (memo.layoutPending());
}

// The program's window over a scratch installation with the stand-in as its compiler.
struct ShownProgram {
  NoKeyboard keyboard;
  quillon::bench::ScratchProgram program;
  std::unique_ptr<quillon::app::MainWindow> window;

  explicit ShownProgram(const std::vector<std::string>& arguments = {}) {
    window = std::make_unique<quillon::app::MainWindow>(keyboard);
    window->start(program.file(), arguments, program.surroundings());
    const fs::path mapBasic = program.folder() / "MapBasic";
    fs::create_directories(mapBasic);
    fs::copy_file(QUILLON_STANDIN_MAPBASIC, mapBasic / "MapBasic.exe");
    window->workbench().settings()->values().mapBasicFolder = mapBasic / "";
    window->resize(1000, 800);
    window->show();
  }
  quillon::app::Workbench& bench() { return window->workbench(); }
};

// Ctrl+K on a page whose compile names three errors, until the source editor and its gutter
// have painted the marks.
void BM_CompileRoundTrip(benchmark::State& state) {
  ShownProgram p;
  const fs::path source = p.program.folder() / "three.mb";
  std::string text = "Sub Main\r\n";
  for (int i = 1; i <= 200; ++i) text += "  Dim value" + std::to_string(i) + " As Integer\r\n";
  text += "'standin-error 2 First.\r\n'standin-error 20 Second.\r\n'standin-error 40 Third.\r\n";
  write(source, text);
  p.bench().documents().openList() = {source.string()};
  p.bench().documents().open(quillon::pages::DocumentCommands::Opener::Session);
  CodeMemoWidget& editor = p.window->sourceEditorWidget();
  auto* gutter = p.window->findChild<quillon::editor::CodeGutterWidget*>();
  // Ctrl+K's action, as the shortcut fires it.
  QAction* compile = nullptr;
  for (QAction* a : p.window->findChildren<QAction*>())
    if (a->text() == "Compile" && a->shortcut() == QKeySequence("Ctrl+K")) compile = a;
  if (!compile) {
    state.SkipWithError("no Compile action");
    return;
  }
  editor.setFocus();
  settle(p.bench().sourceEditor());
  for (auto _ : state) {
    compile->trigger();
    editor.viewport()->repaint();
    if (gutter) gutter->repaint();
    if (p.bench().gutter().errorMarkCount() != 3) {
      state.SkipWithError("the marks are not there");
      break;
    }
  }
}

// The same compile without the window, with and without the output pipe: what capture costs.
class SwitchedLauncher final : public quillon::platform::ProcessLauncher {
public:
  bool capture = true;
  Result launch(const quillon::platform::LaunchRequest& request) override {
    quillon::platform::LaunchRequest r = request;
    r.captureOutput = r.captureOutput && capture;
    return inner_.launch(r);
  }

private:
  quillon::platform::PosixProcessLauncher inner_{quillon::platform::Environment::fromProcess()};
};

void BM_CompileRoundTripCore(benchmark::State& state, bool capture) {
  using namespace quillon::bench;
  ScratchProgram installed;
  QueuedCalls mainThread;
  QuietUi ui{mainThread};
  QuietView view;
  QuietStates states;
  NoClipboard clipboard;
  quillon::platform::SystemClock clock;
  SwitchedLauncher launcher;
  launcher.capture = capture;
  NoAutomation automation;
  BenchPrinter printer;
  NoKeyboard keyboard;
  Workbench bench{
      {ui, view, states, keyboard, clipboard, clock, launcher, automation, mainThread, printer}};
  bench.sourceEditor().setMetrics(&kMetrics);
  bench.sourceEditor().setViewport(1000, 700);
  bench.start(installed.file(), {}, installed.surroundings());
  const fs::path mapBasic = installed.folder() / "MapBasic";
  fs::create_directories(mapBasic);
  fs::copy_file(QUILLON_STANDIN_MAPBASIC, mapBasic / "MapBasic.exe");
  bench.settings()->values().mapBasicFolder = mapBasic / "";
  const fs::path source = installed.folder() / "three.mb";
  write(source,
        "Sub Main\r\n'standin-print compiling\r\n'standin-error 1 A.\r\n'standin-error 2 "
        "B.\r\n'standin-error 3 C.\r\n");
  bench.documents().openList() = {source.string()};
  bench.documents().open(quillon::pages::DocumentCommands::Opener::Session);
  for (auto _ : state) {
    bench.build().compile();
    if (ui.statusText(4) != "COMPILE FAILED....") {
      state.SkipWithError(("compile ended with " + ui.statusText(4)).c_str());
      break;
    }
  }
}

// 1,000 error lines over 20 open pages of 20,000 lines each (corpus/pages/page*.mb).
void BM_MarkErrors(benchmark::State& state) {
  quillon::bench::Program p;
  std::vector<fs::path> pages;
  for (int i = 0; i < 20; ++i)
    pages.push_back(quillon::bench::corpus("pages/page" + std::to_string(i)));
  for (const fs::path& page : pages)
    if (!fs::exists(page)) {
      state.SkipWithError("no corpus/pages (run make bench)");
      return;
    }
  p.open(pages);
  const fs::path err = p.installed.folder() / "many.err";
  std::string errors;
  for (int i = 0; i < 1000; ++i)
    errors += "(page" + std::to_string(i % 20) + ".mb:" + std::to_string(1 + i * 17 % 19000) +
              ") Error number " + std::to_string(i) + ".\r\n";
  write(err, errors);
  quillon::build::ErrorMarker marker(p.bench.documents());
  std::size_t marks = 0;
  for (auto _ : state) {
    marker.mark(err, "origin");
    state.PauseTiming();
    marks = p.bench.gutter().errorMarkCount();
    marker.clear("origin");
    state.ResumeTiming();
  }
  state.counters["marks_on_current_page"] = static_cast<double>(marks);
}

// A keystroke and its repaint on a page of 20,000 lines with 0 or 1,000 error marks, the
// gutter painted beside the editor.
void BM_KeystrokeWithMarks(benchmark::State& state, int count) {
  CodeMemo memo;
  quillon::editor::HighlightEngine engine{memo};
  quillon::editor::NumberHighlighter numbers;
  quillon::settings::applySourceEditorProfile(memo);
  if (!quillon::bench::loadHighlighted(memo, engine, "pages/page0", state)) return;
  engine.setSyntaxHighlighting(true, &numbers);
  quillon::editor::MemoClipboard clipboard{memo};
  quillon::editor::CodeGutter gutter{&memo};
  std::vector<ErrorMark> marks;
  for (int i = 0; i < count; ++i) marks.push_back({i * 19, "Error " + std::to_string(i), "a.mb"});
  gutter.setErrorMarks(marks);
  QWidget frame;
  quillon::bench::QueuedCalls calls;
  quillon::bench::QuietUi ui{calls};
  auto* widget = new CodeMemoWidget(memo, clipboard, ui, &frame);
  auto* gutterWidget = new quillon::editor::CodeGutterWidget(&gutter, &frame);
  gutterWidget->setEditor(widget);
  widget->setErrorMarks(&gutter);
  gutterWidget->setGeometry(0, 0, 40, 700);
  widget->setGeometry(40, 0, 960, 700);
  frame.resize(1000, 700);
  frame.show();
  widget->setFocus();
  settle(memo);
  // On a marked stretch of the page, typing on an unmarked line.
  memo.setSelStart(memo.table().startOf(10 * 19 + 5));
  memo.scrollInView();
  settle(memo);
  for (auto _ : state) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    QApplication::sendEvent(widget, &press);
    widget->viewport()->repaint();
    gutterWidget->repaint();
    state.PauseTiming();
    settle(memo);
    state.ResumeTiming();
  }
  state.counters["marks"] = static_cast<double>(gutter.errorMarks().size());
}

// RSS in kilobytes.
long residentKb() {
  std::ifstream in("/proc/self/statm");
  long pages = 0, resident = 0;
  in >> pages >> resident;
  return resident * (::sysconf(_SC_PAGESIZE) / 1024);
}

// The stand-in prints 100 MB to standard output, the Build Output view in front: the
// program's memory growth and the longest the window went without processing its events
// meanwhile, the view's repaint with the kept output counted in.
void BM_CompilePrints100MB(benchmark::State& state) {
  ShownProgram p;
  const fs::path source = p.program.folder() / "loud.mb";
  write(source, "Sub Main\r\n'standin-spew 104857600\r\n");
  p.bench().documents().openList() = {source.string()};
  p.bench().documents().open(quillon::pages::DocumentCommands::Opener::Session);
  settle(p.bench().sourceEditor());
  p.bench().build().showOutput();
  auto* output = p.window->findChild<CodeMemoWidget*>("buildOutput");
  if (!output || !output->isVisible()) {
    state.SkipWithError("no Build Output view");
    return;
  }
  long growth = 0;
  qint64 longestGap = 0;
  for (auto _ : state) {
    const long before = residentKb();
    std::atomic<long> peak{before};
    std::atomic<bool> done{false};
    std::thread sampler([&] {
      while (!done) {
        peak = std::max(peak.load(), residentKb());
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
      }
    });
    QElapsedTimer sinceTick;
    sinceTick.start();
    QTimer tick;
    tick.setInterval(5);
    QObject::connect(&tick, &QTimer::timeout, [&] {
      longestGap = std::max(longestGap, sinceTick.restart());
      p.window->sourceEditorWidget().viewport()->repaint();
      output->viewport()->repaint();
    });
    tick.start();
    p.bench().build().compile();
    // The view's first paint of the new text, as the next event would do it, counted from
    // the last tick.
    output->viewport()->repaint();
    longestGap = std::max(longestGap, sinceTick.elapsed());
    tick.stop();
    done = true;
    sampler.join();
    growth = std::max(growth, peak.load() - before);
    if (p.bench().build().lastReport().droppedBytes +
            p.bench().build().lastReport().output.size() !=
        104857600u) {
      state.SkipWithError("not all output was counted");
      break;
    }
  }
  state.counters["rss_growth_MB"] = static_cast<double>(growth) / 1024.0;
  state.counters["longest_event_gap_ms"] = static_cast<double>(longestGap);
}

const bool registered = [] {
  benchmark::RegisterBenchmark("BM_CompileRoundTrip", BM_CompileRoundTrip)
      ->UseRealTime()
      ->Unit(benchmark::kMillisecond);
  for (const bool capture : {true, false})
    benchmark::RegisterBenchmark(
        capture ? "BM_CompileRoundTrip/core/capture" : "BM_CompileRoundTrip/core/nocapture",
        [capture](benchmark::State& s) { BM_CompileRoundTripCore(s, capture); })
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("BM_MarkErrors", BM_MarkErrors)
      ->UseRealTime()
      ->Unit(benchmark::kMillisecond);
  for (const int count : {0, 1000})
    benchmark::RegisterBenchmark(("BM_MarkErrors/keystroke/" + std::to_string(count)).c_str(),
                                 [count](benchmark::State& s) { BM_KeystrokeWithMarks(s, count); })
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("BM_CompilePrints100MB", BM_CompilePrints100MB)
      ->Iterations(3)
      ->UseRealTime()
      ->Unit(benchmark::kMillisecond);
  return true;
}();

}  // namespace
#endif

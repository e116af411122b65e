// Latency of what the user sees: a keystroke or Page Down until the editor has repainted, and
// start-up until the first paint of the source editor. Offscreen platform (see bench_main.cpp).
#ifdef QUILLON_BENCH_GUI
#include <QAbstractScrollArea>
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QScrollBar>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <utility>

#include "app/main_window.h"
#include "app/status_presenter.h"
#include "bench_support.h"
#include "editor/code_memo.h"
#include "editor/code_memo_widget.h"
#include "editor/highlight_engine.h"
#include "editor/number_highlighter.h"
#include "language/context_list.h"
#include "language/key_file.h"
#include "language/word_lists.h"
#include "platform/keyboard_state.h"
#include "quiet_program.h"
#include "settings/editor_profiles.h"

namespace {

using quillon::bench::corpus;

using quillon::editor::CodeMemo;
using quillon::editor::CodeMemoWidget;
using quillon::editor::HighlightEngine;
using quillon::editor::NumberHighlighter;
namespace fs = std::filesystem;

void sendKey(QWidget* target, int key, Qt::KeyboardModifiers mods = Qt::NoModifier,
             const QString& text = {}) {
  QKeyEvent press(QEvent::KeyPress, key, mods, text);
  QApplication::sendEvent(target, &press);
}

// Background layout runs in zero-time timers; a benchmark that starts before it has finished
// would measure the layout, not the paint.
void settle(CodeMemo& memo) {
  do QCoreApplication::processEvents();
  while (memo.layoutPending());
}

// Proves each iteration really painted, not just queued an update.
class PaintWatcher final : public QObject {
public:
  std::int64_t paints = 0;
  bool painted() const { return paints > 0; }

protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
};

// The source editor as the program sets it up: its profile, the default key file and the
// number highlighter, shown at 1000 x 700.
struct ShownEditor {
  CodeMemo memo;
  HighlightEngine engine{memo};
  NumberHighlighter numbers;
  quillon::editor::MemoClipboard clipboard{memo};
  quillon::bench::QueuedCalls calls;
  quillon::bench::QuietUi ui{calls};
  std::unique_ptr<CodeMemoWidget> widget;
  PaintWatcher watcher;

  bool setUp(const std::string& name, benchmark::State& state) {
    quillon::settings::applySourceEditorProfile(memo);
    if (!quillon::bench::loadHighlighted(memo, engine, name, state)) return false;
    engine.setSyntaxHighlighting(true, &numbers);
    widget = std::make_unique<CodeMemoWidget>(memo, clipboard, ui);
    widget->resize(1000, 700);
    widget->show();
    widget->activateWindow();
    widget->setFocus();
    settle(memo);
    widget->viewport()->installEventFilter(&watcher);
    return true;
  }
};

void BM_KeystrokePaint(benchmark::State& state, const std::string& name, bool atEnd) {
  ShownEditor e;
  if (!e.setUp(name, state)) return;
  CodeMemoWidget& w = *e.widget;
  sendKey(&w, atEnd ? Qt::Key_End : Qt::Key_Home, Qt::ControlModifier);
  settle(e.memo);
  w.viewport()->repaint();
  e.watcher.paints = 0;
  for (auto _ : state) {
    sendKey(&w, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    w.viewport()->repaint();
    state.PauseTiming();
    settle(e.memo);
    state.ResumeTiming();
  }
  state.counters["paints_per_key"] =
      static_cast<double>(e.watcher.paints) / static_cast<double>(state.iterations());
  state.counters["caret_line"] = static_cast<double>(e.memo.lineOfOffset(e.memo.selStart()));
}

void BM_PageDownPaint(benchmark::State& state, const std::string& name) {
  ShownEditor e;
  if (!e.setUp(name, state)) return;
  CodeMemoWidget& w = *e.widget;
  sendKey(&w, Qt::Key_Home, Qt::ControlModifier);
  settle(e.memo);
  e.watcher.paints = 0;
  std::int64_t wraps = 0;
  for (auto _ : state) {
    sendKey(&w, Qt::Key_PageDown);
    w.viewport()->repaint();
    state.PauseTiming();
    if (e.memo.lineOfOffset(e.memo.selStart()) >= e.memo.lineCount() - 1) {
      sendKey(&w, Qt::Key_Home, Qt::ControlModifier);
      ++wraps;
    }
    settle(e.memo);
    state.ResumeTiming();
  }
  state.counters["paints_per_key"] =
      static_cast<double>(e.watcher.paints) / static_cast<double>(state.iterations());
  state.counters["wraps"] = static_cast<double>(wraps);
}

// One line of 10 MB of code, written beside the corpora the first time it is asked for.
bool ensureLongLine(benchmark::State& state) {
  constexpr std::uintmax_t kSize = std::uintmax_t{10} << 20;
  const fs::path file = corpus("longline");
  std::error_code ec;
  const std::uintmax_t size = fs::file_size(file, ec);
  if (!ec && size >= kSize) return true;
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  const std::string piece = "Dim total As Integer : total = total + &H1F * (count - 1)\t: ";
  for (std::uintmax_t n = 0; n < kSize; n += piece.size()) out << piece;
  if (!out.flush()) {
    state.SkipWithError("cannot write the long line");
    return false;
  }
  return true;
}

enum class LongLineStep { end, typeAtEnd, typeAtStart };

// The long line in the window: End from its start, or a key typed at either end, each until
// the editor has repainted.
void BM_LongLine(benchmark::State& state, LongLineStep step) {
  if (!ensureLongLine(state)) return;
  ShownEditor e;
  if (!e.setUp("longline", state)) return;
  CodeMemoWidget& w = *e.widget;
  if (step == LongLineStep::typeAtEnd) sendKey(&w, Qt::Key_End);
  settle(e.memo);
  w.viewport()->repaint();
  e.watcher.paints = 0;
  for (auto _ : state) {
    if (step == LongLineStep::end) {
      state.PauseTiming();
      sendKey(&w, Qt::Key_Home);
      w.viewport()->repaint();
      settle(e.memo);
      state.ResumeTiming();
      sendKey(&w, Qt::Key_End);
    } else {
      sendKey(&w, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    }
    w.viewport()->repaint();
    state.PauseTiming();
    settle(e.memo);
    state.ResumeTiming();
  }
  state.counters["caret_x"] = static_cast<double>(e.memo.caretX());
}

struct NoKeyboard final : quillon::platform::KeyboardState {
  std::optional<bool> capsLock() const override { return std::nullopt; }
  std::optional<bool> numLock() const override { return std::nullopt; }
};

void BM_StartupToFirstPaint(benchmark::State& state) {
  NoKeyboard keyboard;
  const quillon::bench::ScratchProgram program;
  for (auto _ : state) {
    auto window = std::make_unique<quillon::app::MainWindow>(keyboard);
    window->start(program.file(), {}, program.surroundings());
    PaintWatcher watcher;
    window->sourceEditorWidget().viewport()->installEventFilter(&watcher);
    window->show();
    QElapsedTimer limit;
    limit.start();
    while (!watcher.painted() && limit.elapsed() < 10000) QCoreApplication::processEvents();
    state.PauseTiming();
    const bool painted = watcher.painted();
    window->sourceEditorWidget().viewport()->removeEventFilter(&watcher);
    window.reset();
    QCoreApplication::processEvents();
    state.ResumeTiming();
    if (!painted) {
      state.SkipWithError("the source editor was never painted");
      return;
    }
  }
}

// BM_KeystrokePaint through the program's own window: default word lists, the large corpus
// opened as a page and the context list shown, so every keystroke is classified and the list
// repainted with the editor.
void BM_KeystrokePaintContext(benchmark::State& state, const std::string& name, bool atEnd) {
  NoKeyboard keyboard;
  const quillon::bench::ScratchProgram program;
  auto window = std::make_unique<quillon::app::MainWindow>(keyboard);
  window->start(program.file(), {fs::absolute(corpus(name)).string()}, program.surroundings());
  if (window->workbench().currentFile() == "Untitled" ||
      window->workbench().wordLists().list(quillon::language::WordList::Help).empty()) {
    state.SkipWithError("cannot open the corpus or the default word lists");
    return;
  }
  window->resize(1000, 800);
  window->show();
  window->workbench().contextList().helpContext();
  CodeMemoWidget& w = window->sourceEditorWidget();
  QWidget* list = window->findChild<QWidget*>("contextList");
  w.setFocus();
  CodeMemo& memo = window->workbench().sourceEditor();
  sendKey(&w, atEnd ? Qt::Key_End : Qt::Key_Home, Qt::ControlModifier);
  settle(memo);
  PaintWatcher watcher;
  w.viewport()->installEventFilter(&watcher);
  for (auto _ : state) {
    sendKey(&w, Qt::Key_D, Qt::NoModifier, QStringLiteral("d"));
    w.viewport()->repaint();
    if (list) static_cast<QAbstractScrollArea*>(list)->viewport()->repaint();
    state.PauseTiming();
    settle(memo);
    state.ResumeTiming();
  }
  w.viewport()->removeEventFilter(&watcher);
  state.counters["paints_per_key"] =
      static_cast<double>(watcher.paints) / static_cast<double>(state.iterations());
  state.counters["context_rows"] =
      static_cast<double>(window->workbench().status().contextItems().size());
}

void registerAll() {
  for (const char* c : {"small", "medium", "large"}) {
    const std::string corpusName = c;
    for (const bool atEnd : {false, true})
      benchmark::RegisterBenchmark(
          ("BM_KeystrokePaint/" + corpusName + (atEnd ? "/last" : "/first")).c_str(),
          [corpusName, atEnd](benchmark::State& s) { BM_KeystrokePaint(s, corpusName, atEnd); })
          ->UseRealTime()
          ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(
        ("BM_PageDownPaint/" + corpusName).c_str(),
        [corpusName](benchmark::State& s) { BM_PageDownPaint(s, corpusName); })
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
  }
  for (const bool atEnd : {false, true})
    benchmark::RegisterBenchmark(
        (std::string("BM_KeystrokePaintContext/large") + (atEnd ? "/last" : "/first")).c_str(),
        [atEnd](benchmark::State& s) { BM_KeystrokePaintContext(s, "large", atEnd); })
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
  for (const auto& [label, step] :
       {std::pair{"end", LongLineStep::end}, std::pair{"type_end", LongLineStep::typeAtEnd},
        std::pair{"type_start", LongLineStep::typeAtStart}})
    benchmark::RegisterBenchmark((std::string("BM_LongLine/") + label).c_str(),
                                 [step](benchmark::State& s) { BM_LongLine(s, step); })
        ->UseRealTime()
        ->Iterations(20)
        ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("BM_StartupToFirstPaint", BM_StartupToFirstPaint)
      ->UseRealTime()
      ->Unit(benchmark::kMillisecond);
}

const bool registered = (registerAll(), true);

}  // namespace
#endif

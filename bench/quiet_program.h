#pragma once
// A started program whose screen is quiet: every dialog is answered from a list, nothing is
// shown, and the outside programs are started for real through the POSIX launcher.
#include <array>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "app/workbench.h"
#include "bench_support.h"
#include "editor/code_memo.h"
#include "pages/document_commands.h"
#include "platform/automation.h"
#include "platform/clipboard.h"
#include "platform/clock.h"
#include "platform/command_states.h"
#include "platform/keyboard_state.h"
#include "platform/main_thread.h"
#include "platform/main_view.h"
#include "platform/posix_process_launcher.h"
#include "platform/ui.h"
#include "platform/window_placement.h"

namespace quillon::bench {

namespace fs = std::filesystem;
using quillon::app::Workbench;
using quillon::platform::Command;

// Completions wait here; processPendingMessages runs them.
class QueuedCalls final : public quillon::platform::MainThread {
public:
  void post(std::function<void()> call) override {
    std::lock_guard lock(mutex_);
    calls_.push_back(std::move(call));
  }
  void drain() {
    std::deque<std::function<void()>> calls;
    {
      std::lock_guard lock(mutex_);
      calls.swap(calls_);
    }
    for (auto& c : calls) c();
  }

private:
  std::mutex mutex_;
  std::deque<std::function<void()>> calls_;
};

// The screen as a benchmark sees it: nothing shown, every dialog answered from a list.
class QuietUi final : public quillon::platform::Ui {
public:
  std::vector<fs::path> nextOpen;
  int nextFilter = 0;  // the filter the open dialog is confirmed with; 0 leaves it
  void showMessage(std::string_view) override {}
  Answer ask(std::string_view, std::string_view, Buttons) override { return Answer::No; }
  std::optional<std::string> prompt(std::string_view, std::string_view, std::string_view) override {
    return std::nullopt;
  }
  std::vector<fs::path> openFiles(FileDialog& dialog) override {
    if (nextFilter != 0) dialog.filterIndex = nextFilter;
    return nextOpen;
  }
  std::optional<fs::path> saveFile(const FileDialog&) override { return std::nullopt; }
  std::optional<fs::path> pickFolder(std::string_view, const fs::path&) override {
    return std::nullopt;
  }
  void setStatusText(int panel, std::string_view text) override { status_[panel] = text; }
  std::string statusText(int panel) const override {
    const auto it = status_.find(panel);
    return it == status_.end() ? std::string() : it->second;
  }
  void setBusy(bool) override {}
  void processPendingMessages() override { calls_.drain(); }

  explicit QuietUi(QueuedCalls& calls) : calls_(calls) {}

private:
  QueuedCalls& calls_;
  std::map<int, std::string> status_;
};

class QuietView final : public quillon::platform::MainView {
public:
  void setRegionVisible(Region, bool) override {}
  bool regionVisible(Region) const override { return true; }
  void setCaption(std::string_view) override {}
  void setTabs(const std::vector<std::string>&, int) override {}
  void setWindowMenu(const std::vector<std::string>&) override {}
  void setTabMarks(const std::vector<bool>&) override {}
  void setWindowMenuMarks(const std::vector<bool>&) override {}
  void setBookmarkCaption(int, std::string_view) override {}
  void setRecentMenus(const std::vector<std::string>&, const std::vector<std::string>&) override {}
  quillon::platform::WindowPlacement windowPlacement() const override { return {}; }
  void setWindowPlacement(const quillon::platform::WindowPlacement&) override {}
  quillon::platform::ScreenRect screen() const override { return {0, 0, 1024, 768}; }
  void centreWindow() override {}
  void setEditorFont(const quillon::platform::FontInfo&) override {}
  void setEditorAltFont(const quillon::platform::FontInfo&) override {}
  void setEditorBackground(quillon::platform::Color) override {}
  std::optional<quillon::platform::FontInfo> chooseFont(
      const quillon::platform::FontInfo&) override {
    return std::nullopt;
  }
  void showColorPicker(quillon::platform::Color) override {}
  void setContextItems(const std::vector<std::string>&, int) override {}
  void showBottomPanel(BottomPage) override {}
  void hideBottomPanel() override {}
  bool bottomPanelVisible() const override { return false; }
  bool bottomPanelShows(BottomPage) const override { return false; }
  bool editorHasFocus() const override { return true; }
  void focusSourceEditor() override {}
  void minimize() override {}
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

// No GIS program is ever there.
struct NoAutomation final : quillon::platform::Automation {
  bool attach() override { return false; }
  void release() override {}
  std::optional<std::string> doStatement(std::string_view) override { return std::nullopt; }
};

inline const BenchMetrics kMetrics;

// A started program with its source editor laid out as on screen.
struct Program {
  quillon::bench::ScratchProgram installed;
  QueuedCalls mainThread;
  QuietUi ui{mainThread};
  QuietView view;
  QuietStates states;
  NoKeyboard keyboard;
  NoClipboard clipboard;
  quillon::platform::SystemClock clock;
  quillon::platform::PosixProcessLauncher launcher{quillon::platform::Environment::fromProcess()};
  NoAutomation automation;
  BenchPrinter printer;
  Workbench bench{
      {ui, view, states, keyboard, clipboard, clock, launcher, automation, mainThread, printer}};

  Program() {
    bench.sourceEditor().setMetrics(&kMetrics);
    bench.sourceEditor().setViewport(1000, 700);
    bench.start(installed.file(), {}, installed.surroundings());
  }
  void open(const std::vector<fs::path>& files) {
    ui.nextOpen = files;
    bench.documents().open(quillon::pages::DocumentCommands::Opener::Dialog);
  }
};

}  // namespace quillon::bench

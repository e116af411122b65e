#pragma once
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "build/error_marker.h"
#include "build/error_panel.h"
#include "build/proc_runner.h"
#include "editor/code_memo_fwd.h"
#include "pages/document_commands.h"
#include "platform/automation.h"
#include "platform/clock.h"
#include "platform/command_states.h"
#include "platform/environment.h"
#include "platform/main_view.h"
#include "platform/ui.h"
#include "settings/option_commands.h"
#include "settings/settings.h"

namespace quillon::build {

// What the last compile or link came to, as the output view and the command line show it.
struct BuildReport {
  enum class Result {
    None,        // nothing ran: the command ended before the compiler
    Built,       // an output file and no error file
    Failed,      // the compiler wrote an error file
    NoOutput,    // the compiler ended and left neither
    NotStarted,  // the compiler could not be started
    Stopped,     // Stop Build ended it
  };
  Result result = Result::None;
  std::string commandLine;       // as the child received it, each argument quoted as Windows would
  std::filesystem::path folder;  // the child's working folder
  std::string output;            // what it printed (standard output and error together)
  std::uint64_t droppedBytes = 0;  // printed beyond the kept limit
  std::optional<int> exitCode;     // 128 + N after signal N
  std::chrono::milliseconds elapsed{0};
  std::filesystem::path errorFile;  // when Failed
};

// Compile, Link and Run through the outside compiler and the GIS program, and the F9 keys.
//
// A build holds the program until the compiler has finished, processing messages while it
// waits; while it waits the build commands are disabled and refuse to start, so that no
// second build runs inside the first. `waiting_` is that state and runCompiler() the one
// place that sets it. Each command works on the page and path it started with.
class BuildCommands {
public:
  struct Parts {
    platform::Ui& ui;
    platform::MainView& view;
    platform::CommandStates& states;
    editor::CodeMemo& sourceEditor;
    pages::DocumentCommands& documents;
    settings::OptionCommands& options;
    ErrorPanel& errorPanel;
    ProcRunner& runner;
    platform::Clock& clock;
    platform::Automation& automation;
  };

  // The compiler ended and left neither an output nor an error file.
  static constexpr const char* kNoOutput = "NO OUTPUT FROM COMPILER: ";
  static constexpr const char* kLocateCaption =
      "Locate MapBasic Folder [DOUBLE CLICK TO SELECT]....";
  // The pause after starting the compiler, at its longest, and its slices: short enough that
  // the window repaints smoothly while a compiler runs.
  static constexpr std::chrono::milliseconds kStartPause{5000};
  static constexpr std::chrono::milliseconds kPauseSlice{20};
  static constexpr std::chrono::milliseconds kPollInterval{20};
  static constexpr std::chrono::milliseconds kAttachWait{3000};

  explicit BuildCommands(Parts parts);

  // The settings whose folders a build reads, and where a chosen MapBasic folder is kept;
  // the environment that names the Wine prefix. Until set, no folder is known.
  void setSurroundings(settings::SettingsValues* values, platform::Environment environment);

  void compile();
  void link();
  void run();
  // F9 (Save, then Compile, Link or Run as the page asks) and Ctrl+F9 (Save, then Compile),
  // from the source editor. Ignored while a build waits.
  void buildKey(bool ctrl);

  bool waiting() const { return waiting_; }
  // The folders of the settings as this machine opens them; empty when not known.
  std::filesystem::path mapBasicFolder() const;
  std::filesystem::path mapInfoFolder() const;
  // The window is closing: a build that waits for the compiler stops waiting and ends.
  void abandonWait() { abandoned_ = true; }
  // Stop Build: the compiler and everything it started are asked to end, and killed when
  // still there after kStopGrace; the waiting build then reports "BUILD STOPPED: ".
  void stopBuild();
  // The compiler's output of the last build, in the bottom panel.
  void showOutput();
  // The same, waited for here: when this returns nothing of the compiler is left.
  void stopBuildNow();
  static constexpr std::chrono::milliseconds kStopGrace{2000};
  static constexpr const char* kStopped = "BUILD STOPPED: ";

  const BuildReport& lastReport() const { return report_; }
  // A compile or link that ran the compiler has ended; the output view shows the report.
  std::function<void(const BuildReport&)> reportReady;

private:
  enum class Kind { Compile, Link };
  struct CommandGuard;

  void setMessage(const std::string& text) { ui_.setStatusText(platform::Ui::kMessagePanel, text); }
  void doneBox();
  bool pageIsBlank() const;
  bool savedUnderAName(const char* mustSaveText);
  bool pageBuildable(Kind kind);
  bool saveFirst();
  std::optional<std::filesystem::path> locateCompiler(Kind kind);
  std::optional<std::filesystem::path> pickMapBasicFolder();
  void hideErrors();
  bool removeStale(const std::filesystem::path& file);
  // S5: false when the compiler could not be started or the wait was abandoned.
  bool runCompiler(const std::filesystem::path& exe, const std::string& parameters,
                   const std::filesystem::path& folder, const std::string& runningText);
  // Waits while the compiler runs, ending it once Stop Build asked; false when abandoned.
  bool waitForCompiler(platform::ChildProcess* child);
  // After a run: the result, the view in front when the compiler failed without an error
  // file, and the report handed on.
  void finishReport(BuildReport::Result result, const std::filesystem::path& errorFile = {});
  // Stop Build ended the run: the message and the outputs it may have left.
  void reportStopped(const std::string& name, const std::vector<std::filesystem::path>& outputs);
  void showErrors(const std::string& text, const std::filesystem::path& errorFile);
  void startGisProgram();
  std::string currentCaption() const;
  std::filesystem::path localFolder(const std::filesystem::path& folder) const;

  platform::Ui& ui_;
  platform::MainView& view_;
  platform::CommandStates& states_;
  editor::CodeMemo& sourceEditor_;
  pages::DocumentCommands& documents_;
  settings::OptionCommands& options_;
  ErrorPanel& errorPanel_;
  ProcRunner& runner_;
  platform::Clock& clock_;
  platform::Automation& automation_;
  settings::SettingsValues* settings_ = nullptr;
  platform::Environment environment_;

  std::optional<platform::Ui::Answer> lastSaveAnswer_;
  bool saveFailed_ = false;
  bool waiting_ = false;
  bool abandoned_ = false;
  std::optional<platform::Clock::TimePoint> stopAt_;  // when Stop Build asked
  bool killed_ = false;
  BuildReport report_;
  ErrorMarker marker_{documents_};
};

}  // namespace quillon::build

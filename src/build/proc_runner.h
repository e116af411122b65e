#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/main_thread.h"
#include "platform/process_launcher.h"

namespace quillon::build {

// How the child's first window is shown; the values are the Windows show values. X11 has no
// say over another program's first window, so the Linux launcher takes them as given only.
enum class WindowType { wtNorm, wtMinimize, wtMaximize, wtHide, wtMinNoActivate, wtShowNoActivate };
int showValue(WindowType type);
// The child's priority; the values are the Windows creation flags. Only prIdle has an effect
// on Linux (nice 19).
enum class PriorityClass { prNormal, prIdle, prHigh, prRealTime };
unsigned creationFlag(PriorityClass priority);
// Which of the two events may be raised.
enum class UseEvent { ueAll, ueOnLaunchFailed, ueOnProcCompleted, ueNone };

// Starts an outside program and keeps track of it until it ends. A run either blocks in
// execute() until the child ends, or hands the wait to a watcher thread and lets the caller
// poll isRunning().
//
// Invariant: the tracked list holds exactly the successful launches whose child has not yet
// been seen to end, keyed by the lower-cased program name and the identifier; only the
// calling thread touches it, and purge() is the one place entries leave it. A tracked entry
// and its watcher share one child handle, which caches the child's status once reaped, so
// isRunning() answers for the child itself also after its watcher gave up. Watchers report
// only through the MainThread port, and never after the runner is gone: destruction stops
// and joins them all, and a completion still on its way to the main thread is dropped.
class ProcRunner {
public:
  // The sender is the runner for a blocking run and the watcher for one watched.
  using ProcCompleted =
      std::function<void(const void* sender, const std::string& fileName,
                         const std::string& identifier, std::int32_t retValue, bool timedOut)>;
  using LaunchFailed = std::function<void(const void* sender, const std::string& fileName,
                                          const std::string& identifier, std::int32_t errorCode,
                                          const std::string& errorMessage)>;

  static constexpr std::int32_t kAlreadyRunning = -1;
  static constexpr std::int32_t kMixedWaitTypes = -2;
  static constexpr std::int32_t kTimedOut = -3;
  static constexpr std::int32_t kBadCurrentDir = -4;
  static constexpr const char* kAlreadyRunningText =
      "Another Process with the same Name and ID is executing.";
  static constexpr const char* kMixedWaitTypesText = "Cannot mix 'WaitUntilDone' types.";
  static constexpr const char* kBadCurrentDirText = "Current Directory Invalid";
  // The longest command line Windows takes; a longer one fails as E2BIG.
  static constexpr std::size_t kMaxCommandLine = 32767;
  static constexpr std::uint32_t kInfinite = 0xFFFFFFFF;

  ProcRunner(platform::ProcessLauncher& launcher, platform::MainThread& mainThread);
  ProcRunner(const ProcRunner&) = delete;
  ProcRunner& operator=(const ProcRunner&) = delete;
  ~ProcRunner();

  // ----- Properties -----
  std::string version() const { return "1.0"; }
  void setVersion(std::string_view) {}
  const std::string& procFileName() const { return fileName_; }
  void setProcFileName(std::string name);
  const std::string& procParameters() const { return parameters_; }
  void setProcParameters(std::string parameters) { parameters_ = std::move(parameters); }
  const std::string& procIdentifier() const { return identifier_; }
  void setProcIdentifier(std::string identifier) { identifier_ = std::move(identifier); }
  const std::string& procCurrentDir() const { return currentDir_; }
  void setProcCurrentDir(std::string folder) { currentDir_ = std::move(folder); }
  WindowType windowType() const { return windowType_; }
  void setWindowType(WindowType type) { windowType_ = type; }
  bool waitUntilDone() const { return waitUntilDone_; }
  void setWaitUntilDone(bool wait) { waitUntilDone_ = wait; }
  UseEvent useEvent() const { return useEvent_; }
  void setUseEvent(UseEvent use) { useEvent_ = use; }
  PriorityClass priority() const { return priority_; }
  void setPriority(PriorityClass priority) { priority_ = priority; }
  std::int32_t timeOutSec() const { return timeOutSec_; }
  // 0 (and, since nothing sets them, negative values) wait without limit; above 3600 waits
  // one hour.
  void setTimeOutSec(std::int32_t seconds);
  std::uint32_t timeOutMs() const { return timeOutMs_; }
  // The child's standard output and error are kept (read by its watcher) instead of going
  // to /dev/null, and the child leads a process group of its own.
  bool captureOutput() const { return captureOutput_; }
  void setCaptureOutput(bool capture) { captureOutput_ = capture; }

  ProcCompleted onProcCompleted;
  LaunchFailed onLaunchFailed;

  // ----- Operations -----
  // Starts procFileName with the current properties: argv[0] is the name as given, the
  // rest are the parameters split by the Windows rules. True when the child started (and,
  // blocking, its wait ended); false when the launch was refused or failed.
  bool execute();
  // Whether the run keyed by the current name and identifier is tracked and still active.
  bool isRunning();
  // Clears the run's properties; tracked runs stay.
  void reset();

  // 0, a refusal code (-1, -2, -4), the system's error number, or -3 after a blocking wait
  // that timed out.
  std::int32_t lastError() const { return lastError_; }
  // The text that went with the last refusal or failure.
  const std::string& lastErrorMessage() const { return lastErrorMessage_; }
  std::int32_t returnValue() const { return returnValue_; }
  bool timedOut() const { return timedOut_; }
  // The Windows command line of the current properties: the lower-cased name, one space,
  // then the parameters. It decides the length limit only.
  std::string commandLine() const;
  std::size_t trackedCount() const { return tracked_.size(); }
  // The child of the last successful launch, for its exit code, its output and ending it;
  // empty before the first.
  const std::shared_ptr<platform::ChildProcess>& lastChild() const { return lastChild_; }

private:
  struct Tracked {
    std::string lowerName;
    std::string identifier;
    std::shared_ptr<platform::ChildProcess> child;
    bool async = false;
  };
  struct Shared;  // what the watchers share with the runner and the main thread
  struct Watcher;

  bool launch(bool async);
  void launchFailed(std::int32_t code, const std::string& message);
  void purge();
  std::optional<std::chrono::milliseconds> waitLimit() const;
  void startWatcher(std::shared_ptr<platform::ChildProcess> child);

  platform::ProcessLauncher& launcher_;
  platform::MainThread& mainThread_;
  std::string fileName_;
  std::string lowerName_;
  std::string parameters_;
  std::string identifier_;
  std::string currentDir_;
  WindowType windowType_ = WindowType::wtNorm;
  bool waitUntilDone_ = false;
  UseEvent useEvent_ = UseEvent::ueAll;
  PriorityClass priority_ = PriorityClass::prNormal;
  std::int32_t timeOutSec_ = 0;
  std::uint32_t timeOutMs_ = kInfinite;
  bool captureOutput_ = false;
  std::shared_ptr<platform::ChildProcess> lastChild_;

  std::int32_t lastError_ = 0;
  std::string lastErrorMessage_;
  std::int32_t returnValue_ = 0;
  bool timedOut_ = false;
  std::vector<Tracked> tracked_;
  std::vector<std::unique_ptr<Watcher>> watchers_;
  std::stop_source stop_;
  std::shared_ptr<Shared> shared_;
};

}  // namespace quillon::build

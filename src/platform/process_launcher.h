#pragma once
#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <variant>
#include <vector>

namespace quillon::platform {

// A started child process, shared by everyone who keeps track of it. It is reaped exactly
// once, by whichever call first sees it end; the status is kept for every later question.
class ChildProcess {
public:
  enum class WaitResult { Ended, TimedOut, Stopped };

  virtual ~ChildProcess() = default;
  // True while the child has not ended.
  virtual bool active() = 0;
  // The exit code once the child has ended (128 + N for a child ended by signal N);
  // nullopt while it runs or when its status cannot be read.
  virtual std::optional<int> exitCode() = 0;
  // Waits until the child ends, `timeout` passes (nullopt: no limit) or `stop` is requested.
  virtual WaitResult wait(std::optional<std::chrono::milliseconds> timeout, std::stop_token stop) = 0;
};

// How a child is started. The values are those the Windows calls take.
struct LaunchRequest {
  std::filesystem::path program;        // started as given, never through a shell
  std::vector<std::string> arguments;   // after the program's own name
  std::filesystem::path workingFolder;  // empty: the caller's
  int showWindow = 1;                   // SW_SHOWNORMAL
  unsigned priorityClass = 0x20;        // NORMAL_PRIORITY_CLASS
};

struct LaunchError {
  int code = 0;  // positive: the system's error number
  std::string message;
};

// Starts child processes. A failed start is an error with the system's code and text; the
// child is never half-started.
class ProcessLauncher {
public:
  using Result = std::variant<std::shared_ptr<ChildProcess>, LaunchError>;
  virtual ~ProcessLauncher() = default;
  virtual Result launch(const LaunchRequest& request) = 0;
};

}  // namespace quillon::platform

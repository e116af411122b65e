#pragma once
#include <chrono>
#include <cstdint>
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
  // A captured child's output is read meanwhile, by the thread that waits.
  virtual WaitResult wait(std::optional<std::chrono::milliseconds> timeout,
                          std::stop_token stop) = 0;

  // What a child launched with captureOutput wrote to its standard output and error, in the
  // order written: the first kOutputLimit bytes, and how many more were dropped. Once the
  // child has ended the rest is read and the pipe closed, without waiting for anyone who
  // still holds it. The limit keeps the output view (which holds a copy) and the kept bytes
  // together within a few megabytes however much a child prints.
  static constexpr std::size_t kOutputLimit = 3u << 20;
  struct Output {
    std::string text;
    std::uint64_t dropped = 0;
  };
  virtual Output output() { return {}; }
  // Hands over what output() answers, so the kept bytes are not held twice; later calls
  // answer no text, and the count of dropped bytes as before.
  virtual Output takeOutput() { return output(); }
  // Signals the child, and its process group when it has one of its own: Probe sends
  // nothing, Terminate asks it to end (SIGTERM), Kill ends it (SIGKILL). True while anything
  // of it is still there.
  enum class EndSignal { Probe, Terminate, Kill };
  virtual bool signalEnd(EndSignal /*signal*/) { return active(); }
  // The program and arguments exec was given (wine's, when the program runs under it).
  virtual std::vector<std::string> commandArguments() const { return {}; }
};

// How a child is started. The values are those the Windows calls take.
struct LaunchRequest {
  std::filesystem::path program;        // started as given, never through a shell
  std::vector<std::string> arguments;   // after the program's own name
  std::filesystem::path workingFolder;  // empty: the caller's
  int showWindow = 1;                   // SW_SHOWNORMAL
  unsigned priorityClass = 0x20;        // NORMAL_PRIORITY_CLASS
  // Standard output and error go to one pipe the parent reads (else /dev/null), and the
  // child leads a process group of its own, so that everything it starts can be ended.
  bool captureOutput = false;
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

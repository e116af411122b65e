#pragma once
#include "platform/environment.h"
#include "platform/process_launcher.h"

namespace quillon::platform {

// Starts children with fork and exec, never through a shell. The child gets descriptors 0-2
// on /dev/null (1 and 2 on the output pipe when captured) and no others, the caller's environment,
// and nice 19 for the idle priority class; the show values and the other priority classes have no
// meaning under X11.
//
// A "*.exe" that is no ELF program runs under `wine` from PATH, with the program and every
// absolute-path argument given as Windows paths of the Wine prefix (WINEPREFIX, else
// ~/.wine), and WINEPREFIX set to that prefix. Each child is reaped exactly once, by its own
// pid: no SIGCHLD handler, no waitpid(-1), so children that others started stay theirs.
class PosixProcessLauncher final : public ProcessLauncher {
public:
  explicit PosixProcessLauncher(Environment environment) : environment_(std::move(environment)) {}
  Result launch(const LaunchRequest& request) override;

  static constexpr const char* kWineMissing = "wine is not installed (not found on PATH)";

private:
  Environment environment_;
};

}  // namespace quillon::platform

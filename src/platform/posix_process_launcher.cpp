#include "platform/posix_process_launcher.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>

#include "platform/ascii_text.h"
#include "platform/wine_registry.h"

extern char** environ;

namespace quillon::platform {

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

LaunchError systemError(int code) { return {code, std::strerror(code)}; }

// The descriptor is closed with the object.
struct Fd {
  int fd = -1;
  Fd() = default;
  explicit Fd(int f) : fd(f) {}
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  ~Fd() {
    if (fd >= 0) ::close(fd);
  }
};

class PosixChild final : public ChildProcess {
public:
  // `output` is the read end of the child's output pipe, or -1; `group` says the child leads
  // a process group of its own.
  PosixChild(pid_t pid, int output, bool group, std::vector<std::string> argv)
      : pid_(pid), output_(output), group_(group), argv_(std::move(argv)) {
#ifdef SYS_pidfd_open
    pidfd_ = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
    if (pidfd_ >= 0) ::fcntl(pidfd_, F_SETFD, FD_CLOEXEC);
#endif
  }
  ~PosixChild() override {
    if (pidfd_ >= 0) ::close(pidfd_);
    if (output_ >= 0) ::close(output_);
    // Nobody asks about it any more; it is still reaped once it ends.
    if (!reaped())
      std::thread([pid = pid_] {
        while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {}
      }).detach();
  }

  bool active() override { return !reaped(); }

  std::optional<int> exitCode() override {
    reaped();
    std::lock_guard lock(mutex_);
    return status_;
  }

  WaitResult wait(std::optional<std::chrono::milliseconds> timeout, std::stop_token stop) override {
    const auto deadline = timeout ? Clock::now() + *timeout : Clock::time_point::max();
    Fd wake(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
    std::stop_callback onStop(stop, [&wake] {
      const std::uint64_t one = 1;
      if (wake.fd >= 0) [[maybe_unused]]
        auto n = ::write(wake.fd, &one, sizeof one);
    });
    for (;;) {
      if (reaped()) {
        finishOutput();
        return WaitResult::Ended;
      }
      if (stop.stop_requested()) return WaitResult::Stopped;
      const auto now = Clock::now();
      if (now >= deadline) return WaitResult::TimedOut;
      // Without a pidfd (old kernels) the child is looked at every 20 ms.
      long long slice = pidfd_ >= 0 && wake.fd >= 0 ? -1 : 20;
      if (timeout) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now).count() + 1;
        slice = slice < 0 ? left : std::min<long long>(slice, left);
      }
      const int out = outputFd();
      pollfd fds[3] = {{pidfd_, POLLIN, 0}, {wake.fd, POLLIN, 0}, {out, POLLIN, 0}};
      ::poll(fds, out >= 0 ? 3 : 2, static_cast<int>(std::min<long long>(slice, 1 << 30)));
      if (out >= 0 && fds[2].revents) readOutput(false);
    }
  }

  Output output() override {
    if (reaped()) finishOutput();
    std::lock_guard lock(outputMutex_);
    return captured_;
  }

  Output takeOutput() override {
    if (reaped()) finishOutput();
    std::lock_guard lock(outputMutex_);
    Output out = std::move(captured_);
    captured_ = Output{{}, out.dropped};
    return out;
  }

  bool signalEnd(EndSignal end) override {
    const int signal = end == EndSignal::Kill ? SIGKILL : end == EndSignal::Terminate ? SIGTERM : 0;
    // The group outlives its leader while anything the leader started is left in it; its id
    // is not given to another process meanwhile.
    if (group_ && ::kill(-pid_, signal) == 0) return true;
    if (reaped()) return false;
    if (signal) ::kill(pid_, signal);
    return true;
  }

  std::vector<std::string> commandArguments() const override { return argv_; }

private:
  int outputFd() {
    std::lock_guard lock(outputMutex_);
    return output_;
  }

  // Reads what the pipe holds now; at the end also closes it. A descendant that keeps the
  // pipe open and goes on writing is not waited for: the end reads a bounded amount.
  void readOutput(bool atEnd) {
    std::lock_guard lock(outputMutex_);
    if (output_ < 0) return;
    char buffer[65536];
    std::size_t budget = atEnd ? 64 : 16;  // reads of one call
    while (budget-- > 0) {
      const ssize_t n = ::read(output_, buffer, sizeof buffer);
      if (n < 0 && errno == EINTR) continue;
      if (n == 0 || (n < 0 && errno != EAGAIN)) {
        ::close(output_);
        output_ = -1;
        return;
      }
      if (n < 0) break;
      const std::size_t room = kOutputLimit - std::min(kOutputLimit, captured_.text.size());
      const std::size_t kept = std::min(room, static_cast<std::size_t>(n));
      // Room for all that is kept at once: growing by doubling would hold the old and the
      // new copy together. Pages never written cost nothing.
      if (kept && captured_.text.capacity() < kOutputLimit) captured_.text.reserve(kOutputLimit);
      captured_.text.append(buffer, kept);
      captured_.dropped += static_cast<std::uint64_t>(n) - kept;
    }
    if (atEnd) {
      ::close(output_);
      output_ = -1;
    }
  }
  void finishOutput() { readOutput(true); }

  // True once the child's status is known or can no longer be known.
  bool reaped() {
    std::lock_guard lock(mutex_);
    if (done_) return true;
    int status = 0;
    pid_t r;
    do r = ::waitpid(pid_, &status, WNOHANG);
    while (r < 0 && errno == EINTR);
    if (r == 0) return false;
    done_ = true;
    if (r == pid_) {
      if (WIFEXITED(status))
        status_ = WEXITSTATUS(status);
      else if (WIFSIGNALED(status))
        status_ = 128 + WTERMSIG(status);
    }
    return true;
  }

  pid_t pid_;
  int pidfd_ = -1;
  std::mutex mutex_;
  bool done_ = false;
  std::optional<int> status_;
  std::mutex outputMutex_;
  int output_;
  bool group_;
  Output captured_;
  std::vector<std::string> argv_;
};

bool isExe(const fs::path& program) { return equalsNoCase(program.extension().string(), ".exe"); }

// 0 when the file starts with the ELF magic, 1 when it does not, else the error number.
int elfCheck(const fs::path& program, bool& elf) {
  Fd fd(::open(program.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (fd.fd < 0) return errno;
  char magic[4] = {};
  const ssize_t n = ::read(fd.fd, magic, sizeof magic);
  elf = n == 4 && std::memcmp(magic,
                              "\x7f"
                              "ELF",
                              4) == 0;
  return 0;
}

// What exec gets, all prepared before fork: the child may only make system calls.
struct ExecPlan {
  std::string file;
  std::vector<std::string> argv;
  std::vector<std::string> extraEnvironment;
};

}  // namespace

ProcessLauncher::Result PosixProcessLauncher::launch(const LaunchRequest& request) {
  ExecPlan plan;
  std::error_code ec;
  fs::path program = request.program;
  if (!program.has_parent_path()) program = fs::absolute(program, ec);
  plan.file = program.string();
  plan.argv.push_back(request.program.string());
  for (const std::string& a : request.arguments) plan.argv.push_back(a);

  if (isExe(program)) {
    bool elf = false;
    if (const int error = elfCheck(program, elf)) return systemError(error);
    if (!elf) {
      const std::optional<fs::path> wine = environment_.findProgram("wine");
      if (!wine) return LaunchError{ENOENT, kWineMissing};
      const fs::path prefix = environment_.winePrefixFolder();
      const WineRegistry drives = WineRegistry::fromText({}, {}, prefix);
      plan.file = wine->string();
      plan.argv = {wine->string(), drives.toWindowsPath(program)};
      for (const std::string& a : request.arguments)
        plan.argv.push_back(!a.empty() && a.front() == '/' ? drives.toWindowsPath(a) : a);
      plan.extraEnvironment.push_back("WINEPREFIX=" + prefix.string());
    }
  }

  std::vector<char*> argv;
  for (std::string& a : plan.argv) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::vector<std::string> envStore;
  std::vector<char*> envp;
  for (char** e = environ; e && *e; ++e) {
    const std::string_view entry(*e);
    bool replaced = false;
    for (const std::string& extra : plan.extraEnvironment)
      if (entry.substr(0, entry.find('=') + 1) == extra.substr(0, extra.find('=') + 1))
        replaced = true;
    if (!replaced) envp.push_back(*e);
  }
  for (std::string& extra : plan.extraEnvironment) envp.push_back(extra.data());
  envp.push_back(nullptr);
  const std::string folder = request.workingFolder.string();
  const bool idle = request.priorityClass == 0x40;

  int report[2];
  if (::pipe2(report, O_CLOEXEC) != 0) return systemError(errno);
  int output[2] = {-1, -1};
  const bool capture = request.captureOutput;
  if (capture && ::pipe2(output, O_CLOEXEC) != 0) {
    const int error = errno;
    ::close(report[0]);
    ::close(report[1]);
    return systemError(error);
  }
  auto closeOutput = [&output] {
    for (int& fd : output)
      if (fd >= 0) ::close(std::exchange(fd, -1));
  };
  const pid_t pid = ::fork();
  if (pid < 0) {
    const int error = errno;
    ::close(report[0]);
    ::close(report[1]);
    closeOutput();
    return systemError(error);
  }
  if (pid == 0) {
    // The child of a threaded parent: system calls only, until exec.
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    struct sigaction dfl {};
    dfl.sa_handler = SIG_DFL;
    ::sigaction(SIGPIPE, &dfl, nullptr);
    int error = 0;
    if (capture) ::setpgid(0, 0);
    if (idle) ::setpriority(PRIO_PROCESS, 0, 19);
    if (!folder.empty() && ::chdir(folder.c_str()) != 0) error = errno;
    if (!error) {
      const int null = ::open("/dev/null", O_RDWR);
      if (null < 0) {
        error = errno;
      } else {
        ::dup2(null, 0);
        // dup2 clears close-on-exec on the copies.
        ::dup2(capture ? output[1] : null, 1);
        ::dup2(capture ? output[1] : null, 2);
        if (null > 2) ::close(null);
      }
    }
    if (!error) {
      // Everything but 0-2 and the report pipe, which exec closes.
      const int keep = report[1];
#ifdef SYS_close_range
      if (keep > 3) ::syscall(SYS_close_range, 3u, static_cast<unsigned>(keep - 1), 0u);
      if (::syscall(SYS_close_range, static_cast<unsigned>(keep + 1), ~0u, 0u) != 0)
#endif
      {
        for (int fd = 3; fd < 65536; ++fd)
          if (fd != keep) ::close(fd);
      }
      ::execve(plan.file.c_str(), argv.data(), envp.data());
      error = errno;
    }
    [[maybe_unused]] auto n = ::write(report[1], &error, sizeof error);
    ::_exit(127);
  }
  ::close(report[1]);
  if (capture) {
    ::close(std::exchange(output[1], -1));
    ::fcntl(output[0], F_SETFL, O_NONBLOCK);
    // Also set here, so that a signal to the group cannot come before the child's own call.
    ::setpgid(pid, pid);
  }
  int childError = 0;
  ssize_t n;
  do n = ::read(report[0], &childError, sizeof childError);
  while (n < 0 && errno == EINTR);
  ::close(report[0]);
  if (n == sizeof childError) {
    int status;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {}
    closeOutput();
    return systemError(childError);
  }
  return std::shared_ptr<ChildProcess>(
      std::make_shared<PosixChild>(pid, output[0], capture, std::move(plan.argv)));
}

}  // namespace quillon::platform

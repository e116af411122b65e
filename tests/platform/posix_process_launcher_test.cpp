#include "platform/posix_process_launcher.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "platform/wine_registry.h"
#include "support/temp_folder.h"

namespace quillon::platform {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// What standin_child wrote about itself: its arguments, decoded, and the other lines as written.
std::pair<std::vector<std::string>, std::string> readReport(const fs::path& file) {
  std::pair<std::vector<std::string>, std::string> report;
  std::istringstream in(testing::readFile(file));
  for (std::string line; std::getline(in, line);) {
    if (!line.starts_with("arg ")) {
      report.second += line + "\n";
      continue;
    }
    std::string arg;
    for (std::size_t i = 4; i + 1 < line.size(); i += 2)
      arg += static_cast<char>(std::stoi(line.substr(i, 2), nullptr, 16));
    report.first.push_back(arg);
  }
  return report;
}

LaunchRequest request(fs::path program, std::vector<std::string> args = {}, fs::path folder = {}) {
  LaunchRequest r;
  r.program = std::move(program);
  r.arguments = std::move(args);
  r.workingFolder = std::move(folder);
  return r;
}

class PosixProcessLauncherTest : public ::testing::Test {
protected:
  std::shared_ptr<ChildProcess> start(LaunchRequest request) {
    auto result = launcher.launch(request);
    if (auto* e = std::get_if<LaunchError>(&result)) {
      ADD_FAILURE() << "launch failed: " << e->message;
      return nullptr;
    }
    return std::get<std::shared_ptr<ChildProcess>>(result);
  }
  int runToEnd(LaunchRequest request) {
    auto child = start(std::move(request));
    if (!child) return -1;
    EXPECT_EQ(child->wait(std::nullopt, {}), ChildProcess::WaitResult::Ended);
    return child->exitCode().value_or(-1);
  }

  testing::TempFolder temp;
  PosixProcessLauncher launcher{Environment::fromProcess()};
};

TEST_F(PosixProcessLauncherTest, TheChildGetsItsArgumentsFolderAndOnlyTheStandardDescriptors) {
  const fs::path report = temp / "report";
  const fs::path folder = temp / "work dir";
  fs::create_directory(folder);
  const std::vector<std::string> awkward = {"",     "two words", "quo\"te",    "$HOME",        "*",
                                            "a\nb", "\xe9\xff",  "; rm -rf x", "back\\slash\\"};
  std::vector<std::string> args = {"report=" + report.string()};
  args.insert(args.end(), awkward.begin(), awkward.end());
  EXPECT_EQ(runToEnd(request(QUILLON_STANDIN_CHILD, args, folder)), 0);

  const auto [received, rest] = readReport(report);
  args.insert(args.begin(), QUILLON_STANDIN_CHILD);
  EXPECT_EQ(received, args);
  EXPECT_EQ(rest, "cwd " + folder.string() +
                      "\nfd 0 /dev/null\nfd 1 /dev/null\nfd 2 /dev/null\nnice " +
                      std::to_string(::getpriority(PRIO_PROCESS, 0)) + "\n");

  LaunchRequest idle = request(QUILLON_STANDIN_CHILD, {"report=" + report.string()});
  idle.priorityClass = 0x40;
  runToEnd(idle);
  EXPECT_TRUE(readReport(report).second.ends_with("\nnice 19\n")) << "idle";
}

TEST_F(PosixProcessLauncherTest, ExitCodesAndSignals) {
  EXPECT_EQ(runToEnd(request(QUILLON_STANDIN_CHILD, {"exit=255"})), 255);
  EXPECT_EQ(runToEnd(request(QUILLON_STANDIN_CHILD, {"signal=9"})), 128 + 9);
}

TEST_F(PosixProcessLauncherTest, FailuresToStartCarryTheSystemsCode) {
  auto code = [&](const LaunchRequest& r) {
    auto result = launcher.launch(r);
    const auto* e = std::get_if<LaunchError>(&result);
    return e ? e->code : 0;
  };
  EXPECT_EQ(code(request(temp / "missing")), ENOENT);
  EXPECT_EQ(code(request(temp.write("plain", "#!/bin/sh\n"))), EACCES);
  EXPECT_EQ(code(request(QUILLON_STANDIN_CHILD, {}, temp / "no such folder")), ENOENT);
}

TEST_F(PosixProcessLauncherTest, WaitEndsAtTheTimeOutOrTheStop) {
  auto child = start(request(QUILLON_STANDIN_CHILD, {"sleep=3000"}));
  ASSERT_TRUE(child);
  EXPECT_EQ(child->wait(30ms, {}), ChildProcess::WaitResult::TimedOut);
  EXPECT_TRUE(child->active() && !child->exitCode());
  std::stop_source stop;
  std::thread stopper([&] {
    std::this_thread::sleep_for(30ms);
    stop.request_stop();
  });
  EXPECT_EQ(child->wait(std::nullopt, stop.get_token()), ChildProcess::WaitResult::Stopped);
  stopper.join();
}

// Each child is reaped once, by its own wait or by asking whether it is active.
TEST_F(PosixProcessLauncherTest, NoZombieAfterAHundredRuns) {
  std::vector<std::shared_ptr<ChildProcess>> children;
  for (int i = 0; i < 100; ++i) {
    children.push_back(start(request(QUILLON_STANDIN_CHILD, {"exit=" + std::to_string(i % 7)})));
    ASSERT_TRUE(children.back());
  }
  for (std::size_t i = 0; i < children.size(); ++i) {
    if (i % 2) {
      while (children[i]->active()) std::this_thread::sleep_for(1ms);
    } else {
      children[i]->wait(std::nullopt, {});
    }
    EXPECT_EQ(children[i]->exitCode(), static_cast<int>(i % 7));
  }
  // Asks for an ended child without reaping it: any found is a zombie.
  siginfo_t zombie{};
  const int found = ::waitid(P_ALL, 0, &zombie, WEXITED | WNOHANG | WNOWAIT);
  EXPECT_EQ(found == 0 ? zombie.si_pid : 0, 0);
}

// Other arguments go as they are; choosing the drive is the registry's business.
TEST_F(PosixProcessLauncherTest, AWindowsProgramRunsThroughWineWithWindowsPaths) {
  fs::create_directories(temp / "prefix/dosdevices");
  fs::create_directory_symlink("/", temp / "prefix/dosdevices/z:");
  fs::create_directories(temp / "bin");
  fs::copy_file(QUILLON_FAKE_WINE, temp / "bin/wine");
  const fs::path gis = temp.write("MapInfo/Mapinfow.exe", "MZ not an ELF program");
  const fs::path app = temp.write("apps/My App.mbx", "x");
  Environment env;
  env.path = (temp / "bin").string();
  env.winePrefix = (temp / "prefix").string();
  auto result =
      PosixProcessLauncher(env).launch(request(gis, {app.string(), "-x"}, temp / "MapInfo"));
  ASSERT_TRUE(std::holds_alternative<std::shared_ptr<ChildProcess>>(result));
  std::get<std::shared_ptr<ChildProcess>>(result)->wait(std::nullopt, {});

  const WineRegistry drives = WineRegistry::fromText({}, {}, temp / "prefix");
  EXPECT_EQ(testing::readFile(temp / "bin/wine-calls.log"),
            "call\narg " + drives.toWindowsPath(gis) + "\narg " + drives.toWindowsPath(app) +
                "\narg -x\ncwd " + fs::canonical(temp / "MapInfo").string() + "\nwineprefix " +
                env.winePrefix + "\n");

  env.path = (temp / "empty").string();
  auto missing = PosixProcessLauncher(env).launch(request(gis));
  ASSERT_TRUE(std::holds_alternative<LaunchError>(missing));
  EXPECT_EQ(std::get<LaunchError>(missing).message, PosixProcessLauncher::kWineMissing);
}

int openDescriptors() {
  int n = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator("/proc/self/fd")) ++n;
  return n;
}

// Running, not a zombie waiting for whoever adopted it.
bool alive(pid_t pid) {
  const std::string stat = testing::readFile("/proc/" + std::to_string(pid) + "/stat");
  const std::size_t close = stat.rfind(')');
  return close != std::string::npos && close + 2 < stat.size() && stat[close + 2] != 'Z';
}

LaunchRequest shell(const std::string& script) {
  LaunchRequest r = request("/bin/sh", {"-c", script});
  r.captureOutput = true;
  return r;
}

TEST_F(PosixProcessLauncherTest, CapturedOutputKeepsBothStreamsInOrderAndAtMostTheLimit) {
  const int fds = openDescriptors();
  {
    auto child = start(shell("echo one; echo two >&2; printf 'three\\000\\377'; exit 3"));
    ASSERT_TRUE(child);
    EXPECT_EQ(child->wait(std::nullopt, {}), ChildProcess::WaitResult::Ended);
    EXPECT_EQ(child->exitCode(), 3);
    const ChildProcess::Output out = child->output();
    EXPECT_EQ(out.text, std::string("one\ntwo\nthree\0\377", 15));
    EXPECT_EQ(out.dropped, 0u);
  }
  {
    // Five megabytes: the first ones are kept, the rest counted; taking the kept bytes leaves
    // the count.
    auto child = start(shell("head -c 5242880 /dev/zero"));
    ASSERT_TRUE(child);
    child->wait(std::nullopt, {});
    const ChildProcess::Output out = child->output();
    EXPECT_EQ(out.text.size(), ChildProcess::kOutputLimit);
    EXPECT_EQ(out.dropped, 5242880u - ChildProcess::kOutputLimit);
    EXPECT_EQ(child->takeOutput().text, out.text);
    EXPECT_EQ(std::tuple(child->output().text.size(), child->output().dropped),
              std::tuple(0u, out.dropped));
  }
  {
    // The pipe's other end stays with a grandchild: the end of the child is the end.
    auto child = start(shell("echo before; sleep 30 & echo after"));
    ASSERT_TRUE(child);
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(child->wait(10s, {}), ChildProcess::WaitResult::Ended);
    EXPECT_EQ(child->output().text, "before\nafter\n");
    EXPECT_LT(std::chrono::steady_clock::now() - started, 5s);
    EXPECT_FALSE(child->signalEnd(ChildProcess::EndSignal::Kill) && child->active());
  }
  EXPECT_EQ(openDescriptors(), fds) << "pipes and pidfds are closed with their child";
}

TEST_F(PosixProcessLauncherTest, EndingAGroupReachesWhatTheChildStartedAndWhatIgnoresTheRequest) {
  const fs::path pidFile = temp / "grandchild";
  auto child = start(shell("trap '' TERM; sleep 60 & echo $! > " + pidFile.string() + "; wait"));
  ASSERT_TRUE(child);
  for (int i = 0; i < 500 && testing::readFile(pidFile).empty(); ++i)
    std::this_thread::sleep_for(10ms);
  const pid_t grandchild = std::stoi(testing::readFile(pidFile));
  EXPECT_TRUE(child->signalEnd(ChildProcess::EndSignal::Terminate));
  // The shell and its sleep ignore the request.
  EXPECT_EQ(child->wait(300ms, {}), ChildProcess::WaitResult::TimedOut);
  EXPECT_TRUE(child->signalEnd(ChildProcess::EndSignal::Probe));
  EXPECT_TRUE(child->signalEnd(ChildProcess::EndSignal::Kill));
  EXPECT_EQ(child->wait(5s, {}), ChildProcess::WaitResult::Ended);
  EXPECT_EQ(child->exitCode(), 128 + SIGKILL);
  for (int i = 0; i < 500 && alive(grandchild); ++i) std::this_thread::sleep_for(10ms);
  EXPECT_FALSE(alive(grandchild)) << "nothing of the group is left";
}

TEST_F(PosixProcessLauncherTest, AChildNotCapturedKeepsDevNullAndTheCallersGroup) {
  LaunchRequest r = request("/bin/sh", {"-c", "echo lost"});
  auto child = start(r);
  ASSERT_TRUE(child);
  child->wait(std::nullopt, {});
  EXPECT_EQ(child->output().text, "");
}

}  // namespace
}  // namespace quillon::platform

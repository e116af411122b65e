#include "platform/posix_process_launcher.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <sstream>
#include <thread>

#include "support/temp_folder.h"

namespace quillon::platform {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::string unhex(const std::string& h) {
  std::string out;
  for (std::size_t i = 0; i + 1 < h.size(); i += 2) out += static_cast<char>(std::stoi(h.substr(i, 2), nullptr, 16));
  return out;
}

// What standin_child wrote about itself.
struct Report {
  std::vector<std::string> args;
  std::string cwd;
  std::vector<std::pair<int, std::string>> fds;
  int nice = 0;

  static Report read(const fs::path& file) {
    Report r;
    std::istringstream in(testing::readFile(file));
    std::string key;
    while (in >> key) {
      std::string rest;
      std::getline(in, rest);
      if (!rest.empty()) rest.erase(0, 1);
      if (key == "arg") r.args.push_back(unhex(rest));
      else if (key == "cwd") r.cwd = rest;
      else if (key == "nice") r.nice = std::stoi(rest);
      else if (key == "fd") r.fds.emplace_back(std::stoi(rest), rest.substr(rest.find(' ') + 1));
    }
    return r;
  }
};

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
  const std::vector<std::string> awkward = {"",        "two words", "quo\"te", "$HOME", "*",
                                            "a\nb",    "\xe9\xff",  "; rm -rf x", "back\\slash\\"};
  std::vector<std::string> args = {"report=" + report.string()};
  args.insert(args.end(), awkward.begin(), awkward.end());
  EXPECT_EQ(runToEnd({QUILLON_STANDIN_CHILD, args, folder}), 0);

  const Report r = Report::read(report);
  args.insert(args.begin(), QUILLON_STANDIN_CHILD);
  EXPECT_EQ(r.args, args);
  EXPECT_EQ(r.cwd, folder.string());
  ASSERT_EQ(r.fds.size(), 3u) << "only 0-2 are inherited";
  for (const auto& [fd, target] : r.fds) EXPECT_EQ(target, "/dev/null") << fd;
  EXPECT_EQ(r.nice, ::getpriority(PRIO_PROCESS, 0));

  runToEnd({.program = QUILLON_STANDIN_CHILD, .arguments = {"report=" + report.string()}, .priorityClass = 0x40});
  EXPECT_EQ(Report::read(report).nice, 19) << "idle";
}

TEST_F(PosixProcessLauncherTest, ExitCodesAndSignals) {
  EXPECT_EQ(runToEnd({QUILLON_STANDIN_CHILD, {"exit=255"}}), 255);
  EXPECT_EQ(runToEnd({QUILLON_STANDIN_CHILD, {"signal=9"}}), 128 + 9);
}

TEST_F(PosixProcessLauncherTest, FailuresToStartCarryTheSystemsCode) {
  auto code = [&](const LaunchRequest& r) {
    auto result = launcher.launch(r);
    const auto* e = std::get_if<LaunchError>(&result);
    return e ? e->code : 0;
  };
  EXPECT_EQ(code({temp / "missing"}), ENOENT);
  EXPECT_EQ(code({temp.write("plain", "#!/bin/sh\n")}), EACCES);
  EXPECT_EQ(code({QUILLON_STANDIN_CHILD, {}, temp / "no such folder"}), ENOENT);
  EXPECT_EQ(code({temp.path()}), EACCES);
}

TEST_F(PosixProcessLauncherTest, WaitEndsAtTheTimeOutOrTheStop) {
  auto child = start({QUILLON_STANDIN_CHILD, {"sleep=3000"}});
  ASSERT_TRUE(child);
  EXPECT_EQ(child->wait(30ms, {}), ChildProcess::WaitResult::TimedOut);
  EXPECT_TRUE(child->active());
  EXPECT_EQ(child->exitCode(), std::nullopt);
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
    children.push_back(start({QUILLON_STANDIN_CHILD, {"exit=" + std::to_string(i % 7)}}));
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
  int zombies = 0;
  for (const auto& entry : fs::directory_iterator("/proc")) {
    std::ifstream stat(entry.path() / "stat");
    std::string line;
    if (!std::getline(stat, line)) continue;
    std::istringstream fields(line.substr(line.rfind(')') + 2));
    char state = 0;
    int parent = 0;
    fields >> state >> parent;
    if (parent == ::getpid() && state == 'Z') ++zombies;
  }
  EXPECT_EQ(zombies, 0);
}

// A Windows program runs through wine: paths become the prefix's Windows paths, other
// arguments go as they are. Choosing the drive is the registry's business.
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
  auto result = PosixProcessLauncher(env).launch({gis, {app.string(), "-x"}, temp / "MapInfo"});
  ASSERT_TRUE(std::holds_alternative<std::shared_ptr<ChildProcess>>(result));
  std::get<std::shared_ptr<ChildProcess>>(result)->wait(std::nullopt, {});

  auto windows = [](const fs::path& p) {
    std::string w = "Z:" + fs::canonical(p).string();
    std::replace(w.begin(), w.end(), '/', '\\');
    return w;
  };
  EXPECT_EQ(testing::readFile(temp / "bin/wine-calls.log"),
            "call\narg " + windows(gis) + "\narg " + windows(app) + "\narg -x\ncwd " +
                fs::canonical(temp / "MapInfo").string() + "\nwineprefix " + env.winePrefix + "\n");

  env.path = (temp / "empty").string();
  auto missing = PosixProcessLauncher(env).launch({gis});
  ASSERT_TRUE(std::holds_alternative<LaunchError>(missing));
  EXPECT_EQ(std::get<LaunchError>(missing).message, PosixProcessLauncher::kWineMissing);
}

}  // namespace
}  // namespace quillon::platform

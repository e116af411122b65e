#include "build/proc_runner.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <memory>

#include "support/build_ports.h"
#include "support/temp_folder.h"

namespace quillon::build {
namespace {

using testing::QueuedMainThread;
using testing::ScriptedLauncher;

struct Completion {
  const void* sender;
  std::string file, id;
  std::int32_t value;
  bool timedOut;
  auto fields() const { return std::tuple(file, id, value, timedOut); }
};
struct Failure {
  std::string file, id;
  std::int32_t code;
  std::string message;
};

class ProcRunnerTest : public ::testing::Test {
protected:
  ProcRunnerTest() {
    runner->onProcCompleted = [this](const void* s, const std::string& f, const std::string& i,
                                     std::int32_t v, bool t) {
      completions.push_back({s, f, i, v, t});
    };
    runner->onLaunchFailed = [this](const void*, const std::string& f, const std::string& i,
                                    std::int32_t c, const std::string& m) {
      failures.push_back({f, i, c, m});
    };
  }
  // Runs the posted completions once the watchers have posted `count` of them.
  void deliver(std::size_t count) {
    mainThread.awaitCalls(count);
    mainThread.drain();
  }

  ScriptedLauncher launcher;
  QueuedMainThread mainThread;
  std::unique_ptr<ProcRunner> runner = std::make_unique<ProcRunner>(launcher, mainThread);
  std::vector<Completion> completions;
  std::vector<Failure> failures;
  testing::TempFolder folder;
};

TEST_F(ProcRunnerTest, TimeOutsCommandLineAndReset) {
  const std::pair<std::int32_t, std::uint32_t> limits[] = {{0, ProcRunner::kInfinite},
                                                           {1, 1000},
                                                           {3600, 3600000},
                                                           {3601, 3600000},
                                                           {-7, ProcRunner::kInfinite}};
  for (auto [seconds, ms] : limits) {
    runner->setTimeOutSec(seconds);
    EXPECT_EQ(runner->timeOutMs(), ms) << seconds;
  }
  runner->setProcFileName("C:\\Tools\\MapBasic.EXE");
  EXPECT_EQ(runner->commandLine(),
            "c:\\tools\\mapbasic.exe ");  // the space stays without parameters

  // Nothing of a run before a reset reaches the next one.
  runner->setWindowType(WindowType::wtHide);
  runner->setWaitUntilDone(true);
  runner->setPriority(PriorityClass::prHigh);
  runner->setProcParameters("-x");
  runner->setProcCurrentDir("/nonexistent");
  runner->reset();
  runner->setProcFileName("/bin/x");
  ASSERT_TRUE(runner->execute());
  const platform::LaunchRequest& r = launcher.requests.back();
  EXPECT_EQ(std::tuple(r.arguments.size(), r.workingFolder, r.showWindow, r.priorityClass),
            std::tuple(0u, std::filesystem::path(), 1, 0x20u));
  EXPECT_TRUE(runner->isRunning()) << "watched, not waited for";
  launcher.children.back()->awaitWaiter();
  EXPECT_EQ(launcher.children.back()->waits.back(), std::nullopt);
  launcher.children.back()->end(0);
}

TEST_F(ProcRunnerTest, BlockingRunReportsTheExitCodeOrItsTimeOut) {
  launcher.onLaunch = [](testing::ScriptedChild& c) { c.end(3); };
  runner->setProcFileName("/bin/x");
  runner->setProcIdentifier("id");
  runner->setWaitUntilDone(true);
  auto result = [&] {
    return std::tuple(runner->returnValue(), runner->timedOut(), runner->lastError());
  };
  ASSERT_TRUE(runner->execute());
  EXPECT_EQ(result(), std::tuple(3, false, 0));
  ASSERT_EQ(completions.size(), 1u);
  EXPECT_EQ(completions[0].sender, runner.get());
  EXPECT_EQ(completions[0].fields(), std::tuple("/bin/x", "id", 3, false));
  EXPECT_EQ(runner->trackedCount(), 0u);  // purged right after its own wait

  launcher.onLaunch = [](testing::ScriptedChild& c) { c.timeOutAtOnce = true; };
  runner->setTimeOutSec(5000);
  ASSERT_TRUE(runner->execute());
  EXPECT_EQ(launcher.children[1]->waits.back(), std::chrono::milliseconds(3600000));
  // The value is the property itself, not the capped wait.
  EXPECT_EQ(result(), std::tuple(5000, true, ProcRunner::kTimedOut));
  EXPECT_TRUE(completions.back().timedOut);
  launcher.children[1]->end(0);
}

TEST_F(ProcRunnerTest, WatchedRunIsPolledAndReportsOnTheMainThread) {
  runner->setProcFileName("/bin/x");
  ASSERT_TRUE(runner->execute());
  EXPECT_TRUE(runner->isRunning());
  launcher.children[0]->end(7);
  deliver(1);
  EXPECT_FALSE(runner->isRunning());
  ASSERT_EQ(completions.size(), 1u);
  EXPECT_EQ(completions[0].fields(), std::tuple("/bin/x", "", 7, false));
  EXPECT_NE(completions[0].sender, runner.get());

  // A watcher that gives up reports the capped wait in seconds, while the child itself is
  // still asked about.
  launcher.onLaunch = [](testing::ScriptedChild& c) { c.timeOutAtOnce = true; };
  runner->setTimeOutSec(4000);
  ASSERT_TRUE(runner->execute());
  deliver(1);
  EXPECT_EQ(completions.back().fields(), std::tuple("/bin/x", "", 3600, true));
  EXPECT_TRUE(runner->isRunning());
  launcher.children[1]->end(0);
  EXPECT_FALSE(runner->isRunning());

  // A child whose status is lost (reaped elsewhere) is no longer tracked.
  ASSERT_TRUE(runner->execute());
  launcher.children[2]->lose();
  EXPECT_FALSE(runner->isRunning());  // this purges it
  EXPECT_EQ(runner->trackedCount(), 0u);
}

TEST_F(ProcRunnerTest, UseEventChoosesWhichEventsAreRaised) {
  runner->setUseEvent(UseEvent::ueOnLaunchFailed);
  runner->setProcFileName("/bin/x");
  ASSERT_TRUE(runner->execute());
  launcher.children[0]->end(0);
  runner->setProcCurrentDir((folder / "missing").string());
  EXPECT_FALSE(runner->execute());
  EXPECT_EQ(failures.size(), 1u);

  runner->setUseEvent(UseEvent::ueOnProcCompleted);
  EXPECT_FALSE(runner->execute());
  EXPECT_EQ(failures.size(), 1u);
  EXPECT_EQ(runner->lastError(), ProcRunner::kBadCurrentDir);

  runner->setUseEvent(UseEvent::ueNone);
  runner->setProcCurrentDir("");
  runner->setWaitUntilDone(true);
  launcher.onLaunch = [](testing::ScriptedChild& c) { c.end(0); };
  ASSERT_TRUE(runner->execute());
  EXPECT_TRUE(completions.empty());
  EXPECT_EQ(mainThread.drain(), 0);  // the first watcher had nothing to say either
}

TEST_F(ProcRunnerTest, RefusalsCarryTheirCodesAndTexts) {
  runner->setProcFileName("/Bin/Tool");
  runner->setProcIdentifier("101");
  ASSERT_TRUE(runner->execute());
  // Refused: the code, and what the failure event said.
  auto refusal = [&] {
    EXPECT_FALSE(runner->execute());
    if (failures.empty()) return std::tuple(0, 0, std::string(), std::string());
    return std::tuple(runner->lastError(), failures.back().code, failures.back().file,
                      failures.back().message);
  };

  runner->setProcFileName("/bin/TOOL");  // the same key, whatever the case
  EXPECT_EQ(refusal(), std::tuple(-1, -1, "/bin/TOOL",
                                  "Another Process with the same Name and ID is executing."));
  runner->setProcIdentifier("102");
  EXPECT_TRUE(runner->execute());

  runner->setWaitUntilDone(true);
  runner->setProcFileName("/bin/other");
  EXPECT_EQ(refusal(), std::tuple(-2, -2, "/bin/other", "Cannot mix 'WaitUntilDone' types."));
  runner->setWaitUntilDone(false);
  runner->setProcCurrentDir(folder.write("plain", "x").string());
  EXPECT_EQ(refusal(), std::tuple(-4, -4, "/bin/other", "Current Directory Invalid"));
  runner->setProcCurrentDir("");
  launcher.queueFailure(ENOENT, "No such file or directory");
  EXPECT_EQ(refusal(), std::tuple(ENOENT, ENOENT, "/bin/other", "No such file or directory"));

  // No 512 limit, but a line Windows could not take fails before anything starts.
  const std::size_t launches = launcher.requests.size();
  runner->setProcParameters(std::string(40000, 'a'));
  EXPECT_FALSE(runner->execute());
  EXPECT_EQ(runner->lastError(), E2BIG);
  EXPECT_EQ(launcher.requests.size(), launches);
  EXPECT_EQ(runner->trackedCount(), 2u);
  for (auto& c : launcher.children) c->end(0);
  EXPECT_FALSE(runner->isRunning());
  EXPECT_EQ(runner->trackedCount(), 0u);
}

// Neither a watcher still waiting nor a completion still on its way outlives the runner.
TEST_F(ProcRunnerTest, DestructionEndsWatchersAndDropsUndeliveredCompletions) {
  runner->setProcFileName("/bin/a");
  ASSERT_TRUE(runner->execute());
  runner->setProcFileName("/bin/b");
  ASSERT_TRUE(runner->execute());
  launcher.children[0]->end(0);
  mainThread.awaitCalls(1);  // a's watcher has posted; b's still waits
  launcher.children[1]->awaitWaiter();
  runner.reset();  // joins both watchers
  launcher.children[1]->end(0);
  EXPECT_EQ(mainThread.drain(), 1);
  EXPECT_TRUE(completions.empty());
}

}  // namespace
}  // namespace quillon::build

#pragma once
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <numeric>
#include <optional>
#include <string>
#include <vector>

#include "platform/automation.h"
#include "platform/clock.h"
#include "platform/main_thread.h"
#include "platform/process_launcher.h"

namespace quillon::testing {

// A clock whose sleeps pass at once: it records them and moves on by their length.
class RecordingClock : public platform::Clock {
public:
  TimePoint now() const override { return now_; }
  void sleepFor(std::chrono::milliseconds d) override {
    sleeps.push_back(d);
    now_ += d;
    if (onSleep) onSleep(d);
  }
  std::chrono::milliseconds slept() const {
    return std::accumulate(sleeps.begin(), sleeps.end(), std::chrono::milliseconds{0});
  }
  std::vector<std::chrono::milliseconds> sleeps;
  std::function<void(std::chrono::milliseconds)> onSleep;

private:
  TimePoint now_{};
};

// A child that ends when the test says so. Its wait really waits, for the end, the stop or
// the time-out; `timeOutAtOnce` makes a limited wait time out without waiting.
class ScriptedChild : public platform::ChildProcess {
public:
  void end(int code) { finish(code); }
  // The status cannot be read any more (as after someone else reaped the child).
  void lose() { finish(std::nullopt); }
  bool active() override {
    std::lock_guard lock(mutex_);
    return !ended_;
  }
  std::optional<int> exitCode() override {
    std::lock_guard lock(mutex_);
    return code_;
  }
  WaitResult wait(std::optional<std::chrono::milliseconds> timeout, std::stop_token stop) override {
    std::unique_lock lock(mutex_);
    waits.push_back(timeout);
    ++waiting_;
    changed_.notify_all();
    struct Leave {
      ScriptedChild& c;
      ~Leave() { --c.waiting_; }
    } leave{*this};
    if (timeout && timeOutAtOnce) return ended_ ? WaitResult::Ended : WaitResult::TimedOut;
    auto done = [&] { return ended_; };
    bool ended;
    if (timeout)
      ended = changed_.wait_for(lock, stop, *timeout, done);
    else
      ended = changed_.wait(lock, stop, done);
    if (ended) return WaitResult::Ended;
    return stop.stop_requested() ? WaitResult::Stopped : WaitResult::TimedOut;
  }
  // Blocks until some thread waits on this child.
  void awaitWaiter() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return waiting_ > 0; });
  }
  std::vector<std::optional<std::chrono::milliseconds>> waits;
  bool timeOutAtOnce = false;

private:
  void finish(std::optional<int> code) {
    std::lock_guard lock(mutex_);
    code_ = code;
    ended_ = true;
    changed_.notify_all();
  }
  std::mutex mutex_;
  std::condition_variable_any changed_;
  bool ended_ = false;
  int waiting_ = 0;
  std::optional<int> code_;
};

// Launches nothing: records each request and hands out the queued results, else a fresh
// running ScriptedChild.
class ScriptedLauncher : public platform::ProcessLauncher {
public:
  Result launch(const platform::LaunchRequest& request) override {
    requests.push_back(request);
    if (!queued.empty()) {
      Result r = queued.front();
      queued.pop_front();
      return r;
    }
    children.push_back(std::make_shared<ScriptedChild>());
    if (onLaunch) onLaunch(*children.back());
    return std::shared_ptr<platform::ChildProcess>(children.back());
  }
  void queueFailure(int code, std::string message) {
    queued.emplace_back(platform::LaunchError{code, std::move(message)});
  }

  std::vector<platform::LaunchRequest> requests;
  std::deque<Result> queued;
  std::vector<std::shared_ptr<ScriptedChild>> children;
  std::function<void(ScriptedChild&)> onLaunch;
};

// The GIS program's automation as a script: attach answers from a queue (false when empty).
class ScriptedAutomation : public platform::Automation {
public:
  bool attach() override {
    ++attaches;
    if (attachAnswers.empty()) return false;
    const bool a = attachAnswers.front();
    attachAnswers.pop_front();
    return a;
  }
  void release() override { ++releases; }
  std::optional<std::string> doStatement(std::string_view statement) override {
    statements.emplace_back(statement);
    return std::nullopt;
  }
  std::deque<bool> attachAnswers;
  int attaches = 0;
  int releases = 0;
  std::vector<std::string> statements;
};

// Calls posted from any thread wait here until the test drains them on its own thread.
class QueuedMainThread : public platform::MainThread {
public:
  void post(std::function<void()> call) override {
    std::lock_guard lock(mutex_);
    calls_.push_back(std::move(call));
    posted_.notify_all();
  }
  // Runs what is queued; the number of calls run.
  int drain() {
    int n = 0;
    for (;;) {
      std::function<void()> call;
      {
        std::lock_guard lock(mutex_);
        if (calls_.empty()) return n;
        call = std::move(calls_.front());
        calls_.pop_front();
      }
      call();
      ++n;
    }
  }
  // Blocks until at least `count` calls are queued.
  void awaitCalls(std::size_t count) {
    std::unique_lock lock(mutex_);
    posted_.wait(lock, [&] { return calls_.size() >= count; });
  }

private:
  std::mutex mutex_;
  std::condition_variable posted_;
  std::deque<std::function<void()>> calls_;
};

}  // namespace quillon::testing

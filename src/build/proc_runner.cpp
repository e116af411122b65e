#include "build/proc_runner.h"

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <sys/stat.h>

#include "build/windows_command_line.h"
#include "platform/ascii_text.h"

namespace quillon::build {

namespace {

bool completionWanted(UseEvent use) {
  return use == UseEvent::ueAll || use == UseEvent::ueOnProcCompleted;
}
bool failureWanted(UseEvent use) {
  return use == UseEvent::ueAll || use == UseEvent::ueOnLaunchFailed;
}

}  // namespace

int showValue(WindowType type) {
  switch (type) {
    case WindowType::wtNorm: return 1;
    case WindowType::wtMinimize: return 2;
    case WindowType::wtMaximize: return 3;
    case WindowType::wtHide: return 0;
    case WindowType::wtMinNoActivate: return 7;
    case WindowType::wtShowNoActivate: return 8;
  }
  return 1;
}

unsigned creationFlag(PriorityClass priority) {
  switch (priority) {
    case PriorityClass::prNormal: return 0x20;
    case PriorityClass::prIdle: return 0x40;
    case PriorityClass::prHigh: return 0x80;
    case PriorityClass::prRealTime: return 0x100;
  }
  return 0x20;
}

// The completion lock and the runner's lifetime as the watchers and the posted calls see
// them. `busy` is the lock: a watcher holds it from posting its completion until the main
// thread has run it.
struct ProcRunner::Shared {
  std::mutex mutex;
  std::condition_variable_any changed;
  bool busy = false;
  bool alive = true;
};

struct ProcRunner::Watcher {
  std::thread thread;
  std::atomic<bool> finished{false};
};

ProcRunner::ProcRunner(platform::ProcessLauncher& launcher, platform::MainThread& mainThread)
    : launcher_(launcher), mainThread_(mainThread), shared_(std::make_shared<Shared>()) {}

ProcRunner::~ProcRunner() {
  {
    std::lock_guard lock(shared_->mutex);
    shared_->alive = false;
  }
  stop_.request_stop();
  for (auto& w : watchers_)
    if (w->thread.joinable()) w->thread.join();
}

void ProcRunner::setProcFileName(std::string name) {
  fileName_ = std::move(name);
  lowerName_ = platform::asciiLowered(fileName_);
}

void ProcRunner::setTimeOutSec(std::int32_t seconds) {
  timeOutSec_ = seconds;
  if (seconds <= 0)
    timeOutMs_ = kInfinite;
  else if (seconds > 3600)
    timeOutMs_ = 3600000;
  else
    timeOutMs_ = static_cast<std::uint32_t>(seconds) * 1000;
}

std::optional<std::chrono::milliseconds> ProcRunner::waitLimit() const {
  if (timeOutMs_ == kInfinite) return std::nullopt;
  return std::chrono::milliseconds(timeOutMs_);
}

void ProcRunner::reset() {
  setProcFileName({});
  parameters_.clear();
  identifier_.clear();
  currentDir_.clear();
  windowType_ = WindowType::wtNorm;
  priority_ = PriorityClass::prNormal;
  useEvent_ = UseEvent::ueAll;
  waitUntilDone_ = false;
  captureOutput_ = false;
  setTimeOutSec(0);
}

std::string ProcRunner::commandLine() const { return lowerName_ + " " + parameters_; }

void ProcRunner::purge() {
  for (std::size_t i = tracked_.size(); i-- > 0;)
    if (!tracked_[i].child->active())
      tracked_.erase(tracked_.begin() + static_cast<std::ptrdiff_t>(i));
  std::erase_if(watchers_, [](const std::unique_ptr<Watcher>& w) {
    if (!w->finished) return false;
    if (w->thread.joinable()) w->thread.join();
    return true;
  });
}

bool ProcRunner::isRunning() {
  purge();
  for (const Tracked& t : tracked_)
    if (t.lowerName == lowerName_ && t.identifier == identifier_) return t.child->active();
  return false;
}

void ProcRunner::launchFailed(std::int32_t code, const std::string& message) {
  lastError_ = code;
  lastErrorMessage_ = message;
  if (onLaunchFailed && failureWanted(useEvent_))
    onLaunchFailed(this, fileName_, identifier_, code, message);
}

bool ProcRunner::execute() {
  lastError_ = 0;
  lastErrorMessage_.clear();
  const bool async = !waitUntilDone_;
  if (!launch(async)) return false;
  std::shared_ptr<platform::ChildProcess> child = tracked_.back().child;
  if (async) {
    startWatcher(std::move(child));
    return true;
  }
  const auto result = child->wait(waitLimit(), stop_.get_token());
  const std::optional<int> code =
      result == platform::ChildProcess::WaitResult::Ended ? child->exitCode() : std::nullopt;
  timedOut_ = !code.has_value();
  if (code) {
    returnValue_ = *code;
  } else {
    returnValue_ = timeOutSec_;
    lastError_ = kTimedOut;
  }
  if (onProcCompleted && completionWanted(useEvent_))
    onProcCompleted(this, fileName_, identifier_, returnValue_, timedOut_);
  purge();
  return true;
}

bool ProcRunner::launch(bool async) {
  purge();
  if (!currentDir_.empty()) {
    struct stat st {};
    if (::stat(currentDir_.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
      launchFailed(kBadCurrentDir, kBadCurrentDirText);
      return false;
    }
  }
  if (!async) {
    for (const Tracked& t : tracked_)
      if (t.async) {
        launchFailed(kMixedWaitTypes, kMixedWaitTypesText);
        return false;
      }
  }
  for (const Tracked& t : tracked_)
    if (t.lowerName == lowerName_ && t.identifier == identifier_) {
      launchFailed(kAlreadyRunning, kAlreadyRunningText);
      return false;
    }
  if (commandLine().size() > kMaxCommandLine) {
    launchFailed(E2BIG, std::strerror(E2BIG));
    return false;
  }

  platform::LaunchRequest request;
  request.program = fileName_;
  request.arguments = WindowsCommandLine::split(parameters_);
  request.workingFolder = currentDir_;
  request.showWindow = showValue(windowType_);
  request.priorityClass = creationFlag(priority_);
  request.captureOutput = captureOutput_;
  platform::ProcessLauncher::Result result = launcher_.launch(request);
  if (const auto* error = std::get_if<platform::LaunchError>(&result)) {
    launchFailed(error->code, error->message);
    return false;
  }
  lastChild_ = std::get<std::shared_ptr<platform::ChildProcess>>(std::move(result));
  tracked_.push_back({lowerName_, identifier_, lastChild_, async});
  return true;
}

void ProcRunner::startWatcher(std::shared_ptr<platform::ChildProcess> child) {
  auto watcher = std::make_unique<Watcher>();
  Watcher* self = watcher.get();
  const std::optional<std::chrono::milliseconds> limit = waitLimit();
  const std::int32_t timedOutValue = static_cast<std::int32_t>(timeOutMs_ / 1000);
  ProcCompleted event = completionWanted(useEvent_) ? onProcCompleted : ProcCompleted();
  watcher->thread =
      std::thread([self, child = std::move(child), limit, timedOutValue, event = std::move(event),
                   fileName = fileName_, identifier = identifier_, stop = stop_.get_token(),
                   shared = shared_, &mainThread = mainThread_] {
        struct Finish {
          Watcher* w;
          ~Finish() { w->finished = true; }
        } finish{self};
        const auto result = child->wait(limit, stop);
        if (result == platform::ChildProcess::WaitResult::Stopped || !event) return;
        const std::optional<int> code =
            result == platform::ChildProcess::WaitResult::Ended ? child->exitCode() : std::nullopt;
        const std::int32_t retValue = code ? *code : timedOutValue;
        const bool timedOut = !code.has_value();

        std::unique_lock lock(shared->mutex);
        if (!shared->changed.wait(lock, stop, [&] { return !shared->busy; })) return;
        shared->busy = true;
        auto delivered = std::make_shared<bool>(false);
        lock.unlock();
        mainThread.post([shared, delivered, event, self, fileName, identifier, retValue, timedOut] {
          bool alive;
          {
            std::lock_guard guard(shared->mutex);
            alive = shared->alive;
          }
          // A runner that is gone has no owner left to tell.
          if (alive) event(self, fileName, identifier, retValue, timedOut);
          std::lock_guard guard(shared->mutex);
          *delivered = true;
          shared->changed.notify_all();
        });
        lock.lock();
        shared->changed.wait(lock, stop, [&] { return *delivered; });
        shared->busy = false;
        shared->changed.notify_all();
      });
  watchers_.push_back(std::move(watcher));
}

}  // namespace quillon::build

#pragma once
#include <chrono>
#include <thread>

namespace quillon::platform {

// Time as the program sees it. Fixed pauses and throttles go through it so tests can run
// them without waiting.
class Clock {
public:
  using TimePoint = std::chrono::steady_clock::time_point;
  virtual ~Clock() = default;
  virtual TimePoint now() const = 0;
  virtual void sleepFor(std::chrono::milliseconds duration) = 0;
};

class SystemClock final : public Clock {
public:
  TimePoint now() const override { return std::chrono::steady_clock::now(); }
  void sleepFor(std::chrono::milliseconds duration) override {
    std::this_thread::sleep_for(duration);
  }
};

}  // namespace quillon::platform

#pragma once
#include <functional>

namespace quillon::platform {

// Runs a call on the user-interface thread the next time it processes its pending messages.
// Any thread may post; the calls run in the order they were posted.
class MainThread {
public:
  virtual ~MainThread() = default;
  virtual void post(std::function<void()> call) = 0;
};

}  // namespace quillon::platform

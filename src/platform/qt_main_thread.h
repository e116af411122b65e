#pragma once
#include "platform/main_thread.h"

namespace quillon::platform {

// Posts the call to the application object as a queued call: it runs the next time the
// event loop (or processEvents) turns. Calls posted after the application is gone are dropped.
class QtMainThread final : public MainThread {
public:
  void post(std::function<void()> call) override;
};

}  // namespace quillon::platform

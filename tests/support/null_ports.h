#pragma once
#include <optional>

#include "platform/keyboard_state.h"

namespace quillon::testing {

// Lock keys whose state is unknown, as on a display without indicators.
struct NoKeyboardState : platform::KeyboardState {
  std::optional<bool> capsLock() const override { return std::nullopt; }
  std::optional<bool> numLock() const override { return std::nullopt; }
};

}  // namespace quillon::testing

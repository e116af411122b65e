#pragma once
#include <optional>

#include "platform/keyboard_state.h"

namespace quillon::testing {

// Lock keys as the test sets them; unknown until then, as on a display without indicators.
struct FakeKeyboard : platform::KeyboardState {
  std::optional<bool> caps, num;
  std::optional<bool> capsLock() const override { return caps; }
  std::optional<bool> numLock() const override { return num; }
};

}  // namespace quillon::testing

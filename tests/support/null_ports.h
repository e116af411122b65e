#pragma once
#include <optional>

#include "platform/edit_clipboard.h"
#include "platform/keyboard_state.h"

namespace quillon::testing {

// Lock keys whose state is unknown, as on a display without indicators.
struct NoKeyboardState : platform::KeyboardState {
  std::optional<bool> capsLock() const override { return std::nullopt; }
  std::optional<bool> numLock() const override { return std::nullopt; }
};

// Cut, Copy and Paste that go nowhere.
struct NoEditClipboard : platform::EditClipboard {
  void copy() override {}
  void cut() override {}
  void paste() override {}
};

}  // namespace quillon::testing

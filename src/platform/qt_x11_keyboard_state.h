#pragma once
#include <optional>

#include "platform/keyboard_state.h"

namespace quillon::platform {

// Lock key states from the X server's keyboard indicators. Unknown when the program does
// not run on X (another platform plugin, no display, or built without X11).
class X11KeyboardState final : public KeyboardState {
public:
  X11KeyboardState();
  ~X11KeyboardState() override;
  X11KeyboardState(const X11KeyboardState&) = delete;
  X11KeyboardState& operator=(const X11KeyboardState&) = delete;

  std::optional<bool> capsLock() const override;
  std::optional<bool> numLock() const override;

private:
  std::optional<bool> indicator(const char* name) const;
  void* display_ = nullptr;
};

}  // namespace quillon::platform

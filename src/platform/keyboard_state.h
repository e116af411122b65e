#pragma once
#include <optional>

namespace quillon::platform {

// The toggle states of the lock keys; nullopt when the system cannot tell (no display).
class KeyboardState {
public:
  virtual ~KeyboardState() = default;
  virtual std::optional<bool> capsLock() const = 0;
  virtual std::optional<bool> numLock() const = 0;
};

}  // namespace quillon::platform

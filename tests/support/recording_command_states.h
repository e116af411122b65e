#pragma once
#include <array>

#include "platform/command_states.h"

namespace quillon::testing {

// CommandStates for tests: all enabled and unchecked at first.
class RecordingCommandStates : public platform::CommandStates {
public:
  using platform::CommandStates::setChecked;
  using platform::CommandStates::setEnabled;

  void setEnabled(platform::Command command, bool on) override { disabled_[index(command)] = !on; }
  bool enabled(platform::Command command) const override { return !disabled_[index(command)]; }
  void setChecked(platform::Command command, bool on) override { checked_[index(command)] = on; }
  bool checked(platform::Command command) const override { return checked_[index(command)]; }

private:
  static std::size_t index(platform::Command c) { return static_cast<std::size_t>(c); }
  std::array<bool, platform::kCommandCount> disabled_{}, checked_{};
};

}  // namespace quillon::testing

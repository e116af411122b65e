#pragma once
#include <array>
#include <utility>
#include <vector>

#include "platform/command_states.h"

namespace quillon::testing {

// CommandStates for tests: keeps the current states (all enabled and unchecked at first)
// and every change in order.
class RecordingCommandStates : public platform::CommandStates {
public:
  using platform::CommandStates::setChecked;
  using platform::CommandStates::setEnabled;

  void setEnabled(platform::Command command, bool on) override {
    enabled_[index(command)] = on;
    history_.emplace_back(command, on);
  }
  bool enabled(platform::Command command) const override { return enabled_[index(command)]; }
  void setChecked(platform::Command command, bool on) override {
    checked_[index(command)] = on;
    history_.emplace_back(command, on);
  }
  bool checked(platform::Command command) const override { return checked_[index(command)]; }
  const std::vector<std::pair<platform::Command, bool>>& history() const { return history_; }

private:
  static std::size_t index(platform::Command c) { return static_cast<std::size_t>(c); }
  std::array<bool, platform::kCommandCount> enabled_ = [] {
    std::array<bool, platform::kCommandCount> a{};
    a.fill(true);
    return a;
  }();
  std::array<bool, platform::kCommandCount> checked_{};
  std::vector<std::pair<platform::Command, bool>> history_;
};

}  // namespace quillon::testing

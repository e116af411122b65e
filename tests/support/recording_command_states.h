#pragma once
#include <array>
#include <utility>
#include <vector>

#include "app/command_states.h"

namespace quillon::testing {

// CommandStates for tests: keeps the current states (all enabled and unchecked at first)
// and every change in order.
class RecordingCommandStates : public app::CommandStates {
public:
  using CommandStates::setChecked;
  using CommandStates::setEnabled;

  void setEnabled(app::Command command, bool on) override {
    enabled_[index(command)] = on;
    history_.emplace_back(command, on);
  }
  bool enabled(app::Command command) const override { return enabled_[index(command)]; }
  void setChecked(app::Command command, bool on) override {
    checked_[index(command)] = on;
    history_.emplace_back(command, on);
  }
  bool checked(app::Command command) const override { return checked_[index(command)]; }
  const std::vector<std::pair<app::Command, bool>>& history() const { return history_; }

private:
  static std::size_t index(app::Command c) { return static_cast<std::size_t>(c); }
  std::array<bool, app::kCommandCount> enabled_ = [] {
    std::array<bool, app::kCommandCount> a{};
    a.fill(true);
    return a;
  }();
  std::array<bool, app::kCommandCount> checked_{};
  std::vector<std::pair<app::Command, bool>> history_;
};

}  // namespace quillon::testing

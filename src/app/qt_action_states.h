#pragma once
#include <QAction>
#include <QPointer>
#include <array>

#include "platform/command_states.h"

namespace quillon::app {

// CommandStates mirrored onto QActions. The core is the only source of a check mark: Qt
// flips a checkable action before its handler runs, so after every command the window calls
// resync() and each action shows again what the core last set.
class ActionStates final : public platform::CommandStates {
public:
  ActionStates() {
    enabled_.fill(true);
    checked_.fill(false);
  }

  void bind(platform::Command command, QAction* action) {
    actions_[index(command)] = action;
    apply(command);
  }
  QAction* action(platform::Command command) const { return actions_[index(command)]; }

  void setEnabled(platform::Command command, bool on) override {
    enabled_[index(command)] = on;
    apply(command);
  }
  bool enabled(platform::Command command) const override { return enabled_[index(command)]; }
  void setChecked(platform::Command command, bool on) override {
    checked_[index(command)] = on;
    apply(command);
  }
  bool checked(platform::Command command) const override { return checked_[index(command)]; }
  using platform::CommandStates::setChecked;
  using platform::CommandStates::setEnabled;

  void resync() {
    for (std::size_t i = 0; i < platform::kCommandCount; ++i)
      apply(static_cast<platform::Command>(i));
  }

private:
  static std::size_t index(platform::Command c) { return static_cast<std::size_t>(c); }
  void apply(platform::Command command) {
    QAction* a = actions_[index(command)];
    if (!a) return;
    a->setEnabled(enabled_[index(command)]);
    if (a->isCheckable()) a->setChecked(checked_[index(command)]);
  }

  std::array<QPointer<QAction>, platform::kCommandCount> actions_{};
  std::array<bool, platform::kCommandCount> enabled_{};
  std::array<bool, platform::kCommandCount> checked_{};
};

}  // namespace quillon::app

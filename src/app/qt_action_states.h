#pragma once
#include <QAction>
#include <QPointer>
#include <array>

#include "app/command_states.h"

namespace quillon::app {

// CommandStates mirrored onto QActions. The core is the only source of a check mark: Qt
// flips a checkable action before its handler runs, so after every command the window calls
// resync() and each action shows again what the core last set.
class ActionStates final : public CommandStates {
public:
  ActionStates() {
    enabled_.fill(true);
    checked_.fill(false);
  }

  void bind(Command command, QAction* action) {
    actions_[index(command)] = action;
    apply(command);
  }
  QAction* action(Command command) const { return actions_[index(command)]; }

  void setEnabled(Command command, bool on) override {
    enabled_[index(command)] = on;
    apply(command);
  }
  bool enabled(Command command) const override { return enabled_[index(command)]; }
  void setChecked(Command command, bool on) override {
    checked_[index(command)] = on;
    apply(command);
  }
  bool checked(Command command) const override { return checked_[index(command)]; }
  using CommandStates::setChecked;
  using CommandStates::setEnabled;

  void resync() {
    for (std::size_t i = 0; i < kCommandCount; ++i) apply(static_cast<Command>(i));
  }

private:
  static std::size_t index(Command c) { return static_cast<std::size_t>(c); }
  void apply(Command command) {
    QAction* a = actions_[index(command)];
    if (!a) return;
    a->setEnabled(enabled_[index(command)]);
    if (a->isCheckable()) a->setChecked(checked_[index(command)]);
  }

  std::array<QPointer<QAction>, kCommandCount> actions_{};
  std::array<bool, kCommandCount> enabled_{};
  std::array<bool, kCommandCount> checked_{};
};

}  // namespace quillon::app

#pragma once
#include <string>
#include <vector>

#include "editor/code_memo_fwd.h"
#include "editor/listener_list.h"
#include "language/context_list.h"
#include "platform/command_states.h"
#include "platform/keyboard_state.h"
#include "platform/main_view.h"
#include "platform/ui.h"

namespace quillon::app {

// Keeps the status bar panels and the Cut/Copy states in step with the source editor: caret
// position, insert mode, lock keys and the parenthesis or context line of the message panel.
// It keeps the context list's lines, which the message panel reads.
class StatusPresenter final : public language::ContextItems {
public:
  // Clicks on the status bar at these x positions toggle insert and overwrite mode.
  static constexpr int kModeClickFirst = 92;
  static constexpr int kModeClickLast = 124;

  StatusPresenter(platform::Ui& ui, platform::MainView& view, platform::CommandStates& states,
                  editor::CodeMemo& memo, const platform::KeyboardState& keyboard);

  void showLockKeys();
  void showMode();
  void showStartCaret();

  void mousePressed() { mouseDown_ = true; }
  void mouseReleased();
  void statusBarClicked(int x);
  // Insert and overwrite mode swap, as a click on their panel does.
  void toggleMode();

  bool mouseDown() const { return mouseDown_; }
  int openParenCount() const { return openParenCount_; }
  void setOpenParenCount(int count) { openParenCount_ = count; }
  // The context list's lines, as the word classifier fills them.
  const std::vector<std::string>& contextItems() const override { return contextItems_; }
  void setContextItems(std::vector<std::string> items, int extent = -1) override;

private:
  // Heard from the source editor's onSelMove.
  void caretMoved();
  void updateCutCopy();

  platform::Ui& ui_;
  platform::MainView& view_;
  platform::CommandStates& states_;
  editor::CodeMemo& memo_;
  const platform::KeyboardState& keyboard_;
  bool mouseDown_ = false;
  int openParenCount_ = 0;
  std::vector<std::string> contextItems_;
  editor::Subscription caretMoves_;
};

}  // namespace quillon::app

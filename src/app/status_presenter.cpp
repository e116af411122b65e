#include "app/status_presenter.h"

#include <algorithm>

#include "editor/code_memo.h"
#include "platform/ascii_text.h"

namespace quillon::app {

namespace {

using Panel = platform::Ui::Panel;

constexpr std::string_view kOpenParen = "Open Parenthis: ";

bool blank(std::string_view line) { return platform::trim(line).empty(); }

}  // namespace

StatusPresenter::StatusPresenter(platform::Ui& ui, platform::MainView& view,
                                 platform::CommandStates& states, editor::CodeMemo& memo,
                                 const platform::KeyboardState& keyboard)
    : ui_(ui),
      view_(view),
      states_(states),
      memo_(memo),
      keyboard_(keyboard),
      caretMoves_(memo.onSelMove.listen([this] { caretMoved(); })) {}

void StatusPresenter::showLockKeys() {
  ui_.setStatusText(Panel::kCapsPanel, keyboard_.capsLock().value_or(false) ? "CAP" : "");
  ui_.setStatusText(Panel::kNumPanel, keyboard_.numLock().value_or(false) ? "NUM" : "");
}

void StatusPresenter::showMode() {
  ui_.setStatusText(Panel::kModePanel, memo_.overwrite() ? "OVR" : "INS");
}

void StatusPresenter::showStartCaret() { ui_.setStatusText(Panel::kCaretPanel, "1:  1"); }

void StatusPresenter::caretMoved() {
  if (openParenCount_ > 0) {
    ui_.setStatusText(Panel::kMessagePanel,
                      std::string(kOpenParen) + std::to_string(openParenCount_));
  } else if (openParenCount_ == 0 && ui_.statusText(Panel::kMessagePanel).starts_with(kOpenParen)) {
    ui_.setStatusText(Panel::kMessagePanel, "Parenthis OK....");
  } else if (!contextItems_.empty()) {
    const std::string& first = contextItems_.front();
    ui_.setStatusText(Panel::kMessagePanel, first.size() > 3 ? first.substr(3) : std::string());
  } else {
    ui_.setStatusText(Panel::kMessagePanel, "");
  }

  if (!mouseDown_) {
    updateCutCopy();
    const std::int64_t par = memo_.selPar();
    if (par >= 0 && par < memo_.paragraphCount() && blank(memo_.paragraphText(par)) &&
        !contextItems_.empty())
      setContextItems({});
  }

  ui_.setStatusText(Panel::kCaretPanel,
                    std::to_string(memo_.selLine() + 1) + ":" + std::to_string(memo_.selCol() + 1));
}

void StatusPresenter::mouseReleased() {
  mouseDown_ = false;
  ui_.setStatusText(Panel::kCaretPanel, std::to_string(memo_.selLine() + 1) + " :  " +
                                            std::to_string(memo_.selCol() + 1));
  updateCutCopy();
}

void StatusPresenter::statusBarClicked(int x) {
  if (x < kModeClickFirst || x > kModeClickLast) return;
  toggleMode();
}

void StatusPresenter::toggleMode() {
  memo_.setOverwrite(!memo_.overwrite());
  showMode();
}

void StatusPresenter::setContextItems(std::vector<std::string> items, int extent) {
  contextItems_ = std::move(items);
  view_.setContextItems(contextItems_, extent);
}

void StatusPresenter::updateCutCopy() {
  const bool selection = memo_.selLength() != 0;
  states_.setEnabled(platform::Command::bCut, platform::Command::Cut1, selection);
  states_.setEnabled(platform::Command::bCopy, platform::Command::Copy1, selection);
}

}  // namespace quillon::app

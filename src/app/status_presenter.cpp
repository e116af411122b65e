#include "app/status_presenter.h"

#include <algorithm>

namespace quillon::app {

namespace {

constexpr std::string_view kOpenParen = "Open Parenthis: ";

bool blank(std::string_view line) {
  return std::all_of(line.begin(), line.end(), [](char c) { return static_cast<unsigned char>(c) <= ' '; });
}

}  // namespace

StatusPresenter::StatusPresenter(platform::Ui& ui, platform::MainView& view, platform::CommandStates& states, editor::CodeMemo& memo,
                                 const platform::KeyboardState& keyboard)
    : ui_(ui), view_(view), states_(states), memo_(memo), keyboard_(keyboard) {}

void StatusPresenter::showLockKeys() {
  ui_.setStatusText(kCapsPanel, keyboard_.capsLock().value_or(false) ? "CAP" : "");
  ui_.setStatusText(kNumPanel, keyboard_.numLock().value_or(false) ? "NUM" : "");
}

void StatusPresenter::showMode() { ui_.setStatusText(kModePanel, memo_.overwrite() ? "OVR" : "INS"); }

void StatusPresenter::showStartCaret() { ui_.setStatusText(kCaretPanel, "1:  1"); }

void StatusPresenter::caretMoved() {
  if (openParenCount_ > 0) {
    ui_.setStatusText(kMessagePanel, std::string(kOpenParen) + std::to_string(openParenCount_));
  } else if (openParenCount_ == 0 && ui_.statusText(kMessagePanel).starts_with(kOpenParen)) {
    ui_.setStatusText(kMessagePanel, "Parenthis OK....");
  } else if (!contextItems_.empty()) {
    const std::string& first = contextItems_.front();
    ui_.setStatusText(kMessagePanel, first.size() > 3 ? first.substr(3) : std::string());
  } else {
    ui_.setStatusText(kMessagePanel, "");
  }

  if (!mouseDown_) {
    updateCutCopy();
    const std::int64_t par = memo_.selPar();
    if (par >= 0 && par < memo_.paragraphCount() && blank(memo_.paragraphText(par)) && !contextItems_.empty())
      setContextItems({});
  }

  ui_.setStatusText(kCaretPanel, std::to_string(memo_.selLine() + 1) + ":" + std::to_string(memo_.selCol() + 1));
}

void StatusPresenter::mouseReleased() {
  mouseDown_ = false;
  ui_.setStatusText(kCaretPanel,
                    std::to_string(memo_.selLine() + 1) + " :  " + std::to_string(memo_.selCol() + 1));
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

void StatusPresenter::setContextItems(std::vector<std::string> items) {
  contextItems_ = std::move(items);
  view_.setContextItems(contextItems_);
}

void StatusPresenter::updateCutCopy() {
  const bool selection = memo_.selLength() != 0;
  states_.setEnabled(platform::Command::bCut, platform::Command::Cut1, selection);
  states_.setEnabled(platform::Command::bCopy, platform::Command::Copy1, selection);
}

}  // namespace quillon::app

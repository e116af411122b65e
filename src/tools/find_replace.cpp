#include "tools/find_replace.h"

#include <algorithm>
#include <array>
#include <chrono>

#include "editor/code_memo.h"
#include "platform/ascii_text.h"

namespace quillon::tools {

namespace {

using Option = FindReplaceView::Option;
using Button = FindReplaceView::Button;
using platform::Command;

// The dialog before the window made one: it keeps what the search reads back.
class HiddenView final : public FindReplaceView {
public:
  void setStatus(std::string_view) override {}
  bool optionChecked(Option o) const override { return checked_[o]; }
  void setOptionChecked(Option o, bool on) override { checked_[o] = on; }
  bool optionEnabled(Option o) const override { return enabled_[o]; }
  void setOptionEnabled(Option o, bool on) override { enabled_[o] = on; }
  void setButtonEnabled(Button, bool) override {}
  void setFindInFront(bool) override {}
  void setNextCaption(std::string_view) override {}
  void setDefaultButton(Button) override {}
  std::string findText() const override { return find_; }
  void setFindText(std::string_view t) override { find_ = t; }
  std::string replaceText() const override { return replace_; }
  void setReplaceText(std::string_view t) override { replace_ = t; }
  void setFindItems(const std::vector<std::string>&) override {}
  void setReplaceItems(const std::vector<std::string>&) override {}
  bool showing() const override { return false; }
  void show() override {}
  void hide() override {}
  int left() const override { return 0; }
  int top() const override { return 0; }

private:
  std::array<bool, kOptions> checked_{};
  std::array<bool, kOptions> enabled_{true, true, true, true, true, true};
  std::string find_, replace_;
};

constexpr auto kRefreshInterval = std::chrono::milliseconds(50);

}  // namespace

FindReplace::FindReplace(Parts parts)
    : ui_(parts.ui),
      states_(parts.states),
      editor_(parts.editor),
      documents_(parts.documents),
      clock_(parts.clock),
      hidden_(std::make_unique<HiddenView>()),
      view_(hidden_.get()),
      textChanges_(editor_.onChange.listen([this] {
        if (!ownEdit_) changedSinceFill_ = true;
      })),
      pageChanges_(documents_.pagesChanged.listen([this] { pagesChanged(); })) {}

void FindReplace::attachView(FindReplaceView* view) {
  FindReplaceView* next = view ? view : hidden_.get();
  // The options and texts carry over, so F3 searches as before.
  for (int o = 0; o < FindReplaceView::kOptions; ++o) {
    next->setOptionChecked(Option(o), view_->optionChecked(Option(o)));
    next->setOptionEnabled(Option(o), view_->optionEnabled(Option(o)));
  }
  next->setFindText(view_->findText());
  next->setReplaceText(view_->replaceText());
  view_ = next;
  view_->setFindItems(findHistory_.entries());
  view_->setReplaceItems(replaceHistory_.entries());
  view_->setFindInFront(true);
  view_->setButtonEnabled(Button::All, false);
  view_->setButtonEnabled(Button::Skip, false);
}

void FindReplace::setHistories(const std::vector<std::string>& finds,
                               const std::vector<std::string>& replaces) {
  auto fill = [](pages::RecentList& list, const std::vector<std::string>& items) {
    list.clear();
    for (auto it = items.rbegin(); it != items.rend(); ++it)
      if (!it->empty()) list.add(*it);
  };
  fill(findHistory_, finds);
  fill(replaceHistory_, replaces);
  view_->setFindItems(findHistory_.entries());
  view_->setReplaceItems(replaceHistory_.entries());
}

void FindReplace::setAgainEnabled(bool on) {
  states_.setEnabled(Command::bAgain, Command::FindNext1, on);
}

void FindReplace::searchedToEndBox() {
  if (!view_->showing()) ui_.showMessage(kSearchedToEndBox);
}

// ----- Opening and the options -----

void FindReplace::open() {
  if (running_) return;
  documents_.fillRevertTable();
  changedSinceFill_ = false;
  mode_ = Mode::find;
  found_ = false;
  matchStart_ = -1;
  last_.valid = false;

  const editor::Offset caret = editor_.selStart();
  const editor::Offset length = editor_.selLength();
  const editor::Offset lower = std::min(caret, caret + length);
  const editor::Offset size = length < 0 ? -length : length;
  const std::string selected = editor_.selText();
  std::string offered;
  if (platform::hasLineBreak(selected)) {
    // Text of several lines offers its first word.
    offered = selected.substr(0, selected.find_first_of(" \r\n"));
  } else {
    editor_.select(lower, 0);
    offered = editor_.currentWord();
  }
  view_->setFindText(offered);

  hadSelection_ = size > 0;
  if (hadSelection_) {
    regionStart_ = lower;
    regionEnd_ = lower + size;
  } else {
    if (!offered.empty()) editor_.setSelCol(0);
    regionStart_ = regionEnd_ = editor_.selStart();
  }
  // A selection is the region to search; without one the other two scopes are offered.
  view_->setOptionChecked(Option::SelectedText, hadSelection_);
  view_->setOptionEnabled(Option::SelectedText, hadSelection_);
  for (Option o : {Option::FromCursor, Option::AllPages}) {
    view_->setOptionChecked(o, false);
    view_->setOptionEnabled(o, !hadSelection_);
  }

  counter_ = 0;
  editor_.select(regionStart_, regionEnd_ - regionStart_);
  startTab_ = documents_.currentTab();

  setStatus(std::string(kReady));
  view_->setReplaceText({});
  view_->setOptionEnabled(Option::PromptOnReplace, false);
  view_->setFindInFront(true);
  view_->setButtonEnabled(Button::Find, true);
  view_->setDefaultButton(Button::Find);
  view_->show();
  setAgainEnabled(false);
}

// With Selected Text checked the search starts at the region, wherever the caret is.
void FindReplace::selectedTextRules() {
  editor_.setSelStart(checked(Option::SelectedText) ? regionStart_ : 0);
}

void FindReplace::optionChanged(Option option) {
  switch (option) {
    case Option::SelectedText: {
      const bool on = checked(Option::SelectedText);
      for (Option o : {Option::FromCursor, Option::AllPages}) {
        view_->setOptionChecked(o, false);
        view_->setOptionEnabled(o, !on);
      }
      selectedTextRules();
      break;
    }
    case Option::FromCursor: {
      const bool on = checked(Option::FromCursor);
      // Selected Text searches the region the dialog opened with; without one it is never on.
      const bool selectedEnabled = !on && hadSelection_;
      view_->setOptionEnabled(Option::SelectedText, selectedEnabled);
      view_->setOptionChecked(Option::SelectedText, selectedEnabled && hadSelection_);
      editor_.setSelStart(on || checked(Option::SelectedText) ? regionStart_ : 0);
      break;
    }
    case Option::AllPages:
      if (checked(Option::AllPages)) {
        view_->setOptionChecked(Option::SelectedText, false);
        view_->setOptionEnabled(Option::SelectedText, false);
        view_->setOptionEnabled(Option::FromCursor, true);
      } else {
        view_->setOptionEnabled(Option::SelectedText, hadSelection_);
        if (hadSelection_) {
          view_->setOptionChecked(Option::SelectedText, true);
          view_->setOptionChecked(Option::FromCursor, false);
          view_->setOptionEnabled(Option::FromCursor, false);
          selectedTextRules();
        }
      }
      break;
    default: break;
  }
}

void FindReplace::findTextEdited() {
  found_ = false;
  counter_ = 0;
  matchStart_ = -1;
  last_.valid = false;
  view_->setFindInFront(true);
  view_->setButtonEnabled(Button::Find, true);
  view_->setDefaultButton(Button::Find);
  // All and Skip act on the match of the search that the edit just left behind.
  view_->setButtonEnabled(Button::All, false);
  view_->setButtonEnabled(Button::Skip, false);
}

void FindReplace::replaceTextEdited() {
  findTextEdited();
  view_->setOptionEnabled(Option::PromptOnReplace, !view_->replaceText().empty());
}

// ----- Searching -----

bool FindReplace::findInPage() {
  const editor::Offset caret = editor_.selStart();
  const editor::Offset length = editor_.selLength();
  const bool inRegion = checked(Option::SelectedText);
  if (inRegion && std::min(caret, caret + length) < regionStart_) editor_.select(regionStart_, 0);
  if (!editor_.findText(findText_, true, checked(Option::WholeWords),
                        checked(Option::CaseSensitive))) {
    editor_.select(caret, length);
    return false;
  }
  // A match must end inside the region, or it would be replaced beyond it.
  if (inRegion && editor_.selStart() > regionEnd_) {
    editor_.select(caret, length);
    return false;
  }
  return true;
}

// The editor selects the match with the caret at its end.
void FindReplace::matchFound() {
  matchStart_ = editor_.selStart() + editor_.selLength();
  last_ = {true, documents_.currentTab(), matchStart_};
}

bool FindReplace::selectionIsLastMatch() const {
  if (!last_.valid || last_.tab != documents_.currentTab() || findText_.empty()) return false;
  const editor::Offset caret = editor_.selStart();
  const editor::Offset length = editor_.selLength();
  const auto size = static_cast<editor::Offset>(findText_.size());
  if (std::min(caret, caret + length) != last_.start || (length < 0 ? -length : length) != size)
    return false;
  return editor_.matchesAt(last_.start, findText_, checked(Option::WholeWords),
                           checked(Option::CaseSensitive));
}

bool FindReplace::replaceSelected() {
  if (editor_.readOnly()) return false;
  // What the user typed since the table was filled must survive a Revert.
  if (!documents_.revertAvailable() || changedSinceFill_) {
    documents_.fillRevertTable();
    changedSinceFill_ = false;
  }
  if (!undoStepOpen_) {
    editor_.beginUndoStep();
    undoStepOpen_ = true;
  }
  ownEdit_ = true;
  try {
    editor_.setSelText(replaceText_);
  } catch (...) {
    ownEdit_ = false;
    throw;
  }
  ownEdit_ = false;
  last_.valid = false;
  if (checked(Option::SelectedText))
    regionEnd_ += static_cast<editor::Offset>(replaceText_.size()) -
                  static_cast<editor::Offset>(findText_.size());
  ++counter_;
  return true;
}

void FindReplace::closeUndoStep() {
  if (!undoStepOpen_) return;
  editor_.endUndoStep();
  undoStepOpen_ = false;
}

bool FindReplace::nextPageOfRun() {
  const int count = documents_.tabCount();
  if (startTab_ < 0 || startTab_ >= count) startTab_ = documents_.currentTab();
  const int next = (documents_.currentTab() + 1) % count;
  if (next == startTab_) return false;
  closeUndoStep();
  documents_.showPage(next);
  ui_.processPendingMessages();
  matchStart_ = -1;
  return true;
}

void FindReplace::selectLast(std::size_t length) {
  if (matchStart_ != -1) {
    const auto n = static_cast<editor::Offset>(length);
    editor_.select(std::min(matchStart_ + n, editor_.charCount()),
                   -std::min(n, editor_.charCount() - matchStart_));
  }
  matchStart_ = -1;
}

void FindReplace::refreshView(bool force) {
  const auto now = clock_.now();
  if (!force && now - lastRefresh_ < kRefreshInterval) return;
  lastRefresh_ = now;
  editor_.scrollInView();
  ui_.processPendingMessages();
}

bool FindReplace::searchOnce() {
  runStartTab_ = documents_.currentTab();
  for (;;) {
    if (findInPage()) {
      matchFound();
      editor_.scrollInView();
      ++counter_;
      setStatus(std::string(kFound) + std::to_string(counter_));
      found_ = true;
      break;
    }
    if (!checked(Option::AllPages) || !nextPageOfRun()) {
      found_ = false;
      setStatus(std::string(kFound) + std::to_string(counter_) + std::string(kSearchedToEnd));
      setAgainEnabled(false);
      selectLast(findText_.size());
      searchedToEndBox();
      view_->setButtonEnabled(Button::Next, false);
      break;
    }
  }
  if (documents_.currentTab() != runStartTab_) documents_.settleVisitedPage();
  return found_;
}

void FindReplace::find() {
  if (running_) return;
  findText_ = view_->findText();
  replaceText_ = view_->replaceText();
  if (searchOnce()) {
    mode_ = replaceText_.empty() ? Mode::find : Mode::replace;
    view_->setNextCaption(mode_ == Mode::replace ? "Replace" : "Next");
    view_->setButtonEnabled(Button::All, mode_ == Mode::replace);
    view_->setButtonEnabled(Button::Skip, mode_ == Mode::replace);
    // Replace mode counts replacements; the match in front of the user is not one yet.
    if (mode_ == Mode::replace) counter_ = 0;
    view_->setFindInFront(false);
    view_->setButtonEnabled(Button::Next, true);
    view_->setDefaultButton(Button::Next);
    setAgainEnabled(true);
  }
}

void FindReplace::again() {
  if (states_.enabled(Command::bAgain)) next();
}

void FindReplace::next() {
  if (running_ || findText_.empty()) return;
  if (mode_ == Mode::find) {
    searchOnce();
    return;
  }
  runStartTab_ = documents_.currentTab();
  if (selectionIsLastMatch() && replaceSelected())
    setStatus(std::string(kReplaced) + std::to_string(counter_));
  for (;;) {
    if (findInPage()) {
      matchFound();
      editor_.scrollInView();
      closeUndoStep();
      return;
    }
    if (!checked(Option::AllPages) || !nextPageOfRun()) break;
    editor_.setSelStart(0);
  }
  endReplaceRun();
  view_->setButtonEnabled(Button::Find, false);
}

void FindReplace::skip() {
  if (running_ || findText_.empty()) return;
  closeUndoStep();
  if (findInPage()) {
    matchFound();
    editor_.scrollInView();
    return;
  }
  setStatus(std::string(kReplaced) + std::to_string(counter_) + std::string(kSearchedToEnd));
  setAgainEnabled(false);
  selectLast(replaceText_.size());
  searchedToEndBox();
  view_->setButtonEnabled(Button::Next, false);
}

void FindReplace::replaceAll() {
  if (running_ || findText_.empty()) return;
  running_ = true;
  cancelled_ = false;
  runStartTab_ = documents_.currentTab();
  bool answeredAll = false;
  lastRefresh_ = clock_.now();
  try {
    {
      // The caret and the context list follow once, at the end.
      const auto mute =
          editor_.muteEvents(editor::CodeMemo::kOnSelMove | editor::CodeMemo::kOnParse);
      if (selectionIsLastMatch() && replaceSelected())
        setStatus(std::string(kReplaced) + std::to_string(counter_));
      while (!cancelled_) {
        if (!findInPage()) {
          if (checked(Option::AllPages) && nextPageOfRun()) {
            editor_.setSelStart(0);
            continue;
          }
          break;
        }
        matchFound();
        const bool prompt = checked(Option::PromptOnReplace);
        refreshView(prompt);
        if (cancelled_) break;
        if (prompt) {
          const auto answer =
              ui_.askAt("Confirm", kReplaceQuestion, platform::Ui::Buttons::YesNoCancelWithAll,
                        view_->left(), view_->top());
          if (answer == platform::Ui::Answer::No) continue;
          if (answer == platform::Ui::Answer::All) {
            view_->setOptionChecked(Option::PromptOnReplace, false);
            answeredAll = true;
          } else if (answer != platform::Ui::Answer::Yes) {
            view_->setButtonEnabled(Button::All, false);
            view_->setFindInFront(true);
            view_->setDefaultButton(Button::Find);
            break;
          }
        }
        if (replaceSelected()) setStatus(std::string(kReplaced) + std::to_string(counter_));
      }
    }
    if (answeredAll) view_->setOptionChecked(Option::PromptOnReplace, true);
    endReplaceRun();
  } catch (...) {
    closeUndoStep();
    running_ = false;
    throw;
  }
  running_ = false;
}

void FindReplace::endReplaceRun() {
  closeUndoStep();
  setStatus(std::string(kReplaced) + std::to_string(counter_) + std::string(kSearchedToEnd));
  view_->setButtonEnabled(Button::All, false);
  view_->setButtonEnabled(Button::Skip, false);
  setAgainEnabled(false);
  selectLast(replaceText_.size());
  refreshView(true);
  // A run that ended on another page leaves the window as a tab change would.
  if (documents_.currentTab() != runStartTab_) documents_.settleVisitedPage();
  // The run moved the caret unheard: the caret panel shows where it ended.
  editor_.retellSelMove();
  searchedToEndBox();
  view_->setButtonEnabled(Button::Next, false);
}

// ----- Closing -----

void FindReplace::cancel() {
  if (running_) {
    cancelled_ = true;
    return;
  }
  auto remember = [](pages::RecentList& list, const std::string& text) {
    // A text of several lines is a one-off, not worth a place in the history.
    if (!text.empty() && !platform::hasLineBreak(text)) list.add(text);
  };
  remember(findHistory_, view_->findText());
  remember(replaceHistory_, view_->replaceText());
  const std::string find = view_->findText();
  const std::string replace = view_->replaceText();
  view_->setFindItems(findHistory_.entries());
  view_->setReplaceItems(replaceHistory_.entries());
  view_->setFindText(find);
  view_->setReplaceText(replace);
  view_->setFindInFront(true);
  view_->setNextCaption("Next");
  view_->setButtonEnabled(Button::Find, true);
  view_->setDefaultButton(Button::Find);
  view_->setButtonEnabled(Button::Skip, false);
  view_->setButtonEnabled(Button::All, false);
  view_->setButtonEnabled(Button::Next, true);
  view_->hide();
}

void FindReplace::revert() { documents_.revert(view_->optionChecked(FindReplaceView::AllPages)); }

void FindReplace::pagesChanged() {
  startTab_ = documents_.currentTab();
  last_.valid = false;
}

}  // namespace quillon::tools

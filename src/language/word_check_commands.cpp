#include "language/word_check_commands.h"

#include <algorithm>

#include "editor/code_memo.h"
#include "platform/ascii_text.h"
#include "settings/editor_profiles.h"

namespace quillon::language {

WordCheckCommands::WordCheckCommands(Parts parts)
    : ui_(parts.ui),
      editor_(parts.editor),
      lists_(parts.lists),
      tabCount_(std::move(parts.tabCount)),
      pageTexts_(std::move(parts.pageTexts)),
      checker_(parts.lists),
      workCopy_(std::make_unique<editor::CodeMemo>()) {
  settings::applyWordCheckProfile(*workCopy_);
}

WordCheckCommands::~WordCheckCommands() = default;

void WordCheckCommands::loadWorkCopy(std::string_view text) {
  workCopy_->setText(text);
  workCopy_->select(0, 0);
}

void WordCheckCommands::open() {
  if (!running_) {
    items_.clear();
    ++itemsVersion_;
    selected_ = -1;
    loadWorkCopy({});
    allPages_ = false;
    allPagesEnabled_ = tabCount_ && tabCount_() >= 2;
    changed();
  }
  onShowRequested.listeners_.notify();
}

void WordCheckCommands::activated() {
  loadWorkCopy(editor_.text());
  listView_ = ListView::None;
  changed();
}

bool WordCheckCommands::editorBlank() const {
  for (std::int64_t i = 0; i < editor_.paragraphCount(); ++i)
    if (!platform::trim(editor_.paragraphText(i)).empty()) return false;
  return true;
}

bool WordCheckCommands::start() {
  if (running_) return false;
  if (editorBlank()) {
    message_ = kNothingToDo;
    changed();
    return false;
  }
  const std::vector<std::string> texts =
      allPages_ && pageTexts_ ? pageTexts_() : std::vector<std::string>{editor_.text()};
  running_ = true;
  items_.clear();
  ++itemsVersion_;
  selected_ = -1;
  ui_.setBusy(true);
  changed();
  // Ends the run also when a check throws, so the window never stays disabled.
  struct EndRun {
    WordCheckCommands& self;
    ~EndRun() {
      if (!self.running_) return;
      self.running_ = false;
      self.ui_.setBusy(false);
      self.changed();
    }
  } endRun{*this};

  checker_.start(options_);
  for (const std::string& text : texts) {
    checker_.check(text);
    ui_.processPendingMessages();
  }
  for (std::string& word : checker_.words()) items_.push_back({std::move(word), false});
  ++itemsVersion_;
  loadWorkCopy(editor_.text());
  return true;
}

void WordCheckCommands::close() {
  message_ = kHint;
  changed();
}

void WordCheckCommands::addToDictionary() {
  for (const Item& item : items_)
    lists_.add(item.checked ? WordList::Dict : WordList::User, item.word);
}

void WordCheckCommands::checkAll(bool checked) {
  for (Item& item : items_) item.checked = checked;
  ++itemsVersion_;
  changed();
}

void WordCheckCommands::setChecked(std::size_t item, bool checked) {
  if (item >= items_.size()) return;
  items_[item].checked = checked;
}

void WordCheckCommands::itemClicked(std::size_t item) {
  if (item >= items_.size()) return;
  selected_ = static_cast<int>(item);
  workCopy_->select(0, 0);
  workCopy_->scrollInView();
}

void WordCheckCommands::locate() {
  if (selected_ < 0 || static_cast<std::size_t>(selected_) >= items_.size()) return;
  if (!workCopy_->findText(items_[static_cast<std::size_t>(selected_)].word, true, false, false))
    workCopy_->select(0, 0);
  workCopy_->scrollInView();
}

void WordCheckCommands::showList(ListView view) {
  listView_ = view;
  const auto load = [this](WordList which) {
    std::string text;
    for (const std::string& entry : lists_.list(which)) {
      if (!text.empty()) text += "\r\n";
      text += entry;
    }
    loadWorkCopy(text);
  };
  switch (view) {
    case ListView::None: break;
    case ListView::Dictionary: load(WordList::Dict); break;
    case ListView::KeyWords: load(WordList::Key); break;
    case ListView::Defines: load(WordList::Def); break;
    case ListView::HelpContexts: load(WordList::Help); break;
  }
  changed();
}

void WordCheckCommands::setAllPages(bool on) {
  if (running_) return;
  allPages_ = on && allPagesEnabled_;
  changed();
}

}  // namespace quillon::language

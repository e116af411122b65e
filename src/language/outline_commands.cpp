#include "language/outline_commands.h"

#include <algorithm>

#include "pages/document_commands.h"

namespace quillon::language {

OutlineCommands::OutlineCommands(Parts parts)
    : ui_(parts.ui),
      view_(parts.view),
      states_(parts.states),
      editor_(parts.editor),
      pageCaption_(std::move(parts.pageCaption)),
      clock_(parts.clock) {
  if (!parts.pages) return;
  pageWatches_[0] = parts.pages->pageEntered.listen([this] { pageEntered(); });
  pageWatches_[1] = parts.pages->pageClosed.listen([this] { pageClosed(); });
  pageWatches_[2] = parts.pages->allPagesClosed.listen([this] { allClosed(); });
}

void OutlineCommands::scan() {
  const auto start = clock_.now();
  const editor::CodeMemo& memo = editor_;
  Outline outline = scanOutline(memo.paragraphCount(), [&memo](std::int64_t i) { return memo.paragraphText(i); });
  outline.caption = pageCaption_ ? pageCaption_() : std::string();
  if (states_.checked(platform::Command::CodeInfoSorted1)) sortOutline(outline);
  outline_ = std::move(outline);
  stale_ = false;
  const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(clock_.now() - start);
  ui_.setStatusText(platform::Ui::kMessagePanel, "CodeInfo Scanned " + outline_->caption + " [" +
                                                     std::to_string(memo.paragraphCount()) + " lines] in " +
                                                     formatScanSeconds(elapsed) + " sec.");
  onOutlineChanged.listeners_.notify();
}

void OutlineCommands::empty() {
  outline_.reset();
  stale_ = false;
  onOutlineChanged.listeners_.notify();
}

void OutlineCommands::setShown(bool shown) {
  states_.setChecked(platform::Command::CodeInfoShow1, shown);
  view_.setRegionVisible(platform::MainView::Region::CodeInfo, shown);
}

void OutlineCommands::toggleShow() {
  if (shown()) {
    setShown(false);
    return;
  }
  setShown(true);
  // The caption alone cannot tell two "Untitled" pages, or two main.mb, apart.
  if (!outline_ || stale_ || outline_->caption != (pageCaption_ ? pageCaption_() : std::string())) scan();
}

bool OutlineCommands::rescan() {
  if (editor_.charCount() == 0) return false;
  scan();
  if (!shown()) toggleShow();
  return true;
}

void OutlineCommands::toggleSorted() {
  states_.setChecked(platform::Command::CodeInfoSorted1, !states_.checked(platform::Command::CodeInfoSorted1));
  scan();
}

void OutlineCommands::pageEntered() {
  if (shown()) {
    scan();
  } else if (outline_) {
    stale_ = true;
  }
}

void OutlineCommands::pageClosed() {
  if (shown()) {
    setShown(false);
    empty();
  }
  scan();
}

void OutlineCommands::allClosed() {
  setShown(false);
  empty();
}

void OutlineCommands::treeMouseMoved(int x, int y) {
  mouseX_ = x;
  mouseY_ = y;
}

void OutlineCommands::treeNodeToggled() { mouseX_ = mouseY_ = -99; }

bool OutlineCommands::treeClicked(int level, std::int64_t line) {
  if (level < 2 || mouseX_ < 0 || mouseY_ < 0) return false;
  // The outline does not follow typing: an entry may name a line that has gone since.
  const std::int64_t paragraph = std::clamp<std::int64_t>(line - 1, 0, std::max<std::int64_t>(0, editor_.paragraphCount() - 1));
  editor_.select(paragraph < editor_.paragraphCount() ? editor_.table().startOf(paragraph) : 0, 0);
  editor_.scrollInView();
  return true;
}

}  // namespace quillon::language

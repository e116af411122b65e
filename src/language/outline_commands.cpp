#include "language/outline_commands.h"

#include <algorithm>

#include "editor/code_memo.h"
#include "pages/document_commands.h"

namespace quillon::language {

OutlineCommands::OutlineCommands(Parts parts)
    : ui_(parts.ui),
      view_(parts.view),
      states_(parts.states),
      editor_(parts.editor),
      pageCaption_(std::move(parts.pageCaption)),
      clock_(parts.clock) {
  listener_ = editor_.addViewListener([this](editor::CodeMemo::ViewEvent e) {
    if (e != editor::CodeMemo::ViewEvent::changed) return;
    dirty_ = true;
    if (shown()) onScanWanted.listeners_.notify(kIdleDelay);
  });
  if (!parts.pages) return;
  pageWatches_[0] = parts.pages->pageEntered.listen([this] { pageEntered(); });
  pageWatches_[1] = parts.pages->pageClosed.listen([this] { pageClosed(); });
  pageWatches_[2] = parts.pages->allPagesClosed.listen([this] { allClosed(); });
  pageWatches_[3] = parts.pages->pageShown.listen([this] { pageShown(); });
}

OutlineCommands::~OutlineCommands() { editor_.removeViewListener(listener_); }

void OutlineCommands::scan() { scan(false); }

void OutlineCommands::scan(bool quiet) {
  const auto start = clock_.now();
  const editor::CodeMemo& memo = editor_;
  Outline outline =
      scanOutline(memo.paragraphCount(), [&memo](std::int64_t i) { return memo.paragraphText(i); });
  outline.caption = pageCaption_ ? pageCaption_() : std::string();
  if (states_.checked(platform::Command::CodeInfoSorted1)) sortOutline(outline);
  keptPage_ = outline_ && scannedPage_ == page_;
  outline_ = std::move(outline);
  scannedPage_ = page_;
  dirty_ = false;
  if (quiet) {
    onOutlineChanged.listeners_.notify();
    return;
  }
  const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(clock_.now() - start);
  ui_.setStatusText(platform::Ui::kMessagePanel, "CodeInfo Scanned " + outline_->caption + " [" +
                                                     std::to_string(memo.paragraphCount()) +
                                                     " lines] in " + formatScanSeconds(elapsed) +
                                                     " sec.");
  onOutlineChanged.listeners_.notify();
}

void OutlineCommands::empty() {
  outline_.reset();
  scannedPage_ = page_;
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
  if (!outline_ || stale() || dirty_ ||
      outline_->caption != (pageCaption_ ? pageCaption_() : std::string()))
    scan();
}

bool OutlineCommands::rescan() {
  if (editor_.charCount() == 0) return false;
  scan();
  if (!shown()) toggleShow();
  return true;
}

void OutlineCommands::toggleSorted() {
  states_.setChecked(platform::Command::CodeInfoSorted1,
                     !states_.checked(platform::Command::CodeInfoSorted1));
  scan();
}

void OutlineCommands::pageEntered() {
  ++page_;
  if (shown()) scan();
}

void OutlineCommands::pageShown() {
  ++page_;
  if (!shown()) return;
  onOutlineChanged.listeners_.notify();  // its entries belong to the page that went
  onScanWanted.listeners_.notify(std::chrono::milliseconds(0));
}

void OutlineCommands::idleElapsed() {
  if (!shown() || !outline_) return;
  if (stale() || (dirty_ && editor_.paragraphCount() <= kIdleScanLines)) scan(true);
}

void OutlineCommands::setGroupExpanded(std::size_t group, bool expanded) {
  if (group < kOutlineGroups) expanded_.set(group, expanded);
}

void OutlineCommands::pageClosed() {
  ++page_;
  if (shown()) {
    setShown(false);
    empty();
  }
  scan();
}

void OutlineCommands::allClosed() {
  ++page_;
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
  // An entry of the page that was on screen before must not move the caret in this one.
  if (stale()) {
    scan();
    return false;
  }
  // The outline does not follow typing: an entry may name a line that has gone since.
  const std::int64_t paragraph = std::clamp<std::int64_t>(
      line - 1, 0, std::max<std::int64_t>(0, editor_.paragraphCount() - 1));
  editor_.select(paragraph < editor_.paragraphCount() ? editor_.table().startOf(paragraph) : 0, 0);
  editor_.scrollInView();
  return true;
}

}  // namespace quillon::language

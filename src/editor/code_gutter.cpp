#include "editor/code_gutter.h"

#include <algorithm>

namespace quillon::editor {

CodeGutter::~CodeGutter() { setMemo(nullptr); }

void CodeGutter::setMemo(CodeMemo* memo) {
  if (memo == memo_) return;
  if (memo_) {
    freeBookmarks();
    memo_->removeViewListener(listenerId_);
  }
  memo_ = memo;
  paintedLineCount_ = -1;
  paintedParagraphCount_ = -1;
  paintedLines_.fill(-1);
  if (memo_) {
    listenerId_ = memo_->addViewListener([this](CodeMemo::ViewEvent e) { onViewEvent(e); });
    shownScrollY_ = memo_->scrollY();
  }
  requestRepaint();
}

void CodeGutter::freeBookmarks() {
  for (Slot& s : slots_) {
    if (s.set) memo_->removeAnchor(s.anchor);
    s = Slot{};
  }
}

void CodeGutter::setAlignment(Alignment a) {
  if (a == alignment_) return;
  alignment_ = a;
  requestRepaint();
}

void CodeGutter::setLineNumbers(bool on) {
  if (on == lineNumbers_) return;
  lineNumbers_ = on;
  requestRepaint();
}

void CodeGutter::setParagraphNumbers(bool on) {
  if (on == paragraphNumbers_) return;
  paragraphNumbers_ = on;
  requestRepaint();
}

// ---------------------------------------------------------------------------------------
// Bookmarks

std::int64_t CodeGutter::bookmarkLine(int n) const {
  if (!memo_ || n < 0 || n >= kBookmarks || !slots_[static_cast<std::size_t>(n)].set) return -1;
  return memo_->lineOfOffset(memo_->anchor(slots_[static_cast<std::size_t>(n)].anchor));
}

int CodeGutter::bookmarkOn(std::int64_t line) const {
  for (int n = 0; n < kBookmarks; ++n)
    if (bookmarkLine(n) == line) return n;
  return -1;
}

bool CodeGutter::toggleBookmark(std::int64_t line, int n) {
  if (!memo_ || n < 0 || n >= kBookmarks || line < 0) return false;
  memo_->lineSpan(line);  // lays the line out, so the count below includes it
  if (line >= memo_->lineCount()) return false;
  Slot& slot = slots_[static_cast<std::size_t>(n)];
  // Asking about n itself first matters when an edit has pushed two bookmarks onto one
  // line: each can still be removed.
  if (bookmarkLine(n) == line) {
    memo_->removeAnchor(slot.anchor);
    slot = Slot{};
  } else if (bookmarkOn(line) < 0) {
    const Offset at = memo_->offsetOfLine(line);
    if (slot.set) {
      memo_->moveAnchor(slot.anchor, at);
    } else {
      slot.anchor = memo_->addAnchor(at);
      slot.set = true;
    }
  } else {
    return false;
  }
  requestRepaint();
  return true;
}

void CodeGutter::goToBookmark(int n) {
  if (!memo_ || n < 0 || n >= kBookmarks || !slots_[static_cast<std::size_t>(n)].set) return;
  memo_->setSelStart(memo_->anchor(slots_[static_cast<std::size_t>(n)].anchor));
  memo_->scrollInView();
}

void CodeGutter::clearAll() {
  for (int n = 0; n < kBookmarks; ++n)
    if (slots_[static_cast<std::size_t>(n)].set) toggleBookmark(bookmarkLine(n), n);
}

bool CodeGutter::keyDown(int digit, KeyModifiers mods) {
  if (!memo_ || digit < 0 || digit > 9 || !mods.ctrl || mods.alt) return false;
  if (mods.shift) {
    toggleBookmark(memo_->selLine(), digit);
    return true;
  }
  const std::int64_t line = bookmarkLine(digit);
  if (line >= 0) {
    memo_->setSelStart(memo_->offsetOfLine(line));
    memo_->scrollInView();
  }
  return true;
}

// ---------------------------------------------------------------------------------------
// Painting and repaint decisions

const TextMetrics* CodeGutter::numberMetrics() const { return metrics_ ? metrics_ : memo_->metrics(); }

bool CodeGutter::layoutMovedSincePaint() const {
  if (memo_->lineCount() != paintedLineCount_ || memo_->paragraphCount() != paintedParagraphCount_) return true;
  for (int n = 0; n < kBookmarks; ++n)
    if (bookmarkLine(n) != paintedLines_[static_cast<std::size_t>(n)]) return true;
  return false;
}

void CodeGutter::onViewEvent(CodeMemo::ViewEvent e) {
  switch (e) {
    case CodeMemo::ViewEvent::scrolled: {
      const std::int64_t dy = shownScrollY_ - memo_->scrollY();
      if (dy == 0) return;  // a horizontal scroll
      const bool countsKept =
          memo_->lineCount() == paintedLineCount_ && memo_->paragraphCount() == paintedParagraphCount_;
      if (countsKept && onScroll && dy > INT32_MIN / 2 && dy < INT32_MAX / 2) {
        shownScrollY_ = memo_->scrollY();
        onScroll(static_cast<int>(dy));
      } else {
        requestRepaint();
      }
      return;
    }
    case CodeMemo::ViewEvent::changed:
    case CodeMemo::ViewEvent::layoutProgressed:
      if (layoutMovedSincePaint()) requestRepaint();
      return;
    case CodeMemo::ViewEvent::selectionMoved:
      return;
  }
}

CodeGutter::Paint CodeGutter::paint(const PaintArea& area) {
  Paint out;
  if (!memo_ || !memo_->metrics()) return out;
  shownScrollY_ = memo_->scrollY();
  if (memo_->lineCount() != paintedLineCount_ || memo_->paragraphCount() != paintedParagraphCount_) {
    paintedLineCount_ = memo_->lineCount();
    paintedParagraphCount_ = memo_->paragraphCount();
    out.repaintAgain = true;
    return out;
  }
  for (int n = 0; n < kBookmarks; ++n) paintedLines_[static_cast<std::size_t>(n)] = bookmarkLine(n);

  const int lh = memo_->lineHeight();
  const int ascent = memo_->metrics()->ascent();
  const int usable = area.clientWidth - kEdgeWidth;
  const int zeroWidth = numberMetrics()->charWidth('0', 0);
  const std::int64_t scrollY = memo_->scrollY();
  const std::int64_t first =
      area.top > area.editorTop ? (scrollY + area.top - area.editorTop) / lh : memo_->topLine();
  const int bottom = std::min(area.clientHeight, area.bottom);

  for (std::int64_t line = first;; ++line) {
    const std::int64_t top64 = area.editorTop + line * lh - scrollY;
    if (top64 >= bottom) break;
    const CodeMemo::LineSpan span = memo_->lineSpan(line);
    if (line >= memo_->lineCount()) break;
    const int top = static_cast<int>(top64);
    const auto mark = std::find(paintedLines_.begin(), paintedLines_.end(), line);
    if (mark != paintedLines_.end()) {
      Item item;
      item.line = line;
      item.bookmark = static_cast<int>(mark - paintedLines_.begin());
      switch (alignment_) {
        case Alignment::left: item.x = kEdgeWidth; break;
        case Alignment::right: item.x = usable - kGlyphSize; break;
        case Alignment::centre: item.x = (usable - kGlyphSize) / 2; break;
      }
      // Centred in the line, but never sitting higher than the text beside it.
      item.y = std::max(top + (lh - kGlyphSize) / 2, top + ascent - kGlyphSize);
      out.items.push_back(std::move(item));
      continue;
    }
    if (!lineNumbers_) continue;
    std::int64_t number = line + 1;
    if (paragraphNumbers_) {
      if (span.start != 0) continue;
      number = span.paragraph + 1;
    }
    Item item;
    item.line = line;
    item.text = std::to_string(number);
    const int width = static_cast<int>(item.text.size()) * zeroWidth;
    switch (alignment_) {
      case Alignment::left: item.x = 0; break;
      case Alignment::right: item.x = usable - width; break;
      case Alignment::centre: item.x = (usable - width) / 2; break;
    }
    item.y = top + ascent;
    out.items.push_back(std::move(item));
  }
  // Painting may have laid out more text; the picture matches the counts as they are now.
  paintedLineCount_ = memo_->lineCount();
  paintedParagraphCount_ = memo_->paragraphCount();
  return out;
}

}  // namespace quillon::editor

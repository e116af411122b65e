#include "editor/code_gutter.h"

#include <algorithm>

#include "editor/code_memo.h"

namespace quillon::editor {

CodeGutter::~CodeGutter() { setMemo(nullptr); }

void CodeGutter::setMemo(CodeMemo* memo) {
  if (memo == memo_) return;
  if (memo_) {
    freeBookmarks();
    freeErrorMarks();
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
// Error marks

void CodeGutter::freeErrorMarks() {
  for (const Error& e : errors_) memo_->removeAnchor(e.anchor);
  errors_.clear();
}

void CodeGutter::setErrorMarks(const std::vector<ErrorMark>& marks) {
  if (!memo_) return;
  const bool had = !errors_.empty();
  freeErrorMarks();
  std::vector<ErrorMark> sorted;
  for (const ErrorMark& m : marks)
    if (m.paragraph >= 0 && m.paragraph < memo_->paragraphCount()) sorted.push_back(m);
  std::stable_sort(sorted.begin(), sorted.end(), [](const ErrorMark& a, const ErrorMark& b) {
    return a.paragraph < b.paragraph;
  });
  for (ErrorMark& m : sorted) {
    // One mark a line: the first error named there speaks for it.
    if (!errors_.empty() && errors_.back().mark.paragraph == m.paragraph) continue;
    const Offset at = memo_->table().startOf(m.paragraph);
    errors_.push_back(
        {memo_->addAnchor(at), std::string(memo_->paragraphText(m.paragraph)), std::move(m)});
  }
  if (had || !errors_.empty()) requestRepaint();
}

const CodeGutter::Error* CodeGutter::errorOn(std::int64_t paragraph) const {
  if (!memo_ || errors_.empty() || paragraph < 0 || paragraph >= memo_->paragraphCount())
    return nullptr;
  const Offset start = memo_->table().startOf(paragraph);
  const auto it =
      std::lower_bound(errors_.begin(), errors_.end(), start,
                       [this](const Error& e, Offset at) { return memo_->anchor(e.anchor) < at; });
  if (it == errors_.end() || memo_->anchor(it->anchor) != start) return nullptr;
  return memo_->paragraphText(paragraph) == it->text ? &*it : nullptr;
}

const std::string* CodeGutter::errorMarkOn(std::int64_t paragraph) const {
  const Error* e = errorOn(paragraph);
  return e ? &e->mark.message : nullptr;
}

const std::string* CodeGutter::errorMarkAt(int y, int editorTop) const {
  if (!memo_ || errors_.empty() || memo_->lineHeight() <= 0 || y < editorTop) return nullptr;
  const std::int64_t line = (memo_->scrollY() + y - editorTop) / memo_->lineHeight();
  if (line >= memo_->lineCount()) return nullptr;
  return errorMarkOn(memo_->table().paragraphAtLine(line));
}

std::vector<ErrorMark> CodeGutter::errorMarks() const {
  std::vector<ErrorMark> out;
  for (const Error& e : errors_) {
    const std::int64_t paragraph = memo_->table().paragraphAt(memo_->anchor(e.anchor));
    if (errorOn(paragraph) != &e) continue;
    out.push_back(e.mark);
    out.back().paragraph = paragraph;
  }
  return out;
}

// ---------------------------------------------------------------------------------------
// Painting and repaint decisions

const TextMetrics* CodeGutter::numberMetrics() const {
  return metrics_ ? metrics_ : memo_->metrics();
}

bool CodeGutter::layoutMovedSincePaint() const {
  if (memo_->lineCount() != paintedLineCount_ || memo_->paragraphCount() != paintedParagraphCount_)
    return true;
  for (int n = 0; n < kBookmarks; ++n)
    if (bookmarkLine(n) != paintedLines_[static_cast<std::size_t>(n)]) return true;
  return false;
}

void CodeGutter::onViewEvent(CodeMemo::ViewEvent e) {
  switch (e) {
    case CodeMemo::ViewEvent::scrolled: {
      const std::int64_t dy = shownScrollY_ - memo_->scrollY();
      if (dy == 0) return;  // a horizontal scroll
      const bool countsKept = memo_->lineCount() == paintedLineCount_ &&
                              memo_->paragraphCount() == paintedParagraphCount_;
      if (countsKept && onScroll && dy > INT32_MIN / 2 && dy < INT32_MAX / 2) {
        shownScrollY_ = memo_->scrollY();
        onScroll(static_cast<int>(dy));
      } else {
        requestRepaint();
      }
      return;
    }
    case CodeMemo::ViewEvent::changed:
      // An edit may have taken an error mark's line away without moving anything.
      if (!errors_.empty() || layoutMovedSincePaint()) requestRepaint();
      return;
    case CodeMemo::ViewEvent::layoutProgressed:
      if (layoutMovedSincePaint()) requestRepaint();
      return;
    case CodeMemo::ViewEvent::selectionMoved: return;
  }
}

CodeGutter::Paint CodeGutter::paint(const PaintArea& area) {
  Paint out;
  if (!memo_ || !memo_->metrics()) return out;
  shownScrollY_ = memo_->scrollY();
  if (memo_->lineCount() != paintedLineCount_ ||
      memo_->paragraphCount() != paintedParagraphCount_) {
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
    int glyphX = 0;
    switch (alignment_) {
      case Alignment::left: glyphX = kEdgeWidth; break;
      case Alignment::right: glyphX = usable - kGlyphSize; break;
      case Alignment::centre: glyphX = (usable - kGlyphSize) / 2; break;
    }
    // Centred in the line, but never sitting higher than the text beside it.
    const int glyphY = std::max(top + (lh - kGlyphSize) / 2, top + ascent - kGlyphSize);
    const bool error = span.start == 0 && errorOn(span.paragraph);
    if (mark != paintedLines_.end()) {
      Item item;
      item.line = line;
      item.bookmark = static_cast<int>(mark - paintedLines_.begin());
      item.x = glyphX;
      item.y = glyphY;
      out.items.push_back(std::move(item));
    }
    if (error) {
      // Beside a bookmark, on the side it leaves free; else where the bookmark would be.
      Item item;
      item.line = line;
      item.error = true;
      item.x = mark == paintedLines_.end() ? glyphX
               : alignment_ == Alignment::left
                   ? std::max(glyphX + kGlyphSize + 1, usable - kGlyphSize)
                   : std::max(0, std::min(kEdgeWidth, glyphX - kGlyphSize - 1));
      item.y = glyphY;
      out.items.push_back(std::move(item));
    }
    if (error || mark != paintedLines_.end()) continue;
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

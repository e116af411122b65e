// Display-line layout, geometry and scrolling of the editor model.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>

#include "editor/code_memo.h"
#include "editor/line_breaker.h"
#include "editor/memo_error.h"

namespace quillon::editor {

namespace {
constexpr std::int64_t kBackgroundBatch = 4096;  // paragraphs per idle step
}

void CodeMemo::setMetrics(const TextMetrics* metrics) {
  metrics_ = metrics;
  relayoutAll();
}

void CodeMemo::setViewport(int clientWidth, int clientHeight) {
  const bool widthChanged = clientWidth != clientWidth_;
  clientWidth_ = std::max(0, clientWidth);
  clientHeight_ = std::max(0, clientHeight);
  if (widthChanged && wrapping()) relayoutAll();
}

void CodeMemo::setWordWrap(bool wrap) {
  if (wrap == wordWrap_) return;
  wordWrap_ = wrap;
  if (wrap) setScroll(0, scrollY_);
  relayoutAll();
}

void CodeMemo::setTabStops(int columns) {
  tabStops_ = columns;
  ++measureGeneration_;
  if (wrapping()) relayoutAll();
}

void CodeMemo::setLeftMargin(int px) {
  leftMargin_ = px;
  if (wrapping()) relayoutAll();
}

void CodeMemo::setRightMargin(int px) {
  rightMargin_ = px;
  if (wrapping()) relayoutAll();
}

void CodeMemo::setUpdateMode(UpdateMode mode) {
  updateMode_ = mode;
  if (mode == UpdateMode::umImmediate && !updating()) ensureLaidOut(table_.size() - 1);
}

// Forgets every paragraph's layout; the visible part is laid out again when asked for and
// the rest as the update mode says.
void CodeMemo::relayoutAll() {
  const std::int64_t top = metrics_ ? topLine() : 0;
  const Offset topOffset = lineCount() > 0 && metrics_ ? offsetOfLine(top) : 0;
  widestLine_ = 0;
  ++measureGeneration_;
  if (wrapping()) {
    table_.resetLayout(false);
    layoutHigh_ = 0;
  } else {
    table_.resetLayout(true);
    layoutHigh_ = table_.size();
  }
  if (updating()) return;
  if (updateMode_ == UpdateMode::umImmediate) ensureLaidOut(table_.size() - 1);
  if (metrics_) {
    // Keep the first visible text at the top.
    const std::int64_t line = lineOfOffset(topOffset);
    scrollY_ = line * lineHeight();
  }
}

int CodeMemo::layoutWidth() const { return std::max(1, clientWidth_ - leftMargin_ - rightMargin_); }

int CodeMemo::lineHeight() const { return metrics_ ? std::max(1, metrics_->lineHeight()) : 1; }

int CodeMemo::charAdvance(unsigned char c, int x) const { return charAdvancer()(c, x); }

void CodeMemo::layoutParagraph(std::int64_t index) {
  Paragraph& p = table_.at(index);
  p.flags |= Paragraph::kLaidOut;
  if (!wrapping()) {
    table_.setLineStarts(index, {});
    return;
  }
  std::vector<std::uint32_t> starts;
  const int widest = breakLines(p.text(), (p.flags & Paragraph::kHasCodes) != 0, charAdvancer(),
                                layoutWidth(), starts);
  widestLine_ = std::max(widestLine_, widest);
  table_.setLineStarts(index, std::move(starts));
}

void CodeMemo::ensureLaidOut(std::int64_t paragraph) {
  paragraph = std::min(paragraph, table_.size() - 1);
  if (!wrapping()) {
    layoutHigh_ = table_.size();
    return;
  }
  while (layoutHigh_ <= paragraph) {
    layoutParagraph(layoutHigh_);
    ++layoutHigh_;
  }
}

bool CodeMemo::layoutPending() const {
  return wrapping() && layoutHigh_ < table_.size() && updateMode_ == UpdateMode::umBackground;
}

bool CodeMemo::layoutStep() {
  if (!layoutPending() || updating()) return false;
  ensureLaidOut(layoutHigh_ + kBackgroundBatch - 1);
  notifyView(ViewEvent::layoutProgressed);
  return layoutPending();
}

int CodeMemo::widestLine() const {
  const int avg = metrics_ ? metrics_->averageCharWidth() : 1;
  if (wrapping()) return layoutWidth();
  const Offset estimate = std::min<Offset>(maxLengthSeen_ * avg, 1 << 30);
  return std::max(widestLine_, static_cast<int>(estimate));
}

// ---------------------------------------------------------------------------------------
// Display lines

CodeMemo::LineSpan CodeMemo::lineSpan(std::int64_t line) {
  line = std::max<std::int64_t>(line, 0);
  std::int64_t p = table_.paragraphAtLine(line);
  while (wrapping() && p >= layoutHigh_) {
    ensureLaidOut(p);
    p = table_.paragraphAtLine(line);
  }
  LineSpan span;
  span.paragraph = p;
  if (table_.lineCountOf(p) == 1) {
    span.stop = table_.lengthOf(p);
    return span;
  }
  const Paragraph& par = table_.at(p);
  const ParagraphExtra* e = par.extra();
  const auto wrapped = static_cast<std::int64_t>(e ? e->lineStarts.size() : 0);
  const std::int64_t local = std::clamp<std::int64_t>(line - table_.firstLineOf(p), 0, wrapped);
  span.start = local == 0 ? 0 : e->lineStarts[static_cast<std::size_t>(local - 1)];
  span.stop = local < wrapped ? e->lineStarts[static_cast<std::size_t>(local)] : par.length;
  return span;
}

std::int64_t CodeMemo::lineOfOffset(Offset offset) {
  offset = normalize(offset);
  const std::int64_t p = table_.paragraphAt(offset);
  ensureLaidOut(p);
  if (table_.lineCountOf(p) == 1) return table_.firstLineOf(p);
  const Paragraph& par = table_.at(p);
  const auto pos = static_cast<std::uint32_t>(offset - table_.startOf(p));
  std::int64_t local = 0;
  if (par.extra() && !par.extra()->lineStarts.empty()) {
    const auto& s = par.extra()->lineStarts;
    local = std::upper_bound(s.begin(), s.end(), pos) - s.begin();
  }
  return table_.firstLineOf(p) + local;
}

Offset CodeMemo::offsetOfLine(std::int64_t line) {
  const LineSpan span = lineSpan(line);
  return table_.startOf(span.paragraph) + span.start;
}

namespace {

constexpr std::uint32_t kMarkStep = ParagraphExtra::kMarkStep;

int clampX(std::int64_t x) { return static_cast<int>(std::min<std::int64_t>(x, INT32_MAX / 2)); }

}  // namespace

std::int64_t CodeMemo::advanceOver(const Paragraph& par, std::uint32_t from, std::uint32_t to,
                                   std::int64_t x) const {
  const std::string_view t = par.text();
  to = std::min<std::uint32_t>(to, static_cast<std::uint32_t>(t.size()));
  const int fixed = metrics_ ? metrics_->fixedPitchWidth() : 1;
  if (fixed > 0 && !(staticFormat_ && (par.flags & Paragraph::kHasCodes))) {
    // Count characters between tabs; only a tab needs its position.
    while (from < to) {
      const void* tab = std::memchr(t.data() + from, '\t', to - from);
      const std::uint32_t stop =
          tab ? static_cast<std::uint32_t>(static_cast<const char*>(tab) - t.data()) : to;
      x += static_cast<std::int64_t>(stop - from) * fixed;
      if (!tab) break;
      x += charAdvance('\t', clampX(x));
      from = stop + 1;
    }
    return x;
  }
  for (std::uint32_t k = from; k < to; ++k)
    x += charAdvance(static_cast<unsigned char>(t[k]), clampX(x));
  return x;
}

// A display line that is a whole long paragraph: measured from its marks.
bool CodeMemo::measuredByMarks(const LineSpan& span, const Paragraph& par) const {
  return span.start == 0 && span.stop == par.length && par.length >= 2 * kMarkStep;
}

// The paragraph's marks, at least `count` of them where it has that many, measured now where
// missing.
const std::vector<std::int64_t>& CodeMemo::marksOf(const Paragraph& par, std::size_t count) const {
  // Marks are a cache: measuring a line is still a question that changes nothing.
  ParagraphExtra& e = const_cast<Paragraph&>(par).ensureExtra();
  if (e.markGeneration != measureGeneration_) {
    e.xMarks.clear();
    e.markGeneration = measureGeneration_;
  }
  count = std::min<std::size_t>(count, par.length / kMarkStep);
  while (e.xMarks.size() < count) {
    const auto k = static_cast<std::uint32_t>(e.xMarks.size());
    e.xMarks.push_back(
        advanceOver(par, k * kMarkStep, (k + 1) * kMarkStep, k == 0 ? 0 : e.xMarks[k - 1]));
  }
  return e.xMarks;
}

// The last mark at or before pixel x (or the paragraph start), measuring no further than x.
CodeMemo::LinePoint CodeMemo::markAtOrBefore(const Paragraph& par, std::int64_t x) const {
  const std::size_t most = par.length / kMarkStep;
  const std::vector<std::int64_t>* marks = &marksOf(par, 0);
  while (marks->size() < most && (marks->empty() || marks->back() <= x))
    marks = &marksOf(par, marks->size() + 1);
  const auto k = static_cast<std::uint32_t>(std::upper_bound(marks->begin(), marks->end(), x) -
                                            marks->begin());
  if (k == 0) return {};
  return {k * kMarkStep, clampX((*marks)[k - 1])};
}

int CodeMemo::xInLine(const LineSpan& span, std::uint32_t position) const {
  const Paragraph& par = table_.at(span.paragraph);
  position = std::min(position, par.length);
  if (measuredByMarks(span, par) && position >= kMarkStep) {
    const std::uint32_t k = position / kMarkStep;
    return clampX(advanceOver(par, k * kMarkStep, position, marksOf(par, k)[k - 1]));
  }
  return clampX(advanceOver(par, span.start, position, 0));
}

std::uint32_t CodeMemo::positionAtX(const LineSpan& span, int x, int* columnsBeyond) const {
  const Paragraph& par = table_.at(span.paragraph);
  const std::string_view t = par.text();
  // Characters before a mark at or left of x all end at or before it: none is the answer.
  const LinePoint from =
      measuredByMarks(span, par) ? markAtOrBefore(par, x) : LinePoint{span.start, 0};
  int cx = from.x;
  if (columnsBeyond) *columnsBeyond = 0;
  for (std::uint32_t k = from.position; k < span.stop; ++k) {
    const int w = charAdvance(static_cast<unsigned char>(t[k]), cx);
    if (x < cx + (w + 1) / 2) return k;
    cx += w;
  }
  // Past the end of a wrapped line the caret goes before its last character's successor,
  // which is the next line's start; keep it on this line instead.
  const bool lastLineOfParagraph = span.stop == t.size();
  if (!lastLineOfParagraph && span.stop > span.start) return span.stop - 1;
  if (columnsBeyond && x > cx) {
    const int avg = std::max(1, metrics_ ? metrics_->averageCharWidth() : 1);
    *columnsBeyond = (x - cx + avg / 2) / avg;
  }
  return span.stop;
}

CodeMemo::LinePoint CodeMemo::firstCharacterFrom(const LineSpan& span, int fromX) const {
  const Paragraph& par = table_.at(span.paragraph);
  const std::string_view t = par.text();
  LinePoint p = measuredByMarks(span, par) ? markAtOrBefore(par, fromX) : LinePoint{span.start, 0};
  while (p.position < span.stop) {
    const int w = charAdvance(static_cast<unsigned char>(t[p.position]), p.x);
    if (p.x + w > fromX) break;
    p.x += w;
    ++p.position;
  }
  return p;
}

int CodeMemo::caretX() {
  const LineSpan span = lineSpan(lineOfOffset(caret_));
  const auto pos = static_cast<std::uint32_t>(caret_ - table_.startOf(span.paragraph));
  const int avg = metrics_ ? metrics_->averageCharWidth() : 1;
  return leftMargin_ + xInLine(span, pos) + extraColumns_ * avg;
}

std::int64_t CodeMemo::caretY() { return lineOfOffset(caret_) * lineHeight(); }

int CodeMemo::displayColumn(std::int64_t paragraph, std::uint32_t position) const {
  const std::string_view t = table_.at(paragraph).text();
  int col = 0;
  const int tab = std::max(1, tabStops_);
  for (std::uint32_t k = 0; k < position && k < t.size(); ++k) {
    if (t[k] == '\t')
      col += tab - col % tab;
    else if (!(staticFormat_ && isFormatCode(t[k])))
      ++col;
  }
  return col;
}

std::uint32_t CodeMemo::positionAtDisplayColumn(std::int64_t paragraph, int column) const {
  const std::string_view t = table_.at(paragraph).text();
  int col = 0;
  const int tab = std::max(1, tabStops_);
  std::uint32_t k = 0;
  for (; k < t.size() && col < column; ++k) {
    if (t[k] == '\t')
      col += tab - col % tab;
    else if (!(staticFormat_ && isFormatCode(t[k])))
      ++col;
  }
  return k;
}

int CodeMemo::caretPixelWidth() {
  const int base = caretWidth_ > 0 ? caretWidth_ : lineHeight() / 14 + 1;
  if (!overwrite_ || !hasOption(moWideOverwriteCaret) || selLength_ != 0 || block_.active ||
      extraColumns_ > 0)
    return base;
  const std::int64_t p = table_.paragraphAt(caret_);
  const auto pos = static_cast<std::uint32_t>(caret_ - table_.startOf(p));
  const Paragraph& par = table_.at(p);
  if (pos >= par.length) return base;
  const LineSpan span = lineSpan(lineOfOffset(caret_));
  const int w = charAdvance(static_cast<unsigned char>(par.data()[pos]), xInLine(span, pos));
  return w > 0 ? w : base;  // a formatting code has no width of its own
}

// ---------------------------------------------------------------------------------------
// Scrolling

std::int64_t CodeMemo::topLine() const { return scrollY_ / lineHeight(); }

std::int64_t CodeMemo::maxScrollY() const {
  return std::max<std::int64_t>(0, (lineCount() - 1) * lineHeight());
}

bool CodeMemo::exceedsWidth() const {
  return !wordWrap_ && (scrollX_ > 0 || widestLine() + leftMargin_ + rightMargin_ > clientWidth_);
}

bool CodeMemo::exceedsHeight() const {
  return scrollY_ > 0 || lineCount() * lineHeight() > clientHeight_;
}

void CodeMemo::setTopLine(std::int64_t line) {
  lineSpan(line);  // lines below the layout mark are not counted yet
  line = std::clamp<std::int64_t>(line, 0, std::max<std::int64_t>(0, lineCount() - 1));
  setScroll(scrollX_, line * lineHeight());
}

void CodeMemo::setScroll(std::int64_t x, std::int64_t y) {
  x = wordWrap_ ? 0 : std::max<std::int64_t>(0, x);
  y = std::clamp<std::int64_t>(y, 0, maxScrollY());
  const bool h = x != scrollX_;
  const bool v = y != scrollY_;
  scrollX_ = x;
  scrollY_ = y;
  if (h) onHScroll.listeners_.notify();
  if (v) onVScroll.listeners_.notify();
  if (h || v) notifyView(ViewEvent::scrolled);
}

void CodeMemo::scrollInView() {
  if (!metrics_ || updating() || clientWidth_ <= 0 || clientHeight_ <= 0) return;
  std::int64_t x = scrollX_;
  std::int64_t y = scrollY_;
  if (!wordWrap_) {
    const int step = 5 * std::max(1, metrics_->averageCharWidth());
    const std::int64_t cx = caretX() - scrollX_;
    if (cx > clientWidth_)
      x += ((cx - clientWidth_) / step + 1) * step;
    else if (cx < 0)
      x = std::max<std::int64_t>(0, x - ((-cx) / step + 1) * step);
  }
  const int lh = lineHeight();
  const std::int64_t line = lineOfOffset(caret_);
  const std::int64_t top = line * lh;
  if (top < y) {
    y = top;
  } else if (top + lh > y + clientHeight_) {
    if (hasOption(moNoFineScroll)) {
      const std::int64_t whole = std::max(1, clientHeight_ / lh);
      y = std::max<std::int64_t>(0, line - whole + 1) * lh;
    } else {
      y = top + lh - clientHeight_;
    }
  }
  setScroll(x, y);
}

}  // namespace quillon::editor

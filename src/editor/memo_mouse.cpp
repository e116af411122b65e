#include "editor/memo_mouse.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "editor/code_memo.h"

namespace quillon::editor {

void MemoMouse::setMode(Mode m) {
  mode_ = m;
  keyboard_.setMouseBusy(m != Mode::none);
}

Offset MemoMouse::hit(int x, int y, int* beyond) const {
  const std::int64_t contentY = memo_.scrollY() + y;
  const std::int64_t line = contentY < 0 ? 0 : contentY / memo_.lineHeight();
  const CodeMemo::LineSpan span = memo_.lineSpan(line);
  const std::int64_t textX = memo_.scrollX() + x - memo_.leftMargin();
  const int clampedX = static_cast<int>(std::clamp<std::int64_t>(textX, 0, 1 << 30));
  const std::uint32_t pos = memo_.positionAtX(span, clampedX, beyond);
  if (beyond) *beyond = std::min(*beyond, MemoKeyboard::kMaxExtraColumns);
  return memo_.table().startOf(span.paragraph) + pos;
}

int MemoMouse::columnAt(int x) const {
  const int avg = std::max(1, memo_.metrics() ? memo_.metrics()->averageCharWidth() : 1);
  const std::int64_t textX = memo_.scrollX() + x - memo_.leftMargin();
  return static_cast<int>(
      std::clamp<std::int64_t>((textX + avg / 2) / avg, 0, MemoKeyboard::kMaxExtraColumns));
}

bool MemoMouse::inLineMargin(int x) const {
  return !memo_.hasOption(moNoLineSelection) && x < memo_.leftMargin() - 2;
}

bool MemoMouse::overSelection(int x, int y) const {
  if (memo_.selLength() == 0 || memo_.blockSelection()) return false;
  if (memo_.hasOption(moNoDragnDrop) || memo_.readOnly() || memo_.displayOnly()) return false;
  const Offset a = std::min(memo_.selStart(), memo_.selStart() + memo_.selLength());
  const Offset b = std::max(memo_.selStart(), memo_.selStart() + memo_.selLength());
  int beyond = 0;
  const Offset at = hit(x, y, &beyond);
  return beyond == 0 && at >= a && at < b;
}

void MemoMouse::press(int x, int y, KeyModifiers mods) {
  pressX_ = x;
  pressY_ = y;
  memo_.setRememberedX(-1);
  const Offset currentAnchor = memo_.selStart() + memo_.selLength();
  if (inLineMargin(x)) {
    const std::int64_t line = memo_.lineOfOffset(hit(x, y));
    const Offset start = memo_.offsetOfLine(line);
    const Offset next =
        line + 1 < memo_.lineCount() ? memo_.offsetOfLine(line + 1) : memo_.charCount();
    anchor_ = mods.shift ? currentAnchor : start;
    memo_.select(next, anchor_ - next);
    setMode(Mode::lines);
    return;
  }
  if (!mods.shift && !mods.alt && overSelection(x, y)) {
    setMode(Mode::textPending);
    return;
  }
  int beyond = 0;
  const Offset at = hit(x, y, &beyond);
  if (mods.alt && memo_.hasOption(moBlockSelection) && !memo_.wordWrap()) {
    const int column = columnAt(x);
    if (!(mods.shift && memo_.blockSelection())) {
      anchor_ = at;
      anchorColumn_ = column;
    } else {
      anchor_ = currentAnchor;
      anchorColumn_ = memo_.blockColumn2();
    }
    setMode(Mode::block);
    extendTo(x, y);
    return;
  }
  if (mods.shift) {
    anchor_ = currentAnchor;
    memo_.select(at, anchor_ - at);
  } else {
    memo_.setSelStart(at);
    if (beyond > 0 && memo_.caretPassesLineEnd()) memo_.setExtraColumns(beyond);
    anchor_ = at;
  }
  setMode(Mode::select);
  memo_.scrollInView();
}

void MemoMouse::doubleClick(int x, int y) {
  const Offset at = hit(x, y);
  const std::int64_t p = memo_.table().paragraphAt(at);
  const Offset parStart = memo_.table().startOf(p);
  const std::string_view t = memo_.paragraphText(p);
  auto wordEnd = [&](char c) { return c == '\r' || c == '\n' || memo_.separators().contains(c); };
  const auto pos = static_cast<std::size_t>(at - parStart);
  std::size_t end = pos;
  while (end < t.size() && !wordEnd(t[end])) ++end;
  std::size_t start = pos;
  while (start > 0 && !wordEnd(t[start - 1])) --start;
  if (memo_.hasOption(moLargeWordSelect))
    while (end < t.size() && memo_.separators().contains(t[end])) ++end;
  anchor_ = parStart + static_cast<Offset>(start);
  memo_.select(parStart + static_cast<Offset>(end),
               anchor_ - (parStart + static_cast<Offset>(end)));
  setMode(Mode::select);
}

void MemoMouse::extendTo(int x, int y) {
  switch (mode_) {
    case Mode::select: {
      const Offset at = hit(x, y);
      memo_.select(at, anchor_ - at);
      break;
    }
    case Mode::block: {
      const Offset at = hit(x, y);
      const int column = columnAt(x);
      const std::int64_t p = memo_.table().paragraphAt(at);
      const std::uint32_t pos = memo_.positionAtDisplayColumn(p, column);
      const Offset caret = memo_.table().startOf(p) + pos;
      memo_.setBlockSelection(caret, anchor_, column, anchorColumn_);
      memo_.setExtraColumns(std::max(0, column - memo_.displayColumn(p, pos)));
      break;
    }
    case Mode::lines: {
      const std::int64_t anchorLine = memo_.lineOfOffset(anchor_);
      const std::int64_t line = memo_.lineOfOffset(hit(x, y));
      auto lineEnd = [&](std::int64_t l) {
        return l + 1 < memo_.lineCount() ? memo_.offsetOfLine(l + 1) : memo_.charCount();
      };
      if (line >= anchorLine)
        memo_.select(lineEnd(line), memo_.offsetOfLine(anchorLine) - lineEnd(line));
      else
        memo_.select(memo_.offsetOfLine(line), lineEnd(anchorLine) - memo_.offsetOfLine(line));
      break;
    }
    case Mode::textDrag: dropAt_ = hit(x, y); break;
    case Mode::none:
    case Mode::textPending: break;
  }
}

void MemoMouse::move(int x, int y, KeyModifiers) {
  if (mode_ == Mode::textPending) {
    if (std::abs(x - pressX_) + std::abs(y - pressY_) < kDragThreshold) return;
    setMode(Mode::textDrag);
  }
  extendTo(x, y);
}

void MemoMouse::release(int x, int y, KeyModifiers mods) {
  const Mode was = mode_;
  setMode(Mode::none);
  if (was == Mode::textPending) {
    // A click on the selection that never became a drag places the caret.
    memo_.setSelStart(hit(x, y));
  } else if (was == Mode::textDrag) {
    const bool inside = x >= 0 && y >= 0 && x < memo_.clientWidth() && y < memo_.clientHeight();
    if (inside) {
      dropAt_ = hit(x, y);
      drop(mods.ctrl);
    }
  }
}

void MemoMouse::drop(bool copy) {
  const Offset a = std::min(memo_.selStart(), memo_.selStart() + memo_.selLength());
  const Offset b = std::max(memo_.selStart(), memo_.selStart() + memo_.selLength());
  Offset at = dropAt_;
  if (b == a || (at > a && at < b) || (!copy && (at == a || at == b))) return;
  const std::string text = memo_.selText();
  const auto n = static_cast<Offset>(text.size());
  if (copy) {
    memo_.select(at, 0);
    memo_.setSelText(text);
  } else {
    memo_.clearSelection();
    if (at > b) at -= b - a;
    memo_.select(at, 0);  // a record of its own, undone together with the deletion
    memo_.setSelText(text);
    memo_.groupLastUndo();
  }
  memo_.select(at + n, -n);
  memo_.scrollInView();
}

bool MemoMouse::autoScroll(int x, int y, KeyModifiers mods) {
  if (mode_ == Mode::none || mode_ == Mode::textPending) return false;
  auto outside = [](int v, int size) { return v < 0 ? v : v >= size ? v - size + 1 : 0; };
  int dx = memo_.wordWrap() ? 0 : outside(x, memo_.clientWidth());
  int dy = outside(y, memo_.clientHeight());
  if (mode_ == Mode::textDrag) {
    if (std::abs(dx) > kDragScrollZone) dx = 0;
    if (std::abs(dy) > kDragScrollZone) dy = 0;
  }
  if (dx == 0 && dy == 0) return false;
  const int sx = dx < 0 ? -autoScrollStep(-dx) : autoScrollStep(dx);
  const int sy = dy < 0 ? -autoScrollStep(-dy) : autoScrollStep(dy);
  const int avg = memo_.metrics() ? memo_.metrics()->averageCharWidth() : 1;
  const std::int64_t maxX =
      std::max<std::int64_t>(memo_.scrollX(), memo_.widestLine() + memo_.leftMargin() +
                                                  memo_.rightMargin() + avg - memo_.clientWidth());
  memo_.setScroll(
      std::clamp<std::int64_t>(memo_.scrollX() + sx, 0, std::max<std::int64_t>(0, maxX)),
      memo_.scrollY() + sy);
  move(x, y, mods);
  return true;
}

void MemoMouse::wheel(int delta) {
  wheelAccumulator_ += delta * memo_.mouseWheelFactor();
  const int lines = wheelAccumulator_ / 120;
  wheelAccumulator_ -= lines * 120;
  if (lines != 0)
    memo_.setScroll(memo_.scrollX(),
                    memo_.scrollY() - static_cast<std::int64_t>(lines) * memo_.lineHeight());
}

MemoCursor MemoMouse::cursorAt(int x, int y, KeyModifiers mods) const {
  if (mode_ == Mode::textDrag) return mods.ctrl ? MemoCursor::DragCopy : MemoCursor::DragMove;
  if (inLineMargin(x)) return MemoCursor::LineSelect;
  if (mode_ == Mode::none && overSelection(x, y)) return MemoCursor::Arrow;
  return MemoCursor::IBeam;
}

}  // namespace quillon::editor

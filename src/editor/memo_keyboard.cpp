#include "editor/memo_keyboard.h"

#include <algorithm>

namespace quillon::editor {

char MemoKeyboard::charAt(Offset offset) const {
  if (offset < 0 || offset >= memo_.charCount()) return '\n';
  const std::int64_t p = memo_.table().paragraphAt(offset);
  const Offset k = offset - memo_.table().startOf(p);
  const std::string_view t = memo_.paragraphText(p);
  if (k < static_cast<Offset>(t.size())) return t[static_cast<std::size_t>(k)];
  return k == static_cast<Offset>(t.size()) ? '\r' : '\n';
}

bool MemoKeyboard::isWordEnd(char c) const { return c == '\r' || c == '\n' || memo_.separators().contains(c); }

Offset MemoKeyboard::wordLeft(Offset from) const {
  Offset o = from;
  while (o > 0 && isWordEnd(charAt(o - 1))) --o;
  while (o > 0 && !isWordEnd(charAt(o - 1))) --o;
  return o;
}

Offset MemoKeyboard::wordRight(Offset from) const {
  const Offset end = memo_.charCount();
  Offset o = from;
  while (o < end && !isWordEnd(charAt(o))) ++o;
  while (o < end && isWordEnd(charAt(o))) ++o;
  return o;
}

void MemoKeyboard::moveTo(Offset caret, bool extend) {
  const int keepX = memo_.rememberedX();
  if (extend) {
    const Offset a = anchor();
    memo_.select(caret, a - std::clamp<Offset>(caret, 0, memo_.charCount()));
  } else {
    memo_.setSelStart(caret);
  }
  memo_.setRememberedX(keepX);
  memo_.scrollInView();
}

void MemoKeyboard::moveVertically(std::int64_t lines, bool extend) {
  const std::int64_t line = memo_.selLine();
  if (memo_.rememberedX() < 0) memo_.setRememberedX(memo_.caretX() - memo_.leftMargin());
  const std::int64_t target = std::clamp<std::int64_t>(line + lines, 0, std::max<std::int64_t>(0, memo_.lineCount() - 1));
  const CodeMemo::LineSpan span = memo_.lineSpan(target);
  const std::uint32_t pos = memo_.positionAtX(span, memo_.rememberedX());
  moveTo(memo_.table().startOf(span.paragraph) + pos, extend);
}

bool MemoKeyboard::keyDown(EditKey key, KeyModifiers mods) {
  if (memo_.updating()) return false;
  const Offset caret = memo_.selStart();
  const bool hasSelection = memo_.selLength() != 0 || memo_.blockSelection();
  auto horizontal = [&](Offset to) {
    memo_.setRememberedX(-1);
    moveTo(to, mods.shift);
  };
  switch (key) {
    case EditKey::Left:
      horizontal(mods.ctrl ? wordLeft(caret) : (charAt(caret - 1) == '\n' ? caret - 2 : caret - 1));
      return true;
    case EditKey::Right:
      horizontal(mods.ctrl ? wordRight(caret) : (charAt(caret) == '\r' ? caret + 2 : caret + 1));
      return true;
    case EditKey::Up: moveVertically(-1, mods.shift); return true;
    case EditKey::Down: moveVertically(1, mods.shift); return true;
    case EditKey::PageUp:
    case EditKey::PageDown: {
      const std::int64_t page = std::max(1, memo_.clientHeight() / memo_.lineHeight());
      const std::int64_t delta = key == EditKey::PageUp ? -page : page;
      const std::int64_t top = memo_.topLine();
      moveVertically(delta, mods.shift);
      memo_.setTopLine(top + delta);
      memo_.scrollInView();
      return true;
    }
    case EditKey::Home:
    case EditKey::End: {
      if (mods.alt) return false;
      if (mods.ctrl) {
        horizontal(key == EditKey::Home ? 0 : memo_.charCount());
        return true;
      }
      const CodeMemo::LineSpan span = memo_.lineSpan(memo_.selLine());
      const Offset start = memo_.table().startOf(span.paragraph);
      const bool lastLine = span.stop == memo_.paragraphText(span.paragraph).size();
      // The end of a wrapped line stands before its last character, which begins no line.
      const std::uint32_t end = lastLine || span.stop == span.start ? span.stop : span.stop - 1;
      horizontal(start + (key == EditKey::Home ? span.start : end));
      return true;
    }
    case EditKey::Backspace:
      if (!editable()) return true;
      if (!hasSelection) {
        const Offset from = mods.ctrl ? wordLeft(caret) : (charAt(caret - 1) == '\n' ? caret - 2 : caret - 1);
        if (from < 0) return true;
        memo_.select(caret, from - caret);
      }
      memo_.clearSelection();
      return true;
    case EditKey::Delete:
      if (!editable()) return true;
      if (!hasSelection) {
        if (caret >= memo_.charCount()) return true;
        memo_.select(caret, charAt(caret) == '\r' ? 2 : 1);
      }
      memo_.clearSelection();
      return true;
    case EditKey::Enter:
      if (!editable()) return true;
      memo_.setSelText("\r\n");
      return true;
    case EditKey::Tab:
      if (mods.alt || !editable()) return false;
      memo_.setSelText("\t");
      return true;
    case EditKey::Insert:
      if (memo_.hasOption(moInsertKeyActive) && !mods.shift && !mods.ctrl) {
        memo_.setOverwrite(!memo_.overwrite());
        if (memo_.onStyleChange) memo_.onStyleChange();
      }
      return true;
  }
  return false;
}

void MemoKeyboard::typeChar(char c) {
  if (!editable() || memo_.updating() || dragging_) return;
  const Offset caret = memo_.selStart();
  if (memo_.overwrite() && memo_.selLength() == 0 && !memo_.blockSelection() && charAt(caret) != '\r' &&
      caret < memo_.charCount())
    memo_.select(caret, 1);
  memo_.setSelText(std::string(1, c));
}

Offset MemoKeyboard::offsetAt(int x, std::int64_t y) {
  const std::int64_t line = std::max<std::int64_t>(0, y / memo_.lineHeight());
  const CodeMemo::LineSpan span = memo_.lineSpan(line);
  const std::uint32_t pos = memo_.positionAtX(span, x - memo_.leftMargin());
  return memo_.table().startOf(span.paragraph) + pos;
}

void MemoKeyboard::mousePress(int x, std::int64_t y, KeyModifiers mods) {
  const Offset at = offsetAt(x, y);
  memo_.setRememberedX(-1);
  if (mods.shift) {
    moveTo(at, true);
  } else {
    memo_.setSelStart(at);
  }
  dragAnchor_ = anchor();
  dragging_ = true;
}

void MemoKeyboard::mouseDrag(int x, std::int64_t y) {
  if (!dragging_) return;
  const Offset at = offsetAt(x, y);
  memo_.select(at, dragAnchor_ - at);
  memo_.scrollInView();
}

}  // namespace quillon::editor

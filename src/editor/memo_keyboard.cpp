#include "editor/memo_keyboard.h"

#include <algorithm>
#include <string>

#include "editor/code_memo.h"
#include "platform/ascii_text.h"

namespace quillon::editor {

namespace {

std::size_t leadingBlanks(std::string_view s) {
  return s.size() - platform::trimStart(s, platform::isSpaceOrTab).size();
}

}  // namespace

char MemoKeyboard::charAt(Offset offset) const {
  if (offset < 0 || offset >= memo_.charCount()) return '\n';
  const std::int64_t p = memo_.table().paragraphAt(offset);
  const Offset k = offset - memo_.table().startOf(p);
  const std::string_view t = memo_.paragraphText(p);
  if (k < static_cast<Offset>(t.size())) return t[static_cast<std::size_t>(k)];
  return k == static_cast<Offset>(t.size()) ? '\r' : '\n';
}

bool MemoKeyboard::isWordEnd(char c) const {
  return c == '\r' || c == '\n' || memo_.separators().contains(c);
}

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

// One visible character left or right; a paragraph break is one step of two offsets, and
// with PassOverCodes formatting codes take no step of their own.
Offset MemoKeyboard::stepLeft(Offset from) const {
  if (from <= 0) return 0;
  Offset o = charAt(from - 1) == '\n' ? from - 2 : from - 1;
  if (memo_.passOverCodes())
    while (o > 0 && isCode(charAt(o - 1))) --o;
  return std::max<Offset>(0, o);
}

Offset MemoKeyboard::stepRight(Offset from) const {
  const Offset end = memo_.charCount();
  Offset o = from;
  if (memo_.passOverCodes())
    while (o < end && isCode(charAt(o))) ++o;
  if (o >= end) return end;
  return charAt(o) == '\r' ? o + 2 : o + 1;
}

std::int64_t MemoKeyboard::lastLine() {
  memo_.ensureLaidOut(memo_.paragraphCount() - 1);
  return std::max<std::int64_t>(0, memo_.lineCount() - 1);
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
  // Lays out as far as the target, so the clamp below sees every line up to it.
  memo_.lineSpan(line + lines);
  const std::int64_t target =
      std::clamp<std::int64_t>(line + lines, 0, std::max<std::int64_t>(0, memo_.lineCount() - 1));
  const CodeMemo::LineSpan span = memo_.lineSpan(target);
  int beyond = 0;
  const std::uint32_t pos = memo_.positionAtX(span, memo_.rememberedX(), &beyond);
  moveTo(memo_.table().startOf(span.paragraph) + pos, extend);
  if (beyond > 0 && memo_.caretPassesLineEnd()) {
    memo_.setExtraColumns(std::min(beyond, kMaxExtraColumns));
    memo_.scrollInView();
  }
}

// Shift+Alt+arrow: the caret corner of the rectangle moves by one column or paragraph; its
// column may lie beyond the end of the paragraph it is on.
void MemoKeyboard::moveBlock(EditKey key) {
  const Offset caret = memo_.selStart();
  if (!memo_.blockSelection()) {
    const std::int64_t p = memo_.table().paragraphAt(caret);
    const int column =
        memo_.displayColumn(p, static_cast<std::uint32_t>(caret - memo_.table().startOf(p))) +
        memo_.extraColumns();
    memo_.setBlockSelection(caret, caret, column, column);
  }
  int column = memo_.blockColumn1();
  const int anchorColumn = memo_.blockColumn2();
  const Offset anchorAt = anchor();
  std::int64_t p = memo_.table().paragraphAt(memo_.selStart());
  switch (key) {
    case EditKey::Left: column = std::max(0, column - 1); break;
    case EditKey::Right: column = std::min(column + 1, kMaxExtraColumns); break;
    case EditKey::Up: p = std::max<std::int64_t>(0, p - 1); break;
    case EditKey::Down: p = std::min(p + 1, memo_.paragraphCount() - 1); break;
    default: break;
  }
  const std::uint32_t pos = memo_.positionAtDisplayColumn(p, column);
  const int reached = memo_.displayColumn(p, pos);
  memo_.setBlockSelection(memo_.table().startOf(p) + pos, anchorAt, column, anchorColumn);
  memo_.setExtraColumns(std::max(0, column - reached));
  memo_.setRememberedX(-1);
  memo_.scrollInView();
}

bool MemoKeyboard::moveKey(EditKey key, KeyModifiers mods) {
  const Offset caret = memo_.selStart();
  const bool arrow =
      key == EditKey::Left || key == EditKey::Right || key == EditKey::Up || key == EditKey::Down;
  if (arrow && mods.shift && (memo_.blockSelection() || (mods.alt && canStartBlock()))) {
    moveBlock(key);
    return true;
  }
  auto horizontal = [&](Offset to) {
    memo_.setRememberedX(-1);
    moveTo(to, mods.shift);
  };
  switch (key) {
    case EditKey::Left:
      if (memo_.extraColumns() > 0 && !mods.ctrl) {
        memo_.setRememberedX(-1);
        const int extra = memo_.extraColumns() - 1;
        if (!mods.shift && memo_.selLength() != 0) memo_.setSelLength(0);
        memo_.setExtraColumns(extra);
        memo_.scrollInView();
        return true;
      }
      horizontal(mods.ctrl ? wordLeft(caret) : stepLeft(caret));
      return true;
    case EditKey::Right:
      if (!mods.ctrl && atParagraphEnd(caret) && memo_.caretPassesLineEnd()) {
        memo_.setRememberedX(-1);
        const int extra = std::min(memo_.extraColumns() + 1, kMaxExtraColumns);
        if (!mods.shift && memo_.selLength() != 0) memo_.setSelLength(0);
        memo_.setExtraColumns(extra);
        memo_.scrollInView();
        return true;
      }
      horizontal(mods.ctrl ? wordRight(caret) : stepRight(caret));
      return true;
    case EditKey::Up: moveVertically(-1, mods.shift); return true;
    case EditKey::Down: moveVertically(1, mods.shift); return true;
    case EditKey::PageUp:
    case EditKey::PageDown: {
      const std::int64_t page = std::max(1, memo_.clientHeight() / memo_.lineHeight());
      const std::int64_t delta = key == EditKey::PageUp ? -page : page;
      const std::int64_t top = memo_.topLine();
      moveVertically(delta, mods.shift);
      // The text moves with the caret, so the caret keeps its place in the window.
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
      const bool lastLineOfParagraph = span.stop == memo_.paragraphText(span.paragraph).size();
      // The end of a wrapped line stands before its last character, which begins no line.
      const std::uint32_t end =
          lastLineOfParagraph || span.stop == span.start ? span.stop : span.stop - 1;
      horizontal(start + (key == EditKey::Home ? span.start : end));
      return true;
    }
    default: return false;
  }
}

bool MemoKeyboard::keyDown(EditKey key, KeyModifiers mods) {
  if (memo_.updating()) return false;
  switch (key) {
    case EditKey::Left:
    case EditKey::Right:
    case EditKey::Up:
    case EditKey::Down:
    case EditKey::PageUp:
    case EditKey::PageDown:
    case EditKey::Home:
    case EditKey::End: return moveKey(key, mods);
    case EditKey::Backspace:
      if (editable() && !mouseBusy_) backspace(mods.ctrl);
      return true;
    case EditKey::Delete:
      if (editable() && !mouseBusy_) deleteForward();
      return true;
    case EditKey::Enter:
      if (editable() && !mouseBusy_) enter();
      return true;
    case EditKey::Tab:
      if (mods.alt || memo_.displayOnly()) return false;
      if (!memo_.readOnly() && !mouseBusy_) clipboard_.insertAtCaret("\t");
      return true;
    case EditKey::Insert:
      if (mods.shift) {
        if (editable() && !mouseBusy_) clipboard_.paste();
      } else if (mods.ctrl) {
        if (!memo_.displayOnly()) clipboard_.copy();
      } else if (memo_.hasOption(moInsertKeyActive)) {
        memo_.toggleOverwrite();
      }
      return true;
  }
  return false;
}

void MemoKeyboard::enter() {
  const bool plain = memo_.selLength() == 0 && !memo_.blockSelection();
  if (plain && memo_.overwrite()) {
    const std::int64_t line = memo_.selLine();
    if (line >= lastLine()) {
      memo_.setSelStart(memo_.charCount());
      memo_.setSelText("\r\n");
    } else {
      memo_.setSelStart(memo_.offsetOfLine(line + 1));
      memo_.scrollInView();
    }
    return;
  }
  if (!plain || !memo_.hasOption(moAutoIndent)) {
    memo_.setSelText("\r\n");
    return;
  }
  std::int64_t line = memo_.selLine();
  auto lineText = [&](std::int64_t l) {
    const CodeMemo::LineSpan span = memo_.lineSpan(l);
    return memo_.paragraphText(span.paragraph).substr(span.start, span.stop - span.start);
  };
  std::string_view source = lineText(line);
  while (source.empty() && line > 0) source = lineText(--line);
  const std::size_t count = std::min<std::size_t>(
      leadingBlanks(source), static_cast<std::size_t>(std::max<std::int64_t>(0, memo_.selCol())));
  const std::string indent(source.substr(0, count));
  if (memo_.hasOption(moDiscardTrailingSpaces) && atParagraphEnd(memo_.selStart())) {
    // Blanks alone on a line would be dropped; the caret stands where they would end.
    int columns = 0;
    for (char c : indent) columns += c == '\t' ? std::max(1, memo_.tabStops()) : 1;
    memo_.setSelText("\r\n");
    memo_.setExtraColumns(columns);
    memo_.scrollInView();
    return;
  }
  memo_.setSelText("\r\n" + indent);
}

void MemoKeyboard::backspace(bool ctrl) {
  const Offset caret = memo_.selStart();
  if (memo_.selLength() != 0 || memo_.blockSelection()) {
    memo_.clearSelection();
    return;
  }
  if (ctrl) {
    const Offset from = wordLeft(caret);
    if (from < caret) {
      memo_.select(caret, from - caret);
      memo_.clearSelection();
    }
    return;
  }
  const std::int64_t line = memo_.selLine();
  const CodeMemo::LineSpan span = memo_.lineSpan(line);
  const Offset parStart = memo_.table().startOf(span.paragraph);
  const int extra = memo_.extraColumns();
  if (caret == parStart && extra == 0) {
    if (caret >= 2) {
      memo_.select(caret, -2);
      memo_.clearSelection();
    }
    return;
  }
  if (memo_.hasOption(moBackIndent)) {
    auto indentation = [&](std::int64_t l) {
      const CodeMemo::LineSpan s = memo_.lineSpan(l);
      return static_cast<std::int64_t>(
          leadingBlanks(memo_.paragraphText(s.paragraph).substr(s.start, s.stop - s.start)));
    };
    const std::int64_t column = caret - (parStart + span.start) + extra;
    if (column > 0 && column == indentation(line)) {
      std::int64_t target = 0;
      for (std::int64_t l = line - 1; l >= 0; --l) {
        const std::int64_t i = indentation(l);
        if (i < column) {
          target = i;
          break;
        }
      }
      memo_.select(caret, parStart + span.start + target - caret);
      memo_.clearSelection();
      return;
    }
  }
  if (extra > 0) {
    memo_.setExtraColumns(extra - 1);
    memo_.setRememberedX(-1);
    memo_.scrollInView();
    return;
  }
  Offset from = caret - 1;
  while (from > parStart && isCode(charAt(from - 1))) --from;
  memo_.select(caret, from - caret);
  memo_.clearSelection();
}

void MemoKeyboard::deleteForward() {
  const Offset caret = memo_.selStart();
  if (memo_.selLength() != 0 || memo_.blockSelection()) {
    memo_.clearSelection();
    return;
  }
  const Offset end = memo_.charCount();
  if (caret >= end) return;
  Offset to = caret;
  while (to < end && isCode(charAt(to))) ++to;
  if (to < end) to += charAt(to) == '\r' ? 2 : 1;
  memo_.select(caret, to - caret);
  memo_.clearSelection();
}

void MemoKeyboard::wrapInCodes(char code) {
  if (!memo_.staticFormat() || memo_.blockSelection()) return;
  const Offset length = memo_.selLength();
  const Offset a = std::min(memo_.selStart(), memo_.selStart() + length);
  const std::string inner = memo_.selText();
  memo_.setSelText(std::string(1, code) + inner + std::string(1, code));
  const auto n = static_cast<Offset>(inner.size());
  if (n == 0)
    memo_.setSelStart(a + 1);
  else if (length < 0)
    memo_.select(a + 1 + n, -n);
  else
    memo_.select(a + 1, n);
}

bool MemoKeyboard::controlKey(char letter, KeyModifiers mods) {
  if (!mods.ctrl || mods.alt || memo_.updating()) return false;
  letter = platform::asciiUpper(letter);
  if (memo_.enableHotKeys() && editable() && !mouseBusy_) {
    switch (letter) {
      case 'B': wrapInCodes(2); return true;
      case 'I': wrapInCodes(1); return true;
      case 'U': wrapInCodes(21); return true;
      case 'H': wrapInCodes(3); return true;
      case 'F': wrapInCodes(4); return true;
      case 'P': memo_.setSelText("\r\n\x10\r\n"); return true;
      case 'T': clipboard_.insertAtCaret("\t"); return true;
      case 'Z':
        if (mods.shift)
          memo_.redo();
        else
          memo_.undo();
        return true;
      default: break;
    }
  }
  if (letter != 'C' && letter != 'V' && letter != 'X' && letter != 'E') return false;
  if (mouseBusy_ || memo_.displayOnly()) return true;
  switch (letter) {
    case 'C': clipboard_.copy(); break;
    case 'V':
      if (!memo_.readOnly()) clipboard_.paste();
      break;
    case 'X':
      if (!memo_.readOnly()) clipboard_.cut();
      break;
    case 'E':
      if (!memo_.readOnly()) memo_.selfCheck();
      break;
  }
  return true;
}

void MemoKeyboard::typeChar(char c) {
  if (!editable() || memo_.updating() || mouseBusy_) return;
  const Offset caret = memo_.selStart();
  const bool plain = memo_.selLength() == 0 && !memo_.blockSelection();
  if (plain && memo_.overwrite() && !atParagraphEnd(caret)) {
    memo_.select(caret, 1);
    memo_.setSelText(std::string(1, c));
    return;
  }
  if (plain && c == ' ' && atParagraphEnd(caret) && memo_.hasOption(moDiscardTrailingSpaces) &&
      memo_.hasOption(moKeepColumnPos)) {
    memo_.setExtraColumns(std::min(memo_.extraColumns() + 1, kMaxExtraColumns));
    memo_.scrollInView();
    return;
  }
  clipboard_.insertAtCaret(std::string_view(&c, 1));
}

bool MemoKeyboard::editable() const {
  if (memo_.readOnly() && !memo_.displayOnly()) memo_.tellEditRefused();
  return !memo_.readOnly() && !memo_.displayOnly();
}
bool MemoKeyboard::canStartBlock() const {
  return memo_.hasOption(moBlockSelection) && !memo_.wordWrap();
}
Offset MemoKeyboard::anchor() const { return memo_.selStart() + memo_.selLength(); }
bool MemoKeyboard::isCode(char c) const {
  return memo_.staticFormat() && CodeMemo::isFormatCode(c);
}
bool MemoKeyboard::atParagraphEnd(Offset offset) const {
  return offset >= memo_.charCount() || charAt(offset) == '\r';
}
void MemoKeyboard::undo() { memo_.undo(); }
void MemoKeyboard::redo() { memo_.redo(); }

}  // namespace quillon::editor

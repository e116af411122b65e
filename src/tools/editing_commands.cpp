#include "tools/editing_commands.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>

#include "editor/code_memo.h"
#include "platform/ascii_text.h"
#include "settings/setting_codec.h"

namespace quillon::tools {

namespace {

bool isBlank(std::string_view s) { return platform::trim(s).empty(); }

std::string outdented(std::string_view line, int tabStops) {
  if (isBlank(line)) return std::string(line);
  if (line.front() == '\t') return std::string(line.substr(1));
  const auto width = static_cast<std::size_t>(std::max(tabStops, 0));
  if (width > 0 && line.size() >= width &&
      line.substr(0, width).find_first_not_of(' ') == std::string_view::npos)
    return std::string(line.substr(width));
  return std::string(line);
}

int digitOf(char c) { return c >= '0' && c <= '9' ? c - '0' : -1; }

bool only(const editor::KeyModifiers& m, bool ctrl, bool shift, bool alt) {
  return m.ctrl == ctrl && m.shift == shift && m.alt == alt;
}

}  // namespace

EditingCommands::EditingCommands(platform::Ui& ui, editor::CodeMemo& sourceEditor,
                                 editor::CodeGutter& gutter)
    : ui_(ui), memo_(sourceEditor), gutter_(gutter) {
  for (int n = 0; n < kSlots; ++n) captions_[n] = captions_[n + kSlots] = std::to_string(n);
}

// ----- Indent and outdent -----

void EditingCommands::indent() { shiftLines(Shift::in); }
void EditingCommands::outdent() { shiftLines(Shift::out); }

void EditingCommands::shiftLines(Shift direction) {
  const int tabStops = memo_.tabStops();
  auto change = [&](std::string_view line) {
    return direction == Shift::in ? "\t" + std::string(line) : outdented(line, tabStops);
  };

  if (memo_.selLength() == 0) {
    const std::int64_t line = memo_.selLine();
    const std::string before = memo_.lines().get(line);
    const std::string after = change(before);
    if (after != before) {
      memo_.lines().put(line, after);
    } else {
      // Nothing to remove: leave the text (and the modified flag) alone, but put the caret
      // where a replacement would have.
      const editor::CodeMemo::LineSpan span = memo_.lineSpan(line);
      memo_.setSelStart(memo_.table().startOf(span.paragraph) + span.stop);
    }
    return;
  }

  // A column selection would be replaced row by row; the lines are meant as a stream.
  if (memo_.blockSelection()) memo_.select(memo_.selStart(), memo_.selLength());

  const std::string selected = memo_.selText();
  std::string result;
  result.reserve(selected.size() + selected.size() / 8 + 1);
  std::size_t from = 0;
  for (;;) {
    const std::size_t lineBreak = selected.find("\r\n", from);
    const std::string_view piece = std::string_view(selected).substr(
        from, lineBreak == std::string::npos ? std::string::npos : lineBreak - from);
    // The empty piece after a final break is no line; it stays empty.
    const bool afterFinalBreak = lineBreak == std::string::npos && from > 0 && piece.empty();
    if (!afterFinalBreak) result += change(piece);
    if (lineBreak == std::string::npos) break;
    result += "\r\n";
    from = lineBreak + 2;
  }

  if (result == selected) {
    memo_.setSelStart(std::max(memo_.selStart(), memo_.selStart() + memo_.selLength()));
    return;
  }
  memo_.setSelText(result);
}

// ----- Go to line -----

void EditingCommands::goToLine() {
  memo_.ensureLaidOut(memo_.paragraphCount() - 1);
  const std::int64_t count = memo_.lineCount();
  const auto answer =
      ui_.prompt("Go To Line", "Enter Line # [1-" + std::to_string(count) + "]", "");
  if (!answer || answer->empty()) return;
  const auto value = platform::parseInteger(*answer);
  if (!value) {
    ui_.showMessage(settings::invalidIntegerMessage(*answer));
    return;
  }
  const std::int64_t n = std::llabs(static_cast<long long>(*value));
  if (n < 1 || n > count) return;
  memo_.setSelStart(memo_.offsetOfLine(n - 1));
  memo_.scrollInView();
}

// ----- Bookmarks -----

std::string EditingCommands::describe(int n, std::int64_t line) {
  const std::string text = memo_.lines().get(line);
  return std::to_string(n) + " " + std::to_string(line + 1) + "==>" +
         std::string(platform::trim(text).substr(0, kDescriptionWidth));
}

void EditingCommands::setSlotCaptions(int n, const std::string& caption) {
  captions_[n] = caption;
  captions_[n + kSlots] = caption;
  captionsChanged.listeners_.notify(n);
}

void EditingCommands::refreshCaptions(int n) {
  if (n < 0 || n >= kSlots) return;
  // The line n really stands on: when the caret's line held another bookmark, the toggle
  // did nothing and n may still be set elsewhere.
  const std::int64_t line = gutter_.bookmarkLine(n);
  setSlotCaptions(n, line >= 0 ? describe(n, line) : std::to_string(n));
}

void EditingCommands::setBookmark(int n) {
  if (n < 0 || n >= kSlots) return;
  gutter_.toggleBookmark(memo_.selLine(), n);
  refreshCaptions(n);
}

void EditingCommands::gotoBookmark(int n) { gutter_.goToBookmark(n); }

void EditingCommands::clearAllBookmarks() {
  gutter_.clearAll();
  for (int n = 0; n < kSlots; ++n) setSlotCaptions(n, std::to_string(n));
}

void EditingCommands::setCaptions(const Captions& captions) {
  captions_ = captions;
  for (int n = 0; n < kSlots; ++n) captionsChanged.listeners_.notify(n);
}

void EditingCommands::restoreBookmarks() {
  for (int k = 0; k < kSlots; ++k) {
    std::string_view caption = platform::trim(captions_[k]);
    if (caption.size() <= 1) continue;  // the bare digit: not set
    caption.remove_prefix(2);
    caption = platform::trim(caption.substr(0, caption.find('=')));
    if (caption.empty()) continue;
    const auto number = platform::parseInteger(caption);
    if (!number || *number < 1) continue;
    const std::int64_t line = static_cast<std::int64_t>(*number) - 1;
    // Toggling the line it already stands on would remove it.
    if (gutter_.bookmarkLine(k) != line) gutter_.toggleBookmark(line, k);
  }
}

// ----- Editor keys -----

void EditingCommands::scrollByLine(int delta) {
  const std::int64_t top = memo_.topLine();
  if (delta > 0 ? top >= memo_.lineCount() : top <= 0) return;
  memo_.setTopLine(top + delta);
  const std::int64_t last = std::max<std::int64_t>(memo_.lineCount() - 1, 0);
  memo_.setSelLine(std::clamp<std::int64_t>(memo_.selLine() + delta, 0, last));
}

bool EditingCommands::keyPressed(EditorKey key, editor::KeyModifiers mods) {
  if (key.named) {
    switch (*key.named) {
      case editor::EditKey::Insert:
        if (mods.shift) return false;  // Shift+Insert pastes
        insertModeToggled.listeners_.notify();
        return true;
      case editor::EditKey::Up:
      case editor::EditKey::Down:
        if (!only(mods, true, false, false)) return false;
        scrollByLine(*key.named == editor::EditKey::Down ? 1 : -1);
        return true;
      case editor::EditKey::Tab:
        if (!mods.ctrl || mods.alt) return false;
        if (mods.shift)
          previousPageAsked.listeners_.notify();
        else
          nextPageAsked.listeners_.notify();
        return true;
      default: return false;
    }
  }
  const int digit = digitOf(key.character);
  if (digit >= 0 && mods.ctrl && !mods.alt) {
    gutter_.keyDown(digit, mods);
    if (mods.shift) refreshCaptions(digit);
  }
  return false;  // the editor ignores these anyway
}

bool EditingCommands::keyReleased(EditorKey key, editor::KeyModifiers mods) {
  if (key.function == 9 && !mods.alt && !mods.shift) {
    buildKeyReleased.listeners_.notify(mods.ctrl);
    return true;
  }
  if (key.named || key.function) return false;
  const char c = platform::asciiUpper(key.character);
  if (only(mods, true, false, false)) {
    switch (c) {
      case 'I': indent(); return false;
      case 'O': outdent(); return false;
      case 'Y': memo_.lines().erase(memo_.selLine()); return true;
      case 'G': searchAgainAsked.listeners_.notify(); return true;
      default: return false;
    }
  }
  if (only(mods, false, false, true) && c == 'W') {
    windowListAsked.listeners_.notify();
    return true;
  }
  return false;
}

// ----- Parentheses -----

void EditingCommands::characterTyped(char c) {
  if (c != '(' && c != ')') return;
  parenCount_ += c == '(' ? 1 : -1;
  parenthesisCountChanged.listeners_.notify(parenCount_);
}

void EditingCommands::resetParenthesisCount() {
  parenCount_ = 0;
  parenthesisCountChanged.listeners_.notify(parenCount_);
}

}  // namespace quillon::tools

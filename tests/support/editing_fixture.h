#pragma once
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "editor/code_memo.h"
#include "editor/memo_clipboard.h"
#include "editor/memo_keyboard.h"
#include "editor/memo_mouse.h"
#include "support/fake_clipboard.h"
#include "support/fixed_metrics.h"

namespace quillon::testing {

inline constexpr editor::KeyModifiers kNone{};
inline constexpr editor::KeyModifiers kShift{true, false, false};
inline constexpr editor::KeyModifiers kCtrl{false, true, false};
inline constexpr editor::KeyModifiers kAlt{false, false, true};
inline constexpr editor::KeyModifiers kCtrlShift{true, true, false};
inline constexpr editor::KeyModifiers kShiftAlt{true, false, true};

// An editor model with its keyboard, mouse and a fake clipboard: 8x16 px characters, no word
// wrap, a window 80 columns by 10 lines.
class EditingTest : public ::testing::Test {
protected:
  void SetUp() override {
    memo.setMetrics(&metrics);
    memo.setWordWrap(false);
    memo.setViewport(memo.leftMargin() + memo.rightMargin() + 80 * 8, 10 * 16);
  }
  void load(std::string_view text, editor::Offset caret = 0) {
    memo.setText(text);
    memo.setSelStart(caret);
  }
  void key(editor::EditKey k, editor::KeyModifiers m = kNone) { keyboard.keyDown(k, m); }
  void type(std::string_view s) {
    for (char c : s) keyboard.typeChar(c);
  }
  std::vector<std::string> paragraphs() const {
    std::vector<std::string> out;
    for (std::int64_t i = 0; i < memo.paragraphCount(); ++i)
      out.emplace_back(memo.paragraphText(i));
    return out;
  }
  // Viewport point of a column and display line (no scrolling).
  static int xAt(int column) { return 8 + column * 8; }
  static int yAt(int line) { return line * 16 + 5; }

  FixedMetrics metrics;
  editor::CodeMemo memo;
  FakeClipboard systemClipboard;
  editor::MemoClipboard clipboard{memo, &systemClipboard};
  editor::MemoKeyboard keyboard{memo, clipboard};
  editor::MemoMouse mouse{memo, keyboard};
};

using Pars = std::vector<std::string>;

}  // namespace quillon::testing

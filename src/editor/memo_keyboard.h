#pragma once
#include <cstdint>

#include "editor/code_memo.h"

namespace quillon::editor {

// What the widget tells the model about a key, free of any toolkit.
enum class EditKey { Left, Right, Up, Down, Home, End, PageUp, PageDown, Backspace, Delete, Enter, Tab, Insert };

struct KeyModifiers {
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
};

// Keyboard and mouse behaviour of the editor as model code: the widget translates its
// events into these calls, so every rule is testable without a window.
class MemoKeyboard {
public:
  explicit MemoKeyboard(CodeMemo& memo) : memo_(memo) {}

  // Returns true when the key was handled (the widget then swallows it).
  bool keyDown(EditKey key, KeyModifiers mods);
  // A printable character (Windows-1252 byte).
  void typeChar(char c);
  void undo() { memo_.undo(); }
  void redo() { memo_.redo(); }

  // Mouse, in content coordinates (pixels from the text's top-left, scrolling applied).
  void mousePress(int x, std::int64_t y, KeyModifiers mods);
  void mouseDrag(int x, std::int64_t y);
  void mouseRelease() { dragging_ = false; }
  bool dragging() const { return dragging_; }
  // The caret offset a point falls on.
  Offset offsetAt(int x, std::int64_t y);

private:
  bool editable() const { return !memo_.readOnly() && !memo_.displayOnly(); }
  Offset anchor() const { return memo_.selStart() + memo_.selLength(); }
  void moveTo(Offset caret, bool extend);
  void moveVertically(std::int64_t lines, bool extend);
  Offset wordLeft(Offset from) const;
  Offset wordRight(Offset from) const;
  bool isWordEnd(char c) const;
  char charAt(Offset offset) const;

  CodeMemo& memo_;
  bool dragging_ = false;
  Offset dragAnchor_ = 0;
};

}  // namespace quillon::editor

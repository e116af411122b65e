#pragma once

namespace quillon::editor {

// What the widget tells the model about a key, free of any toolkit.
enum class EditKey {
  Left,
  Right,
  Up,
  Down,
  Home,
  End,
  PageUp,
  PageDown,
  Backspace,
  Delete,
  Enter,
  Tab,
  Insert
};

struct KeyModifiers {
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
};

}  // namespace quillon::editor

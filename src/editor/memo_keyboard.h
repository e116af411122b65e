#pragma once
#include <cstdint>

#include "editor/code_memo_fwd.h"
#include "editor/edit_keys.h"
#include "editor/memo_clipboard.h"

namespace quillon::editor {

// Keyboard behaviour of the editor as model code: the widget translates its key events into
// these calls, so every rule is testable without a window.
class MemoKeyboard {
public:
  MemoKeyboard(CodeMemo& memo, MemoClipboard& clipboard) : memo_(memo), clipboard_(clipboard) {}

  // Returns true when the key was handled (the widget then swallows it).
  bool keyDown(EditKey key, KeyModifiers mods);
  // A letter pressed with Ctrl: the hot keys and Ctrl+C, Ctrl+V, Ctrl+X, Ctrl+E. Ctrl+E runs
  // the self-check and so may throw MemoError.
  bool controlKey(char letter, KeyModifiers mods);
  // A printable character (Windows-1252 byte).
  void typeChar(char c);
  // Whether a key's text is typed with these modifiers. Alt alone makes the key a command (a
  // menu's letter, or nothing): it never types. Ctrl+Alt is how Windows reports AltGr, and X11
  // reports AltGr as a modifier of its own, so characters made with AltGr still type.
  static bool typesText(KeyModifiers mods) { return !mods.alt || mods.ctrl; }
  void undo();
  void redo();

  // Set by the mouse while it drags: typing waits until the drag ends.
  void setMouseBusy(bool busy) { mouseBusy_ = busy; }

  // Virtual space ends here, so a held key cannot push the caret out of reach of the text.
  static constexpr int kMaxExtraColumns = 1 << 20;

private:
  // A key that would edit read-only text is swallowed, and the editor tells its owner.
  bool editable() const;
  bool canStartBlock() const;
  Offset anchor() const;
  void moveTo(Offset caret, bool extend);
  void moveVertically(std::int64_t lines, bool extend);
  void moveBlock(EditKey key);
  bool moveKey(EditKey key, KeyModifiers mods);
  void enter();
  void backspace(bool ctrl);
  void deleteForward();
  void wrapInCodes(char code);
  Offset wordLeft(Offset from) const;
  Offset wordRight(Offset from) const;
  Offset stepLeft(Offset from) const;
  Offset stepRight(Offset from) const;
  bool isWordEnd(char c) const;
  char charAt(Offset offset) const;
  bool isCode(char c) const;
  bool atParagraphEnd(Offset offset) const;
  std::int64_t lastLine();

  CodeMemo& memo_;
  MemoClipboard& clipboard_;
  bool mouseBusy_ = false;
};

}  // namespace quillon::editor

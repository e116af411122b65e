#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "editor/code_gutter.h"
#include "editor/code_memo_fwd.h"
#include "editor/edit_keys.h"
#include "editor/listener_list.h"
#include "platform/ui.h"

namespace quillon::tools {

// A key as the editor key handlers below see it: one of the editor's named keys, a function
// key F1..F12, or a character key given as its letter ('A'..'Z', either case) or its digit
// ('0'..'9'). For the digit row the digit is the key's own, even when Shift turned it into a
// symbol. Other keys (the numeric pad) are never acted on, so the window may pass them as
// character 0 or not at all.
struct EditorKey {
  EditorKey(editor::EditKey k) : named(k) {}
  EditorKey(char c) : character(c) {}
  static EditorKey functionKey(int n) {
    EditorKey key('\0');
    key.function = n;
    return key;
  }
  std::optional<editor::EditKey> named;
  char character = 0;
  int function = 0;  // n for Fn
};

// The Edit, Find and BookMarks commands that work on the source editor: indent and outdent,
// go to line, the ten bookmarks with their menu captions, the keys the main window handles
// in the editor, and the count of typed parentheses.
class EditingCommands {
public:
  static constexpr int kSlots = editor::CodeGutter::kBookmarks;
  static constexpr int kDescriptionWidth = 40;
  // Entries 0-9: the "Set" items of slots 0-9; 10-19: the "Goto" items. The editor's
  // context menu shows the same: "Set Bookmark" n as entry n, "Goto Bookmark" n as n + 10.
  using Captions = std::array<std::string, 2 * kSlots>;

  EditingCommands(platform::Ui& ui, editor::CodeMemo& sourceEditor, editor::CodeGutter& gutter);

  // What the keys and the bookmarks tell others; each listener subscribes itself.
  editor::Event<EditingCommands, int>
      captionsChanged;                               // the slot: entries slot and slot + 10 changed
  editor::Event<EditingCommands> nextPageAsked;      // Ctrl+Tab
  editor::Event<EditingCommands> previousPageAsked;  // Ctrl+Shift+Tab
  editor::Event<EditingCommands> windowListAsked;    // Alt+W
  editor::Event<EditingCommands> searchAgainAsked;   // Ctrl+G
  editor::Event<EditingCommands> insertModeToggled;  // Insert
  editor::Event<EditingCommands, int> parenthesisCountChanged;
  // F9 (false) and Ctrl+F9 (true), released in the editor.
  editor::Event<EditingCommands, bool> buildKeyReleased;

  void indent();
  void outdent();
  void goToLine();

  void setBookmark(int n);
  void gotoBookmark(int n);
  void clearAllBookmarks();
  // Sets the gutter's bookmarks from the "Set" captions, as a page restore leaves them.
  void restoreBookmarks();
  // The four captions of slot n follow the gutter: the description of the line bookmark n
  // stands on, or the bare digit. For a bookmark key the gutter already handled itself.
  void refreshCaptions(int n);
  const Captions& captions() const { return captions_; }
  // Tells the window about every slot; the gutter is left alone (restoreBookmarks does that).
  void setCaptions(const Captions& captions);
  // "3 12==>Dim i As Integer": the caption of bookmark n on display line `line`.
  std::string describe(int n, std::int64_t line);

  // The window's key handlers for the editor, run before the editor's own. True when the
  // key is consumed and the editor must not see it.
  //  press:   Ctrl(+Shift)+digit - bookmarks through the gutter (not consumed); Insert
  //           without Shift; Ctrl+Up, Ctrl+Down; Ctrl+Tab, Ctrl+Shift+Tab.
  //  release: Ctrl+I, Ctrl+O (done, not consumed); Ctrl+Y; Ctrl+G; Alt+W; F9 and Ctrl+F9 (to
  //           buildKey). Everything else is left to others and returns false.
  // keyPressed hands bookmark digits to gutter.keyDown itself; a window whose gutter widget
  // already sees those keys calls refreshCaptions(digit) after Ctrl+Shift+digit instead.
  bool keyPressed(EditorKey key, editor::KeyModifiers mods);
  bool keyReleased(EditorKey key, editor::KeyModifiers mods);

  // Typed characters, before the editor inserts them.
  void characterTyped(char c);
  int parenthesisCount() const { return parenCount_; }
  void resetParenthesisCount();

private:
  enum class Shift { in, out };
  void shiftLines(Shift direction);
  void setSlotCaptions(int n, const std::string& caption);
  void scrollByLine(int delta);

  platform::Ui& ui_;
  editor::CodeMemo& memo_;
  editor::CodeGutter& gutter_;
  Captions captions_;
  int parenCount_ = 0;
};

}  // namespace quillon::tools

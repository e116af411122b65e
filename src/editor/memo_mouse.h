#pragma once
#include <algorithm>
#include <cstdint>

#include "editor/code_memo_fwd.h"
#include "editor/memo_keyboard.h"

namespace quillon::editor {

// The pointer shapes the mouse model asks for; the widget draws them.
enum class MemoCursor { IBeam, LineSelect, Arrow, DragMove, DragCopy };

// Mouse behaviour of the editor as model code. Points are in viewport pixels (0,0 at the
// window's top-left); the model adds the scroll position itself.
class MemoMouse {
public:
  MemoMouse(CodeMemo& memo, MemoKeyboard& keyboard) : memo_(memo), keyboard_(keyboard) {}

  void press(int x, int y, KeyModifiers mods);
  void doubleClick(int x, int y);
  // The pointer moved with the left button held.
  void move(int x, int y, KeyModifiers mods);
  void release(int x, int y, KeyModifiers mods);
  // A wheel turn in 1/8 degree units (120 per notch), positive away from the user.
  void wheel(int delta);

  // One tick of scrolling toward a pointer outside the window while the button is held;
  // false when the pointer is inside (nothing to do).
  bool autoScroll(int x, int y, KeyModifiers mods);
  // How far one tick scrolls toward a pointer `distance` pixels outside an edge.
  static int autoScrollStep(int distance) { return distance <= 0 ? 0 : std::max(1, distance / 3); }

  MemoCursor cursorAt(int x, int y, KeyModifiers mods) const;
  bool busy() const { return mode_ != Mode::none; }
  bool draggingText() const { return mode_ == Mode::textDrag; }
  // Where dragged text would land, for the widget to show.
  Offset dropOffset() const { return dropAt_; }

  // A press must move this far before it drags text rather than placing the caret.
  static constexpr int kDragThreshold = 4;
  // While text is dragged, the view scrolls only for a pointer this close outside an edge.
  static constexpr int kDragScrollZone = 24;

private:
  enum class Mode { none, select, block, lines, textPending, textDrag };
  // Caret offset of a viewport point, and whole columns beyond its line's end.
  Offset hit(int x, int y, int* beyond = nullptr) const;
  int columnAt(int x) const;
  bool inLineMargin(int x) const;
  bool overSelection(int x, int y) const;
  void extendTo(int x, int y);
  void drop(bool copy);
  void setMode(Mode m);

  CodeMemo& memo_;
  MemoKeyboard& keyboard_;
  Mode mode_ = Mode::none;
  Offset anchor_ = 0;
  int anchorColumn_ = 0;
  int pressX_ = 0;
  int pressY_ = 0;
  Offset dropAt_ = 0;
  int wheelAccumulator_ = 0;
};

}  // namespace quillon::editor

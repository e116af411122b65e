#pragma once

namespace quillon::pages {

// What a long load needs from the screen. The window shows before the load starts; while it
// runs the status line repaints, Escape is noticed, and no command reaches the half-loaded
// editor.
class LoadView {
public:
  virtual ~LoadView() = default;
  // The main window on screen and painted once, before a long load begins.
  virtual void showWindowNow() = 0;
  virtual void beginLoad() = 0;
  // Lets the window repaint; true once Escape was pressed since beginLoad.
  virtual bool pollStop() = 0;
  virtual void endLoad() = 0;
};

}  // namespace quillon::pages

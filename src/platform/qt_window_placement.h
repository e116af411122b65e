#pragma once
#include "platform/window_placement.h"

class QWidget;

namespace quillon::platform {

// A top-level window's placement as stored: its outer rectangle, frame included, while it is
// neither maximised nor minimised.
WindowPlacement placementOf(const QWidget& window);
// Moves the window there; the size too unless the window has a fixed size.
void applyPlacement(QWidget& window, const WindowPlacement& placement);
// The screen the window is on, else the primary one.
ScreenRect screenOf(const QWidget& window);
void centreOnScreen(QWidget& window);

}  // namespace quillon::platform

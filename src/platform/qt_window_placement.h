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
// The screen's area less the desktop's panels.
ScreenRect availableScreenOf(const QWidget& window);
// A top-level window at firstWindowRect of its screen's available area.
void placeFirstWindow(QWidget& window);
// A tool window at besideRect of the window it belongs to (its parent's), else centred.
void placeBeside(QWidget& tool);

}  // namespace quillon::platform

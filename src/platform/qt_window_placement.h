#pragma once
#include "platform/window_placement.h"

class QWidget;

namespace quillon::platform {

// A top-level window's placement as stored: its normal rectangle with the frame included.
WindowPlacement placementOf(const QWidget& window);
void applyPlacement(QWidget& window, const WindowPlacement& placement);

}  // namespace quillon::platform

#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace quillon::platform {

struct ScreenRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int width() const { return right - left; }
  int height() const { return bottom - top; }
  friend bool operator==(const ScreenRect&, const ScreenRect&) = default;
};

// A window's stored placement: "200,flags,show,left,top,right,bottom", where 200 marks the
// format, show is 1 normal, 2 minimised, 3 maximised, and the rectangle is the window's
// normal (restored) one in screen pixels.
struct WindowPlacement {
  int flags = 0;
  int showCmd = 1;
  ScreenRect normal;
  friend bool operator==(const WindowPlacement&, const WindowPlacement&) = default;
};

std::string formatPlacement(const WindowPlacement& placement);
// nullopt unless the text has exactly seven integer fields and the first is "200"; then the
// window stays where start-up put it.
std::optional<WindowPlacement> parsePlacement(std::string_view text);
// A rectangle reaching past the screen's right or bottom edge is moved back so that edge
// lies on the screen's, keeping its size. Only those two edges are checked.
WindowPlacement clampToScreen(WindowPlacement placement, const ScreenRect& screen);
// parsePlacement, then clampToScreen, then usablePlacement.
std::optional<WindowPlacement> readPlacement(std::string_view text, const ScreenRect& screen);
// A clamped placement the window could not be used at made usable: nullopt for one without
// area; one wider or taller than the screen shrinks to it; one wholly left of or above the
// screen moves onto it. Anything else stays as it is.
std::optional<WindowPlacement> usablePlacement(WindowPlacement placement, const ScreenRect& screen);

// The main window without a stored placement: three quarters of the available area each
// way, at least 800 x 600 where the area has room, centred as the first run centres it
// (left = width div 2 - window width div 2, within the area).
ScreenRect firstWindowRect(const ScreenRect& available);
// A tool window of this size without a stored place: right of its owner where the screen has
// room, else left of it, else over the owner's right edge; its top level with the owner's,
// and wholly on the screen.
ScreenRect besideRect(const ScreenRect& owner, int width, int height, const ScreenRect& screen);

}  // namespace quillon::platform

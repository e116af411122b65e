#include "platform/qt_x11_keyboard_state.h"

#include <QGuiApplication>

#ifdef QUILLON_HAVE_X11
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#endif

namespace quillon::platform {

X11KeyboardState::X11KeyboardState() {
#ifdef QUILLON_HAVE_X11
  // Only when Qt itself draws on X: under the offscreen or Wayland plugins the X server, if
  // any, is not the one the user types on.
  if (QGuiApplication::platformName() == "xcb") display_ = XOpenDisplay(nullptr);
#endif
}

X11KeyboardState::~X11KeyboardState() {
#ifdef QUILLON_HAVE_X11
  if (display_) XCloseDisplay(static_cast<Display*>(display_));
#endif
}

std::optional<bool> X11KeyboardState::indicator([[maybe_unused]] const char* name) const {
#ifdef QUILLON_HAVE_X11
  if (!display_) return std::nullopt;
  auto* display = static_cast<Display*>(display_);
  const Atom atom = XInternAtom(display, name, True);
  if (atom == None) return std::nullopt;
  Bool on = False;
  if (!XkbGetNamedIndicator(display, atom, nullptr, &on, nullptr, nullptr)) return std::nullopt;
  return on == True;
#else
  return std::nullopt;
#endif
}

std::optional<bool> X11KeyboardState::capsLock() const { return indicator("Caps Lock"); }
std::optional<bool> X11KeyboardState::numLock() const { return indicator("Num Lock"); }

}  // namespace quillon::platform

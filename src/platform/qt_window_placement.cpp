#include "platform/qt_window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace quillon::platform {

WindowPlacement placementOf(const QWidget& window) {
  WindowPlacement p;
  p.showCmd = window.isMaximized() ? 3 : window.isMinimized() ? 2 : 1;
  const QRect normal =
      window.isMaximized() || window.isMinimized() ? window.normalGeometry() : window.geometry();
  const QRect frame = window.frameGeometry();
  const QRect client = window.geometry();
  const int dl = client.left() - frame.left(), dt = client.top() - frame.top();
  const int dr = frame.right() - client.right(), db = frame.bottom() - client.bottom();
  p.normal = {normal.left() - dl, normal.top() - dt, normal.right() + 1 + dr,
              normal.bottom() + 1 + db};
  return p;
}

void applyPlacement(QWidget& window, const WindowPlacement& p) {
  const int dw = window.frameGeometry().width() - window.geometry().width();
  const int dh = window.frameGeometry().height() - window.geometry().height();
  window.move(p.normal.left, p.normal.top);
  if (window.minimumSize() != window.maximumSize())
    window.resize(std::max(100, p.normal.width() - dw), std::max(100, p.normal.height() - dh));
  if (p.showCmd == 3) window.setWindowState(window.windowState() | Qt::WindowMaximized);
}

ScreenRect screenOf(const QWidget& window) {
  const QScreen* s = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
  const QRect r = s ? s->geometry() : QRect(0, 0, 1024, 768);
  return {r.left(), r.top(), r.right() + 1, r.bottom() + 1};
}

void centreOnScreen(QWidget& window) {
  const ScreenRect s = screenOf(window);
  window.move(s.left + s.width() / 2 - window.frameGeometry().width() / 2,
              s.top + s.height() / 2 - window.frameGeometry().height() / 2);
}

ScreenRect availableScreenOf(const QWidget& window) {
  const QScreen* s = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
  const QRect r = s ? s->availableGeometry() : QRect(0, 0, 1024, 768);
  return {r.left(), r.top(), r.right() + 1, r.bottom() + 1};
}

void placeFirstWindow(QWidget& window) {
  const ScreenRect r = firstWindowRect(availableScreenOf(window));
  applyPlacement(window, {0, 1, r});
}

void placeBeside(QWidget& tool) {
  const QWidget* owner = tool.parentWidget() ? tool.parentWidget()->window() : nullptr;
  if (!owner || !owner->isVisible()) {
    centreOnScreen(tool);
    return;
  }
  const QRect o = owner->frameGeometry();
  const QSize size = tool.frameGeometry().size().expandedTo(tool.sizeHint());
  const ScreenRect r = besideRect({o.left(), o.top(), o.right() + 1, o.bottom() + 1}, size.width(),
                                  size.height(), availableScreenOf(*owner));
  tool.move(r.left, r.top);
}

}  // namespace quillon::platform

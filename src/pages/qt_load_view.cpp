#include "pages/qt_load_view.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QKeyEvent>
#include <QWidget>
#include <QWindow>

namespace quillon::pages {

QtLoadView::QtLoadView(QWidget& window, std::function<void()> beforeShow)
    : window_(window), beforeShow_(std::move(beforeShow)) {}

QtLoadView::~QtLoadView() { endLoad(); }

void QtLoadView::showWindowNow() {
  if (!window_.isVisible()) {
    if (beforeShow_) beforeShow_();
    window_.show();
  }
  // The window server maps the window a few events later; a short wait gets it painted.
  QElapsedTimer waited;
  waited.start();
  while (waited.elapsed() < 500) {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (window_.windowHandle() && window_.windowHandle()->isExposed()) break;
  }
  window_.repaint();
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void QtLoadView::beginLoad() {
  stop_ = false;
  if (watching_) return;
  watching_ = true;
  QCoreApplication::instance()->installEventFilter(this);
}

bool QtLoadView::pollStop() {
  QCoreApplication::processEvents();
  return stop_;
}

void QtLoadView::endLoad() {
  if (!watching_) return;
  watching_ = false;
  QCoreApplication::instance()->removeEventFilter(this);
}

bool QtLoadView::eventFilter(QObject*, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress:
      if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) stop_ = true;
      return true;
    case QEvent::Close: event->ignore(); return true;
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::InputMethod:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonDblClick: return true;
    default: return false;
  }
}

}  // namespace quillon::pages

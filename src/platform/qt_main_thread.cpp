#include "platform/qt_main_thread.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace quillon::platform {

void QtMainThread::post(std::function<void()> call) {
  QCoreApplication* app = QCoreApplication::instance();
  if (!app) return;
  QMetaObject::invokeMethod(
      app, [call = std::move(call)] { call(); }, Qt::QueuedConnection);
}

}  // namespace quillon::platform

#include <QApplication>

#include "app/main_window.h"
#include "platform/qt_single_instance.h"
#include "platform/qt_window_system.h"
#include "platform/qt_x11_keyboard_state.h"

int main(int argc, char** argv) {
  const std::unique_ptr<QApplication> app = quillon::platform::startApplication(argc, argv);
  if (!app) return 1;
  QApplication::setApplicationName("Quillon");

  // A second copy only wakes the first one; its command line is not passed on.
  quillon::platform::SingleInstance instance;
  if (instance.activateRunningCopy()) return 0;
  instance.listen();

  quillon::platform::X11KeyboardState keyboard;
  quillon::app::MainWindow window(keyboard);
  QObject::connect(&instance, &quillon::platform::SingleInstance::activationRequested, &window,
                   [&window] { window.anotherCopyStarted(); });

  std::vector<std::string> arguments;
  const QStringList args = QCoreApplication::arguments();
  for (qsizetype i = 1; i < args.size(); ++i) arguments.push_back(args[i].toStdString());
  window.start(QCoreApplication::applicationFilePath().toStdString(), arguments);
  window.show();
  const int result = QApplication::exec();
  QCoreApplication::processEvents();
  return result;
}

#include <QApplication>
#include <iostream>

#include "app/main_window.h"
#include "build/headless_build.h"
#include "platform/posix_process_launcher.h"
#include "platform/qt_single_instance.h"
#include "platform/qt_window_system.h"
#include "platform/qt_x11_keyboard_state.h"

// Build modes run without a display and without asking a running window.
static int buildWithoutWindow(int argc, char** argv) {
  using namespace quillon;
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  std::error_code ec;
  std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) program = std::filesystem::absolute(argv[0], ec);
  const platform::Environment environment = platform::Environment::fromProcess();
  platform::PosixProcessLauncher launcher(environment);
  platform::SystemClock clock;
  return build::runCommandLine(arguments, std::cout, std::cerr, {launcher, clock, nullptr},
                               {program, environment, {}, QUILLON_VERSION});
}

int main(int argc, char** argv) {
  if (quillon::build::isCommandLineBuild(std::vector<std::string>(argv + 1, argv + argc)))
    return buildWithoutWindow(argc, argv);
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

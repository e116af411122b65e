#include "platform/qt_window_system.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#ifdef QUILLON_HAVE_X11
#include <X11/Xlib.h>
#endif

namespace quillon::platform {
namespace {

constexpr auto kRetryFor = std::chrono::seconds(3);
constexpr auto kRetryEvery = std::chrono::milliseconds(50);

void cannotStart(const QString& reason) {
  std::fprintf(stderr, "Quillon cannot start: %s\n", reason.toLocal8Bit().constData());
  std::fflush(stderr);
}

QtMessageHandler previousHandler = nullptr;

// While the application object is made, a fatal message (no platform plugin could start) ends
// the program with its reason and an error code instead of abort().
void fatalEndsPlainly(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type != QtFatalMsg) {
    if (previousHandler)
      previousHandler(type, context, message);
    else
      std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    return;
  }
  cannotStart(message);
  std::_Exit(EXIT_FAILURE);
}

// What Qt will draw on: the "-platform" argument, else QT_QPA_PLATFORM, else X when a display
// is named and no Wayland one is.
bool drawsOnX(int argc, char** argv) {
  QByteArray platform = qgetenv("QT_QPA_PLATFORM");
  for (int i = 1; i + 1 < argc; ++i)
    if (std::strcmp(argv[i], "-platform") == 0) platform = argv[i + 1];
  if (!platform.isEmpty()) return platform == "xcb" || platform.startsWith("xcb:");
  return !qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

// A connection to the X display, tried again while the server refuses it; closed when done.
class DisplayHold {
public:
  bool open() {
#ifdef QUILLON_HAVE_X11
    const auto giveUp = std::chrono::steady_clock::now() + kRetryFor;
    while (!(display_ = XOpenDisplay(nullptr)) && std::chrono::steady_clock::now() < giveUp)
      std::this_thread::sleep_for(kRetryEvery);
    return display_ != nullptr;
#else
    return true;
#endif
  }
  ~DisplayHold() {
#ifdef QUILLON_HAVE_X11
    if (display_) XCloseDisplay(display_);
#endif
  }

private:
#ifdef QUILLON_HAVE_X11
  Display* display_ = nullptr;
#endif
};

}  // namespace

std::unique_ptr<QApplication> startApplication(int& argc, char** argv) {
  DisplayHold hold;
  if (drawsOnX(argc, argv) && !hold.open()) {
    cannotStart("cannot open display " + qEnvironmentVariable("DISPLAY"));
    return nullptr;
  }
  previousHandler = qInstallMessageHandler(fatalEndsPlainly);
  auto app = std::make_unique<QApplication>(argc, argv);
  qInstallMessageHandler(previousHandler);
  return app;
}

}  // namespace quillon::platform

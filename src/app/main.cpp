#include <QApplication>

#include "app/main_window.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Quillon");
  quillon::app::MainWindow window;
  // The first argument is a file to open; further ones are ignored.
  if (argc > 1 && argv[1][0] != '\0') window.openFile(argv[1]);
  window.show();
  const int result = app.exec();
  QApplication::processEvents();
  return result;
}

// Entry of the widget tests: one QApplication for all of them, on whatever platform
// QT_QPA_PLATFORM names (offscreen under make test).
#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

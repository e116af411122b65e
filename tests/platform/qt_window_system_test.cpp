// The program started where Qt cannot draw: it says why in words and ends with exit code 1,
// where Qt alone would abort().
#include "platform/qt_window_system.h"

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace {

struct Ending {
  QProcess::ExitStatus status = QProcess::CrashExit;
  int code = -1;
  QString errors;
};

Ending runProgram(const std::vector<std::pair<QString, QString>>& variables) {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.remove("WAYLAND_DISPLAY");
  for (const auto& [name, value] : variables) environment.insert(name, value);
  QProcess program;
  program.setProcessEnvironment(environment);
  program.start(QUILLON_BINARY_DIR "/quillon", {});
  if (!program.waitForFinished(60000)) {
    program.kill();
    program.waitForFinished();
    return {};
  }
  return {program.exitStatus(), program.exitCode(),
          QString::fromLocal8Bit(program.readAllStandardError())};
}

TEST(WindowSystemStart, ADisplayThatNeverAnswersIsReportedInWords) {
  if (QFile::exists("/tmp/.X11-unix/X4097")) GTEST_SKIP() << "display :4097 exists here";
  const Ending e = runProgram({{"QT_QPA_PLATFORM", "xcb"}, {"DISPLAY", ":4097"}});
  EXPECT_EQ(std::pair(e.status, e.code), std::pair(QProcess::NormalExit, 1)) << "not aborted";
  EXPECT_TRUE(e.errors.contains("Quillon cannot start: cannot open display :4097"))
      << e.errors.toStdString();
}

TEST(WindowSystemStart, APlatformQtCannotStartIsReportedInWords) {
  const Ending e = runProgram({{"QT_QPA_PLATFORM", "no-such-platform"}});
  EXPECT_EQ(std::pair(e.status, e.code), std::pair(QProcess::NormalExit, 1)) << "not aborted";
  EXPECT_TRUE(e.errors.contains("Quillon cannot start: ")) << e.errors.toStdString();
}

}  // namespace

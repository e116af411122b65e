#include <benchmark/benchmark.h>

#ifdef QUILLON_BENCH_GUI
#include <QApplication>

namespace {
QtMessageHandler defaultHandler = nullptr;
// The offscreen platform warns on every window resize; it would bury the results.
void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (message.contains(QLatin1String("propagateSizeHints"))) return;
  defaultHandler(type, context, message);
}
}  // namespace
#endif

int main(int argc, char** argv) {
#ifdef QUILLON_BENCH_GUI
  // The paint benchmarks need no display and must not depend on one.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  defaultHandler = qInstallMessageHandler(quietHandler);
#endif
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

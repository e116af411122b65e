#include "build/build_output_widget.h"

#include <QFontDatabase>
#include <QTextCursor>

#include "build/build_output.h"

namespace quillon::build {

BuildOutputWidget::BuildOutputWidget(QWidget* parent) : QPlainTextEdit(parent) {
  setObjectName("buildOutput");
  setReadOnly(true);
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  setPlaceholderText("Build Output");
}

void BuildOutputWidget::showReport(const BuildReport& report) {
  clear();
  QTextCharFormat normal;
  QTextCharFormat dim;
  dim.setForeground(palette().color(QPalette::Disabled, QPalette::Text));
  QTextCursor cursor(document());
  // Runs of lines of one kind go in at once: a long output is thousands of lines.
  QString run;
  bool runDim = false;
  bool first = true;
  auto flush = [&] {
    if (!run.isEmpty()) cursor.insertText(run, runDim ? dim : normal);
    run.clear();
  };
  for (const OutputLine& line : outputLines(report)) {
    if (line.dim != runDim) {
      flush();
      runDim = line.dim;
    }
    if (!first) run += QChar('\n');
    first = false;
    run += QString::fromUtf8(line.text.data(), static_cast<qsizetype>(line.text.size()));
  }
  flush();
  moveCursor(QTextCursor::Start);
}

}  // namespace quillon::build

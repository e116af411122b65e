// Printing through Qt: a highlighted module to a PDF file, read back with poppler's tools.
#include <gtest/gtest.h>

#include <QApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "editor/code_memo_printer.h"
#include "editor/code_memo_widget.h"
#include "editor/highlight_engine.h"
#include "editor/qt_printer_port.h"

namespace quillon::editor {
namespace {

QString run(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  if (!process.waitForFinished(30000) || process.exitCode() != 0) {
    ADD_FAILURE() << program.toStdString() << " failed: " << process.readAllStandardError().toStdString();
    return {};
  }
  return QString::fromUtf8(process.readAllStandardOutput());
}

TEST(QtPrinterPort, PrintsAHighlightedModuleToAPdfWithEveryPagesHeaderAndFooter) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString pdf = dir.filePath("module.pdf");

  CodeMemo memo;
  memo.setWordWrap(false);
  HighlightEngine engine(memo);
  KeywordInfo keyword;
  keyword.contextNum = 1;
  keyword.style = KeywordStyle::bold;
  keyword.foregnd = 0xFF0000;  // blue
  engine.keywords().add("Dim", keyword);
  MemoClipboard clipboard{memo};
  CodeMemoWidget widget(memo, clipboard);
  QFont font("Courier New");
  font.setPointSize(10);
  widget.setEditorFont(font);

  QtPrinterPort port;
  port.setEditor(&widget);
  // Without a file name a PDF printer prints nowhere.
  port.printer().setOutputFormat(QPrinter::PdfFormat);
  port.printer().setOutputFileName(QString());
  EXPECT_FALSE(port.printerInstalled());
  port.printer().setOutputFileName(pdf);
  port.useMinimumMargins();
  EXPECT_TRUE(port.printerInstalled());

  CodeMemoPrinter printer(port);
  printer.setHeader("Head {p}");
  printer.setFooter("Foot {p}");
  printer.setMemoToPrint(&memo);
  ASSERT_TRUE(printer.layOut());
  const int perPage = printer.format().linesPerPage();
  ASSERT_GT(perPage, 10);
  std::string text;
  const int lines = 2 * perPage + 3;
  for (int i = 1; i <= lines; ++i) text += "Dim line" + std::to_string(i) + " As Integer" + (i < lines ? "\r\n" : "");
  memo.setText(text);
  printer.setMemoToPrint(&memo);
  printer.print();

  const QString info = run("pdfinfo", {pdf});
  EXPECT_TRUE(info.contains(QRegularExpression("Pages:\\s+3\\b"))) << info.toStdString();
  for (int page = 1; page <= 3; ++page) {
    SCOPED_TRACE(page);
    const QString n = QString::number(page);
    const QString words = run("pdftotext", {"-f", n, "-l", n, "-layout", pdf, "-"});
    EXPECT_TRUE(words.contains("Head " + n)) << words.toStdString();
    EXPECT_TRUE(words.contains("Foot " + n));
    const int first = (page - 1) * perPage + 1;
    EXPECT_TRUE(words.contains(QString("Dim line%1 As Integer").arg(first)));
    EXPECT_FALSE(words.contains(QString("Dim line%1 As").arg(first - 1)) && page > 1);
  }
}

}  // namespace
}  // namespace quillon::editor

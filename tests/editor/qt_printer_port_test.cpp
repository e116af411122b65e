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

  // On paper every word of the first line stands in its column, also after the highlighted
  // keyword: text drawn at the screen's advances would drift off the layout's columns.
  const QString boxes = run("pdftotext", {"-bbox", "-f", "1", "-l", "1", pdf, "-"});
  const QRegularExpression word(R"re(<word xMin="([0-9.]+)"[^>]*>([^<]*)</word>)re");
  std::vector<std::pair<double, QString>> line;
  for (auto m = word.globalMatch(boxes); m.hasNext() && line.size() < 4;) {
    const auto match = m.next();
    if (match.captured(2) == "Dim" || !line.empty()) line.emplace_back(match.captured(1).toDouble(), match.captured(2));
  }
  ASSERT_EQ(line.size(), 4u);
  EXPECT_EQ(line[3].second, "Integer");
  const double pitch = port.textMetrics().fixedPitchWidth() * 72.0 / port.printer().logicalDpiX();
  ASSERT_GT(pitch, 0);
  const int columns[] = {0, 4, 10, 13};
  for (std::size_t i = 1; i < line.size(); ++i)
    EXPECT_NEAR(line[i].first - line[0].first, columns[i] * pitch, 0.3) << line[i].second.toStdString();
}

}  // namespace
}  // namespace quillon::editor

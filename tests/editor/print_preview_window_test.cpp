// Offscreen; printing goes through Qt to a PDF file, read back with poppler's tools.
#include "editor/print_preview_window.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QToolButton>
#include <gtest/gtest.h>

#include "editor/code_memo.h"
#include "editor/code_memo_printer.h"
#include "editor/code_memo_widget.h"
#include "editor/highlight_engine.h"
#include "editor/qt_printer_port.h"
#include "support/scripted_ui.h"
#include "support/temp_folder.h"

namespace quillon::editor {
namespace {

QString run(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  if (!process.waitForFinished(30000) || process.exitCode() != 0) {
    ADD_FAILURE() << program.toStdString()
                  << " failed: " << process.readAllStandardError().toStdString();
    return {};
  }
  return QString::fromUtf8(process.readAllStandardOutput());
}

class PreviewTest : public ::testing::Test {
protected:
  PreviewTest() {
    memo.setWordWrap(false);
    engine.keywords().add(
        "Dim",
        KeywordInfo{.style = KeywordStyle::bold, .contextNum = 1, .foregnd = 0xFF0000});  // blue
    QFont font("Courier New");
    font.setPointSize(10);
    widget.setEditorFont(font);
    port.setEditor(&widget);
    // The same paper on every machine: A4 through the PDF driver.
    port.printer().setOutputFormat(QPrinter::PdfFormat);
    port.printer().setPageSize(QPageSize(QPageSize::A4));
    port.useMinimumMargins();
    printer.setMemoToPrint(&memo);
  }

  void open() {
    window = std::make_unique<PrintPreviewWindow>(printer, port, ui);
    window->show();
    QApplication::processEvents();
  }
  QWidget* page() const { return window->findChild<QWidget*>("previewPage"); }
  QImage render() const {
    QImage image(page()->size(), QImage::Format_RGB32);
    page()->render(&image);
    return image;
  }
  QString label() const { return window->findChild<QLabel*>("pageLabel")->text(); }
  template <class Button>
  Button* button(const QString& text) const {
    for (Button* b : window->findChildren<Button*>())
      if (b->text() == text || b->toolTip() == text) return b;
    return nullptr;
  }
  static int count(const QImage& image, const std::function<bool(QColor)>& is) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if (is(image.pixelColor(x, y))) ++n;
    return n;
  }
  static bool blue(QColor c) { return c.blue() > 180 && c.red() < 90 && c.green() < 90; }
  static bool ink(QColor c) { return c.red() < 100 && c.green() < 100 && c.blue() < 100; }
  void sendMouse(QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
    QMouseEvent event(type, at, page()->mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(page(), &event);
  }

  CodeMemo memo;
  HighlightEngine engine{memo};
  MemoClipboard clipboard{memo};
  quillon::testing::ScriptedUi ui;
  CodeMemoWidget widget{memo, clipboard, ui};
  QtPrinterPort port{ui};
  CodeMemoPrinter printer{port};
  std::unique_ptr<PrintPreviewWindow> window;
};

TEST_F(PreviewTest, ShowsKeywordsInTheirColourAndNoneWithPlainText) {
  memo.setText("Dim first As Integer\r\nDim second As String\r\nx = 1");
  for (const bool plain : {false, true}) {
    printer.setPlainText(plain);
    open();
    window->setZoom(PreviewZoom::z200);
    const QImage image = render();
    EXPECT_GT(count(image, ink), 30);
    if (plain)
      EXPECT_EQ(count(image, blue), 0);
    else
      EXPECT_GT(count(image, blue), 30);
  }
}

TEST_F(PreviewTest, StepsThroughThePages) {
  ASSERT_TRUE(printer.layOut());
  const int perPage = printer.format().linesPerPage();
  memo.setText(
      testing::numberedLines("line", 2 * perPage + 1));  // one more line after the last break
  printer.setMemoToPrint(&memo);
  open();
  auto* next = button<QToolButton>("Next page");
  auto* previous = button<QToolButton>("Previous page");
  ASSERT_TRUE(next && previous);
  auto shown = [&] {
    return std::tuple(label().toStdString(), previous->isEnabled(), next->isEnabled());
  };
  EXPECT_EQ(shown(), std::tuple("Page 1/3", false, true));
  next->click();
  next->click();
  EXPECT_EQ(shown(), std::tuple("Page 3/3", true, false));
  previous->click();
  EXPECT_EQ(shown(), std::tuple("Page 2/3", true, true));
}

TEST_F(PreviewTest, MarginLinesShowInvertedAndADraggedLineSetsItsMargin) {
  memo.setText("Dim x");
  open();
  // The black pixels in a row of blank paper between the header band and the text.
  auto black = [&] {
    const QImage image = render();
    std::vector<int> xs;
    for (int x = 0; x < image.width(); ++x)
      if (image.pixelColor(x, 30) == QColor(Qt::black)) xs.push_back(x);
    return xs;
  };
  EXPECT_TRUE(black().empty());
  auto* margins = button<QPushButton>("&Margins");
  ASSERT_TRUE(margins);
  margins->click();
  const std::vector<int> lines = black();
  ASSERT_EQ(lines.size(), 2u);  // the left and right lines across white paper

  // Pick up the left line and let it go an inch further right.
  const int left = lines[0];
  ASSERT_GT(left, 0);
  const int inch = page()->logicalDpiY();
  sendMouse(QEvent::MouseButtonPress, {left, 300}, Qt::LeftButton);
  sendMouse(QEvent::MouseMove, {left + inch / 2, 300}, Qt::LeftButton);
  sendMouse(QEvent::MouseMove, {left + inch, 300}, Qt::LeftButton);
  sendMouse(QEvent::MouseButtonRelease, {left + inch, 300}, Qt::NoButton);
  EXPECT_NEAR(printer.marginLeft(), 1.75, 0.02);
  EXPECT_EQ(label(), "Page 1/1");
}

TEST_F(PreviewTest, PrintsAHighlightedModuleToAPdfWithEveryPagesHeaderAndFooter) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString pdf = dir.filePath("module.pdf");
  // Without a file name a PDF printer prints nowhere.
  EXPECT_FALSE(port.printerInstalled());
  port.printer().setOutputFileName(pdf);
  EXPECT_TRUE(port.printerInstalled());
  printer.setHeader("Head {p}");
  printer.setFooter("Foot {p}");
  ASSERT_TRUE(printer.layOut());
  const int perPage = printer.format().linesPerPage();
  ASSERT_GT(perPage, 10);
  memo.setText(testing::numberedLines("Dim variable As Integer", 2 * perPage + 3));
  printer.setMemoToPrint(&memo);
  printer.print();

  // The last page has its own header, footer and lines.
  const QString words = run("pdftotext", {"-f", "3", "-l", "3", "-layout", pdf, "-"});
  for (const QString& text : {QString("Head 3"), QString("Foot 3"),
                              QString("Dim variable As Integer %1").arg(2 * perPage + 1)})
    EXPECT_TRUE(words.contains(text)) << text.toStdString() << " in " << words.toStdString();

  // On paper every word of the first line stands in its column, also after the highlighted
  // keyword: text drawn at the screen's advances would drift off the layout's columns.
  const QString boxes = run("pdftotext", {"-bbox", "-f", "1", "-l", "1", pdf, "-"});
  const QRegularExpression word(R"re(<word xMin="([0-9.]+)"[^>]*>([^<]*)</word>)re");
  std::vector<std::pair<double, QString>> line;
  for (auto m = word.globalMatch(boxes); m.hasNext() && line.size() < 4;) {
    const auto match = m.next();
    if (match.captured(2) == "Dim" || !line.empty())
      line.emplace_back(match.captured(1).toDouble(), match.captured(2));
  }
  ASSERT_EQ(line.size(), 4u);
  EXPECT_EQ(line[3].second, "Integer");
  const double pitch = port.textMetrics().fixedPitchWidth() * 72.0 / port.printer().logicalDpiX();
  ASSERT_GT(pitch, 0);
  const int columns[] = {0, 4, 13, 16};
  for (std::size_t i = 1; i < line.size(); ++i)
    EXPECT_NEAR(line[i].first - line[0].first, columns[i] * pitch, 0.3)
        << line[i].second.toStdString();
}

}  // namespace
}  // namespace quillon::editor

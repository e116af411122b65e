#include "editor/qt_printer_port.h"

#include <QFile>
#include <QFontInfo>
#include <QPageLayout>
#include <QPainter>
#include <QProgressDialog>
#include <QWidget>

#include "editor/code_memo.h"
#include "editor/code_memo_printer.h"
#include "editor/code_memo_widget.h"
#include "editor/print_layout.h"
#include "editor/print_preview_window.h"
#include "editor/qt_line_painter.h"
#include "platform/qt_conversions.h"

namespace quillon::editor {

QtPrinterPort::QtPrinterPort(platform::Ui& ui, QWidget* parent) : ui_(ui), parent_(parent) {}

QtPrinterPort::~QtPrinterPort() = default;

QPrinter& QtPrinterPort::printer() {
  if (!printer_) {
    printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    useMinimumMargins();
  }
  return *printer_;
}

// Qt's default page layout adds margins of its own; the printer's only ones are ours.
void QtPrinterPort::useMinimumMargins() {
  QPrinter& p = printer();
  QPageLayout layout = p.pageLayout();
  layout.setMode(QPageLayout::StandardMode);
  layout.setMargins(layout.minimumMargins());
  p.setPageLayout(layout);
}

// With no printer installed Qt falls back to writing a PDF, and without a file name that
// goes nowhere.
bool QtPrinterPort::printerInstalled() {
  return printer().outputFormat() == QPrinter::NativeFormat ||
         !printer().outputFileName().isEmpty();
}

void QtPrinterPort::setOutputFile(const std::string& file) {
  if (!file.empty()) printer().setOutputFormat(QPrinter::PdfFormat);
  printer().setOutputFileName(QFile::decodeName(file.c_str()));
}

PrinterMetrics QtPrinterPort::metrics() {
  const QRect paper = printer().paperRect(QPrinter::DevicePixel).toRect();
  const QRect printable = printer().pageRect(QPrinter::DevicePixel).toRect();
  PrinterMetrics m;
  m.horzRes = printable.width();
  m.vertRes = printable.height();
  m.physicalWidth = paper.width();
  m.physicalHeight = paper.height();
  m.physicalOffsetX = printable.left() - paper.left();
  m.physicalOffsetY = printable.top() - paper.top();
  m.logPixelsX = printer().logicalDpiX();
  m.logPixelsY = printer().logicalDpiY();
  return m;
}

QFont QtPrinterPort::printerFont(const QFont& font) {
  QFont f = font;
  qreal points = font.pointSizeF();
  if (points <= 0) points = QFontInfo(font).pointSizeF();  // a pixel size on the screen
  const int dpi = printer().logicalDpiY() > 0 ? printer().logicalDpiY() : 600;
  f.setPixelSize(std::max(1, qRound(points * dpi / 72.0)));
  return f;
}

const TextMetrics& QtPrinterPort::textMetrics() {
  textMetrics_.setFont(printerFont(editor_ ? editor_->textMetrics().font() : QFont()));
  altFont_ = printerFont(editor_ ? editor_->altFont() : QFont());
  return textMetrics_;
}

bool QtPrinterPort::startDocument() {
  printer().setDocName(QStringLiteral("Quillon"));
  painter_ = std::make_unique<QPainter>();
  if (painter_->begin(&printer())) return true;
  painter_.reset();
  return false;
}

bool QtPrinterPort::newPage() { return painter_ && printer().newPage(); }

void QtPrinterPort::drawText(const PrintRect& band, std::string_view text,
                             const platform::FontInfo& font, PrintAlign align) {
  const QRect rect(band.left, band.top, band.right - band.left, band.bottom - band.top);
  if (!painter_ || rect.width() <= 0 || rect.height() <= 0) return;
  int flags = Qt::TextWordWrap | Qt::AlignTop;
  switch (align) {
    case PrintAlign::Left: flags |= Qt::AlignLeft; break;
    case PrintAlign::Right: flags |= Qt::AlignRight; break;
    case PrintAlign::Center: flags |= Qt::AlignHCenter; break;
  }
  painter_->save();
  painter_->setClipRect(rect);
  painter_->setFont(printerFont(platform::toQFont(font)));
  // The window text colour of a dark desktop would vanish on white paper.
  painter_->setPen(font.color == platform::clWindowText ? QColor(Qt::black)
                                                        : platform::toQColor(font.color));
  // A header is usually a file name, which is the system's bytes rather than Windows-1252.
  painter_->drawText(rect, flags, platform::toDisplayString(text));
  painter_->restore();
}

void QtPrinterPort::paintLines(PrintLayout& layout, std::int64_t first, std::int64_t last,
                               PrintPoint origin, double lineHeight) {
  if (!painter_) return;
  paintBody(*painter_, layout, first, last, origin.x, origin.y, lineHeight, 0,
            printer().pageRect(QPrinter::DevicePixel).toRect().width());
}

void QtPrinterPort::paintBody(QPainter& painter, PrintLayout& layout, std::int64_t first,
                              std::int64_t last, int x, double top, double lineHeight, int clipLeft,
                              int clipRight) {
  if (last < first || !layout.laidOut()) return;
  CodeMemo& memo = layout.source();
  if (!layout.plainText())
    memo.prepareParagraphs(layout.line(first).paragraph, layout.line(last).paragraph);
  // Paper stays white: the editor's background is not printed, run backgrounds are.
  const QtLinePainter::Colors colors{Qt::black, Qt::white, memo.highlightColor(),
                                     memo.highlightBackgnd()};
  const QtLinePainter lines(textMetrics_, altFont_, layout.advance(), colors, !layout.plainText());
  for (std::int64_t n = first; n <= last; ++n) {
    const CodeMemo::LineSpan span = layout.line(n);
    QtLinePainter::Line line;
    line.paragraph = &memo.table().at(span.paragraph);
    line.start = span.start;
    line.stop = span.stop;
    line.x = x;
    line.top = top + static_cast<double>(n - first) * lineHeight;
    line.height = lineHeight;
    line.clipLeft = clipLeft;
    line.clipRight = clipRight;
    lines.paint(painter, line);
  }
}

bool QtPrinterPort::endDocument() {
  const bool ended = painter_ && painter_->end();
  painter_.reset();
  return ended;
}

std::unique_ptr<PrintPreview> QtPrinterPort::createPreview(CodeMemoPrinter& printer) {
  return std::make_unique<PrintPreviewWindow>(printer, *this, ui_, parent_);
}

bool QtPrinterPort::showProgress(std::int64_t page, std::int64_t pageCount) {
  if (page < 0) {
    progress_.reset();
    return true;
  }
  if (!progress_) {
    progress_ = std::make_unique<QProgressDialog>(parent_);
    progress_->setWindowModality(Qt::ApplicationModal);
    progress_->setMinimumDuration(500);
    progress_->setCancelButtonText(QStringLiteral("Cancel"));
    progress_->setAutoClose(false);
    progress_->setAutoReset(false);
    progress_->setRange(0, static_cast<int>(std::min<std::int64_t>(pageCount, INT_MAX)));
  }
  progress_->setLabelText(QStringLiteral("Printing page %1 of %2").arg(page + 1).arg(pageCount));
  // A modal progress window processes the events that let Cancel be pressed.
  progress_->setValue(static_cast<int>(std::min<std::int64_t>(page, INT_MAX)));
  return !progress_->wasCanceled();
}

}  // namespace quillon::editor

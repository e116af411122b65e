#pragma once
#include <QFont>
#include <QPrinter>
#include <memory>

#include "editor/printer_port.h"
#include "editor/qt_text_metrics.h"

class QPainter;
class QProgressDialog;
class QWidget;

namespace quillon::platform {
class Ui;
}

namespace quillon::editor {

class CodeMemoWidget;

// CodeMemoPrinter's way to paper: a high-resolution QPrinter on the desktop's default
// printer with its own margins at their minimum (the printer's margins are the only ones),
// the source editor's fonts sized in printer units, the preview window and the progress
// window. Fonts are pixel-sized for the printer so that the same painting shows to scale on
// paper and, scaled down, in the preview.
class QtPrinterPort final : public PrinterPort {
public:
  // The preview's messages go to `ui`.
  explicit QtPrinterPort(platform::Ui& ui, QWidget* parent = nullptr);
  ~QtPrinterPort() override;

  // The editor whose fonts are printed.
  void setEditor(const CodeMemoWidget* editor) { editor_ = editor; }
  // Made on first use: asking the print system for its default printer takes a while.
  QPrinter& printer();
  // After the printer's settings changed: its own margins back to their minimum.
  void useMinimumMargins();

  bool printerInstalled() override;
  void setOutputFile(const std::string& file) override;
  PrinterMetrics metrics() override;
  const TextMetrics& textMetrics() override;
  bool startDocument() override;
  bool newPage() override;
  void drawText(const PrintRect& band, std::string_view text, const platform::FontInfo& font,
                PrintAlign align) override;
  void paintLines(PrintLayout& layout, std::int64_t first, std::int64_t last, PrintPoint origin,
                  double lineHeight) override;
  bool endDocument() override;
  std::unique_ptr<PrintPreview> createPreview(CodeMemoPrinter& printer) override;
  bool showProgress(std::int64_t page, std::int64_t pageCount) override;

  // Body lines onto any painter set up in printer units with the printable area's top-left
  // at 0, 0; nothing is drawn left of clipLeft or right of clipRight.
  // The first line's top is at `top`, its left edge at `x`.
  void paintBody(QPainter& painter, PrintLayout& layout, std::int64_t first, std::int64_t last,
                 int x, double top, double lineHeight, int clipLeft, int clipRight);

private:
  QFont printerFont(const QFont& font);

  platform::Ui& ui_;
  QWidget* parent_;
  const CodeMemoWidget* editor_ = nullptr;
  std::unique_ptr<QPrinter> printer_;
  QtTextMetrics textMetrics_;
  QFont altFont_;
  std::unique_ptr<QPainter> painter_;
  std::unique_ptr<QProgressDialog> progress_;
};

}  // namespace quillon::editor

#pragma once
#include <QDialog>
#include <cstdint>

#include "editor/print_preview_geometry.h"
#include "editor/printer_port.h"

class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QToolButton;

namespace quillon::platform {
class Ui;
}

namespace quillon::editor {

class CodeMemoPrinter;
class QtPrinterPort;

// The preview of a CodeMemoPrinter's pages: one page at a time, scaled by the zoom list,
// with the four margin lines to drag while "&Margins" is down. It paints only the body lines
// of the current page (no header or footer) and only where the page needs repainting, so a
// text of thousands of pages opens and steps at once.
class PrintPreviewWindow final : public QDialog, public PrintPreview {
  Q_OBJECT

public:
  PrintPreviewWindow(CodeMemoPrinter& printer, QtPrinterPort& port, platform::Ui& ui,
                     QWidget* parent = nullptr);
  ~PrintPreviewWindow() override;

  void showModal() override { exec(); }
  std::int64_t currentPage() const { return page_; }
  void setZoom(PreviewZoom zoom);

protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  class PageCanvas;

  void layOut();
  void applyZoom(bool resetScroll);
  void showPage(std::int64_t page);
  void print();
  void printerSetup();
  void paintPage(QPainter& painter, const QRect& exposed);
  void marginsMoved(MarginLine line, int position);
  QRect imageRect() const;
  void pressed(const QPoint& at);
  void moved(const QPoint& at, bool buttonDown);
  void released(const QPoint& at);

  CodeMemoPrinter& printer_;
  QtPrinterPort& port_;
  platform::Ui& ui_;
  PreviewGeometry geometry_;
  std::int64_t page_ = 0;
  bool shown_ = false;
  // The margin line being dragged, where it is now and where it was picked up.
  MarginLine dragging_ = MarginLine::None;
  int dragPosition_ = 0;
  int dragStart_ = 0;

  QPushButton* printButton_ = nullptr;
  QPushButton* setupButton_ = nullptr;
  QPushButton* marginsButton_ = nullptr;
  QToolButton* nextButton_ = nullptr;
  QToolButton* previousButton_ = nullptr;
  QLabel* pageLabel_ = nullptr;
  QPushButton* closeButton_ = nullptr;
  QComboBox* zoomList_ = nullptr;
  QScrollArea* area_ = nullptr;
  PageCanvas* canvas_ = nullptr;
};

}  // namespace quillon::editor

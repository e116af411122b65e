#include "editor/print_preview_window.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>

#include "editor/code_memo_printer.h"
#include "editor/qt_printer_port.h"
#include "platform/ui.h"

namespace quillon::editor {

namespace {
const QColor kAreaColor(128, 128, 128);
}

// The grey area's contents: the white page image, the body lines and the margin lines.
class PrintPreviewWindow::PageCanvas final : public QWidget {
public:
  PageCanvas(PrintPreviewWindow& window, QWidget* parent) : QWidget(parent), window_(window) {
    setObjectName(QStringLiteral("previewPage"));
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
  }

protected:
  void paintEvent(QPaintEvent* event) override {
    QPainter painter(this);
    window_.paintPage(painter, event->rect());
  }
  void mousePressEvent(QMouseEvent* event) override {
    if (event->button() == Qt::LeftButton) window_.pressed(event->position().toPoint());
  }
  void mouseMoveEvent(QMouseEvent* event) override {
    window_.moved(event->position().toPoint(), event->buttons() & Qt::LeftButton);
  }
  void mouseReleaseEvent(QMouseEvent* event) override {
    if (event->button() == Qt::LeftButton) window_.released(event->position().toPoint());
  }

private:
  PrintPreviewWindow& window_;
};

PrintPreviewWindow::PrintPreviewWindow(CodeMemoPrinter& printer, QtPrinterPort& port,
                                       platform::Ui& ui, QWidget* parent)
    : QDialog(parent), printer_(printer), port_(port), ui_(ui) {
  setWindowTitle(QStringLiteral("FrmPrintPreview"));
  setModal(true);
  resize(699, 549);

  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  auto* tools = new QHBoxLayout;
  tools->setContentsMargins(4, 4, 4, 4);
  column->addLayout(tools);

  printButton_ = new QPushButton(QStringLiteral("&Print"), this);
  setupButton_ = new QPushButton(QStringLiteral("Printer &Setup..."), this);
  marginsButton_ = new QPushButton(QStringLiteral("&Margins"), this);
  marginsButton_->setCheckable(true);
  nextButton_ = new QToolButton(this);
  nextButton_->setArrowType(Qt::RightArrow);
  nextButton_->setToolTip(QStringLiteral("Next page"));
  previousButton_ = new QToolButton(this);
  previousButton_->setArrowType(Qt::LeftArrow);
  previousButton_->setToolTip(QStringLiteral("Previous page"));
  pageLabel_ = new QLabel(this);
  pageLabel_->setObjectName(QStringLiteral("pageLabel"));
  pageLabel_->setMinimumWidth(90);
  pageLabel_->setAlignment(Qt::AlignCenter);
  closeButton_ = new QPushButton(QStringLiteral("&Close"), this);
  zoomList_ = new QComboBox(this);
  for (const char* name : kPreviewZoomNames) zoomList_->addItem(QString::fromLatin1(name));
  zoomList_->setCurrentIndex(static_cast<int>(PreviewZoom::z100));
  for (QWidget* w :
       std::initializer_list<QWidget*>{printButton_, setupButton_, marginsButton_, nextButton_,
                                       previousButton_, pageLabel_, closeButton_, zoomList_}) {
    w->setFocusPolicy(w == zoomList_ ? Qt::StrongFocus : Qt::TabFocus);
    tools->addWidget(w);
  }
  tools->addStretch(1);
  printButton_->setAutoDefault(false);
  setupButton_->setAutoDefault(false);
  marginsButton_->setAutoDefault(false);
  closeButton_->setAutoDefault(false);

  area_ = new QScrollArea(this);
  area_->setObjectName(QStringLiteral("previewArea"));
  area_->setFrameShape(QFrame::NoFrame);
  area_->setBackgroundRole(QPalette::Dark);
  QPalette grey = area_->palette();
  grey.setColor(QPalette::Dark, kAreaColor);
  area_->setPalette(grey);
  canvas_ = new PageCanvas(*this, area_);
  area_->setWidget(canvas_);
  area_->viewport()->installEventFilter(this);
  column->addWidget(area_, 1);

  connect(printButton_, &QPushButton::clicked, this, [this] { print(); });
  connect(setupButton_, &QPushButton::clicked, this, [this] { printerSetup(); });
  connect(marginsButton_, &QPushButton::toggled, this, [this](bool down) {
    if (!down) {
      dragging_ = MarginLine::None;
      canvas_->unsetCursor();
    }
    canvas_->update();
  });
  connect(nextButton_, &QToolButton::clicked, this, [this] { showPage(page_ + 1); });
  connect(previousButton_, &QToolButton::clicked, this, [this] { showPage(page_ - 1); });
  connect(closeButton_, &QPushButton::clicked, this, &QDialog::reject);
  connect(zoomList_, &QComboBox::currentIndexChanged, this, [this] { applyZoom(true); });
}

PrintPreviewWindow::~PrintPreviewWindow() = default;

void PrintPreviewWindow::setZoom(PreviewZoom zoom) {
  zoomList_->setCurrentIndex(static_cast<int>(zoom));
}

void PrintPreviewWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (shown_) return;
  shown_ = true;
  if (const QScreen* screen =
          parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen()) {
    const QRect free = screen->availableGeometry();
    move(free.center() - QPoint(frameGeometry().width() / 2, frameGeometry().height() / 2));
  }
  layOut();
  zoomList_->setCurrentIndex(static_cast<int>(PreviewZoom::z100));
  applyZoom(true);
  showPage(0);
}

// Lays the text out unless it already is, and says so when the margins leave no room.
void PrintPreviewWindow::layOut() {
  const bool fresh = !printer_.laidOut();
  const bool room = printer_.layOut();
  geometry_.setPrinter(printer_.metrics());
  if (fresh && !room && printer_.memoToPrint())
    QTimer::singleShot(0, this, [this] { ui_.showMessage(CodeMemoPrinter::kNoRoom); });
}

void PrintPreviewWindow::applyZoom(bool resetScroll) {
  const auto zoom = static_cast<PreviewZoom>(std::max(0, zoomList_->currentIndex()));
  const QSize room = area_->viewport()->size();
  geometry_.zoom(zoom, room.width(), room.height(), logicalDpiY());
  canvas_->resize(std::max(room.width(), geometry_.left() + geometry_.width() + 10),
                  std::max(room.height(), geometry_.top() + geometry_.height() + 10));
  if (resetScroll) {
    area_->horizontalScrollBar()->setValue(0);
    area_->verticalScrollBar()->setValue(0);
  }
  canvas_->update();
}

void PrintPreviewWindow::showPage(std::int64_t page) {
  const std::int64_t count = printer_.pageCount();
  page_ = std::clamp<std::int64_t>(page, 0, count - 1);
  pageLabel_->setText(QStringLiteral("Page %1/%2").arg(page_ + 1).arg(count));
  nextButton_->setEnabled(page_ < count - 1);
  previousButton_->setEnabled(page_ > 0);
  canvas_->update();
}

void PrintPreviewWindow::print() {
  try {
    printer_.print();
  } catch (const std::exception& e) {
    // The preview stays open: Printer Setup may still find somewhere to print to.
    ui_.showMessage(e.what());
    return;
  }
  accept();
}

void PrintPreviewWindow::printerSetup() {
  const PrinterMetrics before = port_.metrics();
  QPrintDialog dialog(&port_.printer(), this);
  // It only chooses the printer here; printing is the preview's own button.
  if (auto* buttons = dialog.findChild<QDialogButtonBox*>())
    if (QPushButton* ok = buttons->button(QDialogButtonBox::Ok)) ok->setText(QStringLiteral("OK"));
  if (dialog.exec() != QDialog::Accepted) return;
  port_.useMinimumMargins();
  if (port_.metrics() == before) return;
  printer_.printerChanged();
  layOut();
  applyZoom(true);
  showPage(page_);
}

QRect PrintPreviewWindow::imageRect() const {
  return {geometry_.left(), geometry_.top(), geometry_.width(), geometry_.height()};
}

void PrintPreviewWindow::paintPage(QPainter& painter, const QRect& exposed) {
  painter.fillRect(exposed, kAreaColor);
  const QRect image = imageRect();
  const QRect visible = exposed & image;
  if (visible.isEmpty()) return;
  painter.fillRect(visible, Qt::white);

  if (printer_.hasRoom()) {
    const PrinterMetrics& m = geometry_.printer();
    const PageFormat format = printer_.format();
    const auto [first, last] = format.pageLines(page_, printer_.lineCount());
    const QRect local = visible.translated(-image.topLeft());
    const auto [from, to] = geometry_.linesIn(local.top(), local.bottom(), format, first, last);
    if (to >= from) {
      const double sx = geometry_.scaleX();
      const double sy = geometry_.scaleY();
      painter.save();
      // Nothing outside the printable area, nothing outside what needs repainting.
      const QRectF printable(image.left() + m.physicalOffsetX * sx,
                             image.top() + m.physicalOffsetY * sy, m.horzRes * sx, m.vertRes * sy);
      painter.setClipRect(printable & QRectF(visible));
      painter.translate(image.topLeft());
      painter.scale(sx, sy);
      painter.translate(m.physicalOffsetX, m.physicalOffsetY);
      const int clipLeft = static_cast<int>(std::floor(local.left() / sx)) - m.physicalOffsetX - 1;
      const int clipRight =
          static_cast<int>(std::ceil((local.right() + 1) / sx)) - m.physicalOffsetX + 1;
      const double lh = format.exactLineHeight();
      port_.paintBody(painter, *printer_.layout(), from, to, format.textOrigin().x,
                      format.textOrigin().y + static_cast<double>(from - first) * lh, lh, clipLeft,
                      clipRight);
      painter.restore();
    }
  }

  if (marginsButton_->isChecked()) {
    // Drawn inverted, so they show on text and paper alike.
    painter.setCompositionMode(QPainter::CompositionMode_Difference);
    painter.setPen(QPen(Qt::white, 0));
    const PageSettings& settings = printer_.pageSettings();
    for (MarginLine line :
         {MarginLine::Left, MarginLine::Right, MarginLine::Top, MarginLine::Bottom}) {
      const int at = line == dragging_ ? dragPosition_ : geometry_.marginPosition(line, settings);
      if (line == MarginLine::Left || line == MarginLine::Right)
        painter.drawLine(image.left() + at, image.top(), image.left() + at, image.bottom());
      else
        painter.drawLine(image.left(), image.top() + at, image.right(), image.top() + at);
    }
  }
}

void PrintPreviewWindow::pressed(const QPoint& at) {
  if (!marginsButton_->isChecked()) return;
  const QPoint p = at - imageRect().topLeft();
  const MarginLine line = geometry_.hit(p.x(), p.y(), printer_.pageSettings());
  if (line == MarginLine::None) return;
  dragging_ = line;
  dragStart_ = dragPosition_ = geometry_.marginPosition(line, printer_.pageSettings());
}

void PrintPreviewWindow::moved(const QPoint& at, bool buttonDown) {
  if (!marginsButton_->isChecked()) return;
  const QPoint p = at - imageRect().topLeft();
  const PageSettings& settings = printer_.pageSettings();
  if (dragging_ != MarginLine::None && buttonDown) {
    const bool across = dragging_ == MarginLine::Left || dragging_ == MarginLine::Right;
    dragPosition_ = geometry_.dragPosition(dragging_, across ? p.x() : p.y(), settings);
    canvas_->update();
    return;
  }
  switch (geometry_.hit(p.x(), p.y(), settings)) {
    case MarginLine::Left:
    case MarginLine::Right: canvas_->setCursor(Qt::SizeHorCursor); break;
    case MarginLine::Top:
    case MarginLine::Bottom: canvas_->setCursor(Qt::SizeVerCursor); break;
    case MarginLine::None: canvas_->unsetCursor(); break;
  }
}

void PrintPreviewWindow::released(const QPoint& at) {
  if (dragging_ == MarginLine::None) return;
  const MarginLine line = dragging_;
  dragging_ = MarginLine::None;
  const QPoint p = at - imageRect().topLeft();
  const PageSettings& settings = printer_.pageSettings();
  const bool across = line == MarginLine::Left || line == MarginLine::Right;
  const int position = geometry_.releasePosition(
      line, geometry_.dragPosition(line, across ? p.x() : p.y(), settings), settings);
  if (position == dragStart_) {
    canvas_->update();
    return;
  }
  marginsMoved(line, position);
}

void PrintPreviewWindow::marginsMoved(MarginLine line, int position) {
  const float inches = geometry_.marginAt(line, position);
  switch (line) {
    case MarginLine::Left: printer_.setMarginLeft(inches); break;
    case MarginLine::Right: printer_.setMarginRight(inches); break;
    case MarginLine::Top: printer_.setMarginTop(inches); break;
    case MarginLine::Bottom: printer_.setMarginBottom(inches); break;
    case MarginLine::None: return;
  }
  layOut();
  showPage(page_);
}

bool PrintPreviewWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == area_->viewport() && event->type() == QEvent::Resize && shown_) {
    layOut();
    applyZoom(false);
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace quillon::editor

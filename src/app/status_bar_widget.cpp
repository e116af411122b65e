#include "app/status_bar_widget.h"

#include <QMouseEvent>
#include <QPainter>
#include <QSizeGrip>
#include <QStyle>
#include <QStyleOptionFrame>

#include "platform/qt_conversions.h"

namespace quillon::app {

namespace {
constexpr std::array<int, 4> kWidths = {90, 35, 35, 35};
constexpr int kGap = 2;
}  // namespace

StatusBarWidget::StatusBarWidget(QWidget* parent) : QWidget(parent) {
  setFixedHeight(kHeight);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  auto* grip = new QSizeGrip(this);
  grip->setFixedSize(kHeight - 2, kHeight - 2);
  grip->setObjectName("statusGrip");
}

QSize StatusBarWidget::sizeHint() const { return {300, kHeight}; }

QRect StatusBarWidget::panelRect(int panel) const {
  int x = 0;
  for (int i = 0; i < panel && i < 4; ++i) x += kWidths[static_cast<std::size_t>(i)];
  const int width = panel < 4 ? kWidths[static_cast<std::size_t>(panel)]
                              : std::max(50, this->width() - x - kHeight);
  return {x, kGap, width - kGap, height() - kGap};
}

void StatusBarWidget::setText(int panel, std::string_view text) {
  if (panel < 0 || panel >= kPanelCount) return;
  auto& slot = texts_[static_cast<std::size_t>(panel)];
  if (slot == text) return;
  slot = std::string(text);
  update(panelRect(panel));
}

std::string StatusBarWidget::text(int panel) const {
  return panel >= 0 && panel < kPanelCount ? texts_[static_cast<std::size_t>(panel)]
                                           : std::string();
}

void StatusBarWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().color(QPalette::Window));
  for (int i = 0; i < kPanelCount; ++i) {
    const QRect r = panelRect(i);
    QStyleOptionFrame frame;
    frame.initFrom(this);
    frame.rect = r;
    frame.lineWidth = 1;
    frame.state |= QStyle::State_Sunken;
    frame.frameShape = QFrame::Panel;
    style()->drawPrimitive(QStyle::PE_Frame, &frame, &painter, this);
    painter.setPen(palette().color(QPalette::WindowText));
    // The four state panels are centred; the message line reads from the left.
    const Qt::Alignment align = i < 4 ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter;
    painter.drawText(r.adjusted(2, 0, -2, 0), align | Qt::TextSingleLine,
                     platform::toDisplayString(texts_[static_cast<std::size_t>(i)]));
  }
}

void StatusBarWidget::resizeEvent(QResizeEvent* event) {
  if (auto* grip = findChild<QSizeGrip*>())
    grip->move(width() - grip->width(), height() - grip->height());
  QWidget::resizeEvent(event);
}

void StatusBarWidget::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
    emit clicked(event->position().toPoint().x());
  QWidget::mouseReleaseEvent(event);
}

}  // namespace quillon::app

#include "language/color_combo_widget.h"

#include <QColorDialog>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

#include "platform/qt_conversions.h"
#include "settings/setting_codec.h"

namespace quillon::language {

using platform::clInfoBk;
using platform::Color;
using platform::fromQColor;
using platform::systemColor;
using platform::toQColor;
using platform::toQString;

namespace {

QIcon swatch(const QColor& color) {
  QPixmap pixmap(16, 12);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setPen(Qt::black);
  painter.setBrush(color);
  painter.drawRect(0, 0, 15, 11);
  return QIcon(pixmap);
}

}  // namespace

ColorComboWidget::ColorComboWidget(QWidget* parent) : QComboBox(parent) {
  filling_ = true;
  addColor("Default", clInfoBk);
  const Color standard[] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000,
                            0x808080, 0xC0C0C0, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF,
                            0xFFFF00, 0xFFFFFF, 0xC0DCC0, 0xF0CAA6, 0xF0FBFF, 0xA4A0A0};
  for (Color c : standard)
    addColor(toQString(settings::colorName(c).value_or(settings::encodeColor(c))), c);
  for (Color c : {clInfoBk, systemColor(5), systemColor(15)})
    addColor(toQString(settings::encodeColor(c)), c);
  customIndex_ = count();
  addItem("Custom...");
  filling_ = false;
  setColor(clInfoBk);
  connect(this, &QComboBox::activated, this, &ColorComboWidget::pick);
}

void ColorComboWidget::addColor(const QString& name, Color color) {
  addItem(swatch(toQColor(color)), name, QVariant::fromValue<qint32>(color));
}

void ColorComboWidget::setColor(Color color) {
  color_ = color;
  const int index = findData(QVariant::fromValue<qint32>(color));
  if (index >= 0) {
    setCurrentIndex(index);
  } else {
    filling_ = true;
    insertItem(customIndex_, swatch(toQColor(color)), toQString(settings::encodeColor(color)),
               QVariant::fromValue<qint32>(color));
    ++customIndex_;
    setCurrentIndex(customIndex_ - 1);
    filling_ = false;
  }
}

void ColorComboWidget::pick(int index) {
  if (filling_) return;
  if (index == customIndex_) return pickFromDialog();
  color_ = static_cast<Color>(itemData(index).value<qint32>());
  emit colorChosen(color_);
}

void ColorComboWidget::pickFromDialog() {
  const QColor chosen = QColorDialog::getColor(toQColor(color_), this);
  if (!chosen.isValid()) {
    setColor(color_);
    return;
  }
  setColor(fromQColor(chosen));
  emit colorChosen(color_);
}

void ColorComboWidget::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton) {
    pickFromDialog();
    return;
  }
  QComboBox::mousePressEvent(event);
}

}  // namespace quillon::language

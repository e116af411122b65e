#pragma once
#include <QComboBox>

#include "platform/color.h"

namespace quillon::language {

// The background colour chooser of the toolbar: default, standard and system colours and a
// custom entry that opens the colour dialog; a right click opens the colour dialog at once.
class ColorComboWidget : public QComboBox {
  Q_OBJECT

public:
  explicit ColorComboWidget(QWidget* parent = nullptr);
  void setColor(platform::Color color);
  platform::Color color() const { return color_; }

signals:
  void colorChosen(quillon::platform::Color color);

protected:
  void mousePressEvent(QMouseEvent* event) override;

private:
  void addColor(const QString& name, platform::Color color);
  void pick(int index);
  void pickFromDialog();

  platform::Color color_ = platform::clInfoBk;
  int customIndex_ = -1;
  bool filling_ = false;
};

}  // namespace quillon::language

#pragma once
#include <QWidget>
#include <array>
#include <string>
#include <string_view>

namespace quillon::app {

// The window's status bar: five sunken panels, 90, 35, 35 and 35 pixels wide with their texts
// centred, and the message line taking the rest, its text from the left. Clicks report their x
// position so that the core decides what a click on which panel means.
class StatusBarWidget : public QWidget {
  Q_OBJECT

public:
  static constexpr int kPanelCount = 5;
  static constexpr int kHeight = 19;

  explicit StatusBarWidget(QWidget* parent = nullptr);

  // Texts are Windows-1252 bytes, as the core keeps them.
  void setText(int panel, std::string_view text);
  std::string text(int panel) const;
  QRect panelRect(int panel) const;
  QSize sizeHint() const override;

signals:
  void clicked(int x);

protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

private:
  std::array<std::string, kPanelCount> texts_;
};

}  // namespace quillon::app

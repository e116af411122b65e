#pragma once
#include <QWidget>
#include <functional>

#include "tools/char_map.h"

class QAction;
class QComboBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QMenu;

namespace quillon::settings {
class WindowPlacements;
}

namespace quillon::tools {

class CharGrid;

// "Character Map": the grid of the 256 codes in a chosen font, the code line and name of the
// current cell, and the pop-up menu that copies or inserts it. CharMap decides; this draws.
class CharMapWindow : public QWidget {
  Q_OBJECT

public:
  using Runner = std::function<void(const std::function<void()>&)>;

  CharMapWindow(CharMap& core, settings::WindowPlacements& placements, Runner run,
                QWidget* parent = nullptr);

  // Shows the window, placed as stored the first time.
  void showMap();
  void closeMap();

  CharGrid* grid() const { return grid_; }
  QString codeLine() const;
  QString characterName() const;
  QString collected() const;
  QMenu* popupMenu() const { return menu_; }
  QComboBox* fontList() const { return fonts_; }

protected:
  void closeEvent(QCloseEvent* event) override;
  bool event(QEvent* event) override;

private:
  // The map's own action for the key (Ctrl+C, Ctrl+I, Ctrl+X), or null.
  QAction* ownShortcut(const QKeyEvent& key) const;
  void cellChosen();
  void act(const std::function<void()>& what) { run_(what); }

  CharMap& core_;
  settings::WindowPlacements& placements_;
  Runner run_;
  bool placed_ = false;
  QComboBox* fonts_ = nullptr;
  QLineEdit* copied_ = nullptr;
  QLabel* code_ = nullptr;
  QLabel* name_ = nullptr;
  CharGrid* grid_ = nullptr;
  QMenu* menu_ = nullptr;
};

// The 16 x 16 cells. Pointing or the arrow keys choose a cell; holding the left button hides
// the pointer and shows the cell enlarged.
class CharGrid : public QWidget {
  Q_OBJECT

public:
  static constexpr int kCell = 16;
  static constexpr int kStep = kCell + 1;  // a cell and its grid line

  CharGrid(CharMap& core, QWidget* parent);
  void setCharFont(const QString& family);
  QSize sizeHint() const override {
    return {CharMap::kColumns * kStep + 1, CharMap::kColumns * kStep + 1};
  }
  // The cell under a point of the grid, for tests and the mouse alike.
  void pointAt(const QPoint& p);
  bool boxShown() const;

signals:
  void cellChanged();

protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

private:
  void choose(int column, int row);
  void placeBox();

  CharMap& core_;
  int column_ = 0;
  int row_ = 0;
  QLabel* box_ = nullptr;
};

}  // namespace quillon::tools

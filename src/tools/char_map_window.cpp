#include "tools/char_map_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/qt_conversions.h"
#include "platform/qt_window_placement.h"
#include "platform/windows1252.h"
#include "settings/window_placements.h"

namespace quillon::tools {

namespace {

constexpr int kClientWidth = 285;
constexpr int kClientHeight = 373;
constexpr const char* kStartFont = "MS Sans Serif";

QString cellText(int code) {
  return CharMap::printable(code)
             ? QString(QChar(platform::windows1252ToUnicode(static_cast<unsigned char>(code))))
             : QString();
}

}  // namespace

// ----- Grid -----

CharGrid::CharGrid(CharMap& core, QWidget* parent) : QWidget(parent), core_(core) {
  setObjectName("Grid1");
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  setFixedSize(sizeHint());
  box_ = new QLabel(this);
  box_->setObjectName("Char");
  box_->setAlignment(Qt::AlignCenter);
  box_->setAutoFillBackground(true);
  QPalette p = box_->palette();
  p.setColor(QPalette::Window, palette().color(QPalette::ToolTipBase));
  p.setColor(QPalette::WindowText, palette().color(QPalette::ToolTipText));
  box_->setPalette(p);
  box_->setFrameShape(QFrame::Box);
  box_->hide();
}

void CharGrid::setCharFont(const QString& family) {
  QFont font(family, 9);
  setFont(font);
  font.setPointSize(16);
  box_->setFont(font);
  update();
}

bool CharGrid::boxShown() const { return box_->isVisible(); }

void CharGrid::choose(int column, int row) {
  column_ = std::clamp(column, 0, CharMap::kColumns - 1);
  row_ = std::clamp(row, 0, CharMap::kColumns - 1);
  core_.select(column_, row_);
  placeBox();
  update();
  emit cellChanged();
}

void CharGrid::placeBox() {
  const CharMap::Box b = core_.box(kCell, kCell, width(), height());
  box_->setGeometry(b.left, b.top, b.width, CharMap::kBoxHeight);
  box_->setText(platform::toQString(b.caption));
}

void CharGrid::pointAt(const QPoint& p) {
  const int column = p.x() / kStep, row = p.y() / kStep;
  if (column != column_ || row != row_ || core_.code() != column + row * CharMap::kColumns)
    choose(column, row);
}

void CharGrid::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().color(QPalette::Base));
  painter.setPen(palette().color(QPalette::Mid));
  for (int i = 0; i <= CharMap::kColumns; ++i) {
    painter.drawLine(i * kStep, 0, i * kStep, height());
    painter.drawLine(0, i * kStep, width(), i * kStep);
  }
  for (int code = 0; code < 256; ++code) {
    const int column = code % CharMap::kColumns, row = code / CharMap::kColumns;
    const QRect cell(column * kStep + 1, row * kStep + 1, kCell, kCell);
    const bool current = column == column_ && row == row_;
    if (current) painter.fillRect(cell, palette().color(QPalette::Highlight));
    painter.setPen(palette().color(current ? QPalette::HighlightedText : QPalette::Text));
    painter.drawText(cell, Qt::AlignCenter, cellText(code));
  }
}

void CharGrid::mouseMoveEvent(QMouseEvent* event) { pointAt(event->position().toPoint()); }

void CharGrid::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  pointAt(event->position().toPoint());
  setCursor(Qt::BlankCursor);
  placeBox();
  box_->show();
  box_->raise();
}

void CharGrid::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  box_->hide();
  unsetCursor();
}

void CharGrid::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Left: choose(column_ - 1, row_); break;
    case Qt::Key_Right: choose(column_ + 1, row_); break;
    case Qt::Key_Up: choose(column_, row_ - 1); break;
    case Qt::Key_Down: choose(column_, row_ + 1); break;
    default: QWidget::keyPressEvent(event);
  }
}

// ----- Window -----

CharMapWindow::CharMapWindow(CharMap& core, settings::WindowPlacements& placements, Runner run,
                             QWidget* parent)
    : QWidget(parent,
              Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      core_(core),
      placements_(placements),
      run_(std::move(run)) {
  setObjectName("fCharMap");
  setWindowTitle("Character Map");

  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(6, 6, 6, 6);
  column->setSpacing(4);

  fonts_ = new QComboBox(this);
  fonts_->setObjectName("Font1");
  fonts_->setToolTip("Choose a Font");
  QStringList families = QFontDatabase::families();
  families.removeAll(kStartFont);
  families.prepend(kStartFont);
  fonts_->addItems(families);
  column->addWidget(fonts_);

  auto* hint = new QLabel("Right Click Grid for Menu\nLeft Click to Expand", this);
  hint->setStyleSheet("color: blue");
  column->addWidget(hint);

  auto* clipRow = new QHBoxLayout;
  clipRow->addWidget(new QLabel("ClipBoard", this));
  copied_ = new QLineEdit(this);
  copied_->setObjectName("eCopy");
  copied_->setReadOnly(true);
  copied_->setToolTip("Chars Copied");
  clipRow->addWidget(copied_, 1);
  column->addLayout(clipRow);

  code_ = new QLabel(this);
  code_->setObjectName("pCode");
  QFont courier("Courier New", 12);
  courier.setStyleHint(QFont::TypeWriter);
  code_->setFont(courier);
  code_->setTextFormat(Qt::PlainText);
  column->addWidget(code_);
  name_ = new QLabel(this);
  name_->setObjectName("charName");
  column->addWidget(name_);

  grid_ = new CharGrid(core_, this);
  column->addWidget(grid_, 0, Qt::AlignHCenter);

  auto* exit = new QPushButton("Exit", this);
  exit->setObjectName("bExit");
  exit->setToolTip("Close Window");
  column->addWidget(exit, 0, Qt::AlignRight);
  connect(exit, &QPushButton::clicked, this, [this] { closeMap(); });

  menu_ = new QMenu(this);
  menu_->setObjectName("Pop1");
  auto add = [this](const QString& caption, const QKeySequence& key, std::function<void()> what) {
    QAction* a = menu_->addAction(caption);
    if (!key.isEmpty()) {
      a->setShortcut(key);
      // Live only while the map is the active window; the main window keeps its own keys.
      a->setShortcutContext(Qt::WindowShortcut);
      addAction(a);
    }
    connect(a, &QAction::triggered, this, [this, what] { act(what); });
  };
  add("Copy", {}, [this] { core_.copy(); });
  add("Copy && Close", QKeySequence("Ctrl+C"), [this] {
    core_.copy();
    closeMap();
  });
  add("Insert", {}, [this] { core_.insert(); });
  add("Insert && Close", QKeySequence("Ctrl+I"), [this] {
    core_.insert();
    closeMap();
  });
  add("Clear Copy", {}, [this] { core_.clearCopy(); });
  add("E&xit", QKeySequence("Ctrl+X"), [this] { closeMap(); });
  grid_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(grid_, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { menu_->popup(grid_->mapToGlobal(at)); });
  for (QAction* a : menu_->actions())
    connect(a, &QAction::triggered, this,
            [this] { copied_->setText(platform::toQString(core_.collected())); });

  connect(fonts_, &QComboBox::currentTextChanged, grid_, &CharGrid::setCharFont);
  connect(grid_, &CharGrid::cellChanged, this, &CharMapWindow::cellChosen);
  grid_->setCharFont(kStartFont);
  cellChosen();
  code_->setText(QString::fromLatin1(CharMap::kStartCodeLine.data(),
                                     static_cast<int>(CharMap::kStartCodeLine.size()))
                     .replace("&&", "&"));

  // One line more than the original for the character's name.
  const QSize hint2 = minimumSizeHint();
  setFixedSize(std::max(kClientWidth, hint2.width()),
               std::max(kClientHeight + name_->sizeHint().height(), hint2.height()));
}

void CharMapWindow::cellChosen() {
  code_->setText(platform::toQString(core_.codeLine()).replace("&&", "&"));
  const QString name = platform::toQString(core_.name());
  name_->setToolTip(name);
  name_->setText(name_->fontMetrics().elidedText(name, Qt::ElideRight, std::max(40, width() - 12)));
}

// The main window's Ctrl+C, Ctrl+I and Ctrl+X also match while its tool window is active,
// which would make the keys ambiguous and do nothing; the map claims its own.
QAction* CharMapWindow::ownShortcut(const QKeyEvent& key) const {
  const QKeySequence pressed(key.keyCombination());
  for (QAction* a : actions())
    if (a->shortcut() == pressed) return a;
  return nullptr;
}

bool CharMapWindow::event(QEvent* event) {
  if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress)
    if (QAction* own = ownShortcut(*static_cast<QKeyEvent*>(event))) {
      event->accept();
      if (event->type() == QEvent::KeyPress) own->trigger();
      return true;
    }
  return QWidget::event(event);
}

QString CharMapWindow::codeLine() const { return code_->text(); }
QString CharMapWindow::characterName() const { return name_->toolTip(); }
QString CharMapWindow::collected() const { return copied_->text(); }

void CharMapWindow::showMap() {
  if (!placed_) {
    placed_ = true;
    const auto stored = placements_.stored(settings::PlacedWindow::CharMap);
    // Asked at the close query from now on, whether open or hidden then.
    placements_.shown(settings::PlacedWindow::CharMap,
                      [this] { return platform::placementOf(*this); });
    if (stored)
      platform::applyPlacement(*this, *stored);
    else
      platform::placeBeside(*this);
  }
  show();
  raise();
  activateWindow();
  grid_->setFocus();
}

void CharMapWindow::closeMap() {
  core_.close();
  copied_->clear();
  hide();
}

void CharMapWindow::closeEvent(QCloseEvent* event) {
  event->ignore();
  closeMap();
}

}  // namespace quillon::tools

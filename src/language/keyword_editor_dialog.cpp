#include "language/keyword_editor_dialog.h"

#include <QAbstractTableModel>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include "platform/qt_conversions.h"
#include "platform/ui.h"

namespace quillon::language {

using Mode = KeywordEditorModel::Mode;
using Swatch = KeywordEditorModel::Swatch;

// The grid's view of the rows. Rows change only through the editor model; this tells the
// view what changed.
class KeywordRowsModel : public QAbstractTableModel {
public:
  explicit KeywordRowsModel(KeywordEditorModel& rows, QObject* parent)
      : QAbstractTableModel(parent), rows_(rows) {}

  int rowCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : rows_.rowCount();
  }
  int columnCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : rows_.mode() == Mode::startStop ? 2 : 1;
  }
  QVariant data(const QModelIndex& index, int role) const override {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
    const KeywordEditorModel::Row& r = rows_.row(index.row());
    return platform::toQString(index.column() == 0 ? r.text : r.stop);
  }
  Qt::ItemFlags flags(const QModelIndex& index) const override {
    return QAbstractTableModel::flags(index) | Qt::ItemIsEditable;
  }
  bool setData(const QModelIndex& index, const QVariant& value, int role) override {
    if (!index.isValid() || role != Qt::EditRole) return false;
    const std::string text = platform::fromQString(value.toString());
    const KeywordEditorModel::Row& r = rows_.row(index.row());
    if ((index.column() == 0 ? r.text : r.stop) == text) return true;
    const int count = rows_.rowCount();
    const bool grows = index.row() == count - 1;
    if (grows) beginInsertRows({}, count, count);
    rows_.setText(index.row(), index.column(), text);
    if (grows) endInsertRows();
    emit dataChanged(index, index);
    return true;
  }
  void rowsChanged(int first, int last) {
    emit dataChanged(index(first, 0), index(last, columnCount() - 1));
  }
  void removeCurrent() {
    const int row = rows_.current();
    if (row > rows_.lastEntry()) return;
    beginRemoveRows({}, row, row);
    rows_.removeCurrent();
    endRemoveRows();
  }

private:
  KeywordEditorModel& rows_;
};

namespace {

constexpr std::uint8_t kCrossBit = editor::KeywordOption::noCrossParagraphs;

QColor swatchColor(std::int32_t value) { return platform::toQColor(value); }

void paintSwatch(QFrame* swatch, bool shown, std::int32_t color) {
  swatch->setVisible(shown);
  if (!shown) return;
  QPalette p = swatch->palette();
  p.setColor(QPalette::Window, swatchColor(color));
  swatch->setPalette(p);
}

}  // namespace

Qt::CursorShape cursorShape(std::int16_t pointer) {
  switch (pointer) {
    case -3: return Qt::CrossCursor;
    case -4: return Qt::IBeamCursor;
    case -6: return Qt::SizeBDiagCursor;
    case -7: return Qt::SizeVerCursor;
    case -8: return Qt::SizeFDiagCursor;
    case -9: return Qt::SizeHorCursor;
    case -10: return Qt::UpArrowCursor;
    case -11: return Qt::WaitCursor;
    case -12: return Qt::DragCopyCursor;
    case -13:
    case -18: return Qt::ForbiddenCursor;
    case -14: return Qt::SplitHCursor;
    case -15: return Qt::SplitVCursor;
    case -16: return Qt::DragMoveCursor;
    case -17:
    case -19: return Qt::BusyCursor;
    case -20: return Qt::WhatsThisCursor;
    case -21: return Qt::PointingHandCursor;
    case -22: return Qt::SizeAllCursor;
    default: return Qt::ArrowCursor;
  }
}

KeywordEditorDialog::KeywordEditorDialog(KeywordEditorModel& model, platform::Ui& ui,
                                         ColorPicker colorPicker, QWidget* parent)
    : QDialog(parent),
      model_(model),
      rows_(new KeywordRowsModel(model, this)),
      ui_(ui),
      pickColor_(colorPicker ? std::move(colorPicker) : [](QWidget* owner, const QColor& initial) {
        return QColorDialog::getColor(initial, owner);
      }) {
  const bool startStop = model.mode() == Mode::startStop;
  setObjectName("DlgKeysEditor");
  setWindowTitle(startStop ? "Start-Stop keys Editor" : "Keywords editor");

  // The grid and its hint.
  auto* gridGroup =
      new QGroupBox(startStop ? "   Start key                    Stop key" : "Keywords", this);
  grid_ = new QTableView(gridGroup);
  grid_->setObjectName("StrGKeys");
  grid_->setModel(rows_);
  grid_->horizontalHeader()->hide();
  grid_->verticalHeader()->hide();
  grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 6);
  grid_->setSelectionMode(QAbstractItemView::SingleSelection);
  grid_->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::DoubleClicked);
  grid_->setColumnWidth(0, startStop ? 130 : 333);
  if (startStop) grid_->setColumnWidth(1, 130);
  grid_->setMinimumWidth((startStop ? 260 : 333) + grid_->verticalScrollBar()->sizeHint().width() +
                         4);
  grid_->installEventFilter(this);
  hint_ = new QLabel("Press Enter or F2 to edit", gridGroup);
  hint_->setObjectName("hint");
  hint_->setAutoFillBackground(true);
  QPalette yellow = hint_->palette();
  yellow.setColor(QPalette::Window, Qt::yellow);
  yellow.setColor(QPalette::WindowText, Qt::black);
  hint_->setPalette(yellow);
  hint_->setVisible(false);
  auto* gridColumn = new QVBoxLayout(gridGroup);
  gridColumn->addWidget(grid_, 1);
  gridColumn->addWidget(hint_);

  // The selected row's options.
  auto* optionGroup = new QGroupBox(
      startStop ? "Options for selected start-stop key" : "Options for selected  KeyWord", this);
  const char* captions[] = {" &Match case", " &Whole words only", "&Cross paragraphs",
                            " &Bold",       " &Italic",           " &Underline",
                            " &Strike out", " &Highlight",        " &Alternate font"};
  auto* optionColumn = new QVBoxLayout(optionGroup);
  for (std::size_t i = 0; i < options_.size(); ++i) {
    options_[i] = new QCheckBox(captions[i], optionGroup);
    optionColumn->addWidget(options_[i]);
    connect(options_[i], &QCheckBox::toggled, this, [this] { optionToggled(); });
  }
  options_[2]->setVisible(startStop);
  auto* numberLabel = new QLabel("Context &number: ", optionGroup);
  contextNumber_ = new QLineEdit(optionGroup);
  contextNumber_->setObjectName("contextNumber");
  numberLabel->setBuddy(contextNumber_);
  auto* numberRow = new QHBoxLayout;
  numberRow->addWidget(numberLabel);
  numberRow->addWidget(contextNumber_);
  optionColumn->addLayout(numberRow);

  auto* colors = new QGridLayout;
  auto* foreButton = new QPushButton("&Foreground...", optionGroup);
  foreButton->setObjectName("foreground");
  auto* backButton = new QPushButton("Back&ground...", optionGroup);
  backButton->setObjectName("background");
  foreSwatch_ = new QFrame(optionGroup);
  backSwatch_ = new QFrame(optionGroup);
  for (QFrame* s : {foreSwatch_, backSwatch_}) {
    s->setFixedSize(20, 20);
    s->setFrameStyle(QFrame::Box);
    s->setAutoFillBackground(true);
  }
  foreSwatch_->setObjectName("foreSwatch");
  backSwatch_->setObjectName("backSwatch");
  auto* resetButton = new QPushButton("&Reset to default", optionGroup);
  resetButton->setObjectName("resetColors");
  colors->addWidget(foreButton, 0, 0);
  colors->addWidget(foreSwatch_, 0, 1);
  colors->addWidget(backButton, 1, 0);
  colors->addWidget(backSwatch_, 1, 1);
  colors->addWidget(resetButton, 2, 0);
  optionColumn->addLayout(colors);

  pointerLabel_ = new QLabel("Mouse &pointer", optionGroup);
  pointerLabel_->setObjectName("pointerLabel");
  pointers_ = new QComboBox(optionGroup);
  pointers_->setObjectName("pointers");
  for (const auto& p : KeywordEditorModel::kPointers)
    pointers_->addItem(QStringLiteral("%1 %2").arg(QString::fromLatin1(p.name)).arg(p.number));
  pointerLabel_->setBuddy(pointers_);
  optionColumn->addWidget(pointerLabel_);
  optionColumn->addWidget(pointers_);
  optionColumn->addStretch();

  // Item number, delete, moves, sorts, find.
  itemNumber_ = new QLabel(this);
  itemNumber_->setObjectName("itemNumber");
  auto* itemRow = new QHBoxLayout;
  itemRow->addWidget(new QLabel("Item #:", this));
  itemRow->addWidget(itemNumber_, 1);
  auto* remove = new QPushButton("Delete", this);
  remove->setObjectName("delete");
  remove->setToolTip("Remove selection");
  itemRow->addWidget(remove);

  auto* moveGroup = new QGroupBox("Move Selection", this);
  auto* moveRow = new QHBoxLayout(moveGroup);
  auto* up = new QPushButton(QString::fromUtf8("\u25B2"), moveGroup);
  up->setObjectName("moveUp");
  up->setToolTip("Move selection up");
  auto* down = new QPushButton(QString::fromUtf8("\u25BC"), moveGroup);
  down->setObjectName("moveDown");
  down->setToolTip("Move selection down");
  moveRow->addWidget(up);
  moveRow->addWidget(down);
  auto* sortGroup = new QGroupBox("Sort Selection", this);
  auto* sortRow = new QHBoxLayout(sortGroup);
  auto* topDown = new QPushButton("Sort A-Z From Top Down", sortGroup);
  topDown->setObjectName("sortTopDown");
  auto* bottomUp = new QPushButton("Sort A-Z From Bottom Up", sortGroup);
  bottomUp->setObjectName("sortBottomUp");
  sortRow->addWidget(topDown);
  sortRow->addWidget(bottomUp);
  auto* arrange = new QHBoxLayout;
  arrange->addWidget(moveGroup);
  arrange->addWidget(sortGroup, 1);

  findText_ = new QLineEdit(this);
  findText_->setObjectName("findText");
  findText_->setToolTip("Key to find");
  findText_->installEventFilter(this);
  auto* findButton = new QPushButton("Find", this);
  findButton->setObjectName("find");
  findButton->setToolTip("Find Now");
  findButton->setAutoDefault(false);
  wholeWord_ = new QCheckBox("Whole word", this);
  wholeWord_->setObjectName("wholeWord");
  leftChars_ = new QCheckBox("Left Chars", this);
  leftChars_->setObjectName("leftChars");
  auto* findRow = new QHBoxLayout;
  findRow->addWidget(findText_, 1);
  findRow->addWidget(findButton);
  findRow->addWidget(wholeWord_);
  findRow->addWidget(leftChars_);

  auto* ok = new QPushButton("OK", this);
  ok->setObjectName("ok");
  auto* cancel = new QPushButton("Cancel", this);
  cancel->setObjectName("cancel");
  for (QPushButton* b : {remove, up, down, topDown, bottomUp, ok, cancel}) b->setAutoDefault(false);
  auto* closeRow = new QHBoxLayout;
  closeRow->addStretch();
  closeRow->addWidget(ok);
  closeRow->addWidget(cancel);

  auto* top = new QHBoxLayout;
  top->addWidget(gridGroup, 1);
  top->addWidget(optionGroup);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top, 1);
  layout->addLayout(itemRow);
  layout->addLayout(arrange);
  layout->addLayout(findRow);
  layout->addLayout(closeRow);

  connect(grid_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& now) { rowSelected(now.row()); });
  connect(contextNumber_, &QLineEdit::editingFinished, this,
          &KeywordEditorDialog::takeContextNumber);
  connect(foreButton, &QPushButton::clicked, this, [this] { pickColor(Swatch::foreground); });
  connect(backButton, &QPushButton::clicked, this, [this] { pickColor(Swatch::background); });
  connect(resetButton, &QPushButton::clicked, this, [this] {
    model_.resetColors(model_.current());
    showRow();
  });
  connect(pointers_, &QComboBox::activated, this, [this](int index) {
    if (index < 0 || showing_) return;
    editor::KeywordInfo info = model_.row(model_.current()).info;
    info.cursor = KeywordEditorModel::kPointers[static_cast<std::size_t>(index)].number;
    model_.setInfo(model_.current(), info);
    showRow();
  });
  connect(remove, &QPushButton::clicked, this, [this] {
    rows_->removeCurrent();
    selectRow(model_.current());
  });
  connect(up, &QPushButton::clicked, this, [this] {
    model_.moveUp();
    rowsMoved(model_.current(), model_.current() + 1);
  });
  connect(down, &QPushButton::clicked, this, [this] {
    model_.moveDown();
    rowsMoved(model_.current() - 1, model_.current());
  });
  // A sort moves the row past others in one step; the rows between old and new place change.
  auto sort = [this](bool topDownSort) {
    const int from = model_.current();
    topDownSort ? model_.sortFromTopDown() : model_.sortFromBottomUp();
    rowsMoved(std::min(from, model_.current()), std::max(from, model_.current()));
  };
  connect(topDown, &QPushButton::clicked, this, [sort] { sort(true); });
  connect(bottomUp, &QPushButton::clicked, this, [sort] { sort(false); });
  connect(findText_, &QLineEdit::textChanged, this,
          [this](const QString& text) { model_.setFindText(platform::fromQString(text)); });
  connect(findText_, &QLineEdit::returnPressed, this, &KeywordEditorDialog::find);
  connect(findButton, &QPushButton::clicked, this, &KeywordEditorDialog::find);
  connect(wholeWord_, &QCheckBox::toggled, this, [this](bool on) {
    if (on) leftChars_->setChecked(false);
  });
  connect(leftChars_, &QCheckBox::toggled, this, [this](bool on) {
    if (on) wholeWord_->setChecked(false);
  });
  auto* first = new QShortcut(QKeySequence("Ctrl+Home"), this);
  connect(first, &QShortcut::activated, this, [this] { selectRow(0); });
  auto* last = new QShortcut(QKeySequence("Ctrl+End"), this);
  connect(last, &QShortcut::activated, this,
          [this] { selectRow(std::max(0, model_.lastEntry())); });
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  selectRow(0);
}

KeywordEditorDialog::~KeywordEditorDialog() = default;

void KeywordEditorDialog::typeIntoLastRow(const QString& text) {
  const int last = model_.rowCount() - 1;
  rows_->setData(rows_->index(last, 0), text, Qt::EditRole);
  selectRow(last);
}

void KeywordEditorDialog::selectRow(int row) {
  model_.select(row);
  const QModelIndex index = rows_->index(model_.current(), 0);
  grid_->setCurrentIndex(index);
  grid_->scrollTo(index);
  showRow();
}

void KeywordEditorDialog::rowSelected(int row) {
  if (row < 0) return;
  takeContextNumber();
  model_.select(row);
  showRow();
}

void KeywordEditorDialog::rowsMoved(int first, int last) {
  rows_->rowsChanged(first, last);
  const QModelIndex index = rows_->index(model_.current(), 0);
  {
    const QSignalBlocker quiet(grid_->selectionModel());
    grid_->setCurrentIndex(index);
  }
  grid_->scrollTo(index);
  showRow();
}

void KeywordEditorDialog::showRow() {
  showing_ = true;
  const int row = model_.current();
  const editor::KeywordInfo& info = model_.row(row).info;
  options_[0]->setChecked(info.options & 0x01);
  options_[1]->setChecked(info.options & 0x02);
  options_[2]->setChecked(!(info.options & kCrossBit));
  for (int bit = 0; bit < 6; ++bit)
    options_[static_cast<std::size_t>(3 + bit)]->setChecked(info.style & (1 << bit));
  numberRow_ = row;
  contextNumber_->setText(QString::number(info.contextNum));
  contextNumber_->setModified(false);
  paintSwatch(foreSwatch_, model_.swatchShown(row, Swatch::foreground), info.foregnd);
  paintSwatch(backSwatch_, model_.swatchShown(row, Swatch::background), info.backgnd);
  pointers_->setCurrentIndex(KeywordEditorModel::pointerIndex(info.cursor));
  pointerLabel_->setCursor(cursorShape(info.cursor));
  itemNumber_->setText(QString::fromStdString(model_.itemNumber()));
  showing_ = false;
}

void KeywordEditorDialog::optionToggled() {
  if (showing_) return;
  editor::KeywordInfo info = model_.row(model_.current()).info;
  std::uint8_t options = info.options & ~(0x01 | 0x02);
  options |= (options_[0]->isChecked() ? 0x01 : 0) | (options_[1]->isChecked() ? 0x02 : 0);
  if (model_.mode() == Mode::startStop)
    options = static_cast<std::uint8_t>((options & ~kCrossBit) |
                                        (options_[2]->isChecked() ? 0 : kCrossBit));
  info.options = options;
  std::uint8_t style = info.style & ~0x3F;
  for (int bit = 0; bit < 6; ++bit)
    if (options_[static_cast<std::size_t>(3 + bit)]->isChecked())
      style |= static_cast<std::uint8_t>(1 << bit);
  info.style = style;
  model_.setInfo(model_.current(), info);
}

void KeywordEditorDialog::takeContextNumber() {
  if (checkingNumber_ || !contextNumber_->isModified()) return;
  checkingNumber_ = true;
  const auto error =
      model_.setContextNumber(numberRow_, platform::fromQString(contextNumber_->text()));
  if (error) {
    ui_.showMessage(*error);
    contextNumber_->setFocus();
  } else {
    contextNumber_->setModified(false);
  }
  checkingNumber_ = false;
}

void KeywordEditorDialog::pickColor(Swatch which) {
  const int row = model_.current();
  const QColor chosen = pickColor_(this, swatchColor(model_.swatchStart(row, which)));
  if (!chosen.isValid()) return;
  model_.colorChosen(row, which, platform::fromQColor(chosen));
  showRow();
}

void KeywordEditorDialog::find() {
  const auto mode = wholeWord_->isChecked()   ? KeywordEditorModel::FindMode::wholeWord
                    : leftChars_->isChecked() ? KeywordEditorModel::FindMode::leftChars
                                              : KeywordEditorModel::FindMode::contains;
  const auto message = model_.findNext(mode);
  if (message) {
    itemNumber_->setText(QString::fromStdString(model_.itemNumber()));
    ui_.showMessage(*message);
    return;
  }
  const QModelIndex index = rows_->index(model_.current(), 0);
  {
    const QSignalBlocker quiet(grid_->selectionModel());
    grid_->setCurrentIndex(index);
  }
  grid_->scrollTo(index);
  showRow();
}

bool KeywordEditorDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == grid_) {
    if (event->type() == QEvent::FocusIn) hint_->setVisible(true);
    if (event->type() == QEvent::FocusOut) hint_->setVisible(false);
    if (event->type() == QEvent::KeyPress) {
      const auto* key = static_cast<QKeyEvent*>(event);
      // While a cell is edited its editor has the keys, so Enter here starts editing.
      if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        grid_->edit(grid_->currentIndex());
        return true;
      }
    }
  } else if (watched == findText_ && event->type() == QEvent::FocusIn) {
    QTimer::singleShot(0, findText_, &QLineEdit::selectAll);
  }
  return QDialog::eventFilter(watched, event);
}

bool editKeywords(QWidget* parent, platform::Ui& ui, editor::KeywordList& keywords,
                  const std::string& typed) {
  KeywordEditorModel model(keywords);
  KeywordEditorDialog dialog(model, ui, {}, parent);
  if (!typed.empty()) dialog.typeIntoLastRow(platform::toQString(typed));
  return dialog.exec() == QDialog::Accepted && model.writeBack(keywords);
}

bool editStartStopKeys(QWidget* parent, platform::Ui& ui, editor::StartStopKeyList& keys) {
  KeywordEditorModel model(keys);
  KeywordEditorDialog dialog(model, ui, {}, parent);
  return dialog.exec() == QDialog::Accepted && model.writeBack(keys);
}

}  // namespace quillon::language

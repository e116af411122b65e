#include "tools/find_replace_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCompleter>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStackedLayout>
#include <QVBoxLayout>
#include <algorithm>
#include <vector>

#include "platform/clipboard.h"
#include "platform/qt_conversions.h"
#include "platform/qt_window_placement.h"
#include "settings/window_placements.h"

namespace quillon::tools {

namespace {

constexpr int kClientWidth = 273;
constexpr int kClientHeight = 211;

QComboBox* makeList(QWidget* parent) {
  auto* list = new QComboBox(parent);
  list->setEditable(true);
  list->setInsertPolicy(QComboBox::NoInsert);
  list->setMaxVisibleItems(12);
  // Completion from the history never changes what the user typed, not even its case.
  list->completer()->setCaseSensitivity(Qt::CaseSensitive);
  // A long history entry must not widen the dialog.
  list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  list->setMinimumContentsLength(8);
  return list;
}

}  // namespace

FindReplaceDialog::FindReplaceDialog(FindReplace& core, settings::WindowPlacements& placements,
                                     platform::Clipboard& clipboard, Runner run, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      core_(core),
      placements_(placements),
      clipboard_(clipboard),
      run_(std::move(run)) {
  setObjectName("fFindReplace");
  setWindowTitle("Find / Replace.....");
  setModal(false);

  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(6, 6, 6, 4);
  grid->setHorizontalSpacing(6);
  grid->setVerticalSpacing(4);
  findList_ = makeList(this);
  findList_->setObjectName("cFind");
  replaceList_ = makeList(this);
  replaceList_->setObjectName("cReplace");
  auto* findLabel = new QLabel("Find:", this);
  auto* replaceLabel = new QLabel("Replace:", this);
  findLabel->setBuddy(findList_);
  replaceLabel->setBuddy(replaceList_);
  grid->addWidget(findLabel, 0, 0);
  grid->addWidget(findList_, 0, 1, 1, 2);
  grid->addWidget(replaceLabel, 1, 0);
  grid->addWidget(replaceList_, 1, 1, 1, 2);

  auto* box = new QGroupBox("Options:", this);
  box->setObjectName("pOptions");
  auto* boxes = new QGridLayout(box);
  boxes->setContentsMargins(6, 2, 6, 4);
  boxes->setVerticalSpacing(2);
  const char* captions[kOptions] = {"C&ase Sensitive", "&Whole Words", "&Prompt on Replace",
                                    "Selected Text",   "From Cursor",  "All Pages"};
  for (int i = 0; i < kOptions; ++i) {
    auto* check = new QCheckBox(captions[i], box);
    options_[static_cast<std::size_t>(i)] = check;
    // One column: two would not fit the dialog's width in a desktop font.
    boxes->addWidget(check, i, 0);
    // Only the user's clicks are option changes; the search sets boxes silently.
    connect(check, &QCheckBox::clicked, this,
            [this, i] { act([this, i] { core_.optionChanged(Option(i)); }); });
  }
  grid->addWidget(box, 2, 0, 1, 2);

  auto* buttons = new QVBoxLayout;
  buttons->setSpacing(3);
  auto* front = new QWidget(this);
  auto* stack = new QStackedLayout(front);
  findButton_ = new QPushButton("&Find", front);
  findButton_->setObjectName("bOK");
  nextButton_ = new QPushButton("&Next", front);
  nextButton_->setObjectName("bNext");
  stack->addWidget(findButton_);
  stack->addWidget(nextButton_);
  allButton_ = new QPushButton("&All", this);
  allButton_->setObjectName("bAll");
  skipButton_ = new QPushButton("&Skip", this);
  skipButton_->setObjectName("bSkip");
  cancelButton_ = new QPushButton("&CANCEL", this);
  cancelButton_->setObjectName("bCancel");
  for (QWidget* w : {front, static_cast<QWidget*>(allButton_), static_cast<QWidget*>(skipButton_),
                     static_cast<QWidget*>(cancelButton_)})
    buttons->addWidget(w);
  buttons->addStretch(1);
  grid->addLayout(buttons, 2, 2);

  status_ = new QLabel(this);
  status_->setObjectName("Stat1");
  status_->setFrameShape(QFrame::Panel);
  status_->setFrameShadow(QFrame::Sunken);
  grid->addWidget(status_, 3, 0, 1, 3);
  grid->setRowStretch(2, 1);
  grid->setColumnStretch(1, 1);

  connect(findButton_, &QPushButton::clicked, this, [this] { act([this] { core_.find(); }); });
  connect(nextButton_, &QPushButton::clicked, this, [this] { act([this] { core_.next(); }); });
  connect(allButton_, &QPushButton::clicked, this, [this] { act([this] { core_.replaceAll(); }); });
  connect(skipButton_, &QPushButton::clicked, this, [this] { act([this] { core_.skip(); }); });
  connect(cancelButton_, &QPushButton::clicked, this, [this] { act([this] { core_.cancel(); }); });
  connect(findList_, &QComboBox::editTextChanged, this,
          [this] { act([this] { core_.findTextEdited(); }); });
  connect(replaceList_, &QComboBox::editTextChanged, this,
          [this] { act([this] { core_.replaceTextEdited(); }); });
  for (QComboBox* list : {findList_, replaceList_}) {
    list->installEventFilter(this);
    list->lineEdit()->installEventFilter(this);
  }

  // The fixed size grows only where the desktop's font would clip a caption.
  const QSize hint = minimumSizeHint();
  setFixedSize(std::max(kClientWidth, hint.width()), std::max(kClientHeight, hint.height()));
  core_.attachView(this);
}

FindReplaceDialog::~FindReplaceDialog() { core_.attachView(nullptr); }

QPushButton* FindReplaceDialog::button(Button b) const {
  switch (b) {
    case Button::Find: return findButton_;
    case Button::Next: return nextButton_;
    case Button::All: return allButton_;
    case Button::Skip: return skipButton_;
  }
  return nullptr;
}

QString FindReplaceDialog::statusLine() const { return status_->text(); }

void FindReplaceDialog::setStatus(std::string_view text) {
  status_->setText(platform::toQString(text));
}

bool FindReplaceDialog::optionChecked(Option o) const { return optionBox(o)->isChecked(); }
void FindReplaceDialog::setOptionChecked(Option o, bool on) { optionBox(o)->setChecked(on); }
bool FindReplaceDialog::optionEnabled(Option o) const { return optionBox(o)->isEnabled(); }
void FindReplaceDialog::setOptionEnabled(Option o, bool on) { optionBox(o)->setEnabled(on); }
void FindReplaceDialog::setButtonEnabled(Button b, bool on) { button(b)->setEnabled(on); }

void FindReplaceDialog::setFindInFront(bool findInFront) {
  static_cast<QStackedLayout*>(findButton_->parentWidget()->layout())
      ->setCurrentWidget(findInFront ? findButton_ : nextButton_);
}

void FindReplaceDialog::setNextCaption(std::string_view caption) {
  nextButton_->setText(caption == "Replace" ? "&Replace" : "&" + platform::toQString(caption));
}

void FindReplaceDialog::setDefaultButton(Button b) {
  for (Button each : {Button::Find, Button::Next}) button(each)->setDefault(each == b);
}

std::string FindReplaceDialog::findText() const {
  return platform::fromQString(findList_->currentText());
}
std::string FindReplaceDialog::replaceText() const {
  return platform::fromQString(replaceList_->currentText());
}

void FindReplaceDialog::setFindText(std::string_view text) {
  const QSignalBlocker quiet(findList_);
  findList_->setEditText(platform::toQString(text));
}

void FindReplaceDialog::setReplaceText(std::string_view text) {
  const QSignalBlocker quiet(replaceList_);
  replaceList_->setEditText(platform::toQString(text));
}

void FindReplaceDialog::setItems(QComboBox* list, const std::vector<std::string>& items) {
  const QSignalBlocker quiet(list);
  const QString text = list->currentText();
  list->clear();
  for (const std::string& item : items) list->addItem(platform::toQString(item));
  list->setEditText(text);
}

void FindReplaceDialog::setFindItems(const std::vector<std::string>& items) {
  setItems(findList_, items);
}
void FindReplaceDialog::setReplaceItems(const std::vector<std::string>& items) {
  setItems(replaceList_, items);
}

void FindReplaceDialog::show() {
  if (!placed_) {
    placed_ = true;
    ensurePolished();
    const auto stored = placements_.stored(settings::PlacedWindow::FindReplace);
    // Asked at the close query from now on, whether open or hidden then.
    placements_.shown(settings::PlacedWindow::FindReplace,
                      [this] { return platform::placementOf(*this); });
    if (stored)
      platform::applyPlacement(*this, *stored);
    else
      platform::placeBeside(*this);
  }
  QDialog::show();
  raise();
  activateWindow();
  findList_->setFocus();
  findList_->lineEdit()->selectAll();
}

void FindReplaceDialog::hide() { QDialog::hide(); }

int FindReplaceDialog::left() const { return frameGeometry().left(); }
int FindReplaceDialog::top() const { return frameGeometry().top(); }

// Esc: as CANCEL.
void FindReplaceDialog::reject() {
  act([this] { core_.cancel(); });
}

void FindReplaceDialog::closeEvent(QCloseEvent* event) {
  event->ignore();
  act([this] { core_.cancel(); });
}

// Alt+letter belongs to this dialog while it is active: the main window's menus share letters
// ("&Find" and "&File", "&Whole Words" and "&Window"), which would make the key ambiguous and
// press nothing.
QAbstractButton* FindReplaceDialog::mnemonicTarget(const QKeyEvent& key) const {
  if (key.modifiers() != Qt::AltModifier) return nullptr;
  const QKeySequence pressed(key.key() | Qt::AltModifier);
  std::vector<QAbstractButton*> candidates = {findButton_, nextButton_, allButton_, skipButton_,
                                              cancelButton_};
  candidates.insert(candidates.end(), options_.begin(), options_.end());
  for (QAbstractButton* b : candidates)
    if (b->isVisible() && b->isEnabled() && QKeySequence::mnemonic(b->text()) == pressed) return b;
  return nullptr;
}

bool FindReplaceDialog::event(QEvent* event) {
  if (event->type() == QEvent::ShortcutOverride &&
      mnemonicTarget(*static_cast<QKeyEvent*>(event))) {
    event->accept();
    return true;
  }
  return QDialog::event(event);
}

void FindReplaceDialog::keyPressEvent(QKeyEvent* event) {
  if (QAbstractButton* target = mnemonicTarget(*event)) {
    target->setFocus(Qt::ShortcutFocusReason);
    target->click();
    return;
  }
  QDialog::keyPressEvent(event);
}

// Ctrl+V in a list puts the clipboard text in place of the whole list text.
bool FindReplaceDialog::eventFilter(QObject* watched, QEvent* event) {
  // A list hands keys straight to its edit, past any filter there, so both are watched.
  QComboBox* list = watched == findList_ || watched == findList_->lineEdit()         ? findList_
                    : watched == replaceList_ || watched == replaceList_->lineEdit() ? replaceList_
                                                                                     : nullptr;
  if (list && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    // The list would take Alt+letter as typing.
    if (mnemonicTarget(*key)) {
      keyPressEvent(key);
      return true;
    }
    if (key->matches(QKeySequence::Paste)) {
      const auto pasted = clipboard_.readText();
      list->setEditText(platform::toQString(pasted ? pasted->text : std::string()));
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace quillon::tools

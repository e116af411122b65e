#include "language/word_check_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

#include "editor/code_memo_widget.h"
#include "platform/qt_conversions.h"

namespace quillon::language {

namespace {

using ListView = WordCheckCommands::ListView;
constexpr std::array<ListView, 4> kListViews{ListView::Dictionary, ListView::KeyWords,
                                             ListView::Defines, ListView::HelpContexts};

}  // namespace

WordCheckWindow::WordCheckWindow(WordCheckCommands& commands, editor::MemoClipboard& clipboard,
                                 platform::Ui& ui, Run run, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint),
      commands_(commands),
      run_(std::move(run)) {
  setObjectName("fWordCheck");
  setWindowTitle("Word Check - []");
  setMinimumSize(290, 494);
  resize(290, 494);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->setSpacing(4);

  auto* top = new QHBoxLayout;
  auto* options = new QVBoxLayout;
  allPages_ = new QCheckBox("All Pages", this);
  allPages_->setObjectName("bAllPages");
  showKeyWords_ = new QCheckBox("Show KeyWords", this);
  showKeyWords_->setObjectName("bShowAll");
  includeStrings_ = new QCheckBox("Include Literal Strings", this);
  includeStrings_->setObjectName("CheckStr");
  options->addWidget(allPages_);
  options->addWidget(showKeyWords_);
  options->addWidget(includeStrings_);
  top->addLayout(options, 1);
  auto* startClose = new QVBoxLayout;
  start_ = new QPushButton("START", this);
  start_->setObjectName("bStart");
  auto* close = new QPushButton("CLOSE", this);
  close->setObjectName("bClose");
  startClose->addWidget(start_);
  startClose->addWidget(close);
  top->addLayout(startClose);
  layout->addLayout(top);

  message_ = new QLabel(this);
  message_->setObjectName("pnlMsg");
  message_->setAlignment(Qt::AlignCenter);
  message_->setFrameShape(QFrame::Panel);
  message_->setFrameShadow(QFrame::Sunken);
  layout->addWidget(message_);

  list_ = new QListWidget(this);
  list_->setObjectName("CheckList");
  layout->addWidget(list_, 2);

  auto* actions = new QHBoxLayout;
  auto addButton = [&](QBoxLayout* row, const char* name, const char* caption, auto handler) {
    auto* b = new QPushButton(caption, this);
    b->setObjectName(name);
    row->addWidget(b);
    connect(b, &QPushButton::clicked, this, [this, handler] { run_(handler); });
    return b;
  };
  addButton(actions, "bLocate", "Locate", [this] { commands_.locate(); });
  addButton(actions, "bAdd2Dic", "Add 2 Dic", [this] { commands_.addToDictionary(); });
  addButton(actions, "bSelAll", "Sel All", [this] { commands_.checkAll(true); });
  addButton(actions, "bClear", "Clear All", [this] { commands_.checkAll(false); });
  layout->addLayout(actions);

  auto* views = new QHBoxLayout;
  const std::array<std::pair<const char*, const char*>, 4> buttons{
      {{"bDIC", "Dictionary"}, {"bBIN", "KeyWords"}, {"bDEF", "Defines"}, {"bCTX", "Help Cntx"}}};
  for (int i = 0; i < 4; ++i) {
    auto* b = new QToolButton(this);
    b->setObjectName(buttons[static_cast<std::size_t>(i)].first);
    b->setText(buttons[static_cast<std::size_t>(i)].second);
    b->setCheckable(true);
    b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    views->addWidget(b);
    connect(b, &QToolButton::clicked, this, [this, i](bool down) { toggled(i, down); });
    listButtons_[static_cast<std::size_t>(i)] = b;
  }
  layout->addLayout(views);

  workCopy_ = new editor::CodeMemoWidget(commands_.workCopy(), clipboard, ui, this);
  workCopy_->setObjectName("tMemo");
  workCopy_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  workCopy_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  layout->addWidget(workCopy_, 3);

  connect(allPages_, &QCheckBox::clicked, this,
          [this](bool on) { run_([this, on] { commands_.setAllPages(on); }); });
  connect(showKeyWords_, &QCheckBox::clicked, this,
          [this](bool on) { commands_.setShowKeyWords(on); });
  connect(includeStrings_, &QCheckBox::clicked, this,
          [this](bool on) { commands_.setIncludeStrings(on); });
  connect(start_, &QPushButton::clicked, this, [this] { run_([this] { commands_.start(); }); });
  connect(close, &QPushButton::clicked, this, [this] { this->close(); });
  connect(list_, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
    commands_.setChecked(static_cast<std::size_t>(list_->row(item)),
                         item->checkState() == Qt::Checked);
  });
  connect(list_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
    run_([this, item] { commands_.itemClicked(static_cast<std::size_t>(list_->row(item))); });
  });
  // Keys move the selection too, and Locate must find what is selected.
  connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (row >= 0) run_([this, row] { commands_.itemClicked(static_cast<std::size_t>(row)); });
  });

  changes_ = commands_.onChanged.listen([this] { refresh(); });
  showRequests_ = commands_.onShowRequested.listen([this] {
    show();
    raise();
    activateWindow();
  });
  refresh();
}

WordCheckWindow::~WordCheckWindow() = default;

void WordCheckWindow::toggled(int button, bool down) {
  // At most one down; all may be up, which leaves the work copy as it is.
  for (int i = 0; i < 4; ++i)
    if (i != button) listButtons_[static_cast<std::size_t>(i)]->setChecked(false);
  run_([this, button, down] {
    commands_.showList(down ? kListViews[static_cast<std::size_t>(button)] : ListView::None);
  });
}

void WordCheckWindow::refresh() {
  const QSignalBlocker blockAll(allPages_);
  allPages_->setChecked(commands_.allPages());
  allPages_->setEnabled(commands_.allPagesEnabled());
  showKeyWords_->setChecked(commands_.showKeyWords());
  includeStrings_->setChecked(commands_.includeStrings());
  start_->setEnabled(!commands_.running());
  message_->setText(platform::toQString(commands_.message()));
  for (std::size_t i = 0; i < kListViews.size(); ++i)
    listButtons_[i]->setChecked(commands_.listView() == kListViews[i]);
  if (shownItems_ != commands_.itemsVersion()) {
    shownItems_ = commands_.itemsVersion();
    const QSignalBlocker blockList(list_);
    list_->clear();
    for (const WordCheckCommands::Item& item : commands_.items()) {
      auto* row = new QListWidgetItem(platform::toQString(item.word), list_);
      row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
      row->setCheckState(item.checked ? Qt::Checked : Qt::Unchecked);
    }
    list_->setCurrentRow(commands_.selected());
  }
}

bool WordCheckWindow::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate) run_([this] { commands_.activated(); });
  return QWidget::event(event);
}

void WordCheckWindow::closeEvent(QCloseEvent* event) {
  run_([this] { commands_.close(); });
  event->accept();
}

}  // namespace quillon::language

#include "app/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QStackedWidget>
#include <QTabBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include "app/menu_layout.h"
#include "app/status_bar_widget.h"
#include "app/status_presenter.h"
#include "app/workbench.h"
#include "build/build_commands.h"
#include "build/build_output_widget.h"
#include "build/error_panel.h"
#include "editor/code_gutter_widget.h"
#include "editor/code_memo_widget.h"
#include "editor/number_syntax_dialog.h"
#include "language/color_combo_widget.h"
#include "language/context_list.h"
#include "language/context_list_widget.h"
#include "language/keys_dict_dialog.h"
#include "language/keyword_editor_dialog.h"
#include "language/outline_tree_widget.h"
#include "language/qt_code_navigation.h"
#include "language/word_check_window.h"
#include "platform/qt_conversions.h"
#include "platform/qt_folder_picker.h"
#include "platform/qt_font_choice.h"
#include "platform/qt_message_box.h"
#include "platform/qt_window_placement.h"
#include "platform/xdg_association_store.h"
#include "settings/program_folders_dialog.h"
#include "settings/window_placements.h"
#include "tools/char_map_window.h"
#include "tools/editing_commands.h"
#include "tools/find_replace_dialog.h"

#ifndef QUILLON_VERSION
#define QUILLON_VERSION "0.0.0"
#endif

// The icons live in a static library, whose resources are not registered by themselves.
static void initResources() { Q_INIT_RESOURCE(quillon); }

namespace quillon::app {

namespace {

constexpr int kToolbarHeight = 28;
constexpr int kErrorPanelHeight = 104;
constexpr int kCodeInfoWidth = 149;
constexpr int kGutterWidth = 50;

// "Text (*.mb)|*.mb|All|*.*" into Qt's "Text (*.mb);;All (*.*)".
QString toQtFilter(const std::string& filter) {
  const QStringList parts = platform::toQString(filter).split('|');
  QStringList result;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = parts[i + 1];
    patterns.replace(';', ' ');
    result << (parts[i].contains('(')
                   ? parts[i].section('(', 0, 0).trimmed() + " (" + patterns + ")"
                   : parts[i] + " (" + patterns + ")");
  }
  return result.join(";;");
}

QString filterAt(const std::string& filter, int oneBasedIndex) {
  const QStringList filters = toQtFilter(filter).split(";;");
  return oneBasedIndex >= 1 && oneBasedIndex <= filters.size() ? filters[oneBasedIndex - 1]
                                                               : QString();
}

std::filesystem::path toPath(const QString& file) {
  return std::filesystem::path(platform::fromQPath(file));
}
QString fromPath(const std::filesystem::path& path) {
  return QFile::decodeName(path.string().c_str());
}

}  // namespace

MainWindow::MainWindow(const platform::KeyboardState& keyboard, QWidget* parent)
    : QMainWindow(parent), automation_(platform::Environment::fromProcess(), launcher_, [this] {
        return workbench_ ? workbench_->build().mapInfoFolder() : std::filesystem::path();
      }) {
  initResources();
  setObjectName("mainWindow");
  setWindowTitle("Quillon - Untitled");
  setWindowIcon(QIcon(":/icons/quillon.svg"));
  workbench_ = std::make_unique<Workbench>(
      Workbench::Ports{*this, *this, states_, keyboard, clipboard_, clock_, launcher_, automation_,
                       mainThread_, printerPort_});

  buildPanels();
  loadView_ = std::make_unique<pages::QtLoadView>(*this, [this] { placeMainWindow(); });
  workbench_->documents().setLoadView(loadView_.get());
  printerPort_.setEditor(sourceEditor_);
  wordCheck_ = new language::WordCheckWindow(
      workbench_->wordCheck(), workbench_->wordCheckClipboard(), *this,
      [this](const Handler& run) { runCommand(run); }, this);
  wordCheckShownWatch_ = workbench_->wordCheck().onShowRequested.listen([this] {
    // With no stored place it opens beside the main window, the first time only.
    if (!wordCheckShown_ && !workbench_->placements().stored(settings::PlacedWindow::WordCheck))
      platform::placeBeside(*wordCheck_);
    wordCheckShown_ = true;
    workbench_->placements().shown(settings::PlacedWindow::WordCheck,
                                   [this] { return platform::placementOf(*wordCheck_); });
  });
  charMapShownWatch_ =
      workbench_->charMap().showRequested.listen([this] { charMapWindow().showMap(); });
  workbench_->codeInfoWidth = [this] {
    return codeInfoPanel_->isHidden() ? codeInfoWidth_ : codeInfoPanel_->width();
  };
  buildMenus();
  buildToolbar();
  buildTools();

  resize(578, 423 + menuBar()->sizeHint().height());
  setAcceptDrops(true);
  sourceEditor_->setFocus();
  qApp->installEventFilter(this);
}

void MainWindow::anotherCopyStarted() { workbench_->anotherCopyStarted(); }

MainWindow::~MainWindow() {
  qApp->removeEventFilter(this);
  // The editor widgets and the tool windows use the Workbench, which goes before the base
  // class would delete its children.
  delete findDialog_;
  delete charMapWindow_;
  delete takeCentralWidget();
  delete wordCheck_;
}

void MainWindow::start(const std::filesystem::path& programFile,
                       const std::vector<std::string>& arguments,
                       std::optional<StartSurroundings> surroundings) {
  // Without a stored placement, and before the first run centres it.
  platform::placeFirstWindow(*this);
  // Start-up reports what fails and goes on: the window always comes up.
  runCommand([&] {
    if (!surroundings) {
      surroundings.emplace();
      surroundings->environment = platform::Environment::fromProcess();
      associations_ = std::make_unique<platform::XdgAssociationStore>(surroundings->environment);
      surroundings->associations = associations_.get();
    }
    workbench_->start(programFile, arguments, std::move(*surroundings));
  });
  runCommand([&] { placeMainWindow(); });
  runCommand([&] {
    if (const auto placement = workbench_->placements().stored(settings::PlacedWindow::WordCheck))
      platform::applyPlacement(*wordCheck_, *placement);
  });
}

void MainWindow::placeMainWindow() {
  if (const auto placement = workbench_->placements().stored(settings::PlacedWindow::Main))
    setWindowPlacement(*placement);
  if (settings::Settings* settings = workbench_->settings()) {
    if (const auto width = settings::readCodeInfoWidth(settings->file(), this->width() - 100))
      codeInfoWidth_ = *width;
  }
}

// ----- Building -----

// A command that fails (the editor's "Text too long", a broken file) is reported; nothing
// escapes into the event loop. Page and text commands wait for a replace-all run to end.
void MainWindow::runCommand(const Handler& run) {
  if (workbench_->findReplace().running()) return;
  runTool(run);
}

void MainWindow::runTool(const Handler& run) {
  try {
    run();
  } catch (const std::exception& e) {
    showMessage(e.what());
  }
  // Commands of every folder set a page's Modified; its mark follows once the command ends.
  workbench_->documents().showModifiedMarks();
  states_.resync();
}

// The rows only the window can run: they open its own windows and dialogs.
void MainWindow::registerWindowRows() {
  platform::CommandRegistry& commands = workbench_->commands();
  commands.add({.id = "file.exit", .caption = "E&xit", .run = [this] {
                  QCoreApplication::processEvents();
                  close();
                }});
  commands.add(
      {.id = "help.about", .caption = "&About Quillon...", .run = [this] { showAbout(); }});
  commands.add({.id = "keysdict.open", .caption = "Keys/Dict", .run = [this] { showKeysDict(); }});
  commands.add({.id = "options.programFolders", .caption = "Program Folders...", .run = [this] {
                  settings::editProgramFolders(this, workbench_->settings());
                }});
  commands.add({.id = "context.addToKeywords", .caption = "Add To KeyWords", .run = [this] {
                  editKeywords(workbench_->contextList().popupWord());
                }});
}

QAction* MainWindow::rowAction(const platform::CommandRow& row, QObject* owner) {
  auto* action = new QAction(QString::fromStdString(row.caption), owner);
  const std::string& id = row.id;
  connect(action, &QAction::triggered, this,
          [this, id] { runCommand([this, &id] { workbench_->commands().run(id); }); });
  if (!row.hint.empty()) {
    action->setStatusTip(QString::fromStdString(row.hint));
    action->setToolTip(QString::fromStdString(row.hint));
  }
  rowActions_.emplace(row.id, action);
  return action;
}

const platform::CommandRow& MainWindow::layoutRow(std::string_view id) const {
  if (const platform::CommandRow* row = workbench_->commands().row(id)) return *row;
  throw std::logic_error("the menu layout names a command nobody registered: " + std::string(id));
}

void MainWindow::fillMenu(QMenu* top, const std::vector<std::string_view>& items, bool popup) {
  std::vector<QMenu*> open{top};
  struct Pending {
    std::string id;
    QMenu* menu;
    qsizetype at;
  };
  std::vector<Pending> lists;
  for (std::string_view item : items) {
    QMenu* menu = open.back();
    if (item == "-") {
      menu->addSeparator();
    } else if (item == "<") {
      open.pop_back();
    } else if (item.ends_with('>')) {
      open.push_back(
          menu->addMenu(QString::fromUtf8(item.data(), static_cast<qsizetype>(item.size() - 1))));
    } else if (item.starts_with('@')) {
      const std::string id(item.substr(1));
      const platform::CommandList* list = workbench_->commands().list(id);
      if (!list) throw std::logic_error("the menu layout names a list nobody registered: " + id);
      lists.push_back({id, menu, menu->actions().size()});
      if (list->refresh)
        connect(menu, &QMenu::aboutToShow, this, [refresh = list->refresh] { refresh(); });
    } else {
      const std::size_t equals = item.find('=');
      const platform::CommandRow& row = layoutRow(item.substr(0, equals));
      QAction* action = rowAction(row, menu);
      menu->addAction(action);
      if (equals != std::string_view::npos)
        action->setText(QString::fromUtf8(item.substr(equals + 1).data(),
                                          static_cast<qsizetype>(item.size() - equals - 1)));
      // A pop-up's rows carry no keys (the menu's own do) and no state of their own.
      if (!popup) {
        if (!row.key.empty()) action->setShortcut(QKeySequence(QString::fromStdString(row.key)));
        action->setCheckable(row.checkable);
        if (row.state) states_.bind(*row.state, action);
      }
      if (row.enabled)
        connect(menu, &QMenu::aboutToShow, action,
                [action, enabled = row.enabled] { action->setEnabled(enabled()); });
    }
  }
  // The rows after a list stay after it however long it grows.
  for (Pending& pending : lists) {
    const QList<QAction*> actions = pending.menu->actions();
    lists_[pending.id] = {
        pending.menu, pending.at < actions.size() ? actions[pending.at] : nullptr, {}};
  }
}

void MainWindow::fillList(const std::string& id, const std::vector<std::string>& captions) {
  const auto it = lists_.find(id);
  if (it == lists_.end()) return;
  ListPlace& place = it->second;
  for (QAction* a : place.entries) delete a;
  place.entries.clear();
  for (std::size_t i = 0; i < captions.size(); ++i) {
    auto* action = new QAction(platform::toDisplayString(captions[i]), place.menu);
    connect(action, &QAction::triggered, this, [this, id, i] {
      runCommand([this, &id, i] {
        if (const platform::CommandList* list = workbench_->commands().list(id)) list->pick(i);
      });
    });
    place.menu->insertAction(place.end, action);
    place.entries.push_back(action);
  }
}

void MainWindow::buildMenus() {
  registerWindowRows();
  for (const MenuLayout& layout : menuBarLayout()) {
    const QString title =
        QString::fromUtf8(layout.title.data(), static_cast<qsizetype>(layout.title.size()));
    if (!layout.command.empty()) {
      QAction* action = rowAction(layoutRow(layout.command), menuBar());
      action->setText(title);
      menuBar()->addAction(action);
      continue;
    }
    fillMenu(menuBar()->addMenu(title), layout.items, false);
  }
  for (const MenuLayout& layout : popupLayout()) {
    auto* menu = new QMenu(this);
    menu->setObjectName(
        QString::fromUtf8(layout.title.data(), static_cast<qsizetype>(layout.title.size())));
    fillMenu(menu, layout.items, true);
  }
  editorMenu_ = findChild<QMenu*>("Pop1", Qt::FindDirectChildrenOnly);
  contextMenu_ = findChild<QMenu*>("Pop2", Qt::FindDirectChildrenOnly);
  for (std::string_view id : windowKeyLayout()) {
    const platform::CommandRow& row = layoutRow(id);
    QAction* action = rowAction(row, this);
    action->setText({});
    action->setShortcut(QKeySequence(QString::fromStdString(row.key)));
    action->setShortcutContext(Qt::WindowShortcut);
    addAction(action);
  }
  setRecentMenus({}, {});

  Workbench& wb = *workbench_;
  referenceView_ =
      language::wireCodeNavigation({*this, *sourceEditor_, *bottomPanel_, wb.code(), wb.wordLists(),
                                    *this, [this](const Handler& run) { runCommand(run); }});
  contextList_->setContextMenuPolicy(Qt::CustomContextMenu);
  // An empty list has no menu.
  connect(contextList_, &QWidget::customContextMenuRequested, this, [this, &wb](const QPoint& at) {
    if (wb.status().contextItems().empty()) return;
    contextMenu_->popup(contextList_->viewport()->mapToGlobal(at));
  });
}

// ----- Keys and dictionary -----

void MainWindow::showKeysDict() {
  Workbench& wb = *workbench_;
  if (!keysDict_) {
    language::KeysDictDialog::Actions actions;
    actions.editKeywords = [this] { editKeywords(); };
    actions.editStartStopKeys = [this, &wb] {
      if (language::editStartStopKeys(keysDict_, *this, wb.highlighting().startStopKeys()))
        wb.keysDict().keywordsEdited();
    };
    actions.editNumberStyle = [this, &wb] {
      editor::editNumberSyntax(keysDict_, wb.numbers(),
                               platform::toQColor(wb.options().background()),
                               [&wb] { wb.numberSyntaxApplied(); });
    };
    actions.run = [this](const Handler& run) { runCommand(run); };
    keysDict_ = new language::KeysDictDialog(wb.keysDict(), wb.options(), wb.sourceEditor(),
                                             std::move(actions), this);
  }
  keysDict_->execute();
}

// Keys "Edit", and "Add To KeyWords" with the word typed in.
void MainWindow::editKeywords(const std::string& typed) {
  Workbench& wb = *workbench_;
  QWidget* parent = keysDict_ && keysDict_->isVisible() ? static_cast<QWidget*>(keysDict_) : this;
  if (language::editKeywords(parent, *this, wb.highlighting().keywords(), typed))
    wb.keysDict().keywordsEdited();
}

QToolButton* MainWindow::button(const platform::CommandRow& row) {
  QAction* action = rowAction(row, this);
  action->setText(QString::fromStdString(row.hint));
  action->setIcon(QIcon(QString(":/icons/%1.svg").arg(QString::fromStdString(row.icon))));
  action->setCheckable(row.checkable);
  auto* tool = new QToolButton(toolbar_);
  tool->setObjectName(QString::fromStdString(row.id));
  tool->setDefaultAction(action);
  tool->setAutoRaise(true);
  tool->setFixedSize(24, 24);
  tool->setIconSize(QSize(16, 16));
  tool->setFocusPolicy(Qt::NoFocus);
  toolbar_->layout()->addWidget(tool);
  if (row.state) states_.bind(*row.state, action);
  return tool;
}

void MainWindow::buildToolbar() {
  auto* buttons = static_cast<QHBoxLayout*>(toolbar_->layout());
  for (std::string_view item : toolbarLayout()) {
    if (item == "-") {
      buttons->addSpacing(6);
      continue;
    }
    const std::size_t at = item.find('@');
    QToolButton* tool = button(layoutRow(item.substr(0, at)));
    if (at == std::string_view::npos) continue;
    // A button with a drop-down: the list's menu, with room for its arrow.
    if (const auto list = lists_.find(std::string(item.substr(at + 1))); list != lists_.end()) {
      tool->setFixedSize(36, 24);
      tool->setPopupMode(QToolButton::MenuButtonPopup);
      tool->setMenu(list->second.menu);
    }
  }
  buttons->addStretch(1);
  searchButton_ = findChild<QToolButton*>("bSearch");

  bgColor_ = new language::ColorComboWidget(toolbar_);
  bgColor_->setObjectName("bgColor");
  bgColor_->setFixedWidth(193);
  bgColor_->setToolTip("R-Click for Color Palette");
  bgColor_->hide();
  connect(bgColor_, &language::ColorComboWidget::colorChosen, this, [this](platform::Color color) {
    workbench_->options().backgroundChosen(color);
    sourceEditor_->setFocus();
  });
}

void MainWindow::buildPanels() {
  auto* central = new QWidget(this);
  auto* column = new QVBoxLayout(central);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  setCentralWidget(central);

  toolbar_ = new QFrame(central);
  toolbar_->setObjectName("panToolBar");
  toolbar_->setFixedHeight(kToolbarHeight);
  toolbar_->setFrameShape(QFrame::NoFrame);
  auto* buttons = new QHBoxLayout(toolbar_);
  buttons->setContentsMargins(3, 1, 3, 3);
  buttons->setSpacing(1);
  column->addWidget(toolbar_);
  auto* bevel = new QFrame(central);
  bevel->setObjectName("toolbarBevel");
  bevel->setFrameShape(QFrame::HLine);
  bevel->setFrameShadow(QFrame::Sunken);
  column->addWidget(bevel);

  bottomSplitter_ = new QSplitter(Qt::Vertical, central);
  bottomSplitter_->setObjectName("Split1");
  bottomSplitter_->setHandleWidth(2);
  bottomSplitter_->setChildrenCollapsible(false);
  column->addWidget(bottomSplitter_, 1);

  // Tab strip over the one editor.
  auto* tabArea = new QWidget(bottomSplitter_);
  auto* tabColumn = new QVBoxLayout(tabArea);
  tabColumn->setContentsMargins(2, 2, 2, 0);
  tabColumn->setSpacing(0);
  tabBar_ = new QTabBar(tabArea);
  tabBar_->setObjectName("tabBar");
  tabBar_->setExpanding(false);
  tabBar_->setDrawBase(false);
  tabBar_->setFocusPolicy(Qt::NoFocus);
  tabBar_->addTab("Untitled");
  tabColumn->addWidget(tabBar_);
  // Only the user's clicks arrive here: the core sets the tabs with the signals blocked.
  connect(tabBar_, &QTabBar::currentChanged, this, [this](int index) {
    runCommand([this, index] {
      workbench_->documents().tabChanging();
      workbench_->documents().tabChanged(index);
    });
  });

  auto* page = new QFrame(tabArea);
  page->setFrameShape(QFrame::StyledPanel);
  page->setFrameShadow(QFrame::Raised);
  auto* pageLayout = new QHBoxLayout(page);
  pageLayout->setContentsMargins(3, 3, 3, 3);
  tabColumn->addWidget(page, 1);

  codeInfoSplitter_ = new QSplitter(Qt::Horizontal, page);
  codeInfoSplitter_->setObjectName("Splitter1");
  codeInfoSplitter_->setHandleWidth(2);
  codeInfoSplitter_->setChildrenCollapsible(false);
  pageLayout->addWidget(codeInfoSplitter_);

  codeInfoPanel_ = new QWidget(codeInfoSplitter_);
  codeInfoPanel_->setObjectName("pCodeInfo");
  codeInfoPanel_->setMinimumWidth(40);
  auto* codeInfoLayout = new QVBoxLayout(codeInfoPanel_);
  codeInfoLayout->setContentsMargins(0, 0, 0, 0);
  outlineTree_ = new language::OutlineTreeWidget(workbench_->outline(), codeInfoPanel_);
  outlineTree_->setObjectName("outlineTree");
  codeInfoLayout->addWidget(outlineTree_);
  // Wide enough for a 30-character entry two levels down, beside its icon.
  codeInfoWidth_ =
      std::max(kCodeInfoWidth,
               outlineTree_->fontMetrics().horizontalAdvance(QString(30, 'n')) + 2 * 19 + 16 + 24);
  codeInfoPanel_->resize(codeInfoWidth_, codeInfoPanel_->height());
  codeInfoPanel_->hide();

  auto* editorPanel = new QFrame(codeInfoSplitter_);
  editorPanel->setObjectName("editorPanel");
  editorPanel->setFrameShape(QFrame::Panel);
  editorPanel->setFrameShadow(QFrame::Sunken);
  auto* editorRow = new QHBoxLayout(editorPanel);
  editorRow->setContentsMargins(1, 1, 1, 1);
  editorRow->setSpacing(0);
  gutter_ = new editor::CodeGutterWidget(&workbench_->gutter(), editorPanel);
  gutter_->setObjectName("gutter");
  gutter_->setFixedWidth(kGutterWidth);
  editorRow->addWidget(gutter_);
  sourceEditor_ = new editor::CodeMemoWidget(workbench_->sourceEditor(),
                                             workbench_->sourceClipboard(), *this, editorPanel);
  sourceEditor_->setObjectName("sourceEditor");
  sourceEditor_->setFrameShape(QFrame::NoFrame);
  editorRow->addWidget(sourceEditor_, 1);
  gutter_->setEditor(sourceEditor_);
  codeInfoSplitter_->setStretchFactor(1, 1);
  codeInfoSplitter_->setSizes({codeInfoWidth_, 400});

  // Bottom panel: the error view in front of the context list.
  bottomPanel_ = new QStackedWidget(bottomSplitter_);
  bottomPanel_->setObjectName("pError");
  bottomPanel_->setMinimumHeight(40);
  errorView_ = new editor::CodeMemoWidget(workbench_->errorView(), workbench_->errorViewClipboard(),
                                          *this, bottomPanel_);
  errorView_->setObjectName("errorView");
  errorView_->setToolTip("Click Line to Go There");
  errorView_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  errorView_->viewport()->setCursor(Qt::ArrowCursor);
  contextList_ = new language::ContextListWidget(bottomPanel_);
  contextList_->setObjectName("contextList");
  connect(contextList_, &language::ContextListWidget::released, this,
          [this](int row, language::ContextListWidget::Click click) {
            using Click = language::ContextListWidget::Click;
            if (row >= 0 && click != Click::none)
              runCommand([&] {
                workbench_->contextList().itemClicked(static_cast<std::size_t>(row),
                                                      click == Click::shift
                                                          ? language::ContextList::Click::shift
                                                          : language::ContextList::Click::plain);
              });
            contextList_->clearSelection();
            contextList_->viewport()->update();
            sourceEditor_->setFocus();
          });
  bottomPanel_->addWidget(errorView_);
  bottomPanel_->addWidget(contextList_);
  buildOutput_ = new build::BuildOutputWidget(workbench_->buildOutput(), *this, bottomPanel_);
  bottomPanel_->addWidget(buildOutput_);
  sourceEditor_->setErrorMarks(&workbench_->gutter());
  bottomPanel_->setCurrentWidget(errorView_);
  bottomSplitter_->setStretchFactor(0, 1);
  bottomSplitter_->setSizes({300, kErrorPanelHeight});
  bottomPanel_->hide();

  statusBar_ = new StatusBarWidget(central);
  statusBar_->setObjectName("statusBar");
  column->addWidget(statusBar_);
  connect(statusBar_, &StatusBarWidget::clicked, this,
          [this](int x) { workbench_->statusBarClicked(x); });

  connect(sourceEditor_, &editor::CodeMemoWidget::mouseReleased, this,
          [this] { workbench_->editorMouseReleased(); });
  // The widget reports left releases; the others arrive through the event filter.
  connect(errorView_, &editor::CodeMemoWidget::mouseReleased, this,
          [this] { runCommand([this] { workbench_->errorPanel().mouseReleased(); }); });
  connect(outlineTree_, &language::OutlineTreeWidget::nodeClicked, this,
          [this](int level, qint64 line) {
            runCommand([&] {
              if (workbench_->outline().treeClicked(level, line)) sourceEditor_->setFocus();
            });
          });
  setStatusBar(nullptr);
}

// The find dialog is made at start-up, as F3 reads what it holds; the character map, with
// its list of every font, waits for its first use. Both are kept until exit.
void MainWindow::buildTools() {
  findDialog_ = new tools::FindReplaceDialog(
      workbench_->findReplace(), workbench_->placements(), clipboard_,
      [this](const Handler& what) { runTool(what); }, this);
}

tools::CharMapWindow& MainWindow::charMapWindow() {
  if (!charMapWindow_)
    charMapWindow_ = new tools::CharMapWindow(
        workbench_->charMap(), workbench_->placements(),
        [this](const Handler& what) { runTool(what); }, this);
  return *charMapWindow_;
}

void MainWindow::showAbout() {
  QMessageBox box(this);
  box.setWindowTitle("About Quillon");
  box.setIconPixmap(QIcon(":/icons/quillon.svg").pixmap(48, 48));
  box.setText(QString("<b>Quillon</b><br>Version %1").arg(QUILLON_VERSION));
  box.setInformativeText("An editor and build front end for MapBasic.");
  box.exec();
}

// ----- Events -----

namespace {

// The editor key as the editing commands know it: a named key, or a letter or digit. Digits
// keep their own number when Shift turned them into a symbol.
std::optional<tools::EditorKey> editorKey(const QKeyEvent& event) {
  switch (event.key()) {
    case Qt::Key_Insert: return tools::EditorKey(editor::EditKey::Insert);
    case Qt::Key_Up: return tools::EditorKey(editor::EditKey::Up);
    case Qt::Key_Down: return tools::EditorKey(editor::EditKey::Down);
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return tools::EditorKey(editor::EditKey::Tab);
    case Qt::Key_F9: return tools::EditorKey::functionKey(9);
    case Qt::Key_Return:
    case Qt::Key_Enter: return tools::EditorKey(editor::EditKey::Enter);
    default: break;
  }
  if (const int digit = editor::CodeGutterWidget::bookmarkDigit(event); digit >= 0)
    return tools::EditorKey(static_cast<char>('0' + digit));
  if (event.key() >= Qt::Key_A && event.key() <= Qt::Key_Z)
    return tools::EditorKey(static_cast<char>('A' + event.key() - Qt::Key_A));
  return std::nullopt;
}

editor::KeyModifiers modifiersOf(const QKeyEvent& event) {
  editor::KeyModifiers mods;
  mods.shift = event.modifiers() & Qt::ShiftModifier;
  mods.ctrl = event.modifiers() & Qt::ControlModifier;
  mods.alt = event.modifiers() & Qt::AltModifier;
  return mods;
}

}  // namespace

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  // While a replace-all run lets messages through, the pages and their text stay still.
  if (workbench_->findReplace().running() && watched->isWidgetType() &&
      static_cast<QWidget*>(watched)->window() == this)
    switch (event->type()) {
      case QEvent::KeyPress:
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonDblClick:
      case QEvent::Drop: return true;
      default: break;
    }
  switch (event->type()) {
    case QEvent::KeyPress:
      // Escape in the source editor or the error view stops a build that waits.
      if ((watched == sourceEditor_ || watched == errorView_) &&
          static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape &&
          workbench_->build().waiting()) {
        runCommand([this] { workbench_->build().stopBuild(); });
        return true;
      }
      if (watched == sourceEditor_) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (const QString text = key->text(); text.size() == 1 &&
                                              (text[0] == '(' || text[0] == ')') &&
                                              editor::MemoKeyboard::typesText(modifiersOf(*key)))
          workbench_->editing().characterTyped(static_cast<char>(text[0].unicode()));
        bool consumed = false;
        if (const auto k = editorKey(*key))
          runCommand([&] { consumed = workbench_->editorKeyPressed(*k, modifiersOf(*key)); });
        if (consumed) return true;
      }
      break;
    case QEvent::ShortcutOverride:
      // Ctrl+Tab and Ctrl+Shift+Tab belong to the editor's page switch, not to focus moves.
      if (watched == sourceEditor_) {
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) &&
            (key->modifiers() & Qt::ControlModifier))
          event->accept();
      }
      break;
    case QEvent::KeyRelease: {
      auto* key = static_cast<QKeyEvent*>(event);
      if (key->key() == Qt::Key_CapsLock || key->key() == Qt::Key_NumLock)
        workbench_->lockKeyPressed();
      if (watched == sourceEditor_ && !key->isAutoRepeat()) {
        // Ctrl+I and Ctrl+O are the Indent and Outdent shortcuts, which acted on the press:
        // one press, one indent.
        const bool menuShortcut = (key->key() == Qt::Key_I || key->key() == Qt::Key_O) &&
                                  key->modifiers() == Qt::ControlModifier;
        bool consumed = false;
        if (const auto k = editorKey(*key); k && !menuShortcut)
          runCommand([&] { consumed = workbench_->editorKeyReleased(*k, modifiersOf(*key)); });
        if (consumed) return true;
      }
      break;
    }
    case QEvent::MouseButtonRelease:
      if (watched == errorView_->viewport() &&
          static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton) {
        // The caret first goes to the line under the pointer, as a left click puts it.
        const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
        runCommand([&] { workbench_->errorPanel().mouseReleasedAt(at.y()); });
      }
      break;
    case QEvent::MouseButtonPress:
      if (watched == sourceEditor_->viewport() &&
          static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
        workbench_->editorMousePressed();
      break;
    case QEvent::ContextMenu:
      if (watched == sourceEditor_->viewport()) {
        editorMenu_->popup(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
      }
      break;
    default: break;
  }
  return QMainWindow::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  bool canClose = false;
  runCommand([&] { canClose = workbench_->closeQuery(); });
  if (canClose) {
    event->accept();
  } else {
    event->ignore();
    states_.resync();
  }
}

namespace {

std::vector<std::string> droppedFiles(const QMimeData* data) {
  std::vector<std::string> names;
  if (!data || !data->hasUrls()) return names;
  for (const QUrl& url : data->urls())
    if (url.isLocalFile())
      names.push_back(platform::fromQPath(QDir::toNativeSeparators(url.toLocalFile())));
  return names;
}

}  // namespace

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (!droppedFiles(event->mimeData()).empty()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  const std::vector<std::string> names = droppedFiles(event->mimeData());
  if (names.empty()) return;
  event->acceptProposedAction();
  runCommand([this, &names] { workbench_->documents().filesDropped(names); });
}

void MainWindow::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange && isActiveWindow() && isMinimized())
    setWindowState(windowState() & ~Qt::WindowMinimized);
  QMainWindow::changeEvent(event);
}

// ----- Ui -----

void MainWindow::showMessage(std::string_view text) {
  platform::runMessageBox(this, QMessageBox::Information,
                          platform::fromQString(QApplication::applicationName()), text,
                          Buttons::Ok);
}

platform::Ui::Answer MainWindow::ask(std::string_view caption, std::string_view text,
                                     Buttons buttons) {
  return question(caption, text, buttons, std::nullopt);
}

platform::Ui::Answer MainWindow::askAt(std::string_view caption, std::string_view text,
                                       Buttons buttons, int left, int top) {
  return question(caption, text, buttons, QPoint(left, top));
}

platform::Ui::Answer MainWindow::question(std::string_view caption, std::string_view text,
                                          Buttons buttons, std::optional<QPoint> at) {
  // A box asked for at a place belongs to the window it is placed over, which may be an
  // always-on-top tool window that would otherwise cover it.
  QWidget* owner = at && QApplication::activeWindow() ? QApplication::activeWindow() : this;
  return platform::runMessageBox(owner, QMessageBox::Question, caption, text, buttons, at);
}

std::optional<std::string> MainWindow::prompt(std::string_view caption, std::string_view question,
                                              std::string_view preset) {
  bool ok = false;
  const QString answer =
      QInputDialog::getText(this, platform::toQString(caption), platform::toQString(question),
                            QLineEdit::Normal, platform::toQString(preset), &ok);
  if (!ok) return std::nullopt;
  return platform::fromQString(answer);
}

std::vector<std::filesystem::path> MainWindow::openFiles(FileDialog& dialog) {
  QFileDialog box(this, platform::toQString(dialog.title), fromPath(dialog.initialDir),
                  toQtFilter(dialog.filter));
  box.setFileMode(dialog.multiSelect ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
  box.setAcceptMode(QFileDialog::AcceptOpen);
  if (const QString f = filterAt(dialog.filter, dialog.filterIndex); !f.isEmpty())
    box.selectNameFilter(f);
  if (!dialog.fileName.empty()) box.selectFile(platform::toQString(dialog.fileName));
  std::vector<std::filesystem::path> files;
  if (box.exec() != QDialog::Accepted) return files;
  for (const QString& f : box.selectedFiles()) files.push_back(toPath(f));
  if (const qsizetype chosen =
          toQtFilter(dialog.filter).split(";;").indexOf(box.selectedNameFilter());
      chosen >= 0)
    dialog.filterIndex = static_cast<int>(chosen) + 1;
  return files;
}

std::optional<std::filesystem::path> MainWindow::saveFile(const FileDialog& dialog) {
  QFileDialog box(this, platform::toQString(dialog.title), fromPath(dialog.initialDir),
                  toQtFilter(dialog.filter));
  box.setAcceptMode(QFileDialog::AcceptSave);
  box.setFileMode(QFileDialog::AnyFile);
  if (!dialog.overwritePrompt) box.setOption(QFileDialog::DontConfirmOverwrite);
  if (!dialog.defaultExt.empty()) box.setDefaultSuffix(platform::toQString(dialog.defaultExt));
  if (const QString f = filterAt(dialog.filter, dialog.filterIndex); !f.isEmpty())
    box.selectNameFilter(f);
  if (!dialog.fileName.empty()) box.selectFile(platform::toQString(dialog.fileName));
  if (box.exec() != QDialog::Accepted || box.selectedFiles().isEmpty()) return std::nullopt;
  return toPath(box.selectedFiles().front());
}

std::optional<std::filesystem::path> MainWindow::pickFolder(std::string_view caption,
                                                            const std::filesystem::path& start) {
  platform::FolderPicker picker(this, platform::toQString(caption), fromPath(start));
  if (picker.exec() != QDialog::Accepted) return std::nullopt;
  return toPath(picker.chosenFolder());
}

void MainWindow::setStatusText(int panel, std::string_view text) {
  statusBar_->setText(panel, text);
}
std::string MainWindow::statusText(int panel) const { return statusBar_->text(panel); }

void MainWindow::setBusy(bool busy) {
  if (busy) {
    if (busyDepth_++ == 0) QApplication::setOverrideCursor(Qt::WaitCursor);
  } else if (busyDepth_ > 0 && --busyDepth_ == 0) {
    QApplication::restoreOverrideCursor();
  }
}

void MainWindow::processPendingMessages() { QCoreApplication::processEvents(); }

// ----- MainView -----

void MainWindow::setRegionVisible(Region region, bool visible) {
  switch (region) {
    case Region::Toolbar:
      toolbar_->setVisible(visible);
      findChild<QFrame*>("toolbarBevel")->setVisible(visible);
      break;
    case Region::StatusBar: statusBar_->setVisible(visible); break;
    case Region::Gutter: gutter_->setVisible(visible); break;
    case Region::ColorPicker:
      if (visible) {
        // Over the search buttons, where the toolbar has room for it.
        bgColor_->move(searchButton_->x(),
                       (toolbar_->height() - bgColor_->sizeHint().height()) / 2);
        bgColor_->raise();
      }
      bgColor_->setVisible(visible);
      break;
    case Region::CodeInfo:
      if (!visible && !codeInfoPanel_->isHidden()) codeInfoWidth_ = codeInfoPanel_->width();
      codeInfoPanel_->setVisible(visible);
      if (visible) {
        const int total = codeInfoSplitter_->width();
        codeInfoSplitter_->setSizes({codeInfoWidth_, std::max(total - codeInfoWidth_, 1)});
      }
      break;
  }
}

bool MainWindow::regionVisible(Region region) const {
  switch (region) {
    case Region::Toolbar: return !toolbar_->isHidden();
    case Region::StatusBar: return !statusBar_->isHidden();
    case Region::Gutter: return !gutter_->isHidden();
    case Region::ColorPicker: return !bgColor_->isHidden();
    case Region::CodeInfo: return !codeInfoPanel_->isHidden();
  }
  return false;
}

void MainWindow::setCaption(std::string_view caption) {
  setWindowTitle(platform::toDisplayString(caption));
}

void MainWindow::setTabs(const std::vector<std::string>& captions, int current) {
  const QSignalBlocker quiet(tabBar_);
  const int count = static_cast<int>(captions.size());
  while (tabBar_->count() > count) tabBar_->removeTab(tabBar_->count() - 1);
  while (tabBar_->count() < count) tabBar_->addTab(QString());
  for (int i = 0; i < count; ++i)
    tabBar_->setTabText(
        i, platform::toDisplayString(captions[static_cast<std::size_t>(i)]).replace('&', "&&"));
  tabBar_->setCurrentIndex(current);
}

void MainWindow::setWindowMenu(const std::vector<std::string>& captions) {
  fillList("window.pages", captions);
}

// The mark is an icon beside the caption, which stays the file-name part.
void MainWindow::setTabMarks(const std::vector<bool>& modified) {
  const QIcon mark(":/icons/modified.svg");
  for (int i = 0; i < tabBar_->count(); ++i) {
    const bool on =
        static_cast<std::size_t>(i) < modified.size() && modified[static_cast<std::size_t>(i)];
    tabBar_->setTabIcon(i, on ? mark : QIcon());
    tabBar_->setTabToolTip(i, on ? QStringLiteral("Modified") : QString());
  }
}

void MainWindow::setWindowMenuMarks(const std::vector<bool>& modified) {
  const QIcon mark(":/icons/modified.svg");
  const auto list = lists_.find("window.pages");
  if (list == lists_.end()) return;
  const std::vector<QAction*>& items = list->second.entries;
  for (std::size_t i = 0; i < items.size(); ++i)
    items[i]->setIcon(i < modified.size() && modified[i] ? mark : QIcon());
}

void MainWindow::setBookmarkCaption(int slot, std::string_view caption) {
  if (slot < 0 || slot >= 10) return;
  const QString text = platform::toQString(caption).replace('&', "&&");
  for (const char* prefix : {"bookmarks.set.", "bookmarks.goto."}) {
    const auto [first, last] = rowActions_.equal_range(prefix + std::to_string(slot));
    for (auto it = first; it != last; ++it) it->second->setText(text);
  }
}

void MainWindow::setEditorFont(const platform::FontInfo& info) {
  const QFont font = platform::fixedPitchFont(info);
  sourceEditor_->setEditorFont(font);
  for (editor::CodeMemoWidget* page : bottomEditors()) page->setEditorFont(font);
  gutter_->setFont(font);
}

void MainWindow::setEditorBackground(platform::Color color) {
  const QColor c = platform::toQColor(color);
  sourceEditor_->setBackground(c);
  for (editor::CodeMemoWidget* page : bottomEditors()) page->setBackground(c);
  gutter_->setColor(c);
}

void MainWindow::setEditorAltFont(const platform::FontInfo& info) {
  sourceEditor_->setAltFont(platform::toQFont(info));
}

std::optional<platform::FontInfo> MainWindow::chooseFont(const platform::FontInfo& current) {
  bool ok = false;
  const QFont preset = platform::dialogPreset(platform::fixedPitchFont(current));
  const QFont font = QFontDialog::getFont(&ok, preset, this);
  if (!ok) return std::nullopt;
  return platform::storedChoice(font, preset, current);
}

void MainWindow::showColorPicker(platform::Color current) { bgColor_->setColor(current); }

void MainWindow::setRecentMenus(const std::vector<std::string>& files,
                                const std::vector<std::string>& sessions) {
  fillList("recent.files", files);
  fillList("recent.sessions", sessions);
}

platform::WindowPlacement MainWindow::windowPlacement() const {
  return platform::placementOf(*this);
}

void MainWindow::setWindowPlacement(const platform::WindowPlacement& p) {
  platform::applyPlacement(*this, p);
}
platform::ScreenRect MainWindow::screen() const { return platform::screenOf(*this); }
void MainWindow::centreWindow() { platform::centreOnScreen(*this); }

void MainWindow::setContextItems(const std::vector<std::string>& items, int extent) {
  contextList_->setItems(items, extent);
}

void MainWindow::showBottomPanel(BottomPage front) {
  bottomPanel_->setCurrentWidget(bottomWidget(front));
  if (bottomPanel_->isHidden()) {
    // The panel comes back at its own height, right above the status bar.
    const int total = bottomSplitter_->height();
    const int panel = std::max(bottomPanel_->minimumHeight(), kErrorPanelHeight);
    bottomPanel_->show();
    bottomSplitter_->setSizes({std::max(total - panel, 1), panel});
  }
}

void MainWindow::hideBottomPanel() { bottomPanel_->hide(); }
bool MainWindow::bottomPanelVisible() const { return !bottomPanel_->isHidden(); }
bool MainWindow::bottomPanelShows(BottomPage page) const {
  const QWidget* front = bottomWidget(page);
  return bottomPanelVisible() && front && bottomPanel_->currentWidget() == front;
}

// The bottom panel's pages that show text: they take the editor's font and background.
std::vector<editor::CodeMemoWidget*> MainWindow::bottomEditors() const {
  std::vector<editor::CodeMemoWidget*> pages;
  for (int i = 0; i < bottomPanel_->count(); ++i)
    if (auto* page = dynamic_cast<editor::CodeMemoWidget*>(bottomPanel_->widget(i)))
      pages.push_back(page);
  return pages;
}

QWidget* MainWindow::bottomWidget(BottomPage page) const {
  switch (page) {
    case BottomPage::ErrorView: return errorView_;
    case BottomPage::ContextList: return contextList_;
    case BottomPage::BuildOutput: return buildOutput_;
    case BottomPage::References: return referenceView_;
  }
  return contextList_;
}

bool MainWindow::editorHasFocus() const { return sourceEditor_->hasFocus(); }
void MainWindow::focusSourceEditor() { sourceEditor_->setFocus(); }
void MainWindow::minimize() { setWindowState(windowState() | Qt::WindowMinimized); }

void MainWindow::bringToFront() {
  if (isMinimized()) setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
  show();
  raise();
  activateWindow();
}

}  // namespace quillon::app

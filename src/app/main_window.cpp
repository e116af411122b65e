#include "app/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QFile>
#include <QFileDialog>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QStackedWidget>
#include <QTabBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "platform/color_combo_widget.h"
#include "platform/qt_conversions.h"
#include "platform/qt_window_placement.h"
#include "app/status_bar_widget.h"
#include "platform/xdg_association_store.h"
#include "editor/code_gutter_widget.h"
#include "editor/code_memo_widget.h"
#include "editor/number_syntax_dialog.h"
#include "language/code_assist_widget.h"
#include "language/context_list_widget.h"
#include "language/keys_dict_dialog.h"
#include "language/keyword_editor_dialog.h"
#include "language/outline_tree_widget.h"
#include "language/word_check_window.h"
#include "tools/char_map_window.h"
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
    result << (parts[i].contains('(') ? parts[i].section('(', 0, 0).trimmed() + " (" + patterns + ")"
                                      : parts[i] + " (" + patterns + ")");
  }
  return result.join(";;");
}

QString filterAt(const std::string& filter, int oneBasedIndex) {
  const QStringList filters = toQtFilter(filter).split(";;");
  return oneBasedIndex >= 1 && oneBasedIndex <= filters.size() ? filters[oneBasedIndex - 1] : QString();
}

std::filesystem::path toPath(const QString& file) { return std::filesystem::path(platform::fromQPath(file)); }
QString fromPath(const std::filesystem::path& path) { return QFile::decodeName(path.string().c_str()); }

}  // namespace

MainWindow::MainWindow(const platform::KeyboardState& keyboard, QWidget* parent)
    : QMainWindow(parent),
      automation_(platform::Environment::fromProcess(), launcher_,
                  [this] { return workbench_ ? workbench_->build().mapInfoFolder() : std::filesystem::path(); }) {
  initResources();
  setObjectName("mainWindow");
  setWindowTitle("Quillon - Untitled");
  setWindowIcon(QIcon(":/icons/quillon.svg"));
  workbench_ = std::make_unique<Workbench>(Workbench::Ports{*this, *this, states_, keyboard, clipboard_, clock_,
                                                           launcher_, automation_, mainThread_, printerPort_});

  buildPanels();
  printerPort_.setEditor(sourceEditor_);
  wordCheck_ = new language::WordCheckWindow(workbench_->wordCheck(), workbench_->wordCheckClipboard(),
                                             [this](const Handler& run) { runCommand(run); }, this);
  workbench_->wordCheckPlacement = [this]() -> std::optional<platform::WindowPlacement> {
    if (!wordCheckShown_) return std::nullopt;
    return platform::placementOf(*wordCheck_);
  };
  wordCheckShownWatch_ = workbench_->wordCheck().onShowRequested.listen([this] { wordCheckShown_ = true; });
  buildMenus();
  buildToolbar();
  buildTools();

  resize(578, 423 + menuBar()->sizeHint().height());
  setAcceptDrops(true);
  sourceEditor_->setFocus();
  qApp->installEventFilter(this);
}

MainWindow::~MainWindow() {
  qApp->removeEventFilter(this);
  // The editor widgets and the tool windows use the Workbench, which goes before the base
  // class would delete its children.
  delete findDialog_;
  delete charMapWindow_;
  delete takeCentralWidget();
  delete wordCheck_;
}

void MainWindow::start(const std::filesystem::path& programFile, const std::vector<std::string>& arguments,
                       std::optional<Workbench::Surroundings> surroundings) {
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
  runCommand([&] {
    if (settings::Settings* settings = workbench_->settings())
      if (const auto placement = settings::readWindowPlacement(settings->file(), settings::PlacedWindow::Main, screen()))
        setWindowPlacement(*placement);
  });
  runCommand([&] {
    if (settings::Settings* settings = workbench_->settings())
      if (const auto placement =
              settings::readWindowPlacement(settings->file(), settings::PlacedWindow::WordCheck, screen()))
        platform::applyPlacement(*wordCheck_, *placement);
  });
}

// ----- Building -----

QAction* MainWindow::item(QMenu* menu, const QString& caption, const QKeySequence& shortcut, Handler run) {
  auto* action = menu->addAction(caption);
  if (!shortcut.isEmpty()) action->setShortcut(shortcut);
  connect(action, &QAction::triggered, this, [this, run] { runCommand(run); });
  return action;
}

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
  states_.resync();
}

QAction* MainWindow::checkItem(QMenu* menu, const QString& caption, const QKeySequence& shortcut, platform::Command command,
                               Handler run) {
  QAction* action = item(menu, caption, shortcut, std::move(run));
  action->setCheckable(true);
  states_.bind(command, action);
  return action;
}

void MainWindow::buildMenus() {
  Workbench& wb = *workbench_;
  settings::OptionCommands& options = wb.options();
  auto bound = [this](QAction* a, platform::Command c) {
    states_.bind(c, a);
    return a;
  };

  QMenu* file = menuBar()->addMenu("&File");
  pages::DocumentCommands& docs = wb.documents();
  tools::EditingCommands& editing = wb.editing();
  item(file, "&New", {}, [&docs] { docs.newPage(); });
  item(file, "&Open...", {}, [&docs] { docs.open(pages::DocumentCommands::Opener::Dialog); });
  recentFilesMenu_ = file->addMenu("ReOpen");
  sessionsMenu_ = file->addMenu("Last Sessions");
  setRecentMenus({}, {});
  file->addSeparator();
  QAction* asProject = item(file, "Set Page As #1 [PRJ]....", {}, [&wb] { wb.project().setPageAsFirst(); });
  asProject->setStatusTip("Set this page to #1 > project");
  asProject->setToolTip("Set this page to #1 > project");
  file->addSeparator();
  bound(item(file, "&Save", QKeySequence("Ctrl+S"), [&docs] { docs.save(); }), platform::Command::Save1);
  item(file, "Save &As...", {}, [&docs] { docs.saveAs(); });
  item(file, "Save All", {}, [&docs] { docs.saveAll(); });
  file->addSeparator();
  item(file, "Close Page", {}, [&docs] { docs.closePage(); });
  item(file, "Close All", {}, [&docs] { docs.closeAll(); });
  file->addSeparator();
  item(file, "Insert File...", {}, [&wb] { wb.insertFile().run(); });
  file->addSeparator();
  bound(item(file, "Preview...", {}, [&wb] { wb.preview(); }), platform::Command::Preview1);
  bound(item(file, "&Print", QKeySequence("Ctrl+P"), [&wb] { wb.print(); }), platform::Command::Print1);
  file->addSeparator();
  item(file, "E&xit", {}, [this] {
    QCoreApplication::processEvents();
    close();
  });

  QMenu* project = menuBar()->addMenu("Project");
  build::ProjectCommands& projects = wb.project();
  item(project, "New", {}, [&projects] { projects.newProject(); });
  item(project, "Select....", {}, [&projects] { projects.select(); });
  item(project, "Create From Pages", {}, [&projects] { projects.createFromPages(); });
  project->addSeparator();
  build::BuildCommands& builds = wb.build();
  build::ErrorPanel& errors = wb.errorPanel();
  bound(item(project, "Compile", QKeySequence("Ctrl+K"), [&builds] { builds.compile(); }), platform::Command::Compile1);
  bound(item(project, "Link", QKeySequence("Ctrl+L"), [&builds] { builds.link(); }), platform::Command::Link1);
  bound(item(project, "Run", QKeySequence("Ctrl+U"), [&builds] { builds.run(); }), platform::Command::Run1);
  project->addSeparator();
  checkItem(project, "AutoSave @ Compile", {}, platform::Command::AutoSaveCompile1, [&options] { options.toggleAutoSaveCompile(); });
  checkItem(project, "Show Done Box", {}, platform::Command::ShowDoneBox1, [&options] { options.toggleShowDoneBox(); });
  project->addSeparator();
  checkItem(project, "Show Errors", QKeySequence("Ctrl+E"), platform::Command::ShowErrors1,
            [&errors] { errors.toggle(); });
  // The error walk has keys but no menu items.
  for (const auto& [keys, forward] : {std::pair{"F8", true}, std::pair{"Shift+F8", false}}) {
    auto* walk = new QAction(this);
    walk->setShortcut(QKeySequence(keys));
    walk->setShortcutContext(Qt::WindowShortcut);
    connect(walk, &QAction::triggered, this, [this, &errors, forward = forward] { runCommand([&] { errors.nextError(forward); }); });
    addAction(walk);
  }

  QMenu* edit = menuBar()->addMenu("&Edit");
  bound(item(edit, "&Undo", QKeySequence("Ctrl+Z"), [&wb] { wb.undo(); }), platform::Command::Undo1);
  bound(item(edit, "&Redo", {}, [&wb] { wb.redo(); }), platform::Command::Redo1);
  edit->addSeparator();
  bound(item(edit, "Cu&t", QKeySequence("Ctrl+X"), [&wb] { wb.cut(); }), platform::Command::Cut1);
  bound(item(edit, "&Copy", QKeySequence("Ctrl+C"), [&wb] { wb.copy(); }), platform::Command::Copy1);
  item(edit, "&Paste", QKeySequence("Ctrl+V"), [&wb] { wb.paste(); });
  item(edit, "Select &All", QKeySequence("Ctrl+A"), [&wb] { wb.selectAll(); });
  edit->addSeparator();
  item(edit, "Indent", QKeySequence("Ctrl+I"), [&editing] { editing.indent(); });
  item(edit, "Outdent", QKeySequence("Ctrl+O"), [&editing] { editing.outdent(); });
  edit->addSeparator();
  item(edit, "Check Words", {}, [&wb] { wb.wordCheck().open(); });
  item(edit, "Character Map....", {}, [this] { charMapWindow().showMap(); });

  QMenu* find = menuBar()->addMenu("Find");
  item(find, "&Find/Replace...", QKeySequence("Ctrl+F"), [&wb] { wb.openFindReplace(); });
  bound(item(find, "Find/Replace next", QKeySequence("F3"), [&wb] { wb.findNext(); }), platform::Command::FindNext1);
  // Whether Revert covers every page is the find and replace dialog's "All Pages" option.
  bound(item(find, "Revert", {}, [&wb] { wb.revert(); }), platform::Command::Revert1);
  find->addSeparator();
  item(find, "Go To Line....", QKeySequence("Ctrl+T"), [&editing] { editing.goToLine(); });

  QMenu* bookmarks = menuBar()->addMenu("BookMarks");
  QMenu* setMarks = bookmarks->addMenu("Set");
  QMenu* gotoMarks = bookmarks->addMenu("Goto");
  for (int i = 0; i < 10; ++i) {
    bookmarkItems_[0][i] = item(setMarks, QString::number(i), {}, [&editing, i] { editing.setBookmark(i); });
    bookmarkItems_[1][i] = item(gotoMarks, QString::number(i), {}, [&editing, i] { editing.gotoBookmark(i); });
  }
  bookmarks->addSeparator();
  item(bookmarks, "Clear All", {}, [&editing] { editing.clearAllBookmarks(); });

  QMenu* codeInfo = menuBar()->addMenu("CodeInfo");
  language::OutlineCommands& outline = wb.outline();
  checkItem(codeInfo, "Show...", QKeySequence("F12"), platform::Command::CodeInfoShow1, [&outline] { outline.toggleShow(); });
  item(codeInfo, "ReScan....", QKeySequence("Ctrl+F12"), [this, &outline] {
    if (outline.rescan()) sourceEditor_->setFocus();
  });
  checkItem(codeInfo, "Sorted", {}, platform::Command::CodeInfoSorted1, [&outline] { outline.toggleSorted(); });

  QMenu* opts = menuBar()->addMenu("Options");
  item(opts, "&Font...", {}, [&options] { options.chooseFont(); });
  item(opts, "&Background Color...", {}, [&options] { options.chooseBackground(); });
  opts->addSeparator();
  checkItem(opts, "Use Syntax Highlighting", {}, platform::Command::SyntaxHighlighting1,
            [&options] { options.toggleSyntaxHighlighting(); });
  item(opts, "Refresh Highlighting", QKeySequence("F10"), [&options] { options.refreshHighlighting(); });
  opts->addSeparator();
  checkItem(opts, "Toolbar", {}, platform::Command::Toolbar1, [&options] { options.toggleToolbar(); });
  checkItem(opts, "Status bar", {}, platform::Command::StatusBar1, [&options] { options.toggleStatusBar(); });
  checkItem(opts, "Line Numbers", {}, platform::Command::LineNumbers1, [&options] { options.toggleLineNumbers(); });
  checkItem(opts, "Help Context", QKeySequence("Ctrl+H"), platform::Command::HelpContext1,
            [&wb] { wb.contextList().helpContext(); });
  opts->addSeparator();
  checkItem(opts, "Word Wrap", {}, platform::Command::WordWrap1, [&options] { options.toggleWordWrap(); });
  checkItem(opts, "Cursor Past End", {}, platform::Command::CursorPastEnd1, [&options] { options.toggleCursorPastEnd(); });
  item(opts, "Cursor Width...", {}, [&options] { options.askCursorWidth(); });
  item(opts, "Tab Stops...", {}, [&options] { options.askTabStops(); });
  checkItem(opts, "Auto Indent", {}, platform::Command::AutoIndent1, [&options] { options.toggleAutoIndent(); });
  opts->addSeparator();
  checkItem(opts, "Set as Defaut [*.MB] Editor", {}, platform::Command::DefaultEditor1,
            [&wb] { wb.toggleDefaultEditor(); });

  QAction* keysDict = menuBar()->addAction("Keys/Dict");
  connect(keysDict, &QAction::triggered, this, [this] { runCommand([this] { showKeysDict(); }); });

  windowMenu_ = menuBar()->addMenu("&Window");
  connect(windowMenu_, &QMenu::aboutToShow, this, [&docs] { docs.refreshWindowList(); });

  QMenu* help = menuBar()->addMenu("&Help");
  item(help, "MapBasic Help", QKeySequence("F1"), [&wb] { wb.help().mapBasicHelp(); });
  item(help, "Quillon Help", QKeySequence("F2"), [&wb] { wb.help().quillonHelp(); });
  help->addSeparator();
  item(help, "&About Quillon...", {}, [this] { showAbout(); });

  // The editor's own menu and the context list's menu.
  editorMenu_ = new QMenu(this);
  editorMenu_->setObjectName("Pop1");
  item(editorMenu_, "Close Page", {}, [&docs] { docs.closePage(); });
  editorMenu_->addSeparator();
  item(editorMenu_, "Cut", {}, [&wb] { wb.cut(); });
  item(editorMenu_, "Copy", {}, [&wb] { wb.copy(); });
  item(editorMenu_, "Paste", {}, [&wb] { wb.paste(); });
  editorMenu_->addSeparator();
  item(editorMenu_, "Go To Line...", {}, [&editing] { editing.goToLine(); });
  QMenu* setPop = editorMenu_->addMenu("Set Bookmark");
  QMenu* gotoPop = editorMenu_->addMenu("Goto Bookmark");
  for (int i = 0; i < 10; ++i) {
    bookmarkItems_[2][i] = item(setPop, QString::number(i), {}, [&editing, i] { editing.setBookmark(i); });
    bookmarkItems_[3][i] = item(gotoPop, QString::number(i), {}, [&editing, i] { editing.gotoBookmark(i); });
  }

  contextMenu_ = new QMenu(this);
  contextMenu_->setObjectName("Pop2");
  QAction* ignore = item(contextMenu_, "Ignore For Now", {}, [&wb] { wb.contextList().ignoreForNow(); });
  QAction* add = item(contextMenu_, "Add To Dictionary", {}, [&wb] { wb.contextList().addToDictionary(); });
  item(contextMenu_, "Add To KeyWords", {}, [this, &wb] { editKeywords(wb.contextList().popupWord()); });
  contextList_->setContextMenuPolicy(Qt::CustomContextMenu);
  // An empty list has no menu; without a word the two word items are off.
  connect(contextList_, &QWidget::customContextMenuRequested, this, [this, &wb, ignore, add](const QPoint& at) {
    if (wb.status().contextItems().empty()) return;
    const bool word = !wb.contextList().popupWord().empty();
    ignore->setEnabled(word);
    add->setEnabled(word);
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
      if (language::editStartStopKeys(keysDict_, wb.highlighting().startStopKeys())) wb.keysDict().keywordsEdited();
    };
    actions.editNumberStyle = [this, &wb] {
      editor::editNumberSyntax(keysDict_, wb.numbers(), platform::toQColor(wb.options().background()),
                               [&wb] { wb.numberSyntaxApplied(); });
    };
    actions.run = [this](const Handler& run) { runCommand(run); };
    keysDict_ = new language::KeysDictDialog(wb.keysDict(), wb.options(), wb.sourceEditor(), std::move(actions), this);
  }
  keysDict_->execute();
}

// Keys "Edit", and "Add To KeyWords" with the word typed in.
void MainWindow::editKeywords(const std::string& typed) {
  Workbench& wb = *workbench_;
  QWidget* parent = keysDict_ && keysDict_->isVisible() ? static_cast<QWidget*>(keysDict_) : this;
  if (language::editKeywords(parent, wb.highlighting().keywords(), typed)) wb.keysDict().keywordsEdited();
}

QToolButton* MainWindow::button(const char* name, const char* icon, const QString& hint, Handler run,
                                std::optional<platform::Command> command, bool toggle) {
  auto* action = new QAction(QIcon(QString(":/icons/%1.svg").arg(icon)), hint, this);
  action->setToolTip(hint);
  action->setStatusTip(hint);
  action->setCheckable(toggle);
  connect(action, &QAction::triggered, this, [this, run] { runCommand(run); });
  auto* tool = new QToolButton(toolbar_);
  tool->setObjectName(name);
  tool->setDefaultAction(action);
  tool->setAutoRaise(true);
  tool->setFixedSize(24, 24);
  tool->setIconSize(QSize(16, 16));
  tool->setFocusPolicy(Qt::NoFocus);
  toolbar_->layout()->addWidget(tool);
  if (command) states_.bind(*command, action);
  return tool;
}

void MainWindow::buildToolbar() {
  Workbench& wb = *workbench_;
  auto gap = [this] { static_cast<QHBoxLayout*>(toolbar_->layout())->addSpacing(6); };

  pages::DocumentCommands& docs = wb.documents();
  button("bNew", "new", "New Page", [&docs] { docs.newPage(); });
  QToolButton* open = button("bOpen", "open", "Open File", [&docs] { docs.open(pages::DocumentCommands::Opener::Dialog); });
  open->setFixedSize(36, 24);
  open->setPopupMode(QToolButton::MenuButtonPopup);
  button("bSave", "save", "Save Page", [&docs] { docs.save(); }, platform::Command::bSave);
  button("bClose", "close", "Close Page", [&docs] { docs.closePage(); });
  gap();
  build::BuildCommands& builds = wb.build();
  build::ErrorPanel& errors = wb.errorPanel();
  button("bCompile", "compile", "Compile", [&builds] { builds.compile(); }, platform::Command::bCompile);
  button("bLink", "link", "Link", [&builds] { builds.link(); }, platform::Command::bLink);
  button("bRun", "run", "Run", [&builds] { builds.run(); }, platform::Command::bRun);
  button("bError", "errors", "Show Errors", [&errors] { errors.toggle(); }, platform::Command::bError, true);
  gap();
  searchButton_ = button("bSearch", "search", "Search/Replace", [this] { workbench_->openFindReplace(); });
  button("bAgain", "again", "Again [F3]......", [this] { workbench_->findNext(); }, platform::Command::bAgain);
  gap();
  button("bCut", "cut", "Cut", [&wb] { wb.cut(); }, platform::Command::bCut);
  button("bCopy", "copy", "Copy", [&wb] { wb.copy(); }, platform::Command::bCopy);
  button("bPaste", "paste", "Paste", [&wb] { wb.paste(); });
  gap();
  button("bUndo", "undo", "Undo", [&wb] { wb.undo(); }, platform::Command::bUndo);
  button("bRedo", "redo", "Redo", [&wb] { wb.redo(); }, platform::Command::bRedo);
  gap();
  button("bPreview", "preview", "Print Preview", [&wb] { wb.preview(); }, platform::Command::bPreview);
  button("bPrint", "print", "Print", [&wb] { wb.print(); }, platform::Command::bPrint);
  gap();
  button("bWrap", "wrap", "WordWrap", [&wb] { wb.options().toggleWordWrap(); }, platform::Command::bWrap, true);
  static_cast<QHBoxLayout*>(toolbar_->layout())->addStretch(1);

  // The recent files fill this menu; it is also the drop-down of bOpen.
  open->setMenu(recentFilesMenu_);

  bgColor_ = new platform::ColorComboWidget(toolbar_);
  bgColor_->setObjectName("bgColor");
  bgColor_->setFixedWidth(193);
  bgColor_->setToolTip("R-Click for Color Palette");
  bgColor_->hide();
  connect(bgColor_, &platform::ColorComboWidget::colorChosen, this, [this](platform::Color color) {
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
  codeInfoPanel_->resize(kCodeInfoWidth, codeInfoPanel_->height());
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
  sourceEditor_ = new editor::CodeMemoWidget(workbench_->sourceEditor(), workbench_->sourceClipboard(), editorPanel);
  sourceEditor_->setObjectName("sourceEditor");
  sourceEditor_->setFrameShape(QFrame::NoFrame);
  editorRow->addWidget(sourceEditor_, 1);
  gutter_->setEditor(sourceEditor_);
  new language::CodeAssistWidget(*sourceEditor_, workbench_->wordLists(), workbench_->names(), [this] { return workbench_->currentFile(); });
  codeInfoSplitter_->setStretchFactor(1, 1);
  codeInfoSplitter_->setSizes({kCodeInfoWidth, 400});

  // Bottom panel: the error view in front of the context list.
  bottomPanel_ = new QStackedWidget(bottomSplitter_);
  bottomPanel_->setObjectName("pError");
  bottomPanel_->setMinimumHeight(40);
  errorView_ = new editor::CodeMemoWidget(workbench_->errorView(), workbench_->errorViewClipboard(), bottomPanel_);
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
                workbench_->contextList().itemClicked(static_cast<std::size_t>(row), click == Click::shift
                                                                                         ? language::ContextList::Click::shift
                                                                                         : language::ContextList::Click::plain);
              });
            contextList_->clearSelection();
            contextList_->viewport()->update();
            sourceEditor_->setFocus();
          });
  bottomPanel_->addWidget(errorView_);
  bottomPanel_->addWidget(contextList_);
  bottomPanel_->setCurrentWidget(errorView_);
  bottomSplitter_->setStretchFactor(0, 1);
  bottomSplitter_->setSizes({300, kErrorPanelHeight});
  bottomPanel_->hide();

  statusBar_ = new StatusBarWidget(central);
  statusBar_->setObjectName("statusBar");
  column->addWidget(statusBar_);
  connect(statusBar_, &StatusBarWidget::clicked, this, [this](int x) { workbench_->statusBarClicked(x); });

  connect(sourceEditor_, &editor::CodeMemoWidget::mouseReleased, this, [this] { workbench_->editorMouseReleased(); });
  // The widget reports left releases; the others arrive through the event filter.
  connect(errorView_, &editor::CodeMemoWidget::mouseReleased, this,
          [this] { runCommand([this] { workbench_->errorPanel().mouseReleased(); }); });
  connect(outlineTree_, &language::OutlineTreeWidget::nodeClicked, this, [this](int level, qint64 line) {
    runCommand([&] {
      if (workbench_->outline().treeClicked(level, line)) sourceEditor_->setFocus();
    });
  });
  setStatusBar(nullptr);
}

// The find dialog is made at start-up, as F3 reads what it holds; the character map, with
// its list of every font, waits for its first use. Both are kept until exit.
void MainWindow::buildTools() {
  findDialog_ = new tools::FindReplaceDialog(workbench_->findReplace(), [this] { return workbench_->settings(); },
                                             [this](const Handler& what) { runTool(what); }, this);
}

tools::CharMapWindow& MainWindow::charMapWindow() {
  if (!charMapWindow_)
    charMapWindow_ = new tools::CharMapWindow(workbench_->charMap(), [this] { return workbench_->settings(); },
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
  if (event.key() >= Qt::Key_A && event.key() <= Qt::Key_Z) return tools::EditorKey(static_cast<char>('A' + event.key() - Qt::Key_A));
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
  if (workbench_->findReplace().running() && watched->isWidgetType() && static_cast<QWidget*>(watched)->window() == this)
    switch (event->type()) {
      case QEvent::KeyPress:
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonDblClick:
      case QEvent::Drop:
        return true;
      default:
        break;
    }
  switch (event->type()) {
    case QEvent::KeyPress:
      if (watched == sourceEditor_) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (const QString text = key->text();
            text.size() == 1 && (text[0] == '(' || text[0] == ')') && editor::MemoKeyboard::typesText(modifiersOf(*key)))
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
        if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) && (key->modifiers() & Qt::ControlModifier))
          event->accept();
      }
      break;
    case QEvent::KeyRelease: {
      auto* key = static_cast<QKeyEvent*>(event);
      if (key->key() == Qt::Key_CapsLock || key->key() == Qt::Key_NumLock) workbench_->lockKeyPressed();
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
      if (watched == errorView_->viewport() && static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton)
        runCommand([this] { workbench_->errorPanel().mouseReleased(); });
      break;
    case QEvent::MouseButtonPress:
      if (watched == sourceEditor_->viewport() && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
        workbench_->editorMousePressed();
      break;
    case QEvent::ContextMenu:
      if (watched == sourceEditor_->viewport()) {
        editorMenu_->popup(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
      }
      break;
    default:
      break;
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
    if (url.isLocalFile()) names.push_back(platform::fromQPath(QDir::toNativeSeparators(url.toLocalFile())));
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
  QMessageBox::information(this, QApplication::applicationName(), platform::toDisplayString(text));
}

platform::Ui::Answer MainWindow::ask(std::string_view caption, std::string_view text, Buttons buttons) {
  return question(caption, text, buttons, std::nullopt);
}

platform::Ui::Answer MainWindow::askAt(std::string_view caption, std::string_view text, Buttons buttons, int left, int top) {
  return question(caption, text, buttons, QPoint(left, top));
}

platform::Ui::Answer MainWindow::question(std::string_view caption, std::string_view text, Buttons buttons,
                                          std::optional<QPoint> at) {
  // A box asked for at a place belongs to the window it is placed over, which may be an
  // always-on-top tool window that would otherwise cover it.
  QWidget* owner = at && QApplication::activeWindow() ? QApplication::activeWindow() : this;
  QMessageBox box(QMessageBox::Question, platform::toQString(caption), platform::toDisplayString(text), QMessageBox::NoButton, owner);
  if (at) box.move(*at);
  std::vector<std::pair<QAbstractButton*, Answer>> map;
  auto add = [&](const char* label, QMessageBox::ButtonRole role, Answer answer) {
    map.emplace_back(box.addButton(label, role), answer);
  };
  switch (buttons) {
    case Buttons::Ok: add("OK", QMessageBox::AcceptRole, Answer::Ok); break;
    case Buttons::OkCancel:
      add("OK", QMessageBox::AcceptRole, Answer::Ok);
      add("Cancel", QMessageBox::RejectRole, Answer::Cancel);
      break;
    case Buttons::YesNo:
      add("&Yes", QMessageBox::YesRole, Answer::Yes);
      add("&No", QMessageBox::NoRole, Answer::No);
      break;
    case Buttons::YesNoCancel:
      add("&Yes", QMessageBox::YesRole, Answer::Yes);
      add("&No", QMessageBox::NoRole, Answer::No);
      add("Cancel", QMessageBox::RejectRole, Answer::Cancel);
      break;
    case Buttons::YesNoAll:
    case Buttons::YesNoCancelAll:
      add("&Yes", QMessageBox::YesRole, Answer::Yes);
      add("&No", QMessageBox::NoRole, Answer::No);
      if (buttons == Buttons::YesNoCancelAll) add("Cancel", QMessageBox::RejectRole, Answer::Cancel);
      add("N&o to All", QMessageBox::NoRole, Answer::NoToAll);
      add("Yes to &All", QMessageBox::YesRole, Answer::YesToAll);
      break;
    case Buttons::YesNoCancelWithAll:
      add("&Yes", QMessageBox::YesRole, Answer::Yes);
      add("&No", QMessageBox::NoRole, Answer::No);
      add("Cancel", QMessageBox::RejectRole, Answer::Cancel);
      add("&All", QMessageBox::YesRole, Answer::All);
      break;
  }
  box.exec();
  for (auto& [b, answer] : map)
    if (box.clickedButton() == b) return answer;
  // Closing the box without a button: the safe answer its buttons offer.
  switch (buttons) {
    case Buttons::Ok: return Answer::Ok;
    case Buttons::YesNo:
    case Buttons::YesNoAll: return Answer::No;
    default: return Answer::Cancel;
  }
}

std::optional<std::string> MainWindow::prompt(std::string_view caption, std::string_view question,
                                              std::string_view preset) {
  bool ok = false;
  const QString answer = QInputDialog::getText(this, platform::toQString(caption), platform::toQString(question), QLineEdit::Normal,
                                               platform::toQString(preset), &ok);
  if (!ok) return std::nullopt;
  return platform::fromQString(answer);
}

std::vector<std::filesystem::path> MainWindow::openFiles(FileDialog& dialog) {
  QFileDialog box(this, platform::toQString(dialog.title), fromPath(dialog.initialDir), toQtFilter(dialog.filter));
  box.setFileMode(dialog.multiSelect ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
  box.setAcceptMode(QFileDialog::AcceptOpen);
  if (const QString f = filterAt(dialog.filter, dialog.filterIndex); !f.isEmpty()) box.selectNameFilter(f);
  if (!dialog.fileName.empty()) box.selectFile(platform::toQString(dialog.fileName));
  std::vector<std::filesystem::path> files;
  if (box.exec() != QDialog::Accepted) return files;
  for (const QString& f : box.selectedFiles()) files.push_back(toPath(f));
  if (const qsizetype chosen = toQtFilter(dialog.filter).split(";;").indexOf(box.selectedNameFilter()); chosen >= 0)
    dialog.filterIndex = static_cast<int>(chosen) + 1;
  return files;
}

std::optional<std::filesystem::path> MainWindow::saveFile(const FileDialog& dialog) {
  QFileDialog box(this, platform::toQString(dialog.title), fromPath(dialog.initialDir), toQtFilter(dialog.filter));
  box.setAcceptMode(QFileDialog::AcceptSave);
  box.setFileMode(QFileDialog::AnyFile);
  if (!dialog.overwritePrompt) box.setOption(QFileDialog::DontConfirmOverwrite);
  if (!dialog.defaultExt.empty()) box.setDefaultSuffix(platform::toQString(dialog.defaultExt));
  if (const QString f = filterAt(dialog.filter, dialog.filterIndex); !f.isEmpty()) box.selectNameFilter(f);
  if (!dialog.fileName.empty()) box.selectFile(platform::toQString(dialog.fileName));
  if (box.exec() != QDialog::Accepted || box.selectedFiles().isEmpty()) return std::nullopt;
  return toPath(box.selectedFiles().front());
}

std::optional<std::filesystem::path> MainWindow::pickFolder(std::string_view caption, const std::filesystem::path& start) {
  const QString folder = QFileDialog::getExistingDirectory(this, platform::toQString(caption), fromPath(start));
  if (folder.isEmpty()) return std::nullopt;
  return toPath(folder);
}

void MainWindow::setStatusText(int panel, std::string_view text) { statusBar_->setText(panel, text); }
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
        bgColor_->move(searchButton_->x(), (toolbar_->height() - bgColor_->sizeHint().height()) / 2);
        bgColor_->raise();
      }
      bgColor_->setVisible(visible);
      break;
    case Region::CodeInfo: codeInfoPanel_->setVisible(visible); break;
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

void MainWindow::setCaption(std::string_view caption) { setWindowTitle(platform::toDisplayString(caption)); }

void MainWindow::setTabs(const std::vector<std::string>& captions, int current) {
  const QSignalBlocker quiet(tabBar_);
  const int count = static_cast<int>(captions.size());
  while (tabBar_->count() > count) tabBar_->removeTab(tabBar_->count() - 1);
  while (tabBar_->count() < count) tabBar_->addTab(QString());
  for (int i = 0; i < count; ++i) tabBar_->setTabText(i, platform::toDisplayString(captions[static_cast<std::size_t>(i)]).replace('&', "&&"));
  tabBar_->setCurrentIndex(current);
}

void MainWindow::setWindowMenu(const std::vector<std::string>& captions) {
  windowMenu_->clear();
  pages::DocumentCommands& docs = workbench_->documents();
  for (std::size_t i = 0; i < captions.size(); ++i)
    item(windowMenu_, platform::toDisplayString(captions[i]), {}, [&docs, i] { docs.windowMenuPick(i); });
}

void MainWindow::setBookmarkCaption(int slot, std::string_view caption) {
  if (slot < 0 || slot >= 10) return;
  const QString text = platform::toQString(caption).replace('&', "&&");
  for (auto& row : bookmarkItems_)
    if (QAction* a = row[static_cast<std::size_t>(slot)]) a->setText(text);
}

void MainWindow::setEditorFont(const platform::FontInfo& info) {
  const QFont font = platform::toQFont(info);
  sourceEditor_->setEditorFont(font);
  errorView_->setEditorFont(font);
  gutter_->setFont(font);
}

void MainWindow::setEditorBackground(platform::Color color) {
  const QColor c = platform::toQColor(color);
  sourceEditor_->setBackground(c);
  errorView_->setBackground(c);
  gutter_->setColor(c);
}

void MainWindow::setEditorAltFont(const platform::FontInfo& info) { sourceEditor_->setAltFont(platform::toQFont(info)); }

std::optional<platform::FontInfo> MainWindow::chooseFont(const platform::FontInfo& current) {
  bool ok = false;
  const QFont font = QFontDialog::getFont(&ok, platform::toQFont(current), this);
  if (!ok) return std::nullopt;
  return platform::fromQFont(font, current);
}

void MainWindow::showColorPicker(platform::Color current) { bgColor_->setColor(current); }

void MainWindow::setRecentMenus(const std::vector<std::string>& files, const std::vector<std::string>& sessions) {
  Workbench& wb = *workbench_;
  auto fill = [this](QMenu* menu, const std::vector<std::string>& captions, std::function<void(std::size_t)> pick,
                     Handler clear) {
    menu->clear();
    for (std::size_t i = 0; i < captions.size(); ++i)
      item(menu, platform::toDisplayString(captions[i]), {}, [pick, i] { pick(i); });
    menu->addSeparator();
    QAction* a = item(menu, "Clear List...", {}, std::move(clear));
    a->setStatusTip("Clear recent files list");
    a->setToolTip("Clear recent files list");
  };
  fill(recentFilesMenu_, files, [&wb](std::size_t i) { wb.recentFilePicked(i); }, [&wb] { wb.clearRecentFiles(); });
  fill(sessionsMenu_, sessions, [&wb](std::size_t i) { wb.sessionPicked(i); }, [&wb] { wb.clearSessions(); });
}

platform::WindowPlacement MainWindow::windowPlacement() const { return platform::placementOf(*this); }

void MainWindow::setWindowPlacement(const platform::WindowPlacement& p) { platform::applyPlacement(*this, p); }
platform::ScreenRect MainWindow::screen() const { return platform::screenOf(*this); }
void MainWindow::centreWindow() { platform::centreOnScreen(*this); }

void MainWindow::setContextItems(const std::vector<std::string>& items, int extent) {
  contextList_->setItems(items, extent);
}

void MainWindow::showBottomPanel(BottomPage front) {
  bottomPanel_->setCurrentWidget(front == BottomPage::ErrorView ? static_cast<QWidget*>(errorView_) : contextList_);
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

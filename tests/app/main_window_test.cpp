#include "app/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontDialog>
#include <QFontInfo>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QLocalSocket>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QWindow>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

#include "app/status_bar_widget.h"
#include "build/error_panel.h"
#include "editor/code_gutter.h"
#include "editor/code_memo.h"
#include "editor/code_memo_widget.h"
#include "language/word_check_window.h"
#include "platform/qt_single_instance.h"
#include "settings/ini_file.h"
#include "settings/option_commands.h"
#include "settings/settings.h"
#include "support/fake_keyboard.h"
#include "support/special_files.h"
#include "support/temp_folder.h"
#include "support/test_program.h"
#include "tools/char_map_window.h"
#include "tools/find_replace_dialog.h"

namespace quillon::app {
namespace {

class MainWindowTest : public ::testing::Test {
protected:
  testing::TestProgram installed;
  // Beside the default key file, so start-up has no message to show.
  MainWindowTest() { window.start(installed.file(), {}, installed.surroundings()); }

  // Item of a menu, or of a submenu when `path` has two parts ("BookMarks/Set").
  QAction* find(const QString& path, const QString& caption) {
    QList<QAction*> actions = window.menuBar()->actions();
    QAction* item = nullptr;
    for (const QString& part : path.split('/') + QStringList{caption}) {
      const auto it = std::find_if(actions.begin(), actions.end(),
                                   [&](QAction* a) { return a->text() == part; });
      if (it == actions.end()) return nullptr;
      item = *it;
      actions = item->menu() ? item->menu()->actions() : QList<QAction*>();
    }
    return item;
  }
  bool errorPanelShown() { return !window.findChild<QWidget*>("pError")->isHidden(); }

  // Shown, active and the editor focused, so keys arrive as a user's do; null if never active.
  QWindow* showWithEditorFocused() {
    window.show();
    window.activateWindow();
    if (!QTest::qWaitForWindowActive(&window)) return nullptr;
    window.sourceEditorWidget().setFocus();
    return window.windowHandle();
  }

  testing::FakeKeyboard keyboard;
  MainWindow window{keyboard};
};

struct MenuItem {
  const char* caption;
  const char* shortcut = "";
  bool enabled = true;
  int check = -1;  // -1 not checkable, 0 unchecked, 1 checked
};

const std::pair<const char*, std::vector<MenuItem>> kMenus[] = {
    {"&File",
     {{"&New"},
      {"&Open..."},
      {"ReOpen"},
      {"Last Sessions"},
      {"Set Page As #1 [PRJ]...."},
      {"&Save", "Ctrl+S"},
      {"Save &As..."},
      {"Save All"},
      {"Close Page"},
      {"Close All"},
      {"Insert File..."},
      {"Preview..."},
      {"&Print", "Ctrl+P"},
      {"E&xit"}}},
    {"Project",
     {{"New"},
      {"Select...."},
      {"Create From Pages"},
      {"Compile", "Ctrl+K", false},
      {"Link", "Ctrl+L", false},
      {"Run", "Ctrl+U"},
      {"AutoSave @ Compile", "", true, 0},
      {"Show Done Box", "", true, 0},
      {"Show Errors", "Ctrl+E", true, 0}}},
    {"&Edit",
     {{"&Undo", "Ctrl+Z", false},
      {"&Redo", "", false},
      {"Cu&t", "Ctrl+X", false},
      {"&Copy", "Ctrl+C", false},
      {"&Paste", "Ctrl+V"},
      {"Select &All", "Ctrl+A"},
      {"Indent", "Ctrl+I"},
      {"Outdent", "Ctrl+O"},
      {"Check Words"},
      {"Character Map...."}}},
    {"Find",
     {{"&Find/Replace...", "Ctrl+F"},
      {"Find/Replace next", "F3", false},
      {"Revert", "", false},
      {"Go To Line....", "Ctrl+T"}}},
    {"BookMarks", {{"Set"}, {"Goto"}, {"Clear All"}}},
    {"CodeInfo",
     {{"Show...", "F12", true, 0}, {"ReScan....", "Ctrl+F12"}, {"Sorted", "", true, 0}}},
    {"Options",
     {{"&Font..."},
      {"&Background Color..."},
      {"Use Syntax Highlighting", "", true, 1},
      {"Refresh Highlighting", "F10"},
      {"Toolbar", "", true, 1},
      {"Status bar", "", true, 1},
      {"Line Numbers", "", true, 1},
      {"Help Context", "Ctrl+H", true, 0},
      {"Word Wrap", "", true, 0},
      {"Cursor Past End", "", true, 0},
      {"Cursor Width..."},
      {"Tab Stops..."},
      {"Auto Indent", "", true, 1},
      {"Set as Defaut [*.MB] Editor", "", true, 0},
      {"Program Folders..."}}},
    {"&Help", {{"MapBasic Help", "F1"}, {"Quillon Help", "F2"}, {"&About Quillon..."}}},
};

TEST_F(MainWindowTest, EveryMenuAndPopupItemHasItsCaptionShortcutAndStartState) {
  for (const auto& [menu, items] : kMenus)
    for (const MenuItem& item : items) {
      SCOPED_TRACE(std::string(menu) + " / " + item.caption);
      QAction* a = find(menu, item.caption);
      ASSERT_NE(a, nullptr);
      EXPECT_EQ(
          std::tuple(a->shortcut().toString().toStdString(), a->isEnabled(), a->isCheckable(),
                     a->isChecked()),
          std::tuple(std::string(item.shortcut), item.enabled, item.check >= 0, item.check == 1));
    }
  QStringList titles;
  for (QAction* a : window.menuBar()->actions()) titles << a->text();
  EXPECT_EQ(titles, QStringList({"&File", "Project", "&Edit", "Find", "BookMarks", "CodeInfo",
                                 "Options", "Keys/Dict", "&Window", "&Help"}));
  EXPECT_EQ(find("&File", "Set Page As #1 [PRJ]....")->statusTip(),
            "Set this page to #1 > project");
  for (const char* sub : {"BookMarks/Set", "BookMarks/Goto"})
    for (int i = 0; i < 10; ++i) EXPECT_NE(find(sub, QString::number(i)), nullptr) << sub << i;

  auto captions = [](const char* name, QWidget* owner) {
    QStringList list;
    for (QAction* a : owner->findChild<QMenu*>(name)->actions())
      if (!a->isSeparator()) list << a->text();
    return list;
  };
  EXPECT_EQ(captions("Pop1", &window),
            QStringList({"Close Page", "Cut", "Copy", "Paste", "Go To Line...", "Set Bookmark",
                         "Goto Bookmark"}));
  EXPECT_EQ(captions("Pop2", &window),
            QStringList({"Ignore For Now", "Add To Dictionary", "Add To KeyWords"}));
}

// Every row of the menu bar, the two pop-ups, the window's own keys and the toolbar, read as
// text: caption, key, hint, check mark and enabling, in order, separators included.
std::string describeMenu(const QList<QAction*>& actions, int depth) {
  std::string out;
  for (QAction* a : actions) {
    out += std::string(static_cast<std::size_t>(depth) * 2, ' ');
    if (a->isSeparator()) {
      out += "---\n";
      continue;
    }
    out += a->text().toStdString();
    if (!a->shortcut().isEmpty()) out += " [" + a->shortcut().toString().toStdString() + "]";
    if (!a->statusTip().isEmpty()) out += " {" + a->statusTip().toStdString() + "}";
    if (a->isCheckable()) out += a->isChecked() ? " (x)" : " ( )";
    if (!a->isEnabled()) out += " off";
    out += "\n";
    if (a->menu()) out += describeMenu(a->menu()->actions(), depth + 1);
  }
  return out;
}

TEST_F(MainWindowTest, MenusPopupsKeysAndToolbarReadAsTheGoldenFile) {
  std::string actual = "menu bar\n" + describeMenu(window.menuBar()->actions(), 1);
  for (const char* popup : {"Pop1", "Pop2"})
    actual +=
        std::string(popup) + "\n" + describeMenu(window.findChild<QMenu*>(popup)->actions(), 1);
  actual += "window keys\n" + describeMenu(window.actions(), 1);
  actual += "toolbar\n";
  for (QToolButton* tool : window.findChild<QWidget*>("panToolBar")->findChildren<QToolButton*>()) {
    QAction* a = tool->defaultAction();
    actual += "  " + tool->objectName().toStdString() + (a->icon().isNull() ? " no-icon" : "") +
              " {" + tool->toolTip().toStdString() + "|" + a->statusTip().toStdString() + "}";
    if (a->isCheckable()) actual += a->isChecked() ? " (x)" : " ( )";
    if (!a->isEnabled()) actual += " off";
    if (tool->menu()) actual += " menu:" + tool->menu()->title().toStdString();
    actual += "\n";
  }
  const std::filesystem::path golden =
      std::filesystem::path(QUILLON_SOURCE_DIR) / "tests/app/data/menus.txt";
  std::ifstream in(golden, std::ios::binary);
  const std::string expected((std::istreambuf_iterator<char>(in)),
                             std::istreambuf_iterator<char>());
  if (actual != expected)
    std::ofstream(std::filesystem::path(QUILLON_BINARY_DIR) / "menus.actual.txt") << actual;
  EXPECT_EQ(actual, expected) << "written to " << QUILLON_BINARY_DIR << "/menus.actual.txt";
}

TEST_F(MainWindowTest, ToolbarHasItsEighteenButtonsWithHintsAndStates) {
  const std::tuple<const char*, const char*, bool> buttons[] = {
      // name, hint, enabled
      {"bNew", "New Page", true},
      {"bOpen", "Open File", true},
      {"bSave", "Save Page", false},
      {"bClose", "Close Page", true},
      {"bCompile", "Compile", false},
      {"bLink", "Link", false},
      {"bRun", "Run", true},
      {"bError", "Show Errors", true},
      {"bSearch", "Search/Replace", true},
      {"bAgain", "Again [F3]......", false},
      {"bCut", "Cut", false},
      {"bCopy", "Copy", false},
      {"bPaste", "Paste", true},
      {"bUndo", "Undo", false},
      {"bRedo", "Redo", false},
      {"bPreview", "Print Preview", false},
      {"bPrint", "Print", false},
      {"bWrap", "WordWrap", true},
  };
  window.show();
  QApplication::processEvents();
  const auto tools = window.findChild<QWidget*>("panToolBar")->findChildren<QToolButton*>();
  int previousX = -1;
  for (const auto& [name, hint, enabled] : buttons) {
    SCOPED_TRACE(name);
    auto* tool = window.findChild<QToolButton*>(name);
    ASSERT_NE(tool, nullptr);
    EXPECT_EQ(std::tuple(tool->toolTip().toStdString(), tool->isEnabled()),
              std::tuple(hint, enabled));
    EXPECT_GT(tool->x(), previousX) << "left to right";
    previousX = tool->x();
  }
  EXPECT_EQ(std::tuple(tools.size(), window.findChild<QToolButton*>("bError")->isChecked(),
                       window.findChild<QToolButton*>("bOpen")->popupMode()),
            std::tuple(18, false, QToolButton::MenuButtonPopup));
  auto* combo = window.findChild<QComboBox*>("bgColor");
  ASSERT_NE(combo, nullptr);
  EXPECT_EQ(std::pair(combo->isHidden(), combo->toolTip().toStdString()),
            std::pair(true, std::string("R-Click for Color Palette")));
}

TEST_F(MainWindowTest, CheckMarksFollowTheCoreNotTheClick) {
  EXPECT_EQ(std::tuple(errorPanelShown(), window.findChild<QWidget*>("pCodeInfo")->isHidden(),
                       window.findChild<QWidget*>("errorView")->toolTip().toStdString(),
                       window.workbench().errorView().readOnly()),
            std::tuple(false, true, "Click Line to Go There", true));

  // Show Errors from the menu reaches the button and the panel, and the button turns it off.
  QAction* showErrors = find("Project", "Show Errors");
  auto* errorButton = window.findChild<QToolButton*>("bError");
  showErrors->trigger();
  EXPECT_TRUE(showErrors->isChecked() && errorButton->isChecked() && errorPanelShown());
  errorButton->click();
  EXPECT_FALSE(showErrors->isChecked() || errorPanelShown());

  // Word wrap from the button reaches the menu item, and the other way round.
  window.findChild<QToolButton*>("bWrap")->click();
  EXPECT_TRUE(find("Options", "Word Wrap")->isChecked() &&
              window.workbench().sourceEditor().wordWrap());
  find("Options", "Word Wrap")->trigger();
  EXPECT_FALSE(window.findChild<QToolButton*>("bWrap")->isChecked());

  find("Options", "Toolbar")->trigger();
  EXPECT_TRUE(window.findChild<QWidget*>("panToolBar")->isHidden());
  EXPECT_FALSE(find("Options", "Toolbar")->isChecked());
}

// Keys go in through the window, so that menu shortcuts take part as they do for a user. A click
// into the empty space of a new page puts the caret where the keys would, adding no spaces.
TEST_F(MainWindowTest, EditorKeysReachTheWindowsHandlersOnce) {
  QWindow* screen = showWithEditorFocused();
  ASSERT_TRUE(screen);
  auto& editorWidget = window.sourceEditorWidget();
  auto& memo = window.workbench().sourceEditor();
  QTest::mouseClick(editorWidget.viewport(), Qt::LeftButton, {}, QPoint(240, 40));
  QTest::keyClicks(&editorWidget, "hello");
  EXPECT_EQ(memo.text(), "hello");

  memo.setText("one\r\ntwo\r\nthree");
  memo.setSelLine(1);

  QTest::keyClick(screen, Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(memo.text(), "one\r\nthree");

  QTest::keyClick(screen, Qt::Key_I, Qt::ControlModifier);
  EXPECT_EQ(memo.text(), "one\r\n\tthree") << "one press, one indent";

  QTest::keyClick(screen, Qt::Key_5, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(std::tuple(window.workbench().gutter().bookmarkLine(5),
                       find("BookMarks/Goto", "5 2==>three") != nullptr),
            std::tuple(1, true));

  QTest::keyClicks(&editorWidget, "((");
  EXPECT_EQ(window.statusText(4), "Open Parenthis: 2");

  window.workbench().documents().newPage();
  QTest::keyClick(screen, Qt::Key_Tab, Qt::ControlModifier);
  EXPECT_EQ(std::pair(window.workbench().documents().currentTab(),
                      window.findChild<QTabBar*>("tabBar")->currentIndex()),
            std::pair(0, 0));
}

// Menu shortcuts and the editor's own clipboard keys end in the same clipboard model.
TEST_F(MainWindowTest, ClipboardKeysAgreeOnColumnBlocks) {
  QWindow* screen = showWithEditorFocused();
  ASSERT_TRUE(screen);
  auto& memo = window.workbench().sourceEditor();
  QClipboard* clipboard = QGuiApplication::clipboard();
  memo.setText("abcd\r\nefgh");
  memo.setBlockSelection(9, 1, 3, 1);  // "bc" over "fg"
  ASSERT_TRUE(window.action(platform::Command::Copy1)->isEnabled());
  QTest::keyClick(screen, Qt::Key_C, Qt::ControlModifier);
  const QMimeData* data = clipboard->mimeData();
  ASSERT_TRUE(data);
  EXPECT_TRUE(data->hasFormat(editor::QtClipboard::kBlockMimeType));
  memo.setSelStart(memo.charCount());
  QTest::keyClick(screen, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(memo.text(), "abcd\r\nefghbc\r\n    fg") << "a rectangle again";

  // In the source editor the window takes Ctrl+Insert, like Insert, for the insert mode; the
  // editor's own Ctrl+Insert copy never sees it.
  memo.setBlockSelection(9, 1, 3, 1);
  clipboard->setText("kept");
  QTest::keyClick(screen, Qt::Key_Insert, Qt::ControlModifier);
  EXPECT_EQ(std::tuple(window.statusText(1), clipboard->text().toStdString()),
            std::tuple("OVR", "kept"));
}

// The message line reads from the left; a click toggles the mode only over its panel.
TEST_F(MainWindowTest, TheStatusBarCentresStatesAndTakesClicksOverTheModePanel) {
  auto* bar = window.findChild<StatusBarWidget*>("statusBar");
  bar->resize(600, StatusBarWidget::kHeight);
  bar->setText(1, "INS");
  bar->setText(4, "LOADED: a.mb");
  const QImage image = bar->grab().toImage();
  // The first and last column inside a panel's frame that hold text.
  auto ink = [&](int panel) {
    const QRect r = bar->panelRect(panel).adjusted(2, 2, -2, -2);
    int first = -1, last = -1;
    for (int x = r.left(); x <= r.right(); ++x)
      for (int y = r.top(); y <= r.bottom(); ++y)
        if (qGray(image.pixel(x, y)) < 110) {
          if (first < 0) first = x - r.left();
          last = r.right() - x;
          break;
        }
    return std::pair(first, last);
  };
  const auto [modeLeft, modeRight] = ink(1);
  ASSERT_GE(modeLeft, 0);
  EXPECT_LE(std::abs(modeLeft - modeRight), 3) << "centred";
  const auto [messageLeft, messageRight] = ink(4);
  ASSERT_GE(messageLeft, 0);
  EXPECT_LE(messageLeft, 6);
  EXPECT_GT(messageRight, 100);

  window.show();
  QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(100, 8));
  EXPECT_EQ(window.statusText(1), "OVR");
}

// Any mouse button released over the error view jumps for the line under the pointer; F8
// works from anywhere in the window.
TEST_F(MainWindowTest, ErrorLinesAnswerEveryButtonAndF8) {
  QWindow* screen = showWithEditorFocused();
  ASSERT_TRUE(screen);
  auto& errors = window.workbench().errorView();
  errors.setText("junk\r\n(first.mb:1) a\r\n(second.mb:2) b\r\n");
  errors.setSelPar(0);
  auto* errorView = window.findChild<editor::CodeMemoWidget*>("errorView");
  window.workbench().errorPanel().toggle();
  QApplication::processEvents();
  QTest::mouseRelease(errorView->viewport(), Qt::RightButton, {},
                      QPoint(5, 2 * errors.lineHeight() + 2));
  EXPECT_EQ(window.statusText(4), "FILE NOT OPEN: second.mb");
  EXPECT_EQ(errors.selPar(), 2) << "the caret went to the pointer's line first";
  QTest::keyClick(screen, Qt::Key_F8);
  EXPECT_EQ(window.statusText(4), "FILE NOT OPEN: first.mb");
  QTest::keyClick(screen, Qt::Key_F8, Qt::ShiftModifier);
  EXPECT_EQ(window.statusText(4), "FILE NOT OPEN: second.mb");
}

TEST_F(MainWindowTest, FilesDroppedFromAFileManagerOpenAsPages) {
  testing::TempFolder folder{"quillon-drop"};
  const auto a = folder.write("a.mb", "Dim a\r\n");
  const auto b = folder.write("b b.def", "Define B 1\r\n");
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(QString::fromStdString(a.string())),
                QUrl::fromLocalFile(QString::fromStdString(b.string())),
                QUrl("https://example.com/x.mb")});
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
  QApplication::sendEvent(&window, &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
  QApplication::sendEvent(&window, &drop);

  auto* tabs = window.findChild<QTabBar*>("tabBar");
  ASSERT_EQ(tabs->count(), 2);
  EXPECT_EQ(std::tuple(tabs->tabText(0).toStdString(), tabs->tabText(1).toStdString(),
                       tabs->currentIndex(), window.windowTitle().toStdString()),
            std::tuple("a.mb", "b b.def", 1, "Quillon - b b.def"));

  // A click on the first tab brings its page back.
  tabs->setCurrentIndex(0);
  EXPECT_EQ(window.workbench().sourceEditor().text(), "Dim a\r\n");
}

// Typing fills the list with the default word lists; a click completes, and Ctrl+Enter reaches
// the list before the editor can break the line.
TEST_F(MainWindowTest, TheContextListCompletesOnAClickAndOnItsKeys) {
  QWindow* screen = showWithEditorFocused();
  ASSERT_NE(screen, nullptr);
  QTest::keyClick(screen, Qt::Key_H, Qt::ControlModifier);
  auto* list = window.findChild<QListView*>("contextList");
  ASSERT_NE(list, nullptr);
  EXPECT_TRUE(errorPanelShown());
  EXPECT_EQ(window.findChild<QStackedWidget*>("pError")->currentWidget(), list);

  auto& editorWidget = window.sourceEditorWidget();
  auto& memo = window.workbench().sourceEditor();
  QTest::keyClicks(&editorWidget, "  Di");
  QAbstractItemModel* rows = list->model();
  int dim = -1;
  for (int r = 0; r < rows->rowCount(); ++r)
    if (rows->index(r, 0).data().toString() == "KEY Dim") dim = r;
  ASSERT_GE(dim, 0);
  list->scrollTo(rows->index(dim, 0));
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                    list->visualRect(rows->index(dim, 0)).center());
  EXPECT_EQ(std::pair(memo.text(), editorWidget.hasFocus()), std::pair(std::string("  Dim"), true));

  QTest::keyClicks(&editorWidget, " x As Inte");
  QTest::keyClick(screen, Qt::Key_Return, Qt::ControlModifier);
  EXPECT_EQ(memo.text(), "  Dim x As INTEGER");
}

TEST_F(MainWindowTest, CheckWordsShowsItsToolWindowAndListsTheUnknownWords) {
  window.workbench().sourceEditor().setText("Dim zorkWord\r\nPrint zorkWord ' zorkComment");
  find("&Edit", "Check Words")->trigger();
  language::WordCheckWindow& check = window.wordCheckWindow();
  ASSERT_TRUE(check.isVisible());
  EXPECT_EQ(std::tuple(check.windowTitle().toStdString(),
                       (check.windowFlags() & Qt::WindowStaysOnTopHint) != 0,
                       (check.windowFlags() & Qt::Tool) == Qt::Tool,
                       check.width() >= 290 && check.height() >= 494),
            std::tuple("Word Check - []", true, true, true))
      << check.width() << "x" << check.height();
  const std::pair<const char*, const char*> captions[] = {{"bAllPages", "All Pages"},
                                                          {"bShowAll", "Show KeyWords"},
                                                          {"CheckStr", "Include Literal Strings"},
                                                          {"bStart", "START"},
                                                          {"bClose", "CLOSE"},
                                                          {"bLocate", "Locate"},
                                                          {"bAdd2Dic", "Add 2 Dic"},
                                                          {"bSelAll", "Sel All"},
                                                          {"bClear", "Clear All"},
                                                          {"bDIC", "Dictionary"},
                                                          {"bBIN", "KeyWords"},
                                                          {"bDEF", "Defines"},
                                                          {"bCTX", "Help Cntx"}};
  for (const auto& [name, caption] : captions) {
    auto* button = check.findChild<QAbstractButton*>(name);
    ASSERT_TRUE(button) << name;
    EXPECT_EQ(button->text(), caption);
  }
  EXPECT_EQ(check.findChild<QLabel*>("pnlMsg")->text(),
            "Checked = Add to Dictionary\nUnchecked = Ignore for this Session");
  EXPECT_FALSE(check.findChild<QCheckBox*>("bAllPages")->isEnabled()) << "one tab";

  check.findChild<QPushButton*>("bStart")->click();
  auto* list = check.findChild<QListWidget*>("CheckList");
  ASSERT_EQ(list->count(), 1);
  EXPECT_EQ(std::tuple(list->item(0)->text().toStdString(),
                       check.findChild<QPushButton*>("bStart")->isEnabled(),
                       window.workbench().wordCheck().workCopy().readOnly()),
            std::tuple("zorkWord", true, true));
}

TEST_F(MainWindowTest, ModifiedPagesCarryAMarkOnTheirTabAndWindowMenuItem) {
  testing::TempFolder folder{"quillon-marks"};
  window.workbench().documents().filesDropped(
      {folder.write("a.mb", "a\r\n").string(), folder.write("b.mb", "b\r\n").string()});
  auto* tabs = window.findChild<QTabBar*>("tabBar");
  auto marked = [&] { return std::pair(!tabs->tabIcon(0).isNull(), !tabs->tabIcon(1).isNull()); };
  EXPECT_EQ(marked(), std::pair(false, false));
  window.workbench().sourceEditor().setSelText("typed ");
  EXPECT_EQ(marked(), std::pair(false, true));
  EXPECT_EQ(tabs->tabText(1), "b.mb") << "the caption stays the file-name part";

  QMenu* windows = nullptr;
  for (QAction* a : window.menuBar()->actions())
    if (a->text() == "&Window") windows = a->menu();
  ASSERT_TRUE(windows);
  emit windows->aboutToShow();
  ASSERT_EQ(windows->actions().size(), 2);
  EXPECT_EQ(std::pair(windows->actions()[1]->text(), windows->actions()[1]->icon().isNull()),
            std::pair(QString("&2 b.mb"), false));
  EXPECT_TRUE(windows->actions()[0]->icon().isNull());

  find("&File", "&Save")->trigger();
  EXPECT_EQ(marked(), std::pair(false, false));
}

// "Sans Serif" used to come preselected, and OK turned the editor proportional.
TEST_F(MainWindowTest, FontDialogConfirmedWithoutAChangeKeepsTheStoredFontAndFixedPitch) {
  const platform::FontInfo before = window.workbench().options().font();
  QString preselected;
  QTimer accept;
  QObject::connect(&accept, &QTimer::timeout, [&] {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* dialog = qobject_cast<QFontDialog*>(w); dialog && dialog->isVisible()) {
        preselected = dialog->currentFont().family();
        dialog->accept();
      }
  });
  accept.start(20);
  find("Options", "&Font...")->trigger();
  const QFont drawn = window.sourceEditorWidget().textMetrics().font();
  EXPECT_EQ(window.workbench().options().font(), before);
  EXPECT_EQ(preselected, QFontInfo(drawn).family());
  EXPECT_TRUE(QFontInfo(drawn).fixedPitch()) << QFontInfo(drawn).family().toStdString();
}

TEST_F(MainWindowTest, ReOpenAndTheOpenButtonListAFileAsSoonAsItOpens) {
  testing::TempFolder folder{"quillon-reopen"};
  const auto a = folder.write("a.mb", "a\r\n");
  pages::DocumentCommands& docs = window.workbench().documents();
  docs.setCommandLineFile(a.string());
  docs.open(pages::DocumentCommands::Opener::Dialog);
  QMenu* reopen = find("&File", "ReOpen")->menu();
  ASSERT_FALSE(reopen->actions().isEmpty());
  EXPECT_EQ(reopen->actions().front()->text().toStdString(), "&1 " + a.string());
  EXPECT_EQ(window.findChild<QToolButton*>("bOpen")->menu(), reopen);
}

// Every tool window that was shown keeps its place, also when it is still open as the program
// ends: the find and replace window and the character map lost theirs that way.
TEST_F(MainWindowTest, ToolWindowsOpenAtExitKeepTheirPlacement) {
  window.show();
  window.workbench().commands().run("find.findReplace");
  window.workbench().commands().run("edit.charMap");
  window.workbench().commands().run("edit.checkWords");
  QWidget* tools[] = {&window.findDialog(), &window.charMapWindow(), &window.wordCheckWindow()};
  int x = 40;
  for (QWidget* tool : tools) {
    ASSERT_TRUE(tool->isVisible());
    tool->move(x, 60);
    x += 70;
  }
  QApplication::processEvents();
  ASSERT_TRUE(window.close());

  std::ifstream in(installed.settingsFile(), std::ios::binary);
  const std::string ini((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  for (const char* section : {"[WinMain]", "[WinFind]", "[WinChar]", "[WinWord]"})
    EXPECT_NE(ini.find(section), std::string::npos) << section << " missing from\n" << ini;
  const settings::IniFile file(ini);
  int expectedLeft = 40;
  for (const auto kind : {settings::PlacedWindow::FindReplace, settings::PlacedWindow::CharMap,
                          settings::PlacedWindow::WordCheck}) {
    const auto placement = settings::readWindowPlacement(file, kind, {0, 0, 4000, 4000});
    ASSERT_TRUE(placement);
    EXPECT_EQ(placement->normal.left, expectedLeft);
    expectedLeft += 70;
  }
}

TEST(SingleInstanceTest, SecondCopyWakesTheFirst) {
  const QString name = QString("quillon-test-%1").arg(QCoreApplication::applicationPid());
  platform::SingleInstance first(name);
  platform::SingleInstance second(name);
  EXPECT_FALSE(second.activateRunningCopy(200)) << "nobody runs yet";
  ASSERT_TRUE(first.listen());
  QSignalSpy woken(&first, &platform::SingleInstance::activationRequested);
  EXPECT_TRUE(second.activateRunningCopy());
  EXPECT_TRUE(woken.wait(2000));
  EXPECT_EQ(woken.count(), 1);

  // A stranger's bytes do not wake it.
  QLocalSocket stranger;
  stranger.connectToServer(name);
  ASSERT_TRUE(stranger.waitForConnected(1000));
  stranger.write("hello\n");
  stranger.flush();
  EXPECT_FALSE(woken.wait(300));
}

TEST(SingleInstanceTest, SocketLeftByACrashedCopyIsReplaced) {
  testing::TempFolder folder;
  testing::makeSpecialFiles(folder.path());  // its socket's owner is gone without removing it
  ASSERT_TRUE(std::filesystem::is_socket(folder / "socket.mb"));
  const QString path = QString::fromStdString((folder / "socket.mb").string());
  platform::SingleInstance copy(path);
  EXPECT_FALSE(copy.activateRunningCopy(200));
  EXPECT_TRUE(copy.listen()) << "waking a listening copy is the test above";
}

}  // namespace
}  // namespace quillon::app

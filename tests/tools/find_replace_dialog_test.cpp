#include "tools/find_replace_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "app/main_window.h"
#include "editor/code_memo.h"
#include "editor/code_memo_widget.h"
#include "support/fake_keyboard.h"
#include "support/test_program.h"
#include "tools/char_map_window.h"

namespace quillon::tools {
namespace {

class ToolWindowsTest : public ::testing::Test {
protected:
  // Shown, so that the main window's own Alt letters and Ctrl keys compete with the tools'.
  ToolWindowsTest() {
    window.start(installed.file(), {}, installed.surroundings());
    window.show();
  }
  editor::CodeMemo& memo() { return window.workbench().sourceEditor(); }

  testing::TestProgram installed;
  testing::FakeKeyboard keyboard;
  app::MainWindow window{keyboard};
};

TEST_F(ToolWindowsTest, FindDialogReplacesThroughItsButtons) {
  memo().setText("Dim a\r\nDim b\r\n");
  memo().select(0, 0);
  window.workbench().commands().run("find.findReplace");
  FindReplaceDialog& dialog = window.findDialog();
  ASSERT_TRUE(dialog.isVisible());
  EXPECT_EQ(dialog.windowTitle(), "Find / Replace.....");
  EXPECT_GE(dialog.width(), 273);
  EXPECT_EQ(dialog.findList()->currentText(), "Dim");
  EXPECT_FALSE(dialog.optionBox(FindReplaceView::PromptOnReplace)->isEnabled());
  dialog.replaceList()->setEditText("DIM_X");  // as typing would
  EXPECT_TRUE(dialog.optionBox(FindReplaceView::PromptOnReplace)->isEnabled());
  // Alt+F and Alt+A press the dialog's buttons, though the main window's "&File" shares F.
  QApplication::setActiveWindow(&dialog);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
  QTest::keyClick(dialog.findList(), Qt::Key_F, Qt::AltModifier);
  EXPECT_TRUE(dialog.button(FindReplaceView::Button::Next)->isVisible());
  EXPECT_EQ(dialog.button(FindReplaceView::Button::Next)->text(), "&Replace");
  QTest::keyClick(dialog.findList(), Qt::Key_A, Qt::AltModifier);
  EXPECT_EQ(std::tuple(memo().text(), dialog.statusLine().toStdString()),
            std::tuple("DIM_X a\r\nDIM_X b\r\n", "REPLACED: 2  >> SEARCHED TO END"));
  QTest::keyClick(&dialog, Qt::Key_Escape);
  EXPECT_EQ(std::pair(dialog.isVisible(), dialog.findList()->itemText(0).toStdString()),
            std::pair(false, std::string("Dim")));
}

// Typing "Total" over a history holding "total" keeps "Total"; the dialog keeps its width.
TEST_F(ToolWindowsTest, FindTextKeepsTheCaseTypedAndTheDialogItsWidth) {
  window.workbench().findReplace().setHistories({"total"}, {"sum"});
  memo().setText("total Total\r\n");
  memo().select(0, 0);
  window.workbench().commands().run("find.findReplace");
  FindReplaceDialog& dialog = window.findDialog();
  EXPECT_EQ(dialog.width(), 273);
  QApplication::setActiveWindow(&dialog);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
  dialog.findList()->lineEdit()->clear();
  QTest::keyClicks(dialog.findList()->lineEdit(), "Total");
  QTest::keyClicks(dialog.replaceList()->lineEdit(), "SUM");
  EXPECT_EQ(std::pair(dialog.findList()->currentText().toStdString(),
                      dialog.replaceList()->currentText().toStdString()),
            std::pair(std::string("Total"), std::string("SUM")));
  QTest::keyClick(&dialog, Qt::Key_Escape);
  EXPECT_EQ(window.workbench().findReplace().findHistory(), (std::vector<std::string>{"Total"}));
}

TEST_F(ToolWindowsTest, CharacterMapPointingAndInserting) {
  CharMapWindow& map = window.charMapWindow();
  map.showMap();
  // Code 0xE9 is column 9 of row 14.
  map.grid()->pointAt(QPoint(9 * CharGrid::kStep + 5, 14 * CharGrid::kStep + 5));
  EXPECT_EQ(map.codeLine(), QString::fromUtf8(" Alt+0233 [&HE9] [\u00e9]"));
  EXPECT_EQ(map.characterName(), "LATIN SMALL LETTER E WITH ACUTE");
  memo().setText("caf");
  memo().select(3, 0);
  // The map's keys work while it is the active window.
  QApplication::setActiveWindow(&map);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&map));
  QTest::keyClick(map.grid(), Qt::Key_I, Qt::ControlModifier);
  EXPECT_EQ(std::pair(memo().text(), map.isVisible()), std::pair(std::string("caf\xe9"), false));

  map.showMap();
  map.grid()->pointAt(QPoint(2 * CharGrid::kStep + 5, 2 * CharGrid::kStep + 5));  // '"'
  QTest::mousePress(map.grid(), Qt::LeftButton, {},
                    QPoint(6 * CharGrid::kStep + 5, 2 * CharGrid::kStep + 5));
  EXPECT_EQ(std::pair(map.grid()->boxShown(), map.codeLine().toStdString()),
            std::pair(true, std::string(" Alt+0038 [&H26] [&]")));
  QTest::mouseRelease(map.grid(), Qt::LeftButton, {},
                      QPoint(6 * CharGrid::kStep + 5, 2 * CharGrid::kStep + 5));
  EXPECT_FALSE(map.grid()->boxShown());
}

}  // namespace
}  // namespace quillon::tools

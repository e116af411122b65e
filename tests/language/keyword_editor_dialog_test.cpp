#include "language/keyword_editor_dialog.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <gtest/gtest.h>

#include "support/scripted_ui.h"

namespace quillon::language {
namespace {

template <class W>
W* withText(QWidget* dialog, const QString& text) {
  for (W* w : dialog->findChildren<W*>())
    if (w->text() == text) return w;
  return nullptr;
}

TEST(KeywordEditorDialog, ModesShowTheirCaptionsAndColumns) {
  editor::StartStopKeyList keys;
  keys.add("'", "", true, {});
  KeywordEditorModel startStop(keys);
  testing::ScriptedUi ui;
  KeywordEditorDialog stops(startStop, ui);
  EXPECT_EQ(stops.windowTitle(), "Start-Stop keys Editor");
  EXPECT_EQ(stops.findChild<QTableView*>("StrGKeys")->model()->columnCount(), 2);
  EXPECT_FALSE(withText<QCheckBox>(&stops, "&Cross paragraphs")->isChecked()) << "ParEnd set";
  EXPECT_FALSE(withText<QCheckBox>(&stops, "&Cross paragraphs")->isHidden());

  KeywordEditorModel words{editor::KeywordList()};
  KeywordEditorDialog dialog(words, ui);
  EXPECT_EQ(dialog.windowTitle(), "Keywords editor");
  EXPECT_TRUE(withText<QCheckBox>(&dialog, "&Cross paragraphs")->isHidden());
}

TEST(KeywordEditorDialog, ControlsEditTheSelectedRowsRecord) {
  editor::KeywordList list;
  list.add("Dim", {0, 0, 5, -21, -1, -1});
  list.add("End", {0, 0, 6, 0, -1, -1});
  KeywordEditorModel model(list);
  testing::ScriptedUi ui;
  KeywordEditorDialog dialog(model, ui, [](QWidget*, const QColor&) { return QColor(Qt::red); });

  dialog.selectRow(0);
  EXPECT_EQ(dialog.findChild<QLineEdit*>("contextNumber")->text(), "5");
  EXPECT_EQ(dialog.findChild<QLabel*>("pointerLabel")->cursor().shape(), Qt::PointingHandCursor);
  withText<QCheckBox>(&dialog, " &Bold")->click();
  withText<QPushButton>(&dialog, "&Foreground...")->click();
  EXPECT_EQ(std::tuple(model.row(0).info.style, model.row(0).info.foregnd),
            std::tuple(editor::KeywordStyle::bold, 0x0000FF));
  EXPECT_EQ(std::tuple(dialog.findChild<QFrame*>("foreSwatch")->isHidden(),
                       dialog.findChild<QFrame*>("backSwatch")->isHidden()),
            std::tuple(false, true));

  auto* number = dialog.findChild<QLineEdit*>("contextNumber");
  number->setText("70000");
  number->setModified(true);
  emit number->editingFinished();
  EXPECT_EQ(ui.messages(), std::vector<std::string>{"'70000' is not a valid integer value"});
  EXPECT_EQ(model.row(0).info.contextNum, 5);

  dialog.findChild<QLineEdit*>("findText")->setText("zz");
  withText<QPushButton>(&dialog, "Find")->click();
  EXPECT_EQ(ui.messages().back(), "Not Found: \"zz\"");
  EXPECT_EQ(dialog.findChild<QLabel*>("itemNumber")->text(), "----");

  dialog.typeIntoLastRow("Print");
  const QTableView* grid = dialog.findChild<QTableView*>("StrGKeys");
  EXPECT_EQ(std::tuple(grid->model()->rowCount(), grid->currentIndex().row(),
                       dialog.findChild<QLabel*>("itemNumber")->text().toStdString()),
            std::tuple(4, 2, "3"));
}

}  // namespace
}  // namespace quillon::language

#include "platform/qt_folder_picker.h"

#include <QAbstractItemView>
#include <QFileSystemModel>
#include <QTest>
#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace quillon::platform {
namespace {

// The row of `name` among the view's shown entries, once the file system model has read them.
QModelIndex shownEntry(QAbstractItemView& view, const QString& name) {
  QModelIndex found;
  (void)QTest::qWaitFor(
      [&] {
        const QAbstractItemModel* model = view.model();
        for (int row = 0; model && row < model->rowCount(view.rootIndex()); ++row) {
          const QModelIndex index = model->index(row, 0, view.rootIndex());
          if (index.data().toString() == name) found = index;
        }
        return found.isValid();
      },
      3000);
  return found;
}

QAbstractItemView& listOf(FolderPicker& picker) {
  return *picker.findChild<QAbstractItemView*>("listView");
}

// A double click used to enter the folder, whatever the caption promised.
TEST(FolderPickerTest, ShowsTheFilesAndSelectsTheFolderDoubleClicked) {
  testing::TempFolder prefix{"quillon-picker"};
  prefix.write("Program Files/MapBasic/MapBasic.exe", "MZ");
  const QString programs = QString::fromStdString((prefix.path() / "Program Files").string());
  const QString caption = "Locate MapBasic Folder [DOUBLE CLICK TO SELECT]....";

  FolderPicker inside(nullptr, caption, programs + "/MapBasic");
  inside.show();
  EXPECT_TRUE(shownEntry(listOf(inside), "MapBasic.exe").isValid()) << "the files are listed too";
  inside.reject();

  FolderPicker picker(nullptr, caption, programs);
  EXPECT_EQ(picker.windowTitle(), caption);
  picker.show();
  QAbstractItemView& list = listOf(picker);
  const QModelIndex folder = shownEntry(list, "MapBasic");
  ASSERT_TRUE(folder.isValid());
  QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, list.visualRect(folder).center());
  EXPECT_EQ(picker.result(), QDialog::Accepted);
  EXPECT_FALSE(picker.isVisible());
  EXPECT_EQ(picker.chosenFolder(), programs + "/MapBasic");
}

}  // namespace
}  // namespace quillon::platform

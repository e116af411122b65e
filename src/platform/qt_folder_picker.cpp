#include "platform/qt_folder_picker.h"

#include <QAbstractItemView>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QMouseEvent>

namespace quillon::platform {

FolderPicker::FolderPicker(QWidget* parent, const QString& caption, const QString& start)
    : QFileDialog(parent, caption, start) {
  // Qt's own dialog: the desktop's would neither show the files nor take our double click.
  setOption(QFileDialog::DontUseNativeDialog);
  setFileMode(QFileDialog::Directory);
  setOption(QFileDialog::ShowDirsOnly, false);
  setFilter(QDir::AllDirs | QDir::Files | QDir::NoDotAndDotDot | QDir::Drives);
  for (QAbstractItemView* view : findChildren<QAbstractItemView*>())
    if (view->objectName() == QLatin1String("listView") ||
        view->objectName() == QLatin1String("treeView"))
      view->viewport()->installEventFilter(this);
}

QString FolderPicker::chosenFolder() const {
  if (!doubleClicked_.isEmpty()) return doubleClicked_;
  const QStringList files = selectedFiles();
  if (files.isEmpty()) return directory().absolutePath();
  const QFileInfo info(files.front());
  return info.isDir() ? info.absoluteFilePath() : info.absolutePath();
}

bool FolderPicker::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonDblClick) {
    auto* view = qobject_cast<QAbstractItemView*>(watched->parent());
    const auto* click = static_cast<QMouseEvent*>(event);
    const QModelIndex index = view && click->button() == Qt::LeftButton
                                  ? view->indexAt(click->position().toPoint())
                                  : QModelIndex();
    if (index.isValid()) {
      const QFileInfo info(index.data(QFileSystemModel::FilePathRole).toString());
      doubleClicked_ = info.isDir() ? info.absoluteFilePath() : info.absolutePath();
      QDialog::done(QDialog::Accepted);
      return true;
    }
  }
  return QFileDialog::eventFilter(watched, event);
}

}  // namespace quillon::platform

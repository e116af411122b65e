#pragma once
#include <QFileDialog>
#include <QString>

namespace quillon::platform {

// The folder picker whose caption says "DOUBLE CLICK TO SELECT": a double click on a folder
// selects it (on a file, the folder it is in) and closes the picker. It lists the files of
// each folder too, so that the user sees the program in the folder he is about to choose.
class FolderPicker : public QFileDialog {
public:
  FolderPicker(QWidget* parent, const QString& caption, const QString& start);

  // The folder chosen, once the picker was accepted.
  QString chosenFolder() const;

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  QString doubleClicked_;
};

}  // namespace quillon::platform

#pragma once
#include <QDialog>

#include "settings/program_folder_choice.h"

class QLabel;
class QLineEdit;

namespace quillon::settings {

// Options > "Program Folders...": the MapInfo and MapBasic folders in use, where each came
// from and whether its program is there, each with "Browse..."; OK stores them.
class ProgramFoldersDialog : public QDialog {
public:
  ProgramFoldersDialog(ProgramFolderChoice& choice, QWidget* parent = nullptr);

  // OK: both folders stored through the choice.
  void accept() override;

private:
  struct Row {
    ProgramFolderChoice::Which which;
    QLineEdit* folder = nullptr;
    QLabel* origin = nullptr;
    QLabel* check = nullptr;
  };
  void addRow(Row& row, const char* name);
  void showCheck(Row& row);
  void browse(Row& row);

  ProgramFolderChoice& choice_;
  Row mapInfo_{ProgramFolderChoice::Which::MapInfo};
  Row mapBasic_{ProgramFolderChoice::Which::MapBasic};
};

// Shows the dialog over `parent`; without a settings file there is nothing to show.
void editProgramFolders(QWidget* parent, Settings* settings);

}  // namespace quillon::settings

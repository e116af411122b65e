#include "settings/program_folders_dialog.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/qt_conversions.h"
#include "platform/qt_folder_picker.h"

namespace quillon::settings {

namespace {
QString fromPath(const std::filesystem::path& path) {
  return QFile::decodeName(path.string().c_str());
}
std::filesystem::path toPath(const QString& text) {
  return std::filesystem::path(platform::fromQPath(text.trimmed()));
}
}  // namespace

ProgramFoldersDialog::ProgramFoldersDialog(ProgramFolderChoice& choice, QWidget* parent)
    : QDialog(parent), choice_(choice) {
  setObjectName("ProgramFolders");
  setWindowTitle("Program Folders");
  auto* column = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  grid->setColumnStretch(1, 1);
  column->addLayout(grid);
  setLayout(column);
  addRow(mapInfo_, "MapInfo");
  addRow(mapBasic_, "MapBasic");
  int line = 0;
  for (Row* row : {&mapInfo_, &mapBasic_}) {
    grid->addWidget(new QLabel(row == &mapInfo_ ? "MapInfo folder:" : "MapBasic folder:", this),
                    line, 0);
    grid->addWidget(row->folder, line, 1);
    auto* browse = new QPushButton("Browse...", this);
    browse->setObjectName(row->folder->objectName() + "Browse");
    connect(browse, &QPushButton::clicked, this, [this, row] { this->browse(*row); });
    grid->addWidget(browse, line, 2);
    grid->addWidget(row->origin, line + 1, 1, 1, 2);
    grid->addWidget(row->check, line + 2, 1, 1, 2);
    line += 3;
  }
  auto* note = new QLabel(
      "The compiler is MapBasic.exe, run through Wine; the GIS program is Mapinfow.exe.", this);
  note->setWordWrap(true);
  column->addWidget(note);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  column->addWidget(buttons);
  resize(std::max(560, sizeHint().width()), sizeHint().height());
}

void ProgramFoldersDialog::addRow(Row& row, const char* name) {
  row.folder = new QLineEdit(fromPath(choice_.folder(row.which)), this);
  row.folder->setObjectName(QString(name) + "Folder");
  row.origin = new QLabel(QString::fromStdString(choice_.origin(row.which)), this);
  row.origin->setObjectName(QString(name) + "Origin");
  row.check = new QLabel(this);
  row.check->setObjectName(QString(name) + "Check");
  connect(row.folder, &QLineEdit::textEdited, this, [this, &row] {
    row.origin->setText("chosen in this session");
    showCheck(row);
  });
  showCheck(row);
}

void ProgramFoldersDialog::showCheck(Row& row) {
  bool ok = false;
  const std::string text = ProgramFolderChoice::check(row.which, toPath(row.folder->text()), &ok);
  row.check->setText(QString::fromStdString(text));
  row.check->setStyleSheet(ok ? "color: #1a7f37;" : "color: #b42318;");
}

void ProgramFoldersDialog::browse(Row& row) {
  const bool mapInfo = row.which == ProgramFolderChoice::Which::MapInfo;
  const std::filesystem::path typed = toPath(row.folder->text());
  std::error_code ec;
  const std::filesystem::path start = !typed.empty() && std::filesystem::is_directory(typed, ec)
                                          ? typed
                                          : choice_.pickerStart(row.which);
  platform::FolderPicker picker(
      this, mapInfo ? ProgramFolderChoice::kMapInfoCaption : ProgramFolderChoice::kMapBasicCaption,
      fromPath(start));
  if (picker.exec() != QDialog::Accepted) return;
  row.folder->setText(picker.chosenFolder());
  row.origin->setText("chosen in this session");
  showCheck(row);
}

void ProgramFoldersDialog::accept() {
  if (!choice_.store(toPath(mapInfo_.folder->text()), toPath(mapBasic_.folder->text()))) return;
  QDialog::accept();
}

void editProgramFolders(QWidget* parent, Settings* settings) {
  if (!settings) return;
  ProgramFolderChoice choice(*settings);
  ProgramFoldersDialog dialog(choice, parent);
  dialog.exec();
}

}  // namespace quillon::settings

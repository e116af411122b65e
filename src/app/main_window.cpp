#include "app/main_window.h"

#include <QHBoxLayout>
#include <QCoreApplication>
#include <QMessageBox>
#include <fstream>
#include <system_error>

#include "app/editor_profiles.h"
#include "editor/code_gutter_widget.h"
#include "editor/code_memo_widget.h"
#include "language/key_file.h"

namespace quillon::app {

MainWindow::MainWindow() {
  setWindowTitle("Quillon - Untitled");
  resize(578, 423);
  applySourceEditorProfile(sourceMemo_);
  auto* central = new QWidget(this);
  auto* row = new QHBoxLayout(central);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);
  gutter_ = new editor::CodeGutterWidget(central);
  sourceEditor_ = new editor::CodeMemoWidget(sourceMemo_, central);
  QFont font("Courier New");
  font.setPointSize(10);
  font.setStyleHint(QFont::Monospace);
  sourceEditor_->setEditorFont(font);
  sourceEditor_->setFrameShape(QFrame::NoFrame);
  gutter_->setFixedWidth(50);
  gutter_->setFont(font);
  gutter_->setColor(sourceEditor_->background());
  gutter_->setEditor(sourceEditor_);
  row->addWidget(gutter_);
  row->addWidget(sourceEditor_, 1);
  setCentralWidget(central);
  sourceEditor_->setFocus();
  sourceMemo_.setModified(false);

  // The default key file beside the program; without it only numbers are coloured.
  const std::filesystem::path keyFile =
      std::filesystem::path(QCoreApplication::applicationDirPath().toStdString()) / "quillon.bin";
  if (std::ifstream in{keyFile, std::ios::binary}) {
    try {
      language::applyKeyFile(language::readKeyFile(in), highlighting_.keywords(), highlighting_.startStopKeys());
    } catch (const language::KeyFileError&) {
    }
  }
  highlighting_.setSyntaxHighlighting(true, &numbers_);
}

// The widgets hold on to sourceMemo_, which as a member dies before the children would.
MainWindow::~MainWindow() { delete takeCentralWidget(); }

bool MainWindow::openFile(const std::filesystem::path& path) {
  try {
    sourceMemo_.loadFromFile(path);
  } catch (const std::exception&) {
    QMessageBox::warning(this, "Quillon", QString("Cannot open file %1").arg(QString::fromStdString(path.string())));
    return false;
  }
  // Bookmarks of the old text would all land on the first line of the new one.
  gutter_->gutter().clearAll();
  sourceMemo_.setModified(false);
  setWindowTitle("Quillon - " + QString::fromStdString(path.string()));
  return true;
}

}  // namespace quillon::app

#include "app/main_window.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <fstream>
#include <system_error>

#include "app/editor_profiles.h"
#include "editor/code_memo_widget.h"
#include "language/key_file.h"

namespace quillon::app {

MainWindow::MainWindow() {
  setWindowTitle("Quillon - Untitled");
  resize(578, 423);
  applySourceEditorProfile(sourceMemo_);
  sourceEditor_ = new editor::CodeMemoWidget(sourceMemo_, this);
  QFont font("Courier New");
  font.setPointSize(10);
  font.setStyleHint(QFont::Monospace);
  sourceEditor_->setEditorFont(font);
  sourceEditor_->setFrameShape(QFrame::NoFrame);
  setCentralWidget(sourceEditor_);
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

// The editor widget listens to the memo: it must go before the memo does.
MainWindow::~MainWindow() { delete sourceEditor_; }

bool MainWindow::openFile(const std::filesystem::path& path) {
  try {
    sourceMemo_.loadFromFile(path);
  } catch (const std::exception&) {
    QMessageBox::warning(this, "Quillon", QString("Cannot open file %1").arg(QString::fromStdString(path.string())));
    return false;
  }
  sourceMemo_.setModified(false);
  setWindowTitle("Quillon - " + QString::fromStdString(path.string()));
  return true;
}

}  // namespace quillon::app

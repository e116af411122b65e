#include "app/main_window.h"

#include <QMessageBox>
#include <system_error>

#include "app/editor_profiles.h"
#include "editor/code_memo_widget.h"

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
}

MainWindow::~MainWindow() = default;

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

#pragma once
#include <QMainWindow>
#include <filesystem>
#include <memory>

#include "editor/code_memo.h"
#include "editor/highlight_engine.h"
#include "editor/number_highlighter.h"

namespace quillon::editor {
class CodeGutterWidget;
class CodeMemoWidget;
}

namespace quillon::app {

// The program's one window: for now the source editor and its caption.
class MainWindow : public QMainWindow {
  Q_OBJECT

public:
  MainWindow();
  ~MainWindow() override;

  editor::CodeMemo& sourceMemo() { return sourceMemo_; }
  editor::HighlightEngine& highlighting() { return highlighting_; }
  editor::NumberHighlighter& numberHighlighter() { return numbers_; }
  editor::CodeMemoWidget& sourceEditor() { return *sourceEditor_; }
  editor::CodeGutterWidget& gutter() { return *gutter_; }
  // Loads a file into the source editor; false (after telling the user) when it cannot.
  bool openFile(const std::filesystem::path& path);

private:
  editor::CodeMemo sourceMemo_;
  // After the memo: the engine's runs live in the memo's paragraphs and go first.
  editor::HighlightEngine highlighting_{sourceMemo_};
  editor::NumberHighlighter numbers_;
  editor::CodeMemoWidget* sourceEditor_ = nullptr;
  editor::CodeGutterWidget* gutter_ = nullptr;
};

}  // namespace quillon::app

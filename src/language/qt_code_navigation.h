#pragma once
#include <functional>

class QMainWindow;
class QStackedWidget;

namespace quillon::editor {
class CodeMemoWidget;
}

namespace quillon::platform {
class Ui;
}

namespace quillon::language {

class CodeIntelligence;

// The window's side of Go To Definition and Find References: Ctrl+click in the source editor, and
// the reference list in the bottom panel (a click or Enter on a row jumps). Returns the reference
// list's widget, now a page of `bottomPanel`.
struct CodeNavigationWiring {
  QMainWindow& window;
  editor::CodeMemoWidget& sourceEditor;
  QStackedWidget& bottomPanel;
  CodeIntelligence& code;
  platform::Ui& ui;
  // Runs a command as the window runs all of them (errors reported, none escapes).
  std::function<void(const std::function<void()>&)> run;
};
editor::CodeMemoWidget* wireCodeNavigation(const CodeNavigationWiring& wiring);

}  // namespace quillon::language

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
class WordLists;

// The window's side of the code's own names: Ctrl+click in the source editor, the reference list
// in the bottom panel (a click or Enter on a row jumps), and the completion pop-up and
// signature hint under the caret. Returns the reference list's widget, now a page of
// `bottomPanel`.
struct CodeNavigationWiring {
  QMainWindow& window;
  editor::CodeMemoWidget& sourceEditor;
  QStackedWidget& bottomPanel;
  CodeIntelligence& code;
  const WordLists& words;  // the keywords and defined names the pop-up offers after the code's
  platform::Ui& ui;
  // Runs a command as the window runs all of them (errors reported, none escapes).
  std::function<void(const std::function<void()>&)> run;
};
editor::CodeMemoWidget* wireCodeNavigation(const CodeNavigationWiring& wiring);

}  // namespace quillon::language

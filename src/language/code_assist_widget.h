#pragma once
#include <QObject>
#include <functional>
#include <memory>
#include <string>

#include "language/code_assist.h"

class QLabel;
class QListWidget;

namespace quillon::editor {
class CodeMemoWidget;
}

namespace quillon::language {

// The completion pop-up and the signature hint on screen, over the source editor's viewport
// under the caret's line. It watches the editor's keys ahead of the window: Ctrl+Space, and
// while something is open the keys CodeAssist takes; every other key goes on untouched. The
// pop-up never takes the focus.
class CodeAssistWidget final : public QObject, private AssistView {
  Q_OBJECT

public:
  CodeAssistWidget(editor::CodeMemoWidget& editor, const WordLists& words, const NameSource& names,
                   std::function<std::string()> currentFile);
  ~CodeAssistWidget() override;

  CodeAssist& assist() { return *assist_; }
  QListWidget* popup() const { return popup_; }
  QLabel* hint() const { return hint_; }

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void showCompletion(const std::vector<CompletionItem>& items, std::size_t selected) override;
  void hideCompletion() override;
  void showHint(const SignatureHint& hint) override;
  void hideHint() override;
  QPoint underCaret();
  void place();

  editor::CodeMemoWidget& editor_;
  QListWidget* popup_;
  QLabel* hint_;
  std::unique_ptr<CodeAssist> assist_;
};

}  // namespace quillon::language

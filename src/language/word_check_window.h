#pragma once
#include <QWidget>
#include <array>
#include <cstdint>

#include "editor/listener_list.h"
#include "editor/memo_clipboard.h"
#include "language/word_check_commands.h"

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;
class QToolButton;

namespace quillon::editor {
class CodeMemoWidget;
}

namespace quillon::platform {
class Ui;
}

namespace quillon::language {

// The word checker's window: a tool window on top of the main one that draws the commands'
// state and hands every click to them. Run is the main window's, which reports what fails.
class WordCheckWindow : public QWidget {
  Q_OBJECT

public:
  using Run = std::function<void(const std::function<void()>&)>;
  WordCheckWindow(WordCheckCommands& commands, editor::MemoClipboard& clipboard, platform::Ui& ui,
                  Run run, QWidget* parent);
  ~WordCheckWindow() override;

  editor::CodeMemoWidget& workCopy() { return *workCopy_; }

protected:
  bool event(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

private:
  void refresh();
  void toggled(int button, bool down);

  WordCheckCommands& commands_;
  Run run_;
  editor::Subscription changes_;
  editor::Subscription showRequests_;
  std::uint64_t shownItems_ = ~std::uint64_t{0};

  QCheckBox* allPages_;
  QCheckBox* showKeyWords_;
  QCheckBox* includeStrings_;
  QPushButton* start_;
  QLabel* message_;
  QListWidget* list_;
  std::array<QToolButton*, 4> listButtons_{};
  editor::CodeMemoWidget* workCopy_;
};

}  // namespace quillon::language

#pragma once
#include <QTimer>
#include <QTreeView>

#include "editor/listener_list.h"
#include "language/outline_commands.h"

namespace quillon::language {

class OutlineModel;

// The CodeInfo tree. It draws the outline its commands last scanned, the root open and each
// group as the user left it, at the scroll position it had while the page stays the same,
// and tells the commands about mouse moves, expanding and collapsing. It runs the idle
// timer the commands ask for. Clicks go out as a signal, for the window to run as a command. An
// entry too wide for the panel shows its whole text as a tip.
class OutlineTreeWidget : public QTreeView {
  Q_OBJECT

public:
  explicit OutlineTreeWidget(OutlineCommands& commands, QWidget* parent = nullptr);
  ~OutlineTreeWidget() override;

signals:
  // A node was clicked: its level (0 root, 1 group, 2 entry) and an entry's line from 1.
  void nodeClicked(int level, qint64 line);

protected:
  void mouseMoveEvent(QMouseEvent* event) override;
  bool viewportEvent(QEvent* event) override;

private:
  void outlineChanged();

  OutlineCommands& commands_;
  OutlineModel* model_;
  bool restoring_ = false;
  QTimer idle_;
  editor::Subscription changes_;
  editor::Subscription scans_;
};

}  // namespace quillon::language

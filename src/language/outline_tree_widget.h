#pragma once
#include <QTreeView>

#include "editor/listener_list.h"
#include "language/outline_commands.h"

namespace quillon::language {

class OutlineModel;

// The CodeInfo tree. It draws the outline its commands last scanned, root open and groups
// closed after every scan, and tells the commands about mouse moves, expanding and
// collapsing. Clicks go out as a signal, for the window to run as a command. An entry too
// wide for the panel shows its whole text as a tip.
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
  bool expandingRoot_ = false;
  editor::Subscription changes_;
};

}  // namespace quillon::language

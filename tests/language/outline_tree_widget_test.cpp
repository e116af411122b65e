#include "language/outline_tree_widget.h"

#include <QApplication>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

#include "editor/code_memo.h"
#include "support/fake_main_view.h"
#include "support/recording_command_states.h"
#include "support/scripted_ui.h"

namespace quillon::language {
namespace {

class OutlineTreeWidgetTest : public ::testing::Test {
protected:
  void SetUp() override {
    memo.setText("Sub Main\r\nEnd Sub\r\nDefine X[1] 5\r\n");
    QObject::connect(&tree, &OutlineTreeWidget::nodeClicked, [this](int level, qint64 line) {
      jumped = commands.treeClicked(level, line);
    });
    tree.resize(300, 400);
    tree.show();
    QApplication::processEvents();
  }
  QModelIndex root() const { return tree.model()->index(0, 0, {}); }
  QModelIndex group(OutlineGroup g) const {
    return tree.model()->index(static_cast<int>(g), 0, root());
  }
  void click(const QModelIndex& index) {
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, tree.visualRect(index).center());
  }
  void moveMouse(const QModelIndex& index) {
    const QPointF at = tree.visualRect(index).center();
    QMouseEvent move(QEvent::MouseMove, at, tree.viewport()->mapToGlobal(at), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(tree.viewport(), &move);
  }

  testing::ScriptedUi ui;
  testing::FakeMainView view;
  testing::RecordingCommandStates states;
  platform::SystemClock clock;
  editor::CodeMemo memo;
  OutlineCommands commands{{ui, view, states, memo, [] { return std::string("main.mb"); }, clock}};
  OutlineTreeWidget tree{commands};
  bool jumped = false;
};

TEST_F(OutlineTreeWidgetTest, ShowsTheRootOpenAndTheGroupsClosed) {
  EXPECT_EQ(tree.model()->rowCount({}), 0) << "nothing before the first scan";
  commands.scan();
  ASSERT_EQ(tree.model()->rowCount({}), 1);
  EXPECT_EQ(root().data().toString(), "main.mb");
  ASSERT_EQ(tree.model()->rowCount(root()), 9);
  EXPECT_TRUE(tree.isExpanded(root()) && !tree.isExpanded(group(OutlineGroup::Subs)));

  commands.allClosed();
  EXPECT_EQ(tree.model()->rowCount({}), 0);
}

// The entry "X[1] [3]" holds a "[" of its own; the line comes from the entry, not its text.
TEST_F(OutlineTreeWidgetTest, AClickGoesToTheEntrysOwnLineOnceTheMouseMoved) {
  commands.scan();
  tree.expand(group(OutlineGroup::Define));
  QApplication::processEvents();
  const QModelIndex entry = tree.model()->index(0, 0, group(OutlineGroup::Define));
  ASSERT_EQ(entry.data().toString(), "X[1] [3]");

  click(entry);
  EXPECT_FALSE(jumped) << "the mouse has not moved since the group opened";
  moveMouse(entry);
  click(entry);
  EXPECT_TRUE(jumped && memo.selStart() == memo.table().startOf(2));

  jumped = false;
  moveMouse(group(OutlineGroup::Define));
  click(group(OutlineGroup::Define));
  EXPECT_FALSE(jumped) << "a group is no entry";
}

// A rescan of the same page keeps the groups the user opened and the place scrolled to;
// another page shows no entries of the page that went.
TEST_F(OutlineTreeWidgetTest, ARescanKeepsOpenGroupsAndScrollWhileThePageStays) {
  std::string text;
  for (int i = 0; i < 200; ++i) text += "Sub S" + std::to_string(i) + "\r\nEnd Sub\r\n";
  memo.setText(text);
  commands.scan();
  tree.expand(group(OutlineGroup::Subs));
  QApplication::processEvents();
  tree.verticalScrollBar()->setValue(120);
  commands.scan();
  EXPECT_TRUE(tree.isExpanded(group(OutlineGroup::Subs)));
  EXPECT_FALSE(tree.isExpanded(group(OutlineGroup::Dim)));
  EXPECT_EQ(tree.verticalScrollBar()->value(), 120);

  commands.pageEntered();  // hidden: the tree goes stale
  EXPECT_EQ(tree.model()->rowCount(group(OutlineGroup::Subs)), 0);
  commands.scan();
  EXPECT_TRUE(tree.isExpanded(group(OutlineGroup::Subs)));
  EXPECT_EQ(tree.verticalScrollBar()->value(), 0) << "another page starts at the top";
}

}  // namespace
}  // namespace quillon::language

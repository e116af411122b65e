#include "language/outline_tree_widget.h"

#include <QAbstractItemModel>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyle>
#include <QToolTip>

#include "platform/qt_conversions.h"

namespace quillon::language {

namespace {

constexpr int kLevelRole = Qt::UserRole;
constexpr int kLineRole = Qt::UserRole + 1;

// Node ids: the root, the nine groups after it, and entries as their group (from 1) in the
// high bits and their row in the low ones.
constexpr quintptr kRootId = 1;
constexpr quintptr kGroupId = 2;
constexpr int kEntryShift = 40;

quintptr entryId(std::size_t group, int row) {
  return (static_cast<quintptr>(group + 1) << kEntryShift) | static_cast<quintptr>(row);
}

}  // namespace

// The outline as a read-only item model, straight over the commands' data: tens of thousands
// of DIM entries cost nothing until they are drawn.
class OutlineModel final : public QAbstractItemModel {
public:
  explicit OutlineModel(const OutlineCommands& commands, QObject* parent)
      : QAbstractItemModel(parent), commands_(commands) {}

  void reset() {
    beginResetModel();
    endResetModel();
  }

  QModelIndex index(int row, int column, const QModelIndex& parent) const override {
    if (column != 0 || row < 0 || row >= rowCount(parent)) return {};
    if (!parent.isValid()) return createIndex(row, 0, kRootId);
    const quintptr id = parent.internalId();
    if (id == kRootId) return createIndex(row, 0, kGroupId + static_cast<quintptr>(row));
    return createIndex(row, 0, entryId(static_cast<std::size_t>(id - kGroupId), row));
  }

  QModelIndex parent(const QModelIndex& child) const override {
    if (!child.isValid()) return {};
    const quintptr id = child.internalId();
    if (id == kRootId) return {};
    if (id < kGroupId + kOutlineGroups) return createIndex(0, 0, kRootId);
    const int group = static_cast<int>((id >> kEntryShift) - 1);
    return createIndex(group, 0, kGroupId + static_cast<quintptr>(group));
  }

  int rowCount(const QModelIndex& parent) const override {
    const auto& outline = commands_.outline();
    if (!outline) return 0;
    if (!parent.isValid()) return 1;
    const quintptr id = parent.internalId();
    if (id == kRootId) return static_cast<int>(kOutlineGroups);
    // Entries of the page that went are never drawn over the page now shown.
    if (id < kGroupId + kOutlineGroups)
      return commands_.stale() ? 0 : static_cast<int>(outline->groups[id - kGroupId].size());
    return 0;
  }

  int columnCount(const QModelIndex&) const override { return 1; }

  QVariant data(const QModelIndex& index, int role) const override {
    const auto& outline = commands_.outline();
    if (!outline || !index.isValid()) return {};
    const quintptr id = index.internalId();
    const int level = id == kRootId ? 0 : id < kGroupId + kOutlineGroups ? 1 : 2;
    if (role == kLevelRole) return level;
    if (level == 0)
      return role == Qt::DisplayRole ? QVariant(platform::toDisplayString(outline->caption))
                                     : QVariant();
    if (level == 1)
      return role == Qt::DisplayRole
                 ? QVariant(platform::toQString(kOutlineGroupNames[id - kGroupId]))
                 : QVariant();
    const auto& entries = outline->groups[(id >> kEntryShift) - 1];
    if (index.row() >= static_cast<int>(entries.size())) return {};
    const OutlineEntry& entry = entries[static_cast<std::size_t>(index.row())];
    if (role == Qt::DisplayRole) return platform::toQString(entry.text);
    if (role == kLineRole) return static_cast<qlonglong>(entry.line);
    return {};
  }

private:
  const OutlineCommands& commands_;
};

OutlineTreeWidget::OutlineTreeWidget(OutlineCommands& commands, QWidget* parent)
    : QTreeView(parent), commands_(commands), model_(new OutlineModel(commands, this)) {
  setModel(model_);
  setHeaderHidden(true);
  setRootIsDecorated(true);
  setItemsExpandable(true);
  setUniformRowHeights(true);
  setIndentation(19);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setMouseTracking(true);
  viewport()->setMouseTracking(true);
  auto toggled = [this](const QModelIndex& index, bool open) {
    if (restoring_) return;
    commands_.treeNodeToggled();
    if (index.data(kLevelRole).toInt() == 1)
      commands_.setGroupExpanded(static_cast<std::size_t>(index.row()), open);
  };
  connect(this, &QTreeView::expanded, this,
          [toggled](const QModelIndex& index) { toggled(index, true); });
  connect(this, &QTreeView::collapsed, this,
          [toggled](const QModelIndex& index) { toggled(index, false); });
  idle_.setSingleShot(true);
  connect(&idle_, &QTimer::timeout, this, [this] { commands_.idleElapsed(); });
  scans_ = commands_.onScanWanted.listen(
      [this](std::chrono::milliseconds delay) { idle_.start(delay); });
  connect(this, &QTreeView::clicked, this, [this](const QModelIndex& index) {
    if (index.isValid())
      emit nodeClicked(index.data(kLevelRole).toInt(), index.data(kLineRole).toLongLong());
  });
  changes_ = commands_.onOutlineChanged.listen([this] { outlineChanged(); });
  outlineChanged();
}

OutlineTreeWidget::~OutlineTreeWidget() = default;

void OutlineTreeWidget::outlineChanged() {
  const int scroll = verticalScrollBar()->value();
  restoring_ = true;
  model_->reset();
  const QModelIndex root = model_->index(0, 0, {});
  expand(root);
  for (int group = 0; group < static_cast<int>(kOutlineGroups); ++group)
    if (commands_.groupExpanded(static_cast<std::size_t>(group)))
      expand(model_->index(group, 0, root));
  restoring_ = false;
  executeDelayedItemsLayout();
  verticalScrollBar()->setValue(commands_.keptPage() ? scroll : 0);
}

void OutlineTreeWidget::mouseMoveEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  commands_.treeMouseMoved(at.x(), at.y());
  QTreeView::mouseMoveEvent(event);
}

bool OutlineTreeWidget::viewportEvent(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(event);
    const QModelIndex index = indexAt(help->pos());
    const QRect rect = visualRect(index);
    const QString text = index.data(Qt::DisplayRole).toString();
    // Only what the panel cuts off needs a tip.
    const int needed = rect.left() + fontMetrics().horizontalAdvance(text) +
                       2 * style()->pixelMetric(QStyle::PM_FocusFrameHMargin);
    if (index.isValid() && needed > viewport()->width()) {
      QToolTip::showText(help->globalPos(), text, viewport(), rect);
    } else {
      QToolTip::hideText();
      event->ignore();
    }
    return true;
  }
  return QTreeView::viewportEvent(event);
}

}  // namespace quillon::language

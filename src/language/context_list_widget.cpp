#include "language/context_list_widget.h"

#include <QAbstractListModel>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

#include "platform/qt_conversions.h"

namespace quillon::language {

namespace {

// A row longer than this is cut where it is drawn; nobody reads that far along a list.
constexpr std::size_t kLongestShown = 1024;
const QColor kSilver(0xC0, 0xC0, 0xC0);

class RowDelegate : public QStyledItemDelegate {
public:
  RowDelegate(const int& extent, QObject* parent) : QStyledItemDelegate(parent), extent_(extent) {}

  QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override {
    return {std::max(extent_, 1), ContextListWidget::kRowHeight};
  }

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    const bool selected = option.state & QStyle::State_Selected;
    const QRect r = option.rect;
    if (selected) painter->fillRect(r, option.palette.highlight());
    painter->setPen(kSilver);
    painter->drawLine(r.left(), r.bottom(), r.right(), r.bottom());
    painter->setFont(option.font);
    painter->setPen(selected ? option.palette.highlightedText().color()
                             : option.palette.text().color());
    painter->drawText(QRect(r.left() + 4, r.top(), r.width() - 4, r.height()),
                      Qt::AlignLeft | Qt::AlignTop, index.data().toString());
  }

private:
  const int& extent_;
};

}  // namespace

// The core's lines as rows, read where they are kept.
class ContextItemsModel : public QAbstractListModel {
public:
  using QAbstractListModel::QAbstractListModel;

  void swap(const std::vector<std::string>* items) {
    beginResetModel();
    items_ = items;
    endResetModel();
  }
  int rowCount(const QModelIndex& parent) const override {
    return parent.isValid() || !items_ ? 0 : static_cast<int>(items_->size());
  }
  QVariant data(const QModelIndex& index, int role) const override {
    if (role != Qt::DisplayRole || !items_ || index.row() < 0 || index.row() >= rowCount({}))
      return {};
    const std::string& item = (*items_)[static_cast<std::size_t>(index.row())];
    return platform::toQString(std::string_view(item).substr(0, kLongestShown));
  }

private:
  const std::vector<std::string>* items_ = nullptr;
};

ContextListWidget::ContextListWidget(QWidget* parent)
    : QListView(parent), model_(new ContextItemsModel(this)) {
  QFont font("Courier New");
  font.setStyleHint(QFont::TypeWriter);
  setFont(font);
  setModel(model_);
  setItemDelegate(new RowDelegate(extent_, this));
  setUniformItemSizes(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
}

ContextListWidget::~ContextListWidget() = default;

void ContextListWidget::setItems(const std::vector<std::string>& items, int extent) {
  if (extent >= 0) extent_ = extent;
  model_->swap(&items);
}

void ContextListWidget::mouseReleaseEvent(QMouseEvent* event) {
  QListView::mouseReleaseEvent(event);
  // The right button belongs to the popup.
  if (event->button() == Qt::RightButton) return;
  const QPoint at = event->position().toPoint();
  const bool inside =
      at.x() >= 0 && at.x() <= viewport()->width() && at.y() >= 0 && at.y() <= viewport()->height();
  const QModelIndex row = inside ? indexAt(at) : QModelIndex();
  Click click = Click::none;
  if (event->button() != Qt::LeftButton)
    click = Click::none;
  else if (event->modifiers() & Qt::ShiftModifier)
    click = Click::shift;
  else if (event->modifiers() == Qt::NoModifier && event->buttons() == Qt::NoButton)
    click = Click::plain;
  emit released(row.isValid() ? row.row() : -1, click);
}

void ContextListWidget::paintEvent(QPaintEvent* event) {
  QListView::paintEvent(event);
  QPainter painter(viewport());
  painter.setPen(kSilver);
  painter.drawLine(kTagColumnX, 0, kTagColumnX, viewport()->height());
}

}  // namespace quillon::language

#pragma once
#include <QListView>
#include <string>
#include <vector>

namespace quillon::language {

class ContextItemsModel;

// The context list as drawn: rows 16 pixels high in "Courier New", each underlined in silver,
// a silver line at x = 28 between the tags and the texts. Its rows are the core's lines,
// read in place; a new list swaps the model's rows in one reset, never row by row.
class ContextListWidget : public QListView {
  Q_OBJECT

public:
  static constexpr int kRowHeight = 16;
  static constexpr int kTagColumnX = 28;

  explicit ContextListWidget(QWidget* parent = nullptr);
  ~ContextListWidget() override;

  // `items` must outlive the next call; `extent` -1 keeps the horizontal scroll width.
  void setItems(const std::vector<std::string>& items, int extent);
  int extent() const { return extent_; }

  enum class Click { none, plain, shift };

signals:
  // A button other than the right one released over the list: the row under it (-1 for
  // none) and how it was clicked (the left button with Shift and any other key; plain
  // without keys or other buttons; none otherwise).
  void released(int row, Click click);

protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

private:
  ContextItemsModel* model_;
  int extent_ = 0;
};

}  // namespace quillon::language

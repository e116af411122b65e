#pragma once
#include <QColor>
#include <QDialog>
#include <array>
#include <functional>
#include <string>

#include "editor/keyword_list.h"
#include "editor/start_stop_key_list.h"
#include "language/keyword_editor_model.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QTableView;

namespace quillon::platform {
class Ui;
}

namespace quillon::language {

class KeywordRowsModel;

// The keyword list editor: the rows in a grid, the selected row's options beside it, and the
// delete, move, sort and find controls. It works on a KeywordEditorModel; the caller writes
// the lists back after OK.
class KeywordEditorDialog : public QDialog {
  Q_OBJECT

public:
  // Returns an invalid colour when the choice is cancelled.
  using ColorPicker = std::function<QColor(QWidget* parent, const QColor& initial)>;

  // Messages go to `ui`; colours are picked with `colorPicker`, a QColorDialog when empty.
  KeywordEditorDialog(KeywordEditorModel& model, platform::Ui& ui, ColorPicker colorPicker = {},
                      QWidget* parent = nullptr);
  ~KeywordEditorDialog() override;

  // Selects a row and puts the grid's focus on it.
  void selectRow(int row);
  // Types `text` into the empty last row, which becomes an entry, and selects it.
  void typeIntoLastRow(const QString& text);

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void rowSelected(int row);
  void showRow();
  void optionToggled();
  void takeContextNumber();
  void pickColor(KeywordEditorModel::Swatch which);
  void find();
  void rowsMoved(int first, int last);

  KeywordEditorModel& model_;
  KeywordRowsModel* rows_;
  platform::Ui& ui_;
  ColorPicker pickColor_;
  bool showing_ = false;
  bool checkingNumber_ = false;
  int numberRow_ = 0;  // the row whose context number the box shows

  QTableView* grid_;
  QLabel* hint_;
  QLabel* itemNumber_;
  std::array<QCheckBox*, 9> options_{};  // match case, whole words, cross paragraphs, six styles
  QLineEdit* contextNumber_;
  QFrame* foreSwatch_;
  QFrame* backSwatch_;
  QLabel* pointerLabel_;
  QComboBox* pointers_;
  QLineEdit* findText_;
  QCheckBox* wholeWord_;
  QCheckBox* leftChars_;
};

// The Qt cursor a keyword's pointer number stands for.
Qt::CursorShape cursorShape(std::int16_t pointer);

// Runs the editor on the lists; true when it closed with OK after a change and the lists
// were written back. `typed` is put into the empty last row and selected.
bool editKeywords(QWidget* parent, platform::Ui& ui, editor::KeywordList& keywords,
                  const std::string& typed = {});
bool editStartStopKeys(QWidget* parent, platform::Ui& ui, editor::StartStopKeyList& keys);

}  // namespace quillon::language

#pragma once
#include <QColor>
#include <QDialog>
#include <functional>

#include "editor/number_highlighter.h"
#include "editor/number_syntax.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace quillon::editor {

// The "Number Syntax" dialog: edits a NumberSyntax and previews it. Apply accepts.
class NumberSyntaxDialog : public QDialog {
  Q_OBJECT

public:
  // Returns an invalid colour when the choice is cancelled.
  using ColorPicker = std::function<QColor(QWidget* parent, const QColor& initial)>;

  // `editorBackground` is what the preview shows while the background box is unchecked.
  // Colours are picked with `pickColor`, a QColorDialog when empty.
  NumberSyntaxDialog(const QColor& editorBackground, const NumberSyntax& syntax,
                     ColorPicker pickColor = {}, QWidget* parent = nullptr);

  NumberSyntax result() const;

private:
  void pickForeground();
  void pickBackground();
  void updatePreview();

  QColor editorBackground_;
  std::int32_t foreground_;
  std::int32_t background_;
  ColorPicker pickColor_;

  QLineEdit* separators_;
  QCheckBox* bold_;
  QCheckBox* italic_;
  QCheckBox* underline_;
  QCheckBox* strikeOut_;
  QCheckBox* backgroundOn_;
  QPushButton* backgroundButton_;
  QLabel* preview_;
};

// Opens the dialog on the highlighter's current values. On Apply the values go into the
// highlighter and `applied` runs (the caller re-scans and saves); Cancel changes nothing.
bool editNumberSyntax(QWidget* parent, NumberHighlighter& numbers, const QColor& editorBackground,
                      const std::function<void()>& applied,
                      NumberSyntaxDialog::ColorPicker pickColor = {});

}  // namespace quillon::editor

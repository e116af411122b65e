#pragma once
#include <QColor>
#include <QPixmap>
#include <QPointer>
#include <QWidget>
#include <array>

#include "editor/code_gutter.h"
#include "editor/qt_text_metrics.h"

class QKeyEvent;

namespace quillon::editor {

class CodeMemoWidget;

// The gutter on screen: paints what CodeGutter decides, in its own font and colour. It
// watches the editor's key presses (for the bookmark keys) without taking them, and its
// resizes and font changes; it never passes anything on to the editor.
//
// The editor's memo must outlive this widget, or the widget must be detached first.
class CodeGutterWidget : public QWidget {
  Q_OBJECT

public:
  explicit CodeGutterWidget(QWidget* parent = nullptr) : CodeGutterWidget(nullptr, parent) {}
  // With a `shared` gutter its owner keeps it on the editor's memo and hands it the bookmark
  // keys; the widget only paints it. Without one the widget has its own and does both.
  CodeGutterWidget(CodeGutter* shared, QWidget* parent);
  ~CodeGutterWidget() override;

  CodeGutter& gutter() { return *gutter_; }
  CodeMemoWidget* editor() const { return editor_; }
  // A different editor frees every bookmark.
  void setEditor(CodeMemoWidget* editor);
  QColor color() const { return color_; }
  void setColor(const QColor& color);

  // The bookmark digit of a key press: main keyboard digits only, with or without Shift
  // (which turns the digit into a symbol on most layouts); -1 for any other key.
  static int bookmarkDigit(const QKeyEvent& event);

protected:
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  int editorTop() const;

  CodeGutter own_;
  CodeGutter* gutter_;
  bool shared_;
  QPointer<CodeMemoWidget> editor_;
  QtTextMetrics metrics_;
  QColor color_;
  std::array<QPixmap, CodeGutter::kBookmarks> glyphs_;
  QPixmap errorGlyph_;
};

}  // namespace quillon::editor

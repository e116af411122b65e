#pragma once
#include <QAbstractScrollArea>
#include <QColor>
#include <QTimer>
#include <functional>
#include <memory>

#include "editor/code_memo_fwd.h"
#include "editor/memo_clipboard.h"
#include "editor/memo_keyboard.h"
#include "editor/memo_mouse.h"
#include "editor/qt_line_painter.h"
#include "editor/qt_text_metrics.h"

namespace quillon::platform {
class Ui;
}

namespace quillon::editor {

// The editor control on screen. It owns no text: it paints the CodeMemo it is given, tells
// it the viewport size, and translates key, mouse and wheel events into MemoKeyboard calls.
// Its clipboard keys use the memo's MemoClipboard, handed in so that the window's menus
// share it. An editor error (a failed self-check, "Text too long") goes to `ui` as a message and
// never reaches the event loop.
class CodeMemoWidget : public QAbstractScrollArea {
  Q_OBJECT

public:
  CodeMemoWidget(CodeMemo& memo, MemoClipboard& clipboard, platform::Ui& ui,
                 QWidget* parent = nullptr);
  ~CodeMemoWidget() override;

  CodeMemo& memo() { return memo_; }
  MemoKeyboard& keyboard() { return keyboard_; }
  MemoMouse& mouse() { return mouse_; }
  MemoClipboard& clipboard() { return clipboard_; }
  const QtTextMetrics& textMetrics() const { return metrics_; }
  void setEditorFont(const QFont& font);
  QColor background() const { return background_; }
  // The font of runs with the alternate-font style bit.
  const QFont& altFont() const { return altFont_; }
  void setAltFont(const QFont& font) {
    altFont_ = font;
    viewport()->update();
  }
  void setBackground(const QColor& color);
  // The error marks shown in the text: a light tint across each marked line and the mark's
  // message as its tool tip. Null: none. The gutter must outlive this widget or be unset.
  void setErrorMarks(const class CodeGutter* marks);

signals:
  void mouseReleased();

protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  bool focusNextPrevChild(bool next) override;
  bool viewportEvent(QEvent* event) override;

private:
  void onViewEvent(MemoViewEvent event);
  void syncScrollBars();
  void scheduleLayout();
  void restartCaretBlink();
  void paintLine(QPainter& painter, const QtLinePainter& lines, std::int64_t line, int y,
                 Offset selA, Offset selB);
  template <class Fn>
  void guarded(Fn&& fn);
  void updateCursor(const QPoint& p, Qt::KeyboardModifiers modifiers);
  void paintBlockSelection(QPainter& painter);

  CodeMemo& memo_;
  MemoClipboard& clipboard_;
  platform::Ui& ui_;
  MemoKeyboard keyboard_;
  MemoMouse mouse_;
  QtTextMetrics metrics_;
  QTimer autoScrollTimer_;
  QPoint lastMousePoint_;
  Qt::KeyboardModifiers lastMouseModifiers_;
  QColor background_;
  QFont altFont_;
  QTimer caretTimer_;
  bool caretVisible_ = true;
  bool syncing_ = false;
  bool layoutScheduled_ = false;
  int listenerId_ = 0;
  const CodeGutter* errorMarks_ = nullptr;
};

}  // namespace quillon::editor

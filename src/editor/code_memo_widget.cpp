#include "editor/code_memo_widget.h"

#include <QApplication>
#include <QBitmap>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QScrollBar>
#include <QStyleHints>
#include <QToolTip>
#include <algorithm>

#include "editor/code_gutter.h"
#include "editor/code_memo.h"
#include "platform/qt_conversions.h"
#include "platform/ui.h"
#include "platform/windows1252.h"

namespace quillon::editor {

namespace {

KeyModifiers modifiersOf(Qt::KeyboardModifiers m) {
  KeyModifiers mods;
  mods.shift = m & Qt::ShiftModifier;
  mods.ctrl = m & Qt::ControlModifier;
  mods.alt = m & Qt::AltModifier;
  return mods;
}

// The pointer over the line-selection margin: an arrow pointing right, drawn here rather
// than shipped as an image.
const QCursor& rightArrowCursor() {
  static const QCursor cursor = [] {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, false);
    const QPolygon arrow({{20, 1}, {20, 17}, {16, 13}, {13, 20}, {11, 19}, {14, 12}, {9, 12}});
    p.setPen(Qt::white);
    p.setBrush(Qt::black);
    p.drawPolygon(arrow);
    p.end();
    return QCursor(pixmap, 20, 1);
  }();
  return cursor;
}

}  // namespace

CodeMemoWidget::CodeMemoWidget(CodeMemo& memo, MemoClipboard& clipboard, platform::Ui& ui,
                               QWidget* parent)
    : QAbstractScrollArea(parent),
      memo_(memo),
      clipboard_(clipboard),
      ui_(ui),
      keyboard_(memo, clipboard_),
      mouse_(memo, keyboard_) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_InputMethodEnabled, true);
  viewport()->setCursor(Qt::IBeamCursor);
  background_ = palette().color(QPalette::ToolTipBase);
  metrics_.setFont(font());
  memo_.setMetrics(&metrics_);
  listenerId_ = memo_.addViewListener([this](CodeMemo::ViewEvent e) { onViewEvent(e); });
  caretTimer_.setInterval(QApplication::cursorFlashTime() > 0 ? QApplication::cursorFlashTime() / 2
                                                              : 500);
  connect(&caretTimer_, &QTimer::timeout, this, [this] {
    caretVisible_ = !caretVisible_;
    viewport()->update();
  });
  // Scrolling toward a pointer held outside the window while selecting.
  autoScrollTimer_.setInterval(50);
  connect(&autoScrollTimer_, &QTimer::timeout, this, [this] {
    guarded([&] {
      if (!mouse_.autoScroll(lastMousePoint_.x(), lastMousePoint_.y(),
                             modifiersOf(lastMouseModifiers_)))
        autoScrollTimer_.stop();
    });
  });
  viewport()->setMouseTracking(true);
  syncScrollBars();
}

CodeMemoWidget::~CodeMemoWidget() {
  memo_.removeViewListener(listenerId_);
  memo_.setMetrics(nullptr);
}

void CodeMemoWidget::setEditorFont(const QFont& font) {
  setFont(font);
  metrics_.setFont(font);
  memo_.setMetrics(&metrics_);  // measures again
  syncScrollBars();
  viewport()->update();
}

void CodeMemoWidget::setBackground(const QColor& color) {
  background_ = color;
  viewport()->update();
}

void CodeMemoWidget::onViewEvent(CodeMemo::ViewEvent event) {
  switch (event) {
    case CodeMemo::ViewEvent::changed:
    case CodeMemo::ViewEvent::layoutProgressed:
      syncScrollBars();
      scheduleLayout();
      break;
    case CodeMemo::ViewEvent::scrolled: syncScrollBars(); break;
    case CodeMemo::ViewEvent::selectionMoved: restartCaretBlink(); break;
  }
  viewport()->update();
}

void CodeMemoWidget::scheduleLayout() {
  if (layoutScheduled_ || !memo_.layoutPending()) return;
  layoutScheduled_ = true;
  // Background layout runs in idle steps between events, never in a thread.
  QTimer::singleShot(0, this, [this] {
    layoutScheduled_ = false;
    if (memo_.loading()) {
      QTimer::singleShot(50, this, [this] { scheduleLayout(); });
      return;
    }
    bool more = false;
    guarded([&] { more = memo_.layoutStep(); });
    if (more) scheduleLayout();
  });
}

void CodeMemoWidget::syncScrollBars() {
  if (syncing_) return;
  syncing_ = true;
  // With moAutoScrollBars a bar shows only while the text exceeds the window; without it both
  // always show. A bar its owner switched off stays off.
  const bool autoBars = memo_.hasOption(moAutoScrollBars);
  const Qt::ScrollBarPolicy policy = autoBars ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOn;
  if (verticalScrollBarPolicy() != Qt::ScrollBarAlwaysOff && verticalScrollBarPolicy() != policy)
    setVerticalScrollBarPolicy(policy);
  if (horizontalScrollBarPolicy() != Qt::ScrollBarAlwaysOff &&
      horizontalScrollBarPolicy() != policy)
    setHorizontalScrollBarPolicy(policy);

  const int lh = memo_.lineHeight();
  const bool down = !autoBars || memo_.exceedsHeight();
  const auto maxY =
      down ? static_cast<int>(std::min<std::int64_t>(memo_.maxScrollY(), INT_MAX / 2)) : 0;
  verticalScrollBar()->setRange(0, maxY);
  verticalScrollBar()->setSingleStep(lh);
  verticalScrollBar()->setPageStep(std::max(lh, viewport()->height()));
  verticalScrollBar()->setValue(static_cast<int>(std::min<std::int64_t>(memo_.scrollY(), maxY)));
  const int contentWidth = memo_.widestLine() + memo_.leftMargin() + memo_.rightMargin();
  const bool across = !memo_.wordWrap() && (!autoBars || memo_.exceedsWidth());
  const int maxX =
      across ? std::max(0, contentWidth - viewport()->width() + metrics_.averageCharWidth()) : 0;
  horizontalScrollBar()->setRange(0, maxX);
  horizontalScrollBar()->setSingleStep(metrics_.averageCharWidth());
  horizontalScrollBar()->setPageStep(std::max(1, viewport()->width()));
  horizontalScrollBar()->setValue(static_cast<int>(std::min<std::int64_t>(memo_.scrollX(), maxX)));
  syncing_ = false;
}

void CodeMemoWidget::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  memo_.setViewport(viewport()->width(), viewport()->height());
  syncScrollBars();
  scheduleLayout();
}

void CodeMemoWidget::scrollContentsBy(int, int) {
  if (syncing_) return;
  memo_.setScroll(horizontalScrollBar()->value(), verticalScrollBar()->value());
  viewport()->update();
}

void CodeMemoWidget::restartCaretBlink() {
  caretVisible_ = true;
  if (hasFocus()) caretTimer_.start();
}

void CodeMemoWidget::focusInEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusInEvent(event);
  restartCaretBlink();
  viewport()->update();
}

void CodeMemoWidget::focusOutEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusOutEvent(event);
  caretTimer_.stop();
  caretVisible_ = false;
  viewport()->update();
}

bool CodeMemoWidget::focusNextPrevChild(bool) { return false; }  // Tab belongs to the text

void CodeMemoWidget::setErrorMarks(const CodeGutter* marks) {
  errorMarks_ = marks;
  viewport()->update();
}

bool CodeMemoWidget::viewportEvent(QEvent* event) {
  if (event->type() == QEvent::ToolTip && errorMarks_) {
    const auto* help = static_cast<QHelpEvent*>(event);
    if (const std::string* message = errorMarks_->errorMarkAt(help->pos().y(), 0))
      QToolTip::showText(help->globalPos(), platform::toQString(*message), viewport());
    else
      QToolTip::hideText();
    return true;
  }
  return QAbstractScrollArea::viewportEvent(event);
}

// ---------------------------------------------------------------------------------------
// Painting

void CodeMemoWidget::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  painter.fillRect(event->rect(), background_);
  // The end of the load repaints everything.
  if (memo_.loading()) return;
  painter.setFont(metrics_.font());
  const int lh = memo_.lineHeight();
  const std::int64_t first = memo_.scrollY() / lh;
  const int yOffset = static_cast<int>(first * lh - memo_.scrollY());
  const Offset selA = std::min(memo_.selStart(), memo_.selStart() + memo_.selLength());
  const Offset selB = std::max(memo_.selStart(), memo_.selStart() + memo_.selLength());
  const std::int64_t lines = memo_.lineCount();
  if (lines > 0) {
    const std::int64_t lastVisible = std::min(lines - 1, first + viewport()->height() / lh + 1);
    memo_.prepareParagraphs(memo_.lineSpan(first).paragraph, memo_.lineSpan(lastVisible).paragraph);
  }
  // A column selection is painted as its rectangle over the lines, not as a text range.
  const bool block = memo_.blockSelection();
  const QtLinePainter painterOfLines(metrics_, altFont_, memo_.charAdvancer(),
                                     {palette().color(QPalette::Text), background_,
                                      memo_.highlightColor(), memo_.highlightBackgnd()});
  for (std::int64_t line = first, y = yOffset; line < lines && y < viewport()->height();
       ++line, y += lh)
    paintLine(painter, painterOfLines, line, static_cast<int>(y), block ? 0 : selA,
              block ? 0 : selB);
  if (block) paintBlockSelection(painter);

  if (hasFocus() && caretVisible_ && !memo_.displayOnly()) {
    const int x = memo_.caretX() - static_cast<int>(memo_.scrollX());
    const int y = static_cast<int>(memo_.caretY() - memo_.scrollY());
    painter.fillRect(QRect(x, y, memo_.caretPixelWidth(), lh), palette().color(QPalette::Text));
  }
  if (mouse_.draggingText()) {
    // Where the dragged text would land.
    const std::int64_t line = memo_.lineOfOffset(mouse_.dropOffset());
    const CodeMemo::LineSpan span = memo_.lineSpan(line);
    const auto pos =
        static_cast<std::uint32_t>(mouse_.dropOffset() - memo_.table().startOf(span.paragraph));
    const int x = memo_.leftMargin() + memo_.xInLine(span, pos) - static_cast<int>(memo_.scrollX());
    const int y = static_cast<int>(line * lh - memo_.scrollY());
    painter.fillRect(QRect(x, y, 1, lh), palette().color(QPalette::Text));
  }
}

void CodeMemoWidget::paintBlockSelection(QPainter& painter) {
  const Offset a = std::min(memo_.selStart(), memo_.selStart() + memo_.selLength());
  const Offset b = std::max(memo_.selStart(), memo_.selStart() + memo_.selLength());
  const int avg = metrics_.averageCharWidth();
  const int c1 = std::min(memo_.blockColumn1(), memo_.blockColumn2());
  const int c2 = std::max(memo_.blockColumn1(), memo_.blockColumn2());
  const int lh = memo_.lineHeight();
  const int originX = memo_.leftMargin() - static_cast<int>(memo_.scrollX());
  QColor fill = palette().color(QPalette::Highlight);
  fill.setAlpha(110);
  const std::int64_t first = std::max(memo_.lineOfOffset(a), memo_.scrollY() / lh);
  const std::int64_t last =
      std::min(memo_.lineOfOffset(b), (memo_.scrollY() + viewport()->height()) / lh);
  for (std::int64_t line = first; line <= last; ++line) {
    const int y = static_cast<int>(line * lh - memo_.scrollY());
    painter.fillRect(QRect(originX + c1 * avg, y, std::max(1, (c2 - c1) * avg), lh), fill);
  }
}

void CodeMemoWidget::paintLine(QPainter& painter, const QtLinePainter& lines, std::int64_t line,
                               int y, Offset selA, Offset selB) {
  const CodeMemo::LineSpan span = memo_.lineSpan(line);
  const std::string_view text = memo_.paragraphText(span.paragraph);
  const Offset parStart = memo_.table().startOf(span.paragraph);
  const int originX = memo_.leftMargin() - static_cast<int>(memo_.scrollX());
  const int baseline = y + metrics_.ascent();
  const QColor selBack = palette().color(QPalette::Highlight);

  QtLinePainter::Line l;
  l.paragraph = &memo_.table().at(span.paragraph);
  // A long line is drawn from its first visible character on, not walked from its start.
  const CodeMemo::LinePoint first = memo_.firstCharacterFrom(span, -originX);
  l.start = first.position;
  l.startX = first.x;
  l.stop = span.stop;
  l.x = originX;
  l.top = y;
  l.height = memo_.lineHeight();
  l.clipRight = viewport()->width();
  if (errorMarks_ && errorMarks_->errorMarkOn(span.paragraph)) {
    QColor tint(0xe0, 0x30, 0x30);
    tint.setAlpha(40);
    painter.fillRect(QRect(0, y, viewport()->width(), memo_.lineHeight()), tint);
  }
  const QtLinePainter::Selection selection{selA - parStart, selB - parStart, selBack,
                                           palette().color(QPalette::HighlightedText)};
  const int endX = lines.paint(painter, l, &selection);
  // The painter stops at the right edge; only a line that ended before it shows its end, and
  // measuring the end of a long line that is not shown would walk all of it.
  if (span.stop != text.size() || endX > l.clipRight) return;

  // A selected paragraph end shows as one selected cell.
  const Offset breakAt = parStart + static_cast<Offset>(text.size());
  if (breakAt >= selA && breakAt < selB && span.paragraph + 1 < memo_.paragraphCount())
    painter.fillRect(QRect(endX, y, metrics_.averageCharWidth(), memo_.lineHeight()), selBack);
  // The end-of-text mark after the last character.
  if (span.paragraph + 1 == memo_.paragraphCount()) {
    const int ex = endX + 1;
    painter.setPen(QPen(Qt::red, 1));
    painter.drawLine(ex, baseline - 1, ex + metrics_.averageCharWidth() / 2, baseline - 1);
  }
}

// ---------------------------------------------------------------------------------------
// Input

template <class Fn>
void CodeMemoWidget::guarded(Fn&& fn) {
  try {
    fn();
  } catch (const std::exception& e) {
    ui_.showMessage(e.what());
  }
  viewport()->update();
}

void CodeMemoWidget::keyPressEvent(QKeyEvent* event) {
  const KeyModifiers mods = modifiersOf(event->modifiers());
  auto handled = [&](EditKey key) {
    bool done = false;
    guarded([&] { done = keyboard_.keyDown(key, mods); });
    if (done)
      event->accept();
    else
      QAbstractScrollArea::keyPressEvent(event);
  };
  switch (event->key()) {
    case Qt::Key_Left: return handled(EditKey::Left);
    case Qt::Key_Right: return handled(EditKey::Right);
    case Qt::Key_Up: return handled(EditKey::Up);
    case Qt::Key_Down: return handled(EditKey::Down);
    case Qt::Key_Home: return handled(EditKey::Home);
    case Qt::Key_End: return handled(EditKey::End);
    case Qt::Key_PageUp: return handled(EditKey::PageUp);
    case Qt::Key_PageDown: return handled(EditKey::PageDown);
    case Qt::Key_Backspace: return handled(EditKey::Backspace);
    case Qt::Key_Delete: return handled(EditKey::Delete);
    case Qt::Key_Return:
    case Qt::Key_Enter: return handled(EditKey::Enter);
    case Qt::Key_Tab: return handled(EditKey::Tab);
    case Qt::Key_Insert: return handled(EditKey::Insert);
    default: break;
  }
  if (mods.ctrl && !mods.alt) {
    bool done = false;
    if (event->key() >= Qt::Key_A && event->key() <= Qt::Key_Z)
      guarded([&] {
        done = keyboard_.controlKey(static_cast<char>('A' + (event->key() - Qt::Key_A)), mods);
      });
    if (done)
      event->accept();
    else
      QAbstractScrollArea::keyPressEvent(event);
    return;
  }
  const QString text = event->text();
  if (!text.isEmpty() && MemoKeyboard::typesText(mods)) {
    const std::u16string u(reinterpret_cast<const char16_t*>(text.utf16()),
                           static_cast<std::size_t>(text.size()));
    guarded([&] {
      for (char c : platform::utf16ToWindows1252(u))
        if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) keyboard_.typeChar(c);
    });
    event->accept();
    return;
  }
  QAbstractScrollArea::keyPressEvent(event);
}

void CodeMemoWidget::updateCursor(const QPoint& p, Qt::KeyboardModifiers modifiers) {
  switch (mouse_.cursorAt(p.x(), p.y(), modifiersOf(modifiers))) {
    case MemoCursor::IBeam: viewport()->setCursor(Qt::IBeamCursor); break;
    case MemoCursor::LineSelect: viewport()->setCursor(rightArrowCursor()); break;
    case MemoCursor::Arrow: viewport()->setCursor(Qt::ArrowCursor); break;
    case MemoCursor::DragMove: viewport()->setCursor(Qt::DragMoveCursor); break;
    case MemoCursor::DragCopy: viewport()->setCursor(Qt::DragCopyCursor); break;
  }
}

void CodeMemoWidget::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QAbstractScrollArea::mousePressEvent(event);
  const QPoint p = event->position().toPoint();
  lastMousePoint_ = p;
  lastMouseModifiers_ = event->modifiers();
  guarded([&] { mouse_.press(p.x(), p.y(), modifiersOf(event->modifiers())); });
  updateCursor(p, event->modifiers());
}

void CodeMemoWidget::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QAbstractScrollArea::mouseDoubleClickEvent(event);
  const QPoint p = event->position().toPoint();
  guarded([&] { mouse_.doubleClick(p.x(), p.y()); });
}

void CodeMemoWidget::mouseMoveEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  lastMousePoint_ = p;
  lastMouseModifiers_ = event->modifiers();
  if ((event->buttons() & Qt::LeftButton) && mouse_.busy()) {
    guarded([&] { mouse_.move(p.x(), p.y(), modifiersOf(event->modifiers())); });
    if (!viewport()->rect().contains(p) && !autoScrollTimer_.isActive()) autoScrollTimer_.start();
  }
  updateCursor(p, event->modifiers());
}

void CodeMemoWidget::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QAbstractScrollArea::mouseReleaseEvent(event);
  autoScrollTimer_.stop();
  const QPoint p = event->position().toPoint();
  guarded([&] { mouse_.release(p.x(), p.y(), modifiersOf(event->modifiers())); });
  updateCursor(p, event->modifiers());
  emit mouseReleased();
}

void CodeMemoWidget::wheelEvent(QWheelEvent* event) {
  guarded([&] { mouse_.wheel(event->angleDelta().y()); });
  event->accept();
}

}  // namespace quillon::editor

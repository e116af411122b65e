#include "editor/code_gutter_widget.h"

#include <QGuiApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QPalette>
#include <QSvgRenderer>
#include <QToolTip>

#include "editor/code_memo.h"
#include "editor/code_memo_widget.h"
#include "platform/qt_conversions.h"

// The icons live in a static library, where nothing else pulls their registration in.
static void registerIcons() {
  static const bool once = [] {
    Q_INIT_RESOURCE(quillon);
    return true;
  }();
  (void)once;
}

namespace quillon::editor {

CodeGutterWidget::CodeGutterWidget(CodeGutter* shared, QWidget* parent)
    : QWidget(parent), gutter_(shared ? shared : &own_), shared_(shared != nullptr) {
  resize(30, 50);
  color_ = palette().color(QPalette::Window);
  metrics_.setFont(font());
  gutter_->setMetrics(&metrics_);
  gutter_->onRepaint = [this] { update(); };
  // The edge is the same on every row, so shifting the whole picture keeps it intact.
  gutter_->onScroll = [this](int dy) { scroll(0, dy); };
  registerIcons();
  for (int n = 0; n < CodeGutter::kBookmarks; ++n) {
    QPixmap pixmap(CodeGutter::kGlyphSize, CodeGutter::kGlyphSize);
    pixmap.fill(Qt::transparent);
    QSvgRenderer svg(QStringLiteral(":/icons/bookmark%1.svg").arg(n));
    QPainter painter(&pixmap);
    svg.render(&painter);
    glyphs_[static_cast<std::size_t>(n)] = pixmap;
  }
  // The error glyph: a red disc with a white bar, unlike any bookmark.
  errorGlyph_ = QPixmap(CodeGutter::kGlyphSize, CodeGutter::kGlyphSize);
  errorGlyph_.fill(Qt::transparent);
  QPainter painter(&errorGlyph_);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0xd0, 0x20, 0x20));
  painter.drawEllipse(QRectF(0.5, 0.5, CodeGutter::kGlyphSize - 1, CodeGutter::kGlyphSize - 1));
  painter.fillRect(QRectF(2, CodeGutter::kGlyphSize / 2.0 - 1, CodeGutter::kGlyphSize - 4, 2),
                   Qt::white);
}

CodeGutterWidget::~CodeGutterWidget() {
  setEditor(nullptr);
  if (shared_) {
    gutter_->onRepaint = nullptr;
    gutter_->onScroll = nullptr;
    gutter_->setMetrics(nullptr);
  }
}

void CodeGutterWidget::setEditor(CodeMemoWidget* editor) {
  if (editor == editor_) return;
  if (editor_) editor_->removeEventFilter(this);
  editor_ = editor;
  if (!shared_) gutter_->setMemo(editor ? &editor->memo() : nullptr);
  if (editor) editor->installEventFilter(this);
  update();
}

void CodeGutterWidget::setColor(const QColor& color) {
  color_ = color;
  update();
}

int CodeGutterWidget::bookmarkDigit(const QKeyEvent& event) {
  if (event.modifiers() & Qt::KeypadModifier) return -1;
  const int key = event.key();
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return key - Qt::Key_0;
  if (!(event.modifiers() & Qt::ShiftModifier)) return -1;
  // Shift turned the digit into whatever the layout puts above it; the key's position says
  // which digit it was. XKB key codes and PC scan codes both run 1..9, 0 along the row.
  const quint32 code = event.nativeScanCode();
  const QString platform = QGuiApplication::platformName();
  quint32 first = 0;
  if (platform == "xcb" || platform == "wayland")
    first = 10;
  else if (platform == "windows")
    first = 2;
  if (first != 0 && code >= first && code < first + 10)
    return static_cast<int>((code - first + 1) % 10);
  // Elsewhere, the US layout's symbols (Qt's key codes for ASCII are the characters).
  static constexpr char kShifted[] = ")!@#$%^&*(";
  for (int i = 0; i < 10; ++i)
    if (key == kShifted[i]) return i;
  return -1;
}

bool CodeGutterWidget::eventFilter(QObject* watched, QEvent* event) {
  if (watched == editor_) {
    switch (event->type()) {
      case QEvent::KeyPress: {
        if (shared_) break;
        auto* key = static_cast<QKeyEvent*>(event);
        const int digit = bookmarkDigit(*key);
        if (digit >= 0) {
          KeyModifiers mods;
          mods.shift = key->modifiers() & Qt::ShiftModifier;
          mods.ctrl = key->modifiers() & Qt::ControlModifier;
          mods.alt = key->modifiers() & Qt::AltModifier;
          gutter_->keyDown(digit, mods);
        }
        break;
      }
      case QEvent::FontChange:
      case QEvent::Resize:
      case QEvent::Move: update(); break;
      default: break;
    }
  }
  return QWidget::eventFilter(watched, event);  // the editor still gets every key
}

void CodeGutterWidget::changeEvent(QEvent* event) {
  if (event->type() == QEvent::FontChange) {
    metrics_.setFont(font());
    update();
  }
  QWidget::changeEvent(event);
}

bool CodeGutterWidget::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    const auto* help = static_cast<QHelpEvent*>(event);
    if (const std::string* message = gutter_->errorMarkAt(help->pos().y(), editorTop()))
      QToolTip::showText(help->globalPos(), platform::toQString(*message), this);
    else
      QToolTip::hideText();
    return true;
  }
  return QWidget::event(event);
}

int CodeGutterWidget::editorTop() const {
  if (!editor_) return 0;
  const QWidget* client = editor_->viewport();
  return mapFromGlobal(client->mapToGlobal(QPoint(0, 0))).y();
}

void CodeGutterWidget::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QRect area = event->rect();
  painter.fillRect(area, color_);
  const int w = width();
  painter.setPen(palette().color(QPalette::Highlight));
  painter.drawLine(w - 2, area.top(), w - 2, area.bottom());
  painter.setPen(palette().color(QPalette::Shadow));
  painter.drawLine(w - 1, area.top(), w - 1, area.bottom());

  if (gutter_->memo() && gutter_->memo()->loading()) return;
  const CodeGutter::Paint plan =
      gutter_->paint({w, height(), area.top(), area.bottom() + 1, editorTop()});
  if (plan.repaintAgain) {
    update();
    return;
  }
  painter.setFont(metrics_.font());
  painter.setPen(palette().color(QPalette::Text));
  for (const CodeGutter::Item& item : plan.items) {
    if (item.error)
      painter.drawPixmap(item.x, item.y, errorGlyph_);
    else if (item.bookmark >= 0)
      painter.drawPixmap(item.x, item.y, glyphs_[static_cast<std::size_t>(item.bookmark)]);
    else
      painter.drawText(
          item.x, item.y,
          QString::fromLatin1(item.text.data(), static_cast<qsizetype>(item.text.size())));
  }
}

}  // namespace quillon::editor

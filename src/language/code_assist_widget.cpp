#include "language/code_assist_widget.h"

#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QScrollBar>

#include "editor/code_memo.h"
#include "editor/code_memo_widget.h"
#include "platform/qt_conversions.h"

namespace quillon::language {

namespace {

QString escaped(std::string_view text) { return platform::toQString(text).toHtmlEscaped(); }

}  // namespace

CodeAssistWidget::CodeAssistWidget(editor::CodeMemoWidget& editor, const WordLists& words,
                                   const NameSource& names,
                                   std::function<std::string()> currentFile)
    : QObject(&editor), editor_(editor) {
  QWidget* viewport = editor_.viewport();
  popup_ = new QListWidget(viewport);
  popup_->setObjectName("completionPopup");
  popup_->setFocusPolicy(Qt::NoFocus);
  popup_->setUniformItemSizes(true);
  popup_->setFrameShape(QFrame::Box);
  popup_->hide();
  connect(popup_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
    assist_->chosen(static_cast<std::size_t>(popup_->row(item)));
  });
  hint_ = new QLabel(viewport);
  hint_->setObjectName("signatureHint");
  hint_->setTextFormat(Qt::RichText);
  hint_->setFrameShape(QFrame::Box);
  hint_->setAutoFillBackground(true);
  hint_->setBackgroundRole(QPalette::ToolTipBase);
  hint_->setForegroundRole(QPalette::ToolTipText);
  hint_->setMargin(2);
  hint_->hide();
  assist_ = std::make_unique<CodeAssist>(
      CodeAssist::Parts{editor_.memo(), words, names, *this, std::move(currentFile)});
  editor_.installEventFilter(this);
}

CodeAssistWidget::~CodeAssistWidget() { editor_.removeEventFilter(this); }

bool CodeAssistWidget::eventFilter(QObject* watched, QEvent* event) {
  if (watched != &editor_) return false;
  if (event->type() == QEvent::FocusOut) {
    // A click into the pop-up keeps the focus in the editor; anything else closes both.
    if (!popup_->underMouse()) assist_->close();
    return false;
  }
  if (event->type() != QEvent::KeyPress) return false;
  auto* key = static_cast<QKeyEvent*>(event);
  const Qt::KeyboardModifiers mods =
      key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
  if (key->key() == Qt::Key_Space && mods == Qt::ControlModifier) {
    assist_->requested();
    return true;
  }
  if (mods == Qt::NoModifier) {
    std::optional<AssistKey> k;
    switch (key->key()) {
      case Qt::Key_Up: k = AssistKey::Up; break;
      case Qt::Key_Down: k = AssistKey::Down; break;
      case Qt::Key_PageUp: k = AssistKey::PageUp; break;
      case Qt::Key_PageDown: k = AssistKey::PageDown; break;
      case Qt::Key_Return:
      case Qt::Key_Enter: k = AssistKey::Enter; break;
      case Qt::Key_Tab: k = AssistKey::Tab; break;
      case Qt::Key_Escape: k = AssistKey::Escape; break;
      default: break;
    }
    if (k && assist_->keyPressed(*k)) return true;
  }
  // The character reaches the text first; what it typed is looked at once the editor is done.
  const QString text = key->text();
  if (text.size() == 1 && text[0].unicode() >= 0x20 && text[0].unicode() < 0x7F &&
      !(mods & Qt::ControlModifier)) {
    const char c = static_cast<char>(text[0].unicode());
    QMetaObject::invokeMethod(
        this, [this, c] { assist_->typed(c); }, Qt::QueuedConnection);
  }
  return false;
}

QPoint CodeAssistWidget::underCaret() {
  editor::CodeMemo& m = editor_.memo();
  const int x = m.caretX() - static_cast<int>(m.scrollX());
  const int y = static_cast<int>(m.caretY() - m.scrollY()) + m.lineHeight();
  return {x, y};
}

void CodeAssistWidget::place() {
  const QPoint at = underCaret();  // the top of the line under the caret's
  const QWidget* viewport = editor_.viewport();
  const int lineTop = at.y() - editor_.memo().lineHeight();
  // Below the caret's line, or above it when there is no room below: the pop-up next to the
  // line, the hint beyond the pop-up.
  int below = at.y();
  int above = lineTop;
  auto stack = [&](QWidget* w) {
    const int x = std::max(0, std::min(at.x(), viewport->width() - w->width()));
    if (below + w->height() <= viewport->height() || above - w->height() < 0) {
      w->move(x, below);
      below += w->height();
    } else {
      above -= w->height();
      w->move(x, above);
    }
  };
  if (popup_->isVisible()) stack(popup_);
  if (hint_->isVisible()) {
    hint_->adjustSize();
    stack(hint_);
  }
}

void CodeAssistWidget::showCompletion(const std::vector<CompletionItem>& items,
                                      std::size_t selected) {
  popup_->clear();
  for (const CompletionItem& item : items) {
    auto* row = new QListWidgetItem(platform::toQString(item.text), popup_);
    if (item.source != CompletionItem::Source::Code)
      row->setForeground(popup_->palette().color(QPalette::PlaceholderText));
  }
  const int rows =
      std::min<int>(static_cast<int>(items.size()), static_cast<int>(CompletionList::kPageRows));
  const int rowHeight = popup_->sizeHintForRow(0);
  popup_->resize(std::max(160, popup_->sizeHintForColumn(0) +
                                   popup_->verticalScrollBar()->sizeHint().width() + 8),
                 rows * rowHeight + 2 * popup_->frameWidth());
  popup_->setCurrentRow(static_cast<int>(selected));
  popup_->scrollToItem(popup_->currentItem());
  popup_->show();
  popup_->raise();
  place();
}

void CodeAssistWidget::hideCompletion() {
  popup_->hide();
  place();
}

void CodeAssistWidget::showHint(const SignatureHint& hint) {
  const std::string_view text = hint.text;
  const std::size_t boldEnd = hint.boldStart + hint.boldLength;
  QString html = escaped(text.substr(0, hint.boldStart));
  if (hint.boldLength > 0)
    html += "<b>" + escaped(text.substr(hint.boldStart, hint.boldLength)) + "</b>";
  html += escaped(text.substr(std::min(boldEnd, text.size())));
  hint_->setText(html);
  hint_->adjustSize();
  hint_->show();
  hint_->raise();
  place();
}

void CodeAssistWidget::hideHint() { hint_->hide(); }

}  // namespace quillon::language

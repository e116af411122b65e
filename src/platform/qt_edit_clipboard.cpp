#include "platform/qt_edit_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

#include "platform/qt_conversions.h"

namespace quillon::platform {

void QtEditClipboard::copy() {
  if (!memo_ || memo_->selLength() == 0) return;
  QGuiApplication::clipboard()->setText(toQString(memo_->selText()));
}

void QtEditClipboard::cut() {
  if (!memo_ || memo_->selLength() == 0 || memo_->readOnly()) return;
  copy();
  memo_->clearSelection();
}

void QtEditClipboard::paste() {
  if (!memo_ || memo_->readOnly()) return;
  const QString text = QGuiApplication::clipboard()->text();
  if (!text.isEmpty()) memo_->setSelText(fromQString(text));
}

}  // namespace quillon::platform

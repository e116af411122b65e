#include "editor/qt_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "platform/windows1252.h"

namespace quillon::editor {

std::optional<platform::ClipboardText> QtClipboard::readText() const {
  const QClipboard* clipboard = QGuiApplication::clipboard();
  const QMimeData* data = clipboard ? clipboard->mimeData() : nullptr;
  if (!data || !data->hasText()) return std::nullopt;
  const QString text = data->text();
  platform::ClipboardText out;
  out.text = platform::utf16ToWindows1252(std::u16string_view(
      reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())));
  out.columnBlock = data->hasFormat(kBlockMimeType);
  return out;
}

void QtClipboard::writeText(std::string_view text, bool columnBlock) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (!clipboard) return;
  const std::u16string u = platform::windows1252ToUtf16(text);
  auto* data = new QMimeData;
  data->setText(QString::fromUtf16(u.data(), static_cast<qsizetype>(u.size())));
  if (columnBlock) data->setData(kBlockMimeType, QByteArray(1, '\x02'));
  clipboard->setMimeData(data);  // takes ownership
}

}  // namespace quillon::editor

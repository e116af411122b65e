#include "platform/qt_conversions.h"

#include <QFile>
#include <QGuiApplication>
#include <QPalette>
#include <QStringDecoder>
#include <algorithm>

#include "platform/windows1252.h"

namespace quillon::platform {

QString toQString(std::string_view bytes) {
  const std::u16string u = windows1252ToUtf16(bytes);
  return QString::fromUtf16(u.data(), static_cast<qsizetype>(u.size()));
}

QString toDisplayString(std::string_view bytes) {
  const bool ascii = std::all_of(bytes.begin(), bytes.end(),
                                 [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  if (ascii) return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = utf8.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
  return utf8.hasError() ? toQString(bytes) : text;
}

std::string fromQPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

std::string fromQString(const QString& text) {
  return utf16ToWindows1252(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                                static_cast<std::size_t>(text.size())));
}

QColor toQColor(Color color) {
  if (color == kNoColor || color == clNone) return {};
  const auto bits = static_cast<std::uint32_t>(color);
  if (bits & 0x80000000u) {
    const QPalette palette = QGuiApplication::palette();
    switch (bits & 0xFFu) {
      case 5: return palette.color(QPalette::Base);  // window
      case 8: return palette.color(QPalette::Text);  // window text
      case 13: return palette.color(QPalette::Highlight);
      case 14: return palette.color(QPalette::HighlightedText);
      case 15: return palette.color(QPalette::Button);  // button face
      case 16: return palette.color(QPalette::Mid);     // button shadow
      case 18: return palette.color(QPalette::ButtonText);
      case 23: return palette.color(QPalette::ToolTipText);  // info text
      case 24: return palette.color(QPalette::ToolTipBase);  // info background
      default: return palette.color(QPalette::Window);
    }
  }
  return QColor(static_cast<int>(bits & 0xFF), static_cast<int>((bits >> 8) & 0xFF),
                static_cast<int>((bits >> 16) & 0xFF));
}

Color fromQColor(const QColor& color) {
  if (!color.isValid()) return kNoColor;
  return static_cast<Color>((static_cast<std::uint32_t>(color.blue()) << 16) |
                            (static_cast<std::uint32_t>(color.green()) << 8) |
                            static_cast<std::uint32_t>(color.red()));
}

QFont toQFont(const FontInfo& info) {
  QFont font(toQString(info.name));
  font.setStyleHint(QFont::TypeWriter);
  font.setPointSize(info.size > 0 ? info.size : 10);
  font.setBold(info.has(fsBold));
  font.setItalic(info.has(fsItalic));
  font.setUnderline(info.has(fsUnderline));
  font.setStrikeOut(info.has(fsStrikeOut));
  return font;
}

FontInfo fromQFont(const QFont& font, const FontInfo& base) {
  FontInfo info = base;
  info.name = fromQString(font.family());
  info.size = font.pointSize() > 0 ? font.pointSize() : base.size;
  info.style = static_cast<std::uint8_t>(
      (font.bold() ? fsBold : 0) | (font.italic() ? fsItalic : 0) |
      (font.underline() ? fsUnderline : 0) | (font.strikeOut() ? fsStrikeOut : 0));
  return info;
}

}  // namespace quillon::platform

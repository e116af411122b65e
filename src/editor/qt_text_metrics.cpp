#include "editor/qt_text_metrics.h"

#include <QChar>

#include "platform/windows1252.h"

namespace quillon::editor {

QtTextMetrics::QtTextMetrics(const QFont& font) { setFont(font); }

void QtTextMetrics::setFont(const QFont& font) {
  font_ = font;
  font_.setKerning(false);
  const QFontMetrics fm(font_);
  lineHeight_ = std::max(1, fm.height());
  ascent_ = fm.ascent();
  averageCharWidth_ = std::max(1, fm.averageCharWidth());
  for (auto& row : widths_) row.fill(-1);
  // Fixed pitch only when every byte really measures the same, fallback glyphs included.
  fixedPitchWidth_ = charWidth('M', 0);
  for (int c = 0; c < 256 && fixedPitchWidth_ > 0; ++c)
    if (charWidth(static_cast<unsigned char>(c), 0) != fixedPitchWidth_) fixedPitchWidth_ = 0;
}

QFont QtTextMetrics::fontFor(std::uint8_t style) const {
  QFont f = font_;
  f.setBold(style & 1);
  f.setItalic(style & 2);
  f.setUnderline(style & 4);
  f.setStrikeOut(style & 8);
  return f;
}

int QtTextMetrics::charWidth(unsigned char c, std::uint8_t style) const {
  const int variant = style & 3;
  int& w = widths_[static_cast<std::size_t>(variant)][c];
  if (w < 0) {
    const QFontMetrics fm(fontFor(static_cast<std::uint8_t>(variant)));
    const char16_t u = platform::windows1252ToUnicode(c);
    // Control characters have no glyph; give them the width of a space so they can be seen
    // and clicked.
    w = u < 0x20 || (u >= 0x7F && u < 0xA0) ? fm.horizontalAdvance(QChar(' '))
                                            : fm.horizontalAdvance(QChar(u));
  }
  return w;
}

}  // namespace quillon::editor

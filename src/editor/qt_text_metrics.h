#pragma once
#include <QFont>
#include <QFontMetrics>
#include <array>

#include "editor/text_metrics.h"

namespace quillon::editor {

// Text measurement from a real font. Widths are looked up per Windows-1252 byte and style
// (bold and italic change advances), and cached; kerning is off so that a line's width is
// the sum of its characters' widths, as the model lays it out.
class QtTextMetrics final : public TextMetrics {
public:
  explicit QtTextMetrics(const QFont& font = QFont());
  void setFont(const QFont& font);
  const QFont& font() const { return font_; }
  QFont fontFor(std::uint8_t style) const;

  int charWidth(unsigned char c, std::uint8_t style) const override;
  int lineHeight() const override { return lineHeight_; }
  int ascent() const override { return ascent_; }
  int averageCharWidth() const override { return averageCharWidth_; }
  int fixedPitchWidth() const override { return fixedPitchWidth_; }

private:
  QFont font_;
  int lineHeight_ = 16;
  int ascent_ = 12;
  int averageCharWidth_ = 8;
  int fixedPitchWidth_ = 0;
  // [bold|italic][byte]; -1 until measured.
  mutable std::array<std::array<int, 256>, 4> widths_{};
};

}  // namespace quillon::editor

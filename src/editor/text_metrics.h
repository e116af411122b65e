#pragma once
#include <cstdint>

namespace quillon::editor {

// Measures text for layout, caret placement and hit testing. The widget supplies one backed
// by the real font; tests use a fixed-pitch fake. `style` holds the Style bits of a run
// (bold 1, italic 2, underline 4, strike-out 8, highlight 16, alternate font 32).
class TextMetrics {
public:
  virtual ~TextMetrics() = default;
  virtual int charWidth(unsigned char c, std::uint8_t style) const = 0;
  virtual int lineHeight() const = 0;
  virtual int ascent() const = 0;
  virtual int averageCharWidth() const = 0;
  // The width every character has in plain style, or 0 when widths differ. Lets long lines
  // be measured by counting instead of adding up widths.
  virtual int fixedPitchWidth() const { return 0; }
};

}  // namespace quillon::editor

#pragma once
#include "editor/text_metrics.h"

namespace quillon::testing {

// Widths that differ by character, so a position cannot be found by counting.
class ProportionalMetrics final : public editor::TextMetrics {
public:
  int charWidth(unsigned char c, std::uint8_t) const override {
    return c == 'i' ? 3 : c == 'm' ? 11 : 7;
  }
  int lineHeight() const override { return 15; }
  int ascent() const override { return 12; }
  int averageCharWidth() const override { return 7; }
};

}  // namespace quillon::testing

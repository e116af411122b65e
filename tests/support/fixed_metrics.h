#pragma once
#include "editor/text_metrics.h"

namespace quillon::testing {

// Every character `width` pixels wide, lines `height` high: layout arithmetic by hand.
// `saysFixedPitch` also tells the layout so, which lets it measure by counting.
class FixedMetrics final : public editor::TextMetrics {
public:
  explicit FixedMetrics(int width = 8, int height = 16, bool saysFixedPitch = false)
      : width_(width), height_(height), saysFixedPitch_(saysFixedPitch) {}
  int charWidth(unsigned char, std::uint8_t) const override { return width_; }
  int lineHeight() const override { return height_; }
  int ascent() const override { return height_ - 3; }
  int averageCharWidth() const override { return width_; }
  int fixedPitchWidth() const override { return saysFixedPitch_ ? width_ : 0; }

private:
  int width_;
  int height_;
  bool saysFixedPitch_;
};

}  // namespace quillon::testing

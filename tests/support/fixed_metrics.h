#pragma once
#include "editor/text_metrics.h"

namespace quillon::test {

// Every character `width` pixels wide, lines `height` high: layout arithmetic by hand.
class FixedMetrics final : public editor::TextMetrics {
public:
  explicit FixedMetrics(int width = 8, int height = 16) : width_(width), height_(height) {}
  int charWidth(unsigned char, std::uint8_t) const override { return width_; }
  int lineHeight() const override { return height_; }
  int ascent() const override { return height_ - 3; }
  int averageCharWidth() const override { return width_; }

private:
  int width_;
  int height_;
};

}  // namespace quillon::test

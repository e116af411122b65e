#pragma once
#include <cstdint>
#include <string_view>
#include <vector>

#include "editor/text_metrics.h"

namespace quillon::editor {

// How far a character moves the pen in plain style: a tab to the next stop of `tabStops`
// average characters, a formatting code (with `staticFormat`) not at all, anything else its
// width. Screen and paper measure with their own metrics but by this one rule.
struct CharAdvance {
  const TextMetrics* metrics = nullptr;
  int tabStops = 8;
  bool staticFormat = true;

  static bool isFormatCode(unsigned char c) {
    return c == 1 || c == 2 || c == 3 || c == 4 || c == 21;
  }

  int operator()(unsigned char c, int x) const {
    if (c == '\t') {
      const int tab = tabStops * (metrics ? metrics->averageCharWidth() : 1);
      if (tab <= 0) return 0;
      return tab - x % tab;
    }
    if (staticFormat && isFormatCode(c)) return 0;
    return metrics ? metrics->charWidth(c, 0) : 1;
  }
};

// Breaks a paragraph into display lines no wider than `width` pixels, after the last space
// that fits when there is one, else after the last character that fits (a line holds at
// least one character). Fills `starts` with the offsets where lines 1..n-1 begin and returns
// the widest line's width. `hasCodes` says whether the text holds formatting codes.
int breakLines(std::string_view text, bool hasCodes, const CharAdvance& advance, int width,
               std::vector<std::uint32_t>& starts);

}  // namespace quillon::editor

#pragma once
#include <cstdint>
#include <string>

#include "platform/color.h"

namespace quillon::platform {

// Style bits, the same values the settings file uses for the number style.
enum FontStyle : std::uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

// A toolkit-free font description: what the settings file stores for a font. The Qt side
// converts it to and from QFont.
struct FontInfo {
  std::string name;
  int size = 10;  // points
  Color color = clWindowText;
  std::uint8_t style = 0;  // FontStyle bits

  bool has(FontStyle s) const { return (style & s) != 0; }
  friend bool operator==(const FontInfo&, const FontInfo&) = default;
};

}  // namespace quillon::platform

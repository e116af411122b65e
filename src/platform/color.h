#pragma once
#include <cstdint>

namespace quillon::platform {

// A colour as the settings file and the editor keep it: 0x00BBGGRR for plain colours,
// 0x80000000 + index for the system colours, -1 for "no colour".
using Color = std::int32_t;

inline constexpr Color kNoColor = -1;
inline constexpr Color kSystemColorBase = static_cast<Color>(0x80000000u);
inline constexpr Color clNone = 0x1FFFFFFF;

constexpr Color systemColor(int index) {
  return static_cast<Color>(0x80000000u + static_cast<std::uint32_t>(index));
}

inline constexpr Color clBlack = 0x000000;
inline constexpr Color clNavy = 0x800000;
inline constexpr Color clBlue = 0xFF0000;
inline constexpr Color clYellow = 0x00FFFF;
inline constexpr Color clFuchsia = 0xFF00FF;
inline constexpr Color clWindowText = systemColor(8);
inline constexpr Color clInfoBk = systemColor(24);

}  // namespace quillon::platform

#pragma once
#include <cstdint>
#include <optional>
#include <string_view>

namespace quillon::platform {

// Integers as the settings file and the dialogs write them: optional leading spaces, an
// optional sign, then decimal digits, or hex digits after "$", "0x" or "0X". Hex takes up to 32
// bits and wraps ($FFFFFFFF is -1); decimal must fit in 32 bits. Anything else (trailing text
// included) is not a number.
std::optional<std::int32_t> parseInteger(std::string_view text);

}  // namespace quillon::platform

#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/color.h"
#include "platform/font_info.h"
#include "platform/integer_text.h"

namespace quillon::settings {

class IniFile;

// The text forms of settings values, and typed reads and writes over an IniFile.

// Integers are read as platform::parseInteger reads them.
using platform::parseInteger;
std::int32_t decodeInteger(std::string_view text, std::int32_t defaultValue);
std::string encodeInteger(std::int32_t value);

// Booleans: "1"/"0" written; read as an integer, anything but 0 is true.
bool decodeBool(std::string_view text, bool defaultValue);
std::string encodeBool(bool value);

// Colours: a name from the colour table (any case), else an integer. Written as the name
// when there is one, else "$" and eight upper-case hex digits.
std::optional<platform::Color> decodeColor(std::string_view text, std::string* error = nullptr);
std::string encodeColor(platform::Color color);
// The name of a colour in the table, or nullopt.
std::optional<std::string_view> colorName(platform::Color color);
// The message for a text that is neither a colour name nor a number.
std::string invalidIntegerMessage(std::string_view text);

// Fonts: "name,size,colour,bold,italic,underline,strikeout". Only a text of exactly seven
// comma-separated fields changes `font`; a size that is not a number becomes 10, a flag that
// reads as a non-zero integer sets its style. A colour field that is neither a name nor a
// number leaves the whole font unchanged and sets `error`. Returns whether `font` was set.
bool decodeFont(std::string_view text, platform::FontInfo& font, std::string* error = nullptr);
std::string encodeFont(const platform::FontInfo& font);

// Typed access to an IniFile; a missing key gives the default.
std::int32_t readInteger(const IniFile& ini, std::string_view section, std::string_view key,
                         std::int32_t defaultValue);
bool writeInteger(IniFile& ini, std::string_view section, std::string_view key, std::int32_t value);
bool readBool(const IniFile& ini, std::string_view section, std::string_view key,
              bool defaultValue);
bool writeBool(IniFile& ini, std::string_view section, std::string_view key, bool value);
// A text that is not a colour gives the default and sets `error`.
platform::Color readColor(const IniFile& ini, std::string_view section, std::string_view key,
                          platform::Color defaultValue, std::string* error = nullptr);
bool writeColor(IniFile& ini, std::string_view section, std::string_view key,
                platform::Color value);
// Leaves `font` as it is when the key is missing or its text is no font.
bool readFont(const IniFile& ini, std::string_view section, std::string_view key,
              platform::FontInfo& font, std::string* error = nullptr);
bool writeFont(IniFile& ini, std::string_view section, std::string_view key,
               const platform::FontInfo& font);

}  // namespace quillon::settings

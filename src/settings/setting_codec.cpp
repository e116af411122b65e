#include "settings/setting_codec.h"

#include <array>
#include <cstdio>
#include <vector>

#include "platform/ascii_text.h"
#include "settings/ini_file.h"

namespace quillon::settings {
namespace {

struct NamedColor {
  std::string_view name;
  platform::Color value;
};

constexpr std::array<NamedColor, 42> kColors = {{
    {"clBlack", 0x000000},
    {"clMaroon", 0x000080},
    {"clGreen", 0x008000},
    {"clOlive", 0x008080},
    {"clNavy", 0x800000},
    {"clPurple", 0x800080},
    {"clTeal", 0x808000},
    {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},
    {"clLime", 0x00FF00},
    {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},
    {"clFuchsia", 0xFF00FF},
    {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},
    {"clScrollBar", platform::systemColor(0)},
    {"clBackground", platform::systemColor(1)},
    {"clActiveCaption", platform::systemColor(2)},
    {"clInactiveCaption", platform::systemColor(3)},
    {"clMenu", platform::systemColor(4)},
    {"clWindow", platform::systemColor(5)},
    {"clWindowFrame", platform::systemColor(6)},
    {"clMenuText", platform::systemColor(7)},
    {"clWindowText", platform::systemColor(8)},
    {"clCaptionText", platform::systemColor(9)},
    {"clActiveBorder", platform::systemColor(10)},
    {"clInactiveBorder", platform::systemColor(11)},
    {"clAppWorkSpace", platform::systemColor(12)},
    {"clHighlight", platform::systemColor(13)},
    {"clHighlightText", platform::systemColor(14)},
    {"clBtnFace", platform::systemColor(15)},
    {"clBtnShadow", platform::systemColor(16)},
    {"clGrayText", platform::systemColor(17)},
    {"clBtnText", platform::systemColor(18)},
    {"clInactiveCaptionText", platform::systemColor(19)},
    {"clBtnHighlight", platform::systemColor(20)},
    {"cl3DDkShadow", platform::systemColor(21)},
    {"cl3DLight", platform::systemColor(22)},
    {"clInfoText", platform::systemColor(23)},
    {"clInfoBk", platform::systemColor(24)},
    {"clNone", platform::clNone},
}};

std::vector<std::string_view> splitCommas(std::string_view text) {
  std::vector<std::string_view> parts;
  for (;;) {
    const std::size_t comma = text.find(',');
    parts.push_back(text.substr(0, comma));
    if (comma == std::string_view::npos) break;
    text.remove_prefix(comma + 1);
  }
  return parts;
}

}  // namespace

std::int32_t decodeInteger(std::string_view text, std::int32_t defaultValue) {
  return parseInteger(text).value_or(defaultValue);
}

std::string encodeInteger(std::int32_t value) { return std::to_string(value); }

bool decodeBool(std::string_view text, bool defaultValue) {
  return decodeInteger(text, defaultValue ? 1 : 0) != 0;
}

std::string encodeBool(bool value) { return value ? "1" : "0"; }

std::string invalidIntegerMessage(std::string_view text) {
  return "'" + std::string(text) + "' is not a valid integer value";
}

std::optional<platform::Color> decodeColor(std::string_view text, std::string* error) {
  for (const NamedColor& c : kColors)
    if (platform::equalsNoCase(c.name, text)) return c.value;
  if (auto v = parseInteger(text)) return *v;
  if (error) *error = invalidIntegerMessage(text);
  return std::nullopt;
}

std::optional<std::string_view> colorName(platform::Color color) {
  for (const NamedColor& c : kColors)
    if (c.value == color) return c.name;
  return std::nullopt;
}

std::string encodeColor(platform::Color color) {
  if (auto name = colorName(color)) return std::string(*name);
  char buf[16];
  std::snprintf(buf, sizeof buf, "$%08X", static_cast<unsigned>(static_cast<std::uint32_t>(color)));
  return buf;
}

bool decodeFont(std::string_view text, platform::FontInfo& font, std::string* error) {
  const std::vector<std::string_view> f = splitCommas(text);
  if (f.size() != 7) return false;
  const std::optional<platform::Color> color = decodeColor(f[2], error);
  // A bad colour would otherwise leave a half-changed font; keep the old one whole.
  if (!color) return false;
  font.name.assign(f[0]);
  font.size = decodeInteger(f[1], 10);
  font.color = *color;
  font.style = 0;
  const platform::FontStyle bits[] = {platform::fsBold, platform::fsItalic, platform::fsUnderline,
                                      platform::fsStrikeOut};
  for (int i = 0; i < 4; ++i)
    if (decodeInteger(f[3 + static_cast<std::size_t>(i)], 0) != 0) font.style |= bits[i];
  return true;
}

std::string encodeFont(const platform::FontInfo& font) {
  std::string out = font.name;
  out += ',';
  out += encodeInteger(font.size);
  out += ',';
  out += encodeColor(font.color);
  for (platform::FontStyle s :
       {platform::fsBold, platform::fsItalic, platform::fsUnderline, platform::fsStrikeOut}) {
    out += ',';
    out += font.has(s) ? '1' : '0';
  }
  return out;
}

std::int32_t readInteger(const IniFile& ini, std::string_view section, std::string_view key,
                         std::int32_t defaultValue) {
  const std::optional<std::string> text = ini.readValue(section, key);
  return text ? decodeInteger(*text, defaultValue) : defaultValue;
}

bool writeInteger(IniFile& ini, std::string_view section, std::string_view key,
                  std::int32_t value) {
  return ini.writeString(section, key, encodeInteger(value));
}

bool readBool(const IniFile& ini, std::string_view section, std::string_view key,
              bool defaultValue) {
  return readInteger(ini, section, key, defaultValue ? 1 : 0) != 0;
}

bool writeBool(IniFile& ini, std::string_view section, std::string_view key, bool value) {
  return ini.writeString(section, key, encodeBool(value));
}

platform::Color readColor(const IniFile& ini, std::string_view section, std::string_view key,
                          platform::Color defaultValue, std::string* error) {
  const std::optional<std::string> text = ini.readValue(section, key);
  return text ? decodeColor(*text, error).value_or(defaultValue) : defaultValue;
}

bool writeColor(IniFile& ini, std::string_view section, std::string_view key,
                platform::Color value) {
  return ini.writeString(section, key, encodeColor(value));
}

bool readFont(const IniFile& ini, std::string_view section, std::string_view key,
              platform::FontInfo& font, std::string* error) {
  const std::optional<std::string> text = ini.readValue(section, key);
  return text && decodeFont(*text, font, error);
}

bool writeFont(IniFile& ini, std::string_view section, std::string_view key,
               const platform::FontInfo& font) {
  return ini.writeString(section, key, encodeFont(font));
}

}  // namespace quillon::settings

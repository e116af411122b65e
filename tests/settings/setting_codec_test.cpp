#include "settings/setting_codec.h"

#include <climits>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <tuple>

using namespace quillon::settings;
using namespace quillon::platform;

TEST(SettingCodec, ParsesIntegersLikeTheSettingsFileWritesThem) {
  struct Case {
    const char* text;
    std::optional<std::int32_t> value;
  };
  const Case cases[] = {
      {"-42", -42},
      {"+7", 7},
      {"  12", 12},
      {"0x1F", 31},
      {"0X1f", 31},
      {"$ff", 255},
      {"$FFFFFFFF", -1},
      {"$80000018", static_cast<std::int32_t>(0x80000018u)},
      {"-$10", -16},
      {"007", 7},
      {"0x00000000000001", 1},
      {"2147483647", INT_MAX},
      {"-2147483648", INT_MIN},
      {"2147483648", std::nullopt},
      {"-2147483649", std::nullopt},
      {"$100000000", std::nullopt},
      {"99999999999999999999999", std::nullopt},
      {"", std::nullopt},
      {" ", std::nullopt},
      {"-", std::nullopt},
      {"$", std::nullopt},
      {"0x", std::nullopt},
      {"12 ", std::nullopt},
      {"3.14", std::nullopt},
      {"x1", std::nullopt},
      {"$G", std::nullopt},
      {"--1", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(parseInteger(c.text), c.value) << '"' << c.text << '"';
  EXPECT_EQ(std::tuple(decodeInteger("abc", 2), encodeInteger(-5), encodeInteger(INT_MIN)),
            std::tuple(2, "-5", "-2147483648"));
}

TEST(SettingCodec, ReadsBooleansAsIntegers) {
  // Anything but a number, like "yes", reads as the default.
  const std::tuple<const char*, bool, bool> cases[] = {{"1", false, true},   {"-1", false, true},
                                                       {"$10", false, true}, {"0", true, false},
                                                       {"yes", true, true},  {"", false, false}};
  for (const auto& [text, fallback, expected] : cases)
    EXPECT_EQ(decodeBool(text, fallback), expected) << text;
  EXPECT_EQ(std::tuple(encodeBool(true), encodeBool(false)), std::tuple("1", "0"));
}

TEST(SettingCodec, EncodesColoursByNameOrAsDollarHexAndDecodesAnySpelling) {
  struct Case {
    Color color;
    const char* text;
  };
  const Case cases[] = {
      {0x000000, "clBlack"},
      {0x000080, "clMaroon"},
      {0xFF0000, "clBlue"},
      {0xFFFFFF, "clWhite"},
      {0xFF00FF, "clFuchsia"},
      {systemColor(0), "clScrollBar"},
      {systemColor(8), "clWindowText"},
      {systemColor(21), "cl3DDkShadow"},
      {systemColor(24), "clInfoBk"},
      {clNone, "clNone"},
      {-1, "$FFFFFFFF"},
      {0x123456, "$00123456"},
      {0xABCDEF, "$00ABCDEF"},
      {systemColor(25), "$80000019"},
      {0x01000000, "$01000000"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(encodeColor(c.color), c.text);
    EXPECT_EQ(decodeColor(c.text), c.color) << c.text;
  }
  const Case readOnly[] = {{clInfoBk, "clinfobk"},
                           {clBlue, "CLBLUE"},
                           {clBlue, "16711680"},
                           {clFuchsia, "0xFF00FF"},
                           {kNoColor, "$ffffffff"}};
  for (const Case& c : readOnly) EXPECT_EQ(decodeColor(c.text), c.color) << c.text;

  // Names are exact apart from case.
  for (const char* bad : {"clBlu", "", " clBlue"}) {
    std::string error;
    EXPECT_EQ(decodeColor(bad, &error), std::nullopt) << bad;
    EXPECT_EQ(error, "'" + std::string(bad) + "' is not a valid integer value");
  }
}

TEST(SettingCodec, DecodesFontsOfExactlySevenFields) {
  const FontInfo editorFont{"Courier New", 10, clWindowText, 0};
  struct Case {
    const char* text;
    bool applied;
    FontInfo expected;
  };
  const Case cases[] = {
      {"Courier New,12,clNavy,1,0,0,0", true, {"Courier New", 12, clNavy, fsBold}},
      {"Arial,9,$00123456,0,1,1,1",
       true,
       {"Arial", 9, 0x123456, fsItalic | fsUnderline | fsStrikeOut}},
      {"Arial,big,clRed,2,x,,-1", true, {"Arial", 10, 0x0000FF, fsBold | fsStrikeOut}},
      {",,clBlack,0,0,0,0", true, {"", 10, 0, 0}},
      {" Lucida ,0x0B,16711680,0,0,0,0", true, {" Lucida ", 11, clBlue, 0}},
      {"Courier New,12", false, editorFont},
      {"", false, editorFont},
      {"A,1,clRed,0,0,0,0,0", false, editorFont},
      {"Name, with comma,10,clRed,0,0,0,0", false, editorFont},
  };
  for (const Case& c : cases) {
    FontInfo font = editorFont;
    font.style = 0;
    EXPECT_EQ(decodeFont(c.text, font), c.applied) << c.text;
    EXPECT_EQ(font, c.expected) << c.text;
  }
  // A bad colour keeps the whole font and says why.
  FontInfo font = editorFont;
  std::string error;
  EXPECT_FALSE(decodeFont("Arial,20,purplish,1,1,0,0", font, &error));
  EXPECT_EQ(std::tuple(font, error),
            std::tuple(editorFont, "'purplish' is not a valid integer value"));
}

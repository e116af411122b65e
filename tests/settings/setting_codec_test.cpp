#include "settings/setting_codec.h"

#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string>

#include "settings/ini_file.h"

using namespace quillon::settings;
using namespace quillon::platform;

TEST(SettingCodec, ParsesIntegersLikeTheSettingsFileWritesThem) {
  struct Case {
    const char* text;
    std::optional<std::int32_t> value;
  };
  const Case cases[] = {
      {"0", 0},
      {"42", 42},
      {"-42", -42},
      {"+7", 7},
      {"  12", 12},
      {"0x1F", 31},
      {"0X1f", 31},
      {"$ff", 255},
      {"$FFFFFFFF", -1},
      {"$80000018", static_cast<std::int32_t>(0x80000018u)},
      {"-$10", -16},
      {"0x00000000000001", 1},
      {"2147483647", INT_MAX},
      {"-2147483648", INT_MIN},
      {"007", 7},
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
      {"1e5", std::nullopt},
      {"3.14", std::nullopt},
      {"x1", std::nullopt},
      {"$G", std::nullopt},
      {"--1", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(parseInteger(c.text), c.value) << '"' << c.text << '"';
  EXPECT_EQ(decodeInteger("abc", 2), 2);
  EXPECT_EQ(encodeInteger(-5), "-5");
  EXPECT_EQ(encodeInteger(INT_MIN), "-2147483648");
}

TEST(SettingCodec, ReadsBooleansAsIntegers) {
  EXPECT_TRUE(decodeBool("1", false));
  EXPECT_TRUE(decodeBool("-1", false));
  EXPECT_TRUE(decodeBool("$10", false));
  EXPECT_FALSE(decodeBool("0", true));
  EXPECT_TRUE(decodeBool("yes", true));  // not a number: the default
  EXPECT_FALSE(decodeBool("", false));
  EXPECT_EQ(encodeBool(true), "1");
  EXPECT_EQ(encodeBool(false), "0");
}

TEST(SettingCodec, EncodesColoursByNameOrAsDollarHex) {
  struct Case {
    Color color;
    const char* text;
  };
  const Case cases[] = {
      {0x000000, "clBlack"},       {0x000080, "clMaroon"},        {0xFF0000, "clBlue"},
      {0xFFFFFF, "clWhite"},       {0xFF00FF, "clFuchsia"},       {systemColor(0), "clScrollBar"},
      {systemColor(8), "clWindowText"}, {systemColor(21), "cl3DDkShadow"}, {systemColor(24), "clInfoBk"},
      {clNone, "clNone"},          {-1, "$FFFFFFFF"},             {0x123456, "$00123456"},
      {0xABCDEF, "$00ABCDEF"},     {systemColor(25), "$80000019"}, {0x01000000, "$01000000"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(encodeColor(c.color), c.text);
    EXPECT_EQ(decodeColor(c.text), c.color) << c.text;
  }
}

TEST(SettingCodec, DecodesColourNamesInAnyCaseAndNumbers) {
  EXPECT_EQ(decodeColor("clinfobk"), clInfoBk);
  EXPECT_EQ(decodeColor("CLBLUE"), clBlue);
  EXPECT_EQ(decodeColor("16711680"), clBlue);
  EXPECT_EQ(decodeColor("0xFF00FF"), clFuchsia);
  EXPECT_EQ(decodeColor("$ffffffff"), kNoColor);

  std::string error;
  EXPECT_EQ(decodeColor("clBlu", &error), std::nullopt);
  EXPECT_EQ(error, "'clBlu' is not a valid integer value");
  EXPECT_EQ(decodeColor("", &error), std::nullopt);
  EXPECT_EQ(error, "'' is not a valid integer value");
  EXPECT_EQ(decodeColor(" clBlue", &error), std::nullopt);  // names are exact apart from case
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
      {"Arial,9,$00123456,0,1,1,1", true, {"Arial", 9, 0x123456, fsItalic | fsUnderline | fsStrikeOut}},
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
  EXPECT_EQ(font, editorFont);
  EXPECT_EQ(error, "'purplish' is not a valid integer value");
}

TEST(SettingCodec, EncodesFontsThatDecodeBack) {
  const FontInfo fonts[] = {
      {"Courier New", 10, clWindowText, 0},
      {"MS Sans Serif", 8, 0x00ABCDEF, fsBold | fsUnderline},
      {"X", -13, kNoColor, fsItalic | fsStrikeOut},
  };
  EXPECT_EQ(encodeFont(fonts[0]), "Courier New,10,clWindowText,0,0,0,0");
  EXPECT_EQ(encodeFont(fonts[1]), "MS Sans Serif,8,$00ABCDEF,1,0,1,0");
  for (const FontInfo& f : fonts) {
    FontInfo back;
    ASSERT_TRUE(decodeFont(encodeFont(f), back));
    EXPECT_EQ(back, f);
  }
}

TEST(SettingCodec, TypedReadsFallBackToTheDefault) {
  IniFile ini(
      "[SYSTEM]\nTabStops=0x10\nCursor=wide\nBackColor=$00C0FFEE\nhitext=blue-ish\nhiback=\n"
      "CursorPastEnd=1\nTextFont=Courier New,12,clNavy,1,0,0,0\nAltFont=Courier New,12\nBare\n");
  EXPECT_EQ(readInteger(ini, "system", "TabStops", 2), 16);
  EXPECT_EQ(readInteger(ini, "system", "Cursor", 1), 1);
  EXPECT_EQ(readInteger(ini, "system", "missing", 9), 9);
  EXPECT_EQ(readInteger(ini, "system", "Bare", 9), 9);
  EXPECT_TRUE(readBool(ini, "SYSTEM", "CursorPastEnd", false));
  EXPECT_TRUE(readBool(ini, "SYSTEM", "missing", true));

  std::string error;
  EXPECT_EQ(readColor(ini, "SYSTEM", "BackColor", clInfoBk, &error), 0xC0FFEE);
  EXPECT_TRUE(error.empty());
  EXPECT_EQ(readColor(ini, "SYSTEM", "missing", clInfoBk, &error), clInfoBk);
  EXPECT_TRUE(error.empty());
  EXPECT_EQ(readColor(ini, "SYSTEM", "hitext", clBlue, &error), clBlue);
  EXPECT_EQ(error, "'blue-ish' is not a valid integer value");
  EXPECT_EQ(readColor(ini, "SYSTEM", "hiback", clYellow, &error), clYellow);
  EXPECT_EQ(error, "'' is not a valid integer value");

  FontInfo font{"Courier New", 10, clWindowText, 0};
  EXPECT_FALSE(readFont(ini, "SYSTEM", "AltFont", font));
  EXPECT_FALSE(readFont(ini, "SYSTEM", "missing", font));
  EXPECT_EQ(font.size, 10);
  EXPECT_TRUE(readFont(ini, "SYSTEM", "TextFont", font));
  EXPECT_EQ(font, (FontInfo{"Courier New", 12, clNavy, fsBold}));

  // Written forms, as the close writes them.
  writeColor(ini, "Numbers", "BackGround", kNoColor);
  writeColor(ini, "Numbers", "Color", clFuchsia);
  writeInteger(ini, "Numbers", "Style", 3);
  writeBool(ini, "SYSTEM", "AutoSaveCompile", false);
  writeFont(ini, "SYSTEM", "AltFont", FontInfo{"MS Sans Serif", 8, clWindowText, 0});
  EXPECT_EQ(ini.readSectionValues("Numbers"), (std::vector<std::string>{"BackGround=$FFFFFFFF", "Color=clFuchsia", "Style=3"}));
  EXPECT_EQ(ini.readString("SYSTEM", "AltFont", "-"), "MS Sans Serif,8,clWindowText,0,0,0,0");
  EXPECT_EQ(ini.readString("SYSTEM", "AutoSaveCompile", "-"), "0");
}

#include "platform/qt_font_choice.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QStringList>
#include <gtest/gtest.h>
#include <string>
#include <tuple>

namespace quillon::platform {
namespace {

TEST(QtFontChoiceTest, StoredWindowsNamesDrawFixedPitchAndComeBackUnchanged) {
  const FontInfo stored{"Courier New", 10, clWindowText, 0};
  const QFont drawn = fixedPitchFont(stored);
  const QFont preset = dialogPreset(drawn);
  EXPECT_TRUE(QFontInfo(drawn).fixedPitch());
  // The dialog lists real families only; the preset must be one of them.
  EXPECT_EQ(std::tuple(preset.family(), preset.pointSize()), std::tuple(drawnFamily(drawn), 10));
  EXPECT_EQ(storedChoice(preset, preset, stored), stored);

  QFont bigger = preset;
  bigger.setPointSize(12);
  bigger.setBold(true);
  EXPECT_EQ(storedChoice(bigger, preset, stored),
            (FontInfo{drawnFamily(drawn).toStdString(), 12, clWindowText, fsBold}));
}

TEST(QtFontChoiceTest, UnusableStoredFontsFallBackToTheFixedPitchFontAtAUsableSize) {
  const FontInfo bad[] = {{"No Such Family Anywhere", 10, clWindowText, 0},
                          {"", 10, clWindowText, 0},
                          {std::string(10000, 'x'), 10, clWindowText, fsItalic},
                          {"Courier New", 0, clWindowText, 0},
                          {"Courier New", 10000, clWindowText, 0}};
  const int sizes[] = {10, 10, 10, 10, 72};
  for (std::size_t i = 0; i < std::size(bad); ++i) {
    const QFont font = fixedPitchFont(bad[i]);
    EXPECT_TRUE(QFontInfo(font).fixedPitch()) << i;
    EXPECT_EQ(font.pointSize(), sizes[i]) << i;
  }
  EXPECT_TRUE(fixedPitchFont(bad[2]).italic());
}

TEST(QtFontChoiceTest, AProportionalFamilyTheUserChoseIsKept) {
  for (const QString& family : QFontDatabase::families()) {
    if (QFontDatabase::isFixedPitch(family)) continue;
    const QFont font = fixedPitchFont({family.toStdString(), 10, clWindowText, 0});
    EXPECT_EQ(drawnFamily(font), drawnFamily(QFont(family)));
    return;
  }
  GTEST_SKIP() << "no proportional font installed";
}

}  // namespace
}  // namespace quillon::platform

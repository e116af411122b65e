#include "platform/window_placement.h"

#include <climits>
#include <gtest/gtest.h>
#include <optional>
#include <utility>

using namespace quillon::platform;

namespace {
const ScreenRect kScreen{0, 0, 1024, 768};
}

TEST(WindowPlacement, FormatsAndParsesTheSevenFieldsAndNothingElse) {
  const WindowPlacement p{0, 1, {200, 111, 794, 584}};
  EXPECT_EQ(formatPlacement(p), "200,0,1,200,111,794,584");
  EXPECT_EQ(parsePlacement("200,0,1,200,111,794,584"), p);
  EXPECT_EQ(parsePlacement("200,2,3,-8,-8,1032,776"), (WindowPlacement{2, 3, {-8, -8, 1032, 776}}));
  const char* bad[] = {
      "",
      "200,0,1,200,111,794",        // six fields
      "200,0,1,200,111,794,584,9",  // eight
      "201,0,1,200,111,794,584",    // wrong marker
      " 200,0,1,200,111,794,584",   // the marker is compared as text
      "0xC8,0,1,200,111,794,584",
      "200,0,1,left,111,794,584",  // a field that is no number
      "200,,1,200,111,794,584",
  };
  for (const char* text : bad) EXPECT_EQ(parsePlacement(text), std::nullopt) << text;
}

TEST(WindowPlacement, MovesAWindowBackOntoTheScreenKeepingItsSize) {
  const std::pair<ScreenRect, ScreenRect> cases[] = {
      {{1500, 100, 2100, 500}, {424, 100, 1024, 500}},      // past the right edge
      {{100, 600, 500, 900}, {100, 468, 500, 768}},         // past the bottom
      {{-50, -50, 300, 300}, {-50, -50, 300, 300}},         // left and top are left alone
      {{0, 0, 1024, 768}, {0, 0, 1024, 768}},               // exactly on the edges
      {{0, 0, 2000, 100}, {-976, 0, 1024, 100}},            // wider than the screen
      {{INT_MIN, 0, INT_MAX, 10}, {INT_MIN, 0, 1024, 10}},  // no overflow
  };
  for (const auto& [stored, expected] : cases)
    EXPECT_EQ(clampToScreen({0, 1, stored}, kScreen).normal, expected) << stored.left;
  // The screen need not start at 0.
  EXPECT_EQ(clampToScreen({0, 1, {1500, 0, 2100, 10}}, {1024, 0, 2048, 768}).normal,
            (ScreenRect{1448, 0, 2048, 10}));

  EXPECT_EQ(readPlacement("200,0,1,1500,100,2100,500", kScreen),
            (WindowPlacement{0, 1, {424, 100, 1024, 500}}));
  EXPECT_EQ(readPlacement("garbage", kScreen), std::nullopt);
}

// Stored placements the window could not be used at: it still opens on the screen.
TEST(WindowPlacement, AStoredRectangleTheWindowCannotUseIsMadeUsableOrIgnored) {
  const std::pair<const char*, std::optional<ScreenRect>> cases[] = {
      {"200,0,1,-3000,-3000,9000,9000", ScreenRect{0, 0, 1024, 768}},  // larger than the screen
      {"200,0,1,-900,-700,-500,-400", ScreenRect{0, 0, 400, 300}},  // wholly left of and above it
      {"200,0,1,-50,-50,300,300", ScreenRect{-50, -50, 300, 300}},  // partly off stays
      {"200,0,1,500,500,400,400", std::nullopt},                    // negative size
      {"200,0,1,500,500,500,900", std::nullopt},                    // no width
      {"200,0,1,-2147483648,0,2147483647,10", ScreenRect{0, 0, 1024, 10}},
  };
  for (const auto& [text, expected] : cases) {
    const auto p = readPlacement(text, kScreen);
    EXPECT_EQ(p ? std::optional(p->normal) : std::nullopt, expected) << text;
  }
}

TEST(WindowPlacement, TheFirstWindowTakesThreeQuartersOfTheAreaCentred) {
  EXPECT_EQ(firstWindowRect({0, 0, 1920, 1080}), (ScreenRect{240, 135, 1680, 945}));
  // At least 800 x 600, but never beyond a small screen; the area's offset counts.
  EXPECT_EQ(firstWindowRect({0, 0, 1024, 768}), (ScreenRect{112, 84, 912, 684}));
  EXPECT_EQ(firstWindowRect({0, 32, 640, 512}), (ScreenRect{0, 32, 640, 512}));
}

TEST(WindowPlacement, AToolWindowOpensBesideItsOwnerAndOnTheScreen) {
  const ScreenRect screen{0, 0, 1920, 1080};
  EXPECT_EQ(besideRect({100, 100, 900, 700}, 300, 500, screen),
            (ScreenRect{900, 100, 1200, 600}));  // right
  EXPECT_EQ(besideRect({1000, 100, 1800, 700}, 300, 500, screen),
            (ScreenRect{700, 100, 1000, 600}));  // left
  EXPECT_EQ(besideRect({240, 135, 1680, 945}, 300, 500, screen),
            (ScreenRect{1380, 135, 1680, 635}));  // over
  EXPECT_EQ(besideRect({100, 900, 900, 1070}, 300, 500, screen),
            (ScreenRect{900, 580, 1200, 1080}));  // kept up
}

#include "view/window_placement.h"

#include <gtest/gtest.h>

namespace lirako {
namespace {

// A 1920 x 1080 screen with a 40-pixel panel at the top.
const Rect kScreen{0, 40, 1920, 1080};

TEST(WindowPlacement, GeometryTextRoundTripsAndRejectsWhatItDidNotWrite) {
  const Rect rect{-30, 50, 570, 950};
  EXPECT_EQ(FormatWindowGeometry(rect), "-30,50,600,900");
  EXPECT_EQ(ParseWindowGeometry("-30,50,600,900"), rect);
  for (const char* bad : {"", "1,2,300", "1,2,300,400,5", "1,2,300,400x", "a,2,300,400",
                          "1,2,50,400", "1,2,300,99999999999", " 1,2,300,400"}) {
    EXPECT_EQ(ParseWindowGeometry(bad), std::nullopt) << bad;
  }
}

TEST(WindowPlacement, FirstRunIsACentredPortraitPageTwoThirdsOfTheScreenHigh) {
  const Rect first = FirstRunWindowRect(kScreen);
  EXPECT_EQ(first.Height(), kScreen.Height() * 2 / 3);
  EXPECT_EQ(first.Width(), first.Height() * 3 / 5);
  // Centred, to the pixel that an odd difference leaves over.
  EXPECT_NEAR(first.left - kScreen.left, kScreen.right - first.right, 1);
  EXPECT_NEAR(first.top - kScreen.top, kScreen.bottom - first.bottom, 1);
  EXPECT_EQ(InitialWindowRect(std::nullopt, kScreen), first);
  EXPECT_EQ(InitialWindowRect("damaged", kScreen), first);
}

TEST(WindowPlacement, RememberedRectangleOpensWhereItWasUnlessItsScreenIsGone) {
  const Rect onScreen{100, 100, 700, 1000};
  EXPECT_EQ(InitialWindowRect(FormatWindowGeometry(onScreen), kScreen), onScreen);
  // Left on a second screen to the right that is no longer there: same size, centred.
  const Rect away{2500, 100, 3100, 1000};
  const Rect back = InitialWindowRect(FormatWindowGeometry(away), kScreen);
  EXPECT_EQ(back.Width(), away.Width());
  EXPECT_EQ(back.Height(), away.Height());
  EXPECT_EQ(back.left, (kScreen.Width() - away.Width()) / 2);
  // Larger than the screen now: cut to it.
  EXPECT_EQ(InitialWindowRect(FormatWindowGeometry(Rect{0, 0, 4000, 3000}), kScreen), kScreen);
}

}  // namespace
}  // namespace lirako

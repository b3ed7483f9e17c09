#include <gtest/gtest.h>

#include "store/reader_store.h"
#include "view/page_theme.h"

namespace lirako {
namespace {

// A new install's colours: white text on black.
constexpr PageColors kNewInstall{0x00FFFFFF, 0x00000000};
// Own colours that make a light page.
constexpr PageColors kOwnLight{0x00000000, 0x00F0F0F0};

// Presses the night key and gives the theme it shows.
Theme Toggle(ThemeChoice& choice, PageColors own) {
  choice.ToggleNight(own);
  return choice.theme();
}

TEST(ThemeChoice, TheNightKeyTurnsTheWayThePageIsAndBackAgain) {
  // The new install's dark page turns to 종이; pressed again, back to the own colours.
  ThemeChoice choice = ThemeChoice::Load(ReaderStore());
  EXPECT_EQ(choice.theme(), Theme::kOwn);
  EXPECT_EQ(Toggle(choice, kNewInstall), Theme::kPaper);
  EXPECT_EQ(Toggle(choice, kNewInstall), Theme::kOwn);
  EXPECT_EQ(Toggle(choice, kNewInstall), Theme::kPaper);

  // A light theme turns to 밤 and back; a later dark page turns to that light theme.
  choice.Choose(Theme::kSepia, kNewInstall);
  EXPECT_EQ(Toggle(choice, kNewInstall), Theme::kNight);
  EXPECT_EQ(Toggle(choice, kNewInstall), Theme::kSepia);
  choice.Choose(Theme::kNight, kNewInstall);
  EXPECT_EQ(Toggle(choice, kNewInstall), Theme::kSepia);

  // Light own colours are a light theme; once they turn dark, the key falls back to 종이.
  choice.Choose(Theme::kOwn, kOwnLight);
  EXPECT_EQ(Toggle(choice, kOwnLight), Theme::kNight);
  choice.Choose(Theme::kNight, kOwnLight);
  EXPECT_EQ(Toggle(choice, kNewInstall), Theme::kPaper);

  // The store keeps the theme, the last light one and the way back.
  ReaderStore store;
  choice.Store(store);
  ThemeChoice reloaded = ThemeChoice::Load(store);
  EXPECT_EQ(reloaded.theme(), Theme::kPaper);
  EXPECT_EQ(reloaded.lastLight(), Theme::kPaper);
  EXPECT_EQ(Toggle(reloaded, kNewInstall), Theme::kNight);
  store.SetValue("theme", "purple");
  EXPECT_EQ(ThemeChoice::Load(store).theme(), Theme::kOwn);
}

}  // namespace
}  // namespace lirako

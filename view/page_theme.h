#pragma once

#include <cstdint>
#include <optional>

#include "store/reader_store.h"

namespace lirako {

// The page's colours: the user's own (the colour picker's, kept in SetParam.Dat) or one of
// the reader's themes.
enum class Theme { kOwn, kPaper, kSepia, kNight };

// Text and background, 0x00BBGGRR.
struct PageColors {
  uint32_t text = 0;
  uint32_t back = 0;
};

// The colours of `theme`; kOwn gives `own`.
PageColors ColorsOf(Theme theme, PageColors own);
// True when a page of background `back` reads as dark (light text on it).
bool IsDarkBackground(uint32_t back);

// The theme in force, the light theme last shown and what the night key left, kept in the
// reader's own store.
class ThemeChoice {
 public:
  // The stored choice; a value missing or malformed gives the own colours and 종이.
  static ThemeChoice Load(const ReaderStore& store);
  void Store(ReaderStore& store) const;

  Theme theme() const { return theme_; }
  // The light theme the night key turns a dark page to.
  Theme lastLight() const { return lastLight_; }
  // Chooses `theme` on the settings page; the night key then starts afresh.
  void Choose(Theme theme, PageColors own);
  // The night key: a dark page turns to the last light theme, a light one to 밤; pressed
  // again right after, back to what was shown before.
  void ToggleNight(PageColors own);

 private:
  // Remembers `theme_` as the last light theme when its page is light.
  void NoteLight(PageColors own);

  Theme theme_ = Theme::kOwn;
  Theme lastLight_ = Theme::kPaper;
  // What was shown before the night key last turned the page; none after a choice.
  std::optional<Theme> beforeToggle_;
};

}  // namespace lirako

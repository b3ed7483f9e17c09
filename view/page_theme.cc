#include "view/page_theme.h"

#include <iterator>
#include <string>
#include <string_view>
#include <utility>

namespace lirako {
namespace {

constexpr std::string_view kThemeKey = "theme";
constexpr std::string_view kLightKey = "theme.light";
constexpr std::string_view kBeforeKey = "theme.before-night-key";

constexpr std::string_view kThemeNames[] = {"own", "paper", "sepia", "night"};

std::optional<Theme> StoredTheme(const ReaderStore& store, std::string_view key) {
  const std::optional<std::string> value = store.Value(key);
  if (!value) return std::nullopt;
  for (size_t i = 0; i < std::size(kThemeNames); ++i) {
    if (*value == kThemeNames[i]) return static_cast<Theme>(i);
  }
  return std::nullopt;
}

std::string_view NameOf(Theme theme) {
  return kThemeNames[static_cast<size_t>(theme)];
}

// Dark warm-grey ink on a warm off-white; brown ink on tinted paper; light grey on near-black.
constexpr PageColors kPaper{0x00252A2E, 0x00E3F1F7};
constexpr PageColors kSepia{0x0021364B, 0x00B4D9EB};
constexpr PageColors kNight{0x00C8C8C8, 0x00181616};

}  // namespace

PageColors ColorsOf(Theme theme, PageColors own) {
  switch (theme) {
    case Theme::kPaper:
      return kPaper;
    case Theme::kSepia:
      return kSepia;
    case Theme::kNight:
      return kNight;
    case Theme::kOwn:
      break;
  }
  return own;
}

bool IsDarkBackground(uint32_t back) {
  const uint32_t red = back & 0xFF;
  const uint32_t green = (back >> 8) & 0xFF;
  const uint32_t blue = (back >> 16) & 0xFF;
  // Perceived brightness (ITU-R BT.601 weights) below the middle grey.
  return red * 299 + green * 587 + blue * 114 < 128 * 1000;
}

ThemeChoice ThemeChoice::Load(const ReaderStore& store) {
  ThemeChoice choice;
  if (const auto theme = StoredTheme(store, kThemeKey)) choice.theme_ = *theme;
  if (const auto light = StoredTheme(store, kLightKey)) choice.lastLight_ = *light;
  choice.beforeToggle_ = StoredTheme(store, kBeforeKey);
  return choice;
}

void ThemeChoice::Store(ReaderStore& store) const {
  store.SetValue(kThemeKey, NameOf(theme_));
  store.SetValue(kLightKey, NameOf(lastLight_));
  if (beforeToggle_) {
    store.SetValue(kBeforeKey, NameOf(*beforeToggle_));
  } else {
    store.RemoveValue(kBeforeKey);
  }
}

void ThemeChoice::Choose(Theme theme, PageColors own) {
  theme_ = theme;
  beforeToggle_.reset();
  NoteLight(own);
}

void ThemeChoice::ToggleNight(PageColors own) {
  if (beforeToggle_) {
    std::swap(theme_, *beforeToggle_);
  } else {
    beforeToggle_ = theme_;
    if (!IsDarkBackground(ColorsOf(theme_, own).back)) {
      theme_ = Theme::kNight;
    } else {
      // The own colours may have turned dark since they were last shown light.
      const bool lightStillLight = !IsDarkBackground(ColorsOf(lastLight_, own).back);
      theme_ = lightStillLight ? lastLight_ : Theme::kPaper;
    }
  }
  NoteLight(own);
}

void ThemeChoice::NoteLight(PageColors own) {
  if (!IsDarkBackground(ColorsOf(theme_, own).back)) lastLight_ = theme_;
}

}  // namespace lirako

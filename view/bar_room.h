#pragma once

#include <cstdint>

#include "platform/surface.h"
#include "store/reader_settings.h"
#include "view/command_ids.h"

namespace lirako {

// Pixels the scroll bar takes at the right of the page (at the bottom of a rotated page).
constexpr int kScrollBarRoom = kScrollBarWidth;
// Pixels the position bar takes at the left of the page (at the top of a rotated page).
constexpr int kPositionBarRoom = 3;

// The room the bar of `mode` takes from each side of the page, as margins to add; zero on
// every side when no bar is shown.
Rect BarRoom(BarMode mode, bool landscape);

// The margins the settings ask for: marginX left and right, marginY top and bottom, plus the
// room the bar takes (BarRoom). Sums beyond 32 bits saturate.
Rect SettingsMargins(int32_t marginX, int32_t marginY, BarMode barMode, bool landscape);

}  // namespace lirako

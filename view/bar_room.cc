#include "view/bar_room.h"

#include <algorithm>
#include <limits>

namespace lirako {
namespace {

int32_t SaturatingAdd(int32_t a, int32_t b) {
  int64_t sum = int64_t{a} + b;
  sum = std::clamp<int64_t>(sum, std::numeric_limits<int32_t>::min(),
                            std::numeric_limits<int32_t>::max());
  return static_cast<int32_t>(sum);
}

}  // namespace

Rect BarRoom(BarMode mode, bool landscape) {
  Rect room{0, 0, 0, 0};
  if (mode == BarMode::kScrollBar) {
    (landscape ? room.bottom : room.right) = kScrollBarRoom;
  } else if (mode == BarMode::kPositionBar) {
    (landscape ? room.top : room.left) = kPositionBarRoom;
  }
  return room;
}

Rect SettingsMargins(int32_t marginX, int32_t marginY, BarMode barMode, bool landscape) {
  const Rect room = BarRoom(barMode, landscape);
  return Rect{SaturatingAdd(marginX, room.left), SaturatingAdd(marginY, room.top),
              SaturatingAdd(marginX, room.right), SaturatingAdd(marginY, room.bottom)};
}

}  // namespace lirako

#include "view/bar_room.h"

namespace lirako {

Rect BarRoom(BarMode mode, bool landscape) {
  Rect room{0, 0, 0, 0};
  if (mode == BarMode::kScrollBar) {
    (landscape ? room.bottom : room.right) = kScrollBarRoom;
  } else if (mode == BarMode::kPositionBar) {
    (landscape ? room.top : room.left) = kPositionBarRoom;
  }
  return room;
}

}  // namespace lirako

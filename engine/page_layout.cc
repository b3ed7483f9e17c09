#include "engine/page_layout.h"

#include <algorithm>
#include <cstdint>

namespace lirako {
namespace {

// Lines placed below the foot (a page laid out for a taller block) keep going down, within
// what an int holds.
constexpr int64_t kMaxY = int64_t{1} << 30;

}  // namespace

PageLayout::PageLayout(int height, int pitch, int gap, int columns)
    : height_(height), pitch_(pitch), gap_(std::max(gap, 0)), columns_(std::max(columns, 1)) {}

PageLayout::Place PageLayout::Next() const {
  const bool fitsBelow = pitch_ > 0 && int64_t{nextY_} + pitch_ <= int64_t{height_} - 1;
  if (rows_ == 0 || fitsBelow) return Place{column_, nextY_, true};
  if (column_ + 1 < columns_) return Place{column_ + 1, 0, true};
  return Place{column_, nextY_, false};
}

PageLayout::Place PageLayout::Add(bool endsParagraph) {
  const Place place = Next();
  if (place.column != column_) {
    column_ = place.column;
    rows_ = 0;
  }
  // The gap above a line counts only where a line of the same column stands above it.
  used_ += std::max(pitch_, 0) + (rows_ > 0 ? pendingGap_ : 0);
  ++rows_;
  pendingGap_ = endsParagraph ? gap_ : 0;
  nextY_ = static_cast<int>(
      std::min<int64_t>(int64_t{place.y} + std::max(pitch_, 0) + pendingGap_, kMaxY));
  return place;
}

}  // namespace lirako

#include "view/page_geometry.h"

#include <algorithm>
#include <cstdint>

namespace lirako {
namespace {

// Products of settings that may say anything stay within the layout's reach.
constexpr int64_t kMaxPixels = 1 << 20;

int Pixels(int64_t value) {
  return static_cast<int>(std::clamp<int64_t>(value, -kMaxPixels, kMaxPixels));
}

}  // namespace

PageGeometry::PageGeometry(const PageShape& shape, int pageWidth, int minLeft, int minRight,
                           int wideWidth) {
  minLeft = Pixels(minLeft);
  minRight = Pixels(minRight);
  const int avail = std::max(0, Pixels(pageWidth) - minLeft - minRight);
  const bool measured = wideWidth > 0;
  wideWidth = std::max(wideWidth, 0);
  gutter_ = shape.gutter >= 0 ? Pixels(shape.gutter) : Pixels(2LL * wideWidth);
  const int measure =
      measured && shape.measure > 0 ? Pixels(int64_t{shape.measure} * wideWidth) : 0;
  switch (shape.columns) {
    case ColumnMode::kOne:
      columns_ = 1;
      break;
    case ColumnMode::kTwo:
      columns_ = 2;
      break;
    case ColumnMode::kAuto:
      // Two pages as an open book when two lines and the gutter fit between the margins.
      columns_ = measure > 0 && avail >= 2 * measure + gutter_ ? 2 : 1;
      break;
  }
  // Two columns need room for at least one character each beside the gutter.
  if (columns_ == 2 && avail - gutter_ < 2 * std::max(wideWidth, 1)) columns_ = 1;
  if (columns_ == 1) {
    gutter_ = 0;
    // The whole width: the margins asked for, as they are.
    if (measure == 0 || measure >= avail) {
      columnWidth_ = avail;
      left_ = minLeft;
      right_ = minRight;
      return;
    }
  }
  const int whole = (avail - gutter_ * (columns_ - 1)) / columns_;
  columnWidth_ = measure > 0 ? std::min(measure, whole) : whole;
  const int block = columnWidth_ * columns_ + gutter_ * (columns_ - 1);
  left_ = minLeft + (avail - block) / 2;
  right_ = Pixels(pageWidth) - left_ - columnWidth_;
}

void PageGeometry::PlaceRows(int pageHeight, int minTop, int minBottom, int pitch, int statusHeight,
                             int roomTop, int roomBottom) {
  statusHeight_ = std::max(statusHeight, 0);
  // The status line and the gap over it are taken from the foot of the text block.
  const int band = statusHeight_ > 0 ? statusHeight_ + statusHeight_ / 2 : 0;
  top_ = Pixels(minTop);
  bottom_ = Pixels(int64_t{minBottom} + band);
  if (pitch >= 0) {
    // Centre the whole lines vertically; the bottom margin one pixel short of the top one
    // lets the page limit admit exactly that many lines.
    const int avail = Pixels(int64_t{pageHeight} - minTop - minBottom - band);
    const int lines = pitch > 0 && avail >= pitch ? avail / pitch : 0;
    const int rest = avail - lines * pitch;
    top_ = Pixels(int64_t{minTop} + rest / 2);
    bottom_ = Pixels(int64_t{minBottom} + rest / 2 - 1 + band);
  }
  top_ = Pixels(int64_t{top_} + roomTop);
  bottom_ = Pixels(int64_t{bottom_} + roomBottom);
  statusTop_ = Pixels(int64_t{pageHeight} - bottom_ + (band - statusHeight_));
}

Rect PageGeometry::StatusBox(int column) const {
  if (statusHeight_ == 0) return Rect{};
  const int left = ColumnLeft(column);
  return Rect{left, statusTop_, left + columnWidth_, statusTop_ + statusHeight_};
}

}  // namespace lirako

#pragma once

#include "platform/surface.h"

namespace lirako {

// How many pages stand side by side: two when they fit (kAuto), always one, always two.
enum class ColumnMode { kAuto, kOne, kTwo };

// What the reader asks of the page's shape.
struct PageShape {
  int measure = 0;  // the longest line in full-width characters; 0: the whole width
  ColumnMode columns = ColumnMode::kOne;
  int gutter = -1;  // pixels between two columns; negative: twice the full-width advance
};

// The text block of a page: its columns, their width and the margins that centre them.
// Works in page coordinates (a rotated page is upright here).
class PageGeometry {
 public:
  // Lays out a page `pageWidth` pixels wide, keeping at least `minLeft` and `minRight` pixels
  // at its sides, for characters `wideWidth` pixels wide (0 while unmeasured: the whole
  // width, one column).
  PageGeometry(const PageShape& shape, int pageWidth, int minLeft, int minRight, int wideWidth);

  int columns() const { return columns_; }
  // Pixels one column's lines may take.
  int columnWidth() const { return columnWidth_; }
  // Pixels from one column's left edge to the next one's.
  int columnStep() const { return columnWidth_ + gutter_; }
  // The margins that leave the first column: the right one covers the columns after it.
  int left() const { return left_; }
  int right() const { return right_; }
  // The left edge of column `column` (0-based).
  int ColumnLeft(int column) const { return left_ + column * columnStep(); }

 private:
  int columns_ = 1;
  int columnWidth_ = 0;
  int gutter_ = 0;
  int left_ = 0;
  int right_ = 0;
};

}  // namespace lirako

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

// The text block of a page: its columns, their width and the margins that centre them, its
// rows, and the status line under it. Works in page coordinates (a rotated page is upright
// here).
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

  // Places the rows of a page `pageHeight` pixels high between the margins `minTop` and
  // `minBottom`: whole lines of `pitch` pixels centred between them (none when `pitch` is 0,
  // so that all the height goes to the centring; `pitch` negative: the margins as they are),
  // above a status line `statusHeight` pixels high (0: none) with a gap of half its height over
  // it, which the text block gives up. `roomTop` and `roomBottom` (a bar's) are added to the
  // margins after the centring.
  void PlaceRows(int pageHeight, int minTop, int minBottom, int pitch, int statusHeight,
                 int roomTop = 0, int roomBottom = 0);
  // The text block's top and bottom margins (PlaceRows).
  int top() const { return top_; }
  int bottom() const { return bottom_; }
  // The status line's box under column `column`: as wide as the column, right below the text
  // block's gap. Empty without a status line.
  Rect StatusBox(int column) const;

 private:
  int columns_ = 1;
  int columnWidth_ = 0;
  int gutter_ = 0;
  int left_ = 0;
  int right_ = 0;
  int top_ = 0;
  int bottom_ = 0;
  int statusTop_ = 0;
  int statusHeight_ = 0;
};

}  // namespace lirako

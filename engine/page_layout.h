#pragma once

namespace lirako {

// Where the lines of a page stand: down the first column, then down the next, each line a
// pitch below the one before and a paragraph's last line a paragraph gap more. A line fits in
// a column when it ends strictly above the column's foot; the first line of a column always
// fits, and a column's first line leaves no gap above it.
class PageLayout {
 public:
  struct Place {
    int column = 0;  // 0-based
    int y = 0;       // pixels below the top of the text block
    bool fits = true;
  };

  // A text block `height` pixels high in `columns` columns, lines `pitch` pixels apart (a
  // pitch of 0 or less holds one line per column), `gap` more after a paragraph's last line.
  PageLayout(int height, int pitch, int gap, int columns);

  // Where the next line would stand: below the last one placed, or at the top of the next
  // column when it does not fit there. When it fits in no column it stands below the last
  // one placed, and `fits` is false.
  Place Next() const;
  // Places the next line where Next() says; `endsParagraph` leaves the gap below it.
  Place Add(bool endsParagraph);
  // Pixels the lines placed take: a pitch each and the gaps between them in a column.
  int usedHeight() const { return used_; }

 private:
  int height_;
  int pitch_;
  int gap_;
  int columns_;
  int column_ = 0;
  int rows_ = 0;        // lines placed in the current column
  int nextY_ = 0;       // where the next line of the current column would stand
  int pendingGap_ = 0;  // the gap the last line placed leaves below it
  int used_ = 0;
};

}  // namespace lirako

#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/surface.h"

namespace lirako {

// Everything besides its lines that a page's pixels depend on: when any of it differs
// between two paints, the second draws the whole page.
struct PaintSetting {
  FontSpec font;
  uint32_t textColor = 0;
  uint32_t backColor = 0;
  Rect client;
  Rect pageRect;
  Rect margins;
  int columns = 1;
  int columnStep = 0;
  int lineHeight = 0;
  int pitch = 0;
  int paragraphGap = 0;  // pixels below a paragraph's last line
  int drawOffset = 0;
  int tabSize = 0;
  bool justify = false;
  bool rotated = false;
  int32_t highlightBegin = -1;
  int32_t highlightEnd = -1;
  bool operator==(const PaintSetting&) const = default;
};

// A drawn line as far as its pixels go: its place in the file, its measures and its text.
struct DrawnLine {
  int32_t offset = 0;
  int32_t length = 0;
  int32_t end = 0;
  int width = 0;
  int hang = 0;
  int indent = 0;
  int continued = 0;
  bool paragraphEnd = false;  // a paragraph gap may follow it
  uint64_t textHash = 0;
  bool operator==(const DrawnLine&) const = default;
};

// What the kept page image shows: the setting it was drawn with and its lines in reading
// order, down each column of `perColumn` rows. Tells how a new page can be drawn from it.
class PagePicture {
 public:
  // How many rows the new page's lines moved up against the drawn ones within each column
  // (0: the same page, 1: one line forward, -1: one line back), every row that stays inside
  // its column holding the same line; none when the setting differs, lines could overlap or
  // nothing is kept.
  std::optional<int> Shift(const PaintSetting& setting, int perColumn,
                           const std::vector<DrawnLine>& lines) const;
  // Whether row `row` of a page moved by `shift` rows is filled from within its column (else
  // it is drawn anew).
  static bool MovesIn(int row, int shift, int perColumn);
  // Whether the picture is of exactly these lines drawn with this setting.
  bool Shows(const PaintSetting& setting, int perColumn,
             const std::vector<DrawnLine>& lines) const {
    return kept_ && setting == setting_ && perColumn == perColumn_ && lines == lines_;
  }
  void Remember(const PaintSetting& setting, int perColumn, std::vector<DrawnLine> lines);
  void Forget() { kept_ = false; }

 private:
  bool kept_ = false;
  PaintSetting setting_;
  int perColumn_ = 0;
  std::vector<DrawnLine> lines_;
};

}  // namespace lirako

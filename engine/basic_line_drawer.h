#pragma once

#include <cstdint>

#include "engine/basic_text_line.h"
#include "engine/glyph_metrics.h"
#include "platform/surface.h"

namespace lirako {

// Draws display lines into a surface in the widths the layout measured them with: plain or
// justified, a highlighted part (a search hit) in inverted colours.
template <typename Unit>
class BasicLineDrawer {
 public:
  using Line = BasicTextLine<Unit>;

  // What every line of one page is drawn with.
  struct Style {
    bool justify = false;
    int tabSize = GlyphMetrics::kTabSize;
    uint32_t textColor = 0;
    uint32_t backColor = 0;
    // File positions [highlightBegin, highlightEnd) drawn inverted; -1: none.
    int32_t highlightBegin = -1;
    int32_t highlightEnd = -1;
  };

  BasicLineDrawer(Surface& surface, const GlyphMetrics& metrics, const Style& style)
      : surface_(surface), metrics_(metrics), style_(style) {}

  // Draws `line` with the top-left of its text at (x, y); a rotated page runs it upward from
  // there. `avail` is the width a justified continued line is spread to.
  void Draw(const Line& line, int x, int y, bool rotated, int avail);

 private:
  void DrawJustified(const Line& line, int x, int y, bool rotated, int avail);
  // Draws units [from, to) of the line at (x, y), a highlighted part in inverted colours.
  void DrawSegment(const Line& line, int32_t from, int32_t to, int x, int y, bool rotated);

  Surface& surface_;
  const GlyphMetrics& metrics_;
  const Style style_;
};

}  // namespace lirako

#include "engine/basic_line_drawer.h"

#include <algorithm>
#include <tuple>

#include "engine/char_classes.h"

namespace lirako {

template <typename Unit>
void BasicLineDrawer<Unit>::Draw(const Line& line, int x, int y, bool rotated, int avail) {
  if (line.text.empty()) return;
  if (style_.justify) {
    DrawJustified(line, x, y, rotated, avail);
  } else {
    DrawSegment(line, 0, line.textLength(), x, y, rotated);
  }
}

template <typename Unit>
void BasicLineDrawer<Unit>::DrawSegment(const Line& line, int32_t from, int32_t to, int x, int y,
                                        bool rotated) {
  const int32_t begin = std::clamp(style_.highlightBegin - line.offset, from, to);
  const int32_t end = std::clamp(style_.highlightEnd - line.offset, from, to);
  if (style_.highlightBegin < 0 || begin >= end) {
    std::u16string text = line.DisplayText(from, to);
    if (!text.empty()) surface_.DrawText(x, y, text);
    return;
  }
  // Before, inside and after the hit, each run placed after the widths of the ones before.
  const Unit* units = line.text.data();
  const int32_t n = line.textLength();
  int advance = 0;
  for (const auto& [runFrom, runTo, inverted] :
       {std::tuple{from, begin, false}, std::tuple{begin, end, true}, std::tuple{end, to, false}}) {
    std::u16string text = line.DisplayText(runFrom, runTo);
    if (!text.empty()) {
      if (inverted) {
        surface_.SetTextColor(style_.backColor);
        surface_.SetBackColor(style_.textColor);
      }
      surface_.DrawText(rotated ? x : x + advance, rotated ? y - advance : y, text);
      if (inverted) {
        surface_.SetTextColor(style_.textColor);
        surface_.SetBackColor(style_.backColor);
      }
    }
    for (int32_t i = runFrom; i < runTo; i += GlyphMetrics::CharLength(units, n, i))
      advance += metrics_.CharWidth(units, n, i);
  }
}

template <typename Unit>
void BasicLineDrawer<Unit>::DrawJustified(const Line& line, int x0, int y0, bool rotated,
                                          int avail) {
  const Unit* text = line.text.data();
  const int32_t n = line.textLength();
  int units = 0;
  int space = 0;
  for (int32_t i = 0; i < n; ++i) {
    if (IsBlank(text[i])) {
      units += text[i] == 9 ? style_.tabSize : 1;
      space += metrics_.glyphWidth(static_cast<uint8_t>(text[i]));
    }
  }
  if (units == 0) {
    DrawSegment(line, 0, n, x0, y0, rotated);
    return;
  }
  // A continued line ends flush with the right margin, a hanging mark past it; a last line
  // keeps its natural spacing.
  if (line.continued) space += std::max(0, avail - (line.width - line.hang));
  const int share = space / units;
  int rest = space - share * units;
  int x = 0;
  int segX = 0;
  int32_t segStart = 0;
  for (int32_t i = 0; i <= n;) {
    const bool last = i == n;
    const Unit unit = last ? Unit{0} : text[i];
    if (!last && !IsBlank(unit)) {
      x += metrics_.CharWidth(text, n, i);
      i += GlyphMetrics::CharLength(text, n, i);
      continue;
    }
    int32_t from = segStart;
    if (i > 0 && IsBlank(text[from])) ++from;
    if (rest > 0) {
      int d = unit == 9 && style_.tabSize > 1 ? rest % style_.tabSize : 1;
      rest -= d;
      x += d;
    }
    x += unit == 9 ? share * style_.tabSize : share;
    if (rotated) {
      DrawSegment(line, from, i, x0, y0 - segX, true);
    } else {
      DrawSegment(line, from, i, x0 + segX, y0, false);
    }
    segX = x;
    segStart = i;
    ++i;
  }
}

template class BasicLineDrawer<uint8_t>;
template class BasicLineDrawer<char8_t>;
template class BasicLineDrawer<char16_t>;

}  // namespace lirako

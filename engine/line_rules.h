#pragma once

#include <cstdint>

#include "engine/glyph_metrics.h"

namespace lirako {

// How a character behaves at a line edge under the line-start and line-end rules.
enum class EdgeClass {
  kOther,
  kClosing,  // never starts a continued line: , . ! ? ) 」 … and their full-width forms
  kOpening,  // never ends a continued line: ( [ 「 “ and their full-width forms
};

// The class of a Unicode code point.
EdgeClass EdgeClassOf(char32_t code);
// The class of the character at `pos` of a text of `length` units.
EdgeClass EdgeClassAt(const uint8_t* text, int32_t length, int32_t pos);
EdgeClass EdgeClassAt(const char16_t* text, int32_t length, int32_t pos);
EdgeClass EdgeClassAt(const char8_t* text, int32_t length, int32_t pos);

// Where a line ends: the end (exclusive), the width of the units before it, and the width of
// a closing mark that hangs past the available width as the line's last character (0: none).
struct LineEnd {
  int32_t end = 0;
  int width = 0;
  int hang = 0;
};

// Moves the end `proposed` of a continued line that starts at `start` so that the next line
// does not start with a closing mark and this one does not end with an opening mark: the
// closing mark that overflowed hangs when it is the only one, else the character before the
// marks moves down with them. With `keepAll` the line still ends only at blanks. Leaves the
// end as it is when no place on the line keeps the rules.
template <typename Unit>
LineEnd KeepEdgeRules(const GlyphMetrics& metrics, const Unit* text, int32_t length, int32_t start,
                      LineEnd proposed, bool keepAll);

}  // namespace lirako

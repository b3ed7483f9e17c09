#include "engine/glyph_metrics.h"

#include <string>

namespace lirako {

void GlyphMetrics::Measure(Surface& surface) {
  wideGlyphWidth_ = surface.MeasureText(u"\uD55C").width;
  Extent blank = surface.MeasureText(u" ");
  lineHeight_ = blank.height;
  for (int c = 0; c < 256; ++c) {
    if (c == 9) {
      glyphWidths_[c] = kTabSize * blank.width;
    } else {
      // Code 0 measures the empty string; 128..255 measure the Latin-1 characters.
      std::u16string one = c == 0 ? std::u16string() : std::u16string(1, static_cast<char16_t>(c));
      glyphWidths_[c] = surface.MeasureText(one).width;
    }
  }
}

}  // namespace lirako

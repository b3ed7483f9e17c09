#include "engine/glyph_metrics.h"

#include <string>

#include "engine/char_classes.h"

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

int GlyphMetrics::CharWidth(const uint8_t* text, int32_t length, int32_t pos) const {
  return IsDoubleByte(text, length, pos) ? wideGlyphWidth_ : glyphWidths_[text[pos]];
}

int GlyphMetrics::CharWidth(const char16_t* text, int32_t, int32_t pos) const {
  return UnitWidth(text[pos]);
}

int GlyphMetrics::CharLength(const uint8_t* text, int32_t length, int32_t pos) {
  return IsDoubleByte(text, length, pos) ? 2 : 1;
}

bool GlyphMetrics::IsWide(const uint8_t* text, int32_t length, int32_t pos) {
  return IsDoubleByte(text, length, pos);
}

}  // namespace lirako

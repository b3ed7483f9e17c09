#pragma once

#include <cstdint>

#include "platform/surface.h"

namespace lirako {

// The widths that layout trusts: one per single-byte code, one shared by every double-byte
// (or non-ASCII) character, and the line height, all measured once in the paint's font.
class GlyphMetrics {
 public:
  static constexpr int kTabSize = 4;

  // Measures "한", the blank and every code 0..255 in the font selected into `surface`.
  void Measure(Surface& surface);

  int glyphWidth(uint8_t code) const { return glyphWidths_[code]; }
  int wideGlyphWidth() const { return wideGlyphWidth_; }
  int lineHeight() const { return lineHeight_; }
  // Width of a UTF-16 unit: the table below 128, else the wide width.
  int UnitWidth(char16_t unit) const { return unit < 128 ? glyphWidths_[unit] : wideGlyphWidth_; }
  // Width and length of the character at `pos` of a byte text of `length` bytes.
  int CharWidth(const uint8_t* text, int32_t length, int32_t pos) const;
  int CharWidth(const char16_t* text, int32_t length, int32_t pos) const;
  static int CharLength(const uint8_t* text, int32_t length, int32_t pos);
  static int CharLength(const char16_t*, int32_t, int32_t) { return 1; }
  // A double-byte pair (byte text) or a unit of 128 or more (UTF-16).
  static bool IsWide(const uint8_t* text, int32_t length, int32_t pos);
  static bool IsWide(const char16_t* text, int32_t, int32_t pos) { return text[pos] >= 128; }

 private:
  int glyphWidths_[256] = {};
  int wideGlyphWidth_ = 0;
  int lineHeight_ = 0;
};

}  // namespace lirako

#pragma once

#include <cstdint>

#include "engine/char_classes.h"
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
  // Width, length in units and wideness of the character at `pos` of a text of `length`
  // units, from one test of its units: line breaking asks for all three at every character.
  struct Char {
    int width;
    int length;
    bool wide;
  };
  Char At(const uint8_t* text, int32_t length, int32_t pos) const {
    const bool pair = IsDoubleByte(text, length, pos);
    return {pair ? wideGlyphWidth_ : glyphWidths_[text[pos]], pair ? 2 : 1, pair};
  }
  Char At(const char16_t* text, int32_t, int32_t pos) const {
    const char16_t unit = text[pos];
    return {UnitWidth(unit), 1, unit >= 128};
  }
  // UTF-8: one well-formed sequence, or one byte that starts none; every non-ASCII character
  // is wide, like every UTF-16 unit of 128 or more.
  Char At(const char8_t* text, int32_t length, int32_t pos) const {
    const char8_t lead = text[pos];
    const bool wide = lead >= 0x80;
    return {wide ? wideGlyphWidth_ : glyphWidths_[lead], Utf8CharLength(text, length, pos), wide};
  }
  // Width and length of the character at `pos` of a byte text of `length` bytes.
  int CharWidth(const uint8_t* text, int32_t length, int32_t pos) const {
    return IsDoubleByte(text, length, pos) ? wideGlyphWidth_ : glyphWidths_[text[pos]];
  }
  int CharWidth(const char16_t* text, int32_t, int32_t pos) const { return UnitWidth(text[pos]); }
  int CharWidth(const char8_t* text, int32_t, int32_t pos) const {
    return text[pos] >= 0x80 ? wideGlyphWidth_ : glyphWidths_[text[pos]];
  }
  static int CharLength(const uint8_t* text, int32_t length, int32_t pos) {
    return IsDoubleByte(text, length, pos) ? 2 : 1;
  }
  static int CharLength(const char16_t*, int32_t, int32_t) { return 1; }
  static int CharLength(const char8_t* text, int32_t length, int32_t pos) {
    return Utf8CharLength(text, length, pos);
  }
  // A double-byte pair (byte text), a unit of 128 or more (UTF-16), a non-ASCII character
  // (UTF-8).
  static bool IsWide(const uint8_t* text, int32_t length, int32_t pos) {
    return IsDoubleByte(text, length, pos);
  }
  static bool IsWide(const char16_t* text, int32_t, int32_t pos) { return text[pos] >= 128; }
  static bool IsWide(const char8_t* text, int32_t, int32_t pos) { return text[pos] >= 0x80; }

 private:
  int glyphWidths_[256] = {};
  int wideGlyphWidth_ = 0;
  int lineHeight_ = 0;
};

}  // namespace lirako

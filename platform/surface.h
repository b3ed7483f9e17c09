#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lirako {

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool operator==(const Rect&) const = default;
};

struct Extent {
  int width = 0;
  int height = 0;
};

// What a font is made from: face, pixel height, weight 400 or 700, escapement in tenths
// of a degree (0 upright, 900 rotated to run upward) and ClearType quality.
struct FontSpec {
  std::u16string face;
  int height = 0;
  int weight = 400;
  int escapement = 0;
  bool clearType = false;
  bool operator==(const FontSpec&) const = default;
};

class Font {
 public:
  virtual ~Font() = default;
  virtual const FontSpec& fontSpec() const = 0;
};

// A drawing surface: the screen of one paint, or a memory surface. Colours are 0x00BBGGRR.
class Surface {
 public:
  virtual ~Surface() = default;

  // Selects `font` for measuring and drawing; returns the font selected before (may be null).
  virtual Font* SelectFont(Font* font) = 0;
  // Advance width and line height of `text` in the selected font.
  virtual Extent MeasureText(std::u16string_view text) = 0;
  virtual void SetTextColor(uint32_t color) = 0;
  virtual void SetBackColor(uint32_t color) = 0;
  virtual void FillSolid(const Rect& rect, uint32_t color) = 0;
  // Draws `text` with the top-left of its text cell at (x, y), the background colour behind
  // the glyphs, without clipping. A rotated font runs the text upward from (x, y).
  virtual void DrawText(int x, int y, std::u16string_view text) = 0;
  // Block copy (source copy) of `rect` of this surface to the same place on `target`.
  virtual void CopyTo(Surface& target, const Rect& rect) = 0;
  // Moves the pixels of `rect` by (dx, dy) within `rect`; the pixels it uncovers keep what
  // they held. False when the surface cannot move its pixels (nothing moved).
  virtual bool Scroll(const Rect& rect, int dx, int dy) = 0;
};

}  // namespace lirako

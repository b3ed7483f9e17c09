#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/surface.h"

namespace lirako {

// Deterministic text metrics of the headless double: units 1..255 measure `narrow`, unit 0
// measures 0, every other unit `wide`; every string is `lineHeight` high.
struct HeadlessMetrics {
  int narrow = 6;
  int wide = 12;
  int lineHeight = 16;
  int Width(std::u16string_view text) const;
};

// One recorded drawing call.
struct SurfaceOp {
  enum Kind { kText, kFill, kCopy, kScroll };
  Kind kind = kText;
  int x = 0;  // the text's place; for kScroll, how far the pixels moved
  int y = 0;
  std::u16string text;  // kText
  Rect rect;            // kFill, kCopy, kScroll; the text cell for kText
  uint32_t color = 0;   // text colour, or fill colour
  uint32_t back = 0;    // background colour behind text
  FontSpec font;        // the font selected when the text was drawn
};

// A surface of the headless double that records every call and keeps a pixel raster of
// fills and text-cell backgrounds (0x00BBGGRR per pixel), so tests can look at both.
class RecordingSurface : public Surface {
 public:
  RecordingSurface(int width, int height, const HeadlessMetrics* metrics);

  Font* SelectFont(Font* font) override;
  Extent MeasureText(std::u16string_view text) override;
  void SetTextColor(uint32_t color) override { textColor_ = color; }
  void SetBackColor(uint32_t color) override { backColor_ = color; }
  void FillSolid(const Rect& rect, uint32_t color) override;
  void DrawText(int x, int y, std::u16string_view text) override;
  void CopyTo(Surface& target, const Rect& rect) override;
  // Moves the raster's pixels.
  bool Scroll(const Rect& rect, int dx, int dy) override;

  int width() const { return width_; }
  int height() const { return height_; }
  Font* selectedFont() const { return font_; }
  const std::vector<SurfaceOp>& ops() const { return ops_; }
  void ClearOps() { ops_.clear(); }
  // The colour at (x, y); 0 outside the surface.
  uint32_t Pixel(int x, int y) const;
  // Every text drawn, in order.
  std::vector<SurfaceOp> TextOps() const;

 private:
  void Paint(const Rect& rect, uint32_t color);

  int width_;
  int height_;
  const HeadlessMetrics* metrics_;
  Font* font_ = nullptr;
  uint32_t textColor_ = 0;
  uint32_t backColor_ = 0x00FFFFFF;
  std::vector<uint32_t> pixels_;
  std::vector<SurfaceOp> ops_;
};

}  // namespace lirako

#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include <QImage>
#include <QPointF>
#include <QRawFont>
#include <QRect>
#include <QRgb>

namespace lirako {

// One face's glyphs as Qt rasterises them, kept as coverage masks at each of the four
// horizontal sub-pixel offsets Qt tells apart, and blended straight into an upright image of
// one device pixel per layout pixel. A glyph drawn this way costs an index into a table and
// a blend, where QPainter looks it up in the font engine's cache and prepares a blit; a page
// of two columns holds thousands of glyphs.
class QtGlyphMasks {
 public:
  explicit QtGlyphMasks(const QRawFont& face) : face_(face) {}

  // Whether the face's glyphs are grey coverage, which the masks keep; glyphs Qt draws in
  // colour or with sub-pixel (LCD) coverage are left to QPainter.
  bool usable();
  // Blends `count` glyphs in `color` into `image` (32 bits per pixel, a device pixel per
  // layout pixel), glyph i with its pen at `origin` + `positions[i]`; pixels still of
  // `backColor`, as the glyphs' cell is, blend fastest.
  // False, with nothing drawn, when the face turns out not to be grey.
  bool Draw(QImage& image, const QPointF& origin, const quint32* glyphs, const QPointF* positions,
            int count, QRgb color, QRgb backColor);
  // Makes the masks of `glyph` at every offset now, so that no later draw waits for them.
  void Prepare(quint32 glyph);

 private:
  static constexpr int kOffsets = 4;
  struct Mask {
    int16_t left = 0;  // from the pen's whole pixel
    int16_t top = 0;   // from the baseline
    uint16_t width = 0;
    uint16_t height = 0;
    uint32_t at = 0;  // first coverage byte in pool_
    bool made = false;
  };

  const Mask& Get(quint32 glyph, int offset);
  // Draws `glyph` at `offset` quarters of a pixel, white on black, through QPainter, and
  // keeps the box of its coverage.
  void Make(quint32 glyph, int offset, Mask* mask);

  QRawFont face_;
  enum class Kind { kUnknown, kGrey, kOther } kind_ = Kind::kUnknown;
  std::vector<Mask> masks_;  // by glyph * kOffsets + offset
  std::vector<uint8_t> pool_;
  QImage scratch_;
  // Blend of the ink over the back colour by each coverage, for the pair last drawn with.
  std::array<uint32_t, 256> overBack_{};
  uint32_t overBackInk_ = 0;
  uint32_t overBackBack_ = 0;
  int pad_ = 0;  // the scratch image's margin around the pen's cell
};

}  // namespace lirako

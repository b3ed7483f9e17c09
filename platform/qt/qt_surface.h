#pragma once

#include <memory>

#include <QColor>
#include <QImage>
#include <QPainter>

#include "platform/qt/qt_glyph_table.h"
#include "platform/surface.h"

namespace lirako {

class QtFont;

// A drawing surface over a QPainter: the screen of one paint (a widget inside its paint
// event, or any image) or a memory surface that owns a QImage of its size.
class QtSurface : public Surface {
 public:
  // Paints on `device` until destroyed; the device must outlive the surface.
  explicit QtSurface(QPaintDevice* device);
  // A memory surface with its own image of width × height layout pixels, each
  // `pixelRatio` device pixels wide.
  QtSurface(int width, int height, qreal pixelRatio = 1);
  // A memory surface over `image`, which its owner keeps from paint to paint; the pixels are
  // left as they are. The image must outlive the surface.
  static std::unique_ptr<QtSurface> Over(QImage& image);
  ~QtSurface() override;

  Font* SelectFont(Font* font) override;
  Extent MeasureText(std::u16string_view text) override;
  void SetTextColor(uint32_t color) override;
  void SetBackColor(uint32_t color) override;
  void FillSolid(const Rect& rect, uint32_t color) override;
  void DrawText(int x, int y, std::u16string_view text) override;
  // Paints the image of this memory surface onto `target` in one drawImage.
  void CopyTo(Surface& target, const Rect& rect) override;
  // Moves the rows of a memory surface's image in memory; false for any other device, a
  // density that is not a whole number, or an image shared with another.
  bool Scroll(const Rect& rect, int dx, int dy) override;

  // Device pixels per layout pixel of the device painted on.
  qreal pixelRatio() const;
  // The image of a memory surface, or null for a surface over a foreign device.
  const QImage* image() const { return image_; }

  // 0x00BBGGRR as a colour.
  static QColor ToColor(uint32_t color);

 private:
  QtSurface() = default;
  // Draws the glyphs of placed_ with their baseline's start at `origin`, through QPainter.
  void DrawPlaced(const QPointF& origin);
  // Whether this surface paints straight into an upright image of a device pixel per layout
  // pixel, which glyph masks blend into and fills write without QPainter.
  bool Direct() const;
  // Fills the pixels QPainter would fill for `rect` in `color`, straight into the image.
  void FillDirect(const QRectF& rect, QRgb color);

  std::unique_ptr<QImage> ownImage_;
  QImage* image_ = nullptr;  // the memory surface's image, own or kept
  QPainter painter_;
  Font* font_ = nullptr;
  QtFont* qtFont_ = nullptr;
  QColor textColor_{Qt::black};
  QColor backColor_{Qt::white};
  QtGlyphTable::PlacedText placed_;
};

}  // namespace lirako

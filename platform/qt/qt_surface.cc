#include "platform/qt/qt_surface.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include <QFontMetrics>
#include <QGlyphRun>
#include <QString>

#include "platform/qt/qt_font.h"

namespace lirako {
namespace {

// Text as the device drew it: a tab shows as four blanks (the width the layout gave it) and
// a terminating zero draws nothing.
QString DisplayText(std::u16string_view text) {
  QString s = QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
  if (s.contains(QChar(u'\t'))) s.replace(QChar(u'\t'), QStringLiteral("    "));
  if (s.contains(QChar(u'\0'))) s.remove(QChar(u'\0'));
  return s;
}

}  // namespace

QtSurface::QtSurface(QPaintDevice* device) {
  painter_.begin(device);
}

QtSurface::QtSurface(int width, int height, qreal pixelRatio) {
  // A screen with more device pixels than layout pixels gets an image of its density, so the
  // copy is one device pixel for one and the text stays sharp.
  qreal ratio = pixelRatio > 0 ? pixelRatio : 1;
  ownImage_ = std::make_unique<QImage>(std::max(qRound(width * ratio), 1),
                                       std::max(qRound(height * ratio), 1), QImage::Format_RGB32);
  image_ = ownImage_.get();
  image_->setDevicePixelRatio(ratio);
  image_->fill(Qt::white);
  painter_.begin(image_);
}

std::unique_ptr<QtSurface> QtSurface::Over(QImage& image) {
  std::unique_ptr<QtSurface> surface(new QtSurface());
  surface->image_ = &image;
  surface->painter_.begin(&image);
  return surface;
}

qreal QtSurface::pixelRatio() const {
  const QPaintDevice* device = painter_.device();
  return device ? device->devicePixelRatioF() : 1;
}

QtSurface::~QtSurface() {
  if (painter_.isActive()) painter_.end();
}

QColor QtSurface::ToColor(uint32_t color) {
  return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                static_cast<int>((color >> 16) & 0xFF));
}

Font* QtSurface::SelectFont(Font* font) {
  Font* previous = font_;
  font_ = font;
  qtFont_ = dynamic_cast<QtFont*>(font);
  if (qtFont_) painter_.setFont(qtFont_->font());
  return previous;
}

Extent QtSurface::MeasureText(std::u16string_view text) {
  QFontMetrics metrics = qtFont_ ? qtFont_->metrics() : QFontMetrics(painter_.font());
  return Extent{metrics.horizontalAdvance(DisplayText(text)), metrics.height()};
}

void QtSurface::SetTextColor(uint32_t color) {
  textColor_ = ToColor(color);
}

void QtSurface::SetBackColor(uint32_t color) {
  backColor_ = ToColor(color);
}

void QtSurface::FillSolid(const Rect& rect, uint32_t color) {
  painter_.fillRect(QRect(rect.left, rect.top, rect.Width(), rect.Height()), ToColor(color));
}

void QtSurface::DrawText(int x, int y, std::u16string_view text) {
  QString s = DisplayText(text);
  if (s.isEmpty()) return;
  // Glyphs placed from the font's table, unless a character needs the text layout.
  const bool placed = qtFont_ && qtFont_->glyphs().Place(s, &placed_);
  if (placed) qtFont_->glyphs().NoteDrawn(placed_.glyphs.size(), qtFont_->rotated());
  std::optional<QFontMetrics> own;
  if (!qtFont_) own.emplace(painter_.font());
  const QFontMetrics& metrics = qtFont_ ? qtFont_->metrics() : *own;
  const int ascent = qtFont_ ? qtFont_->ascent() : metrics.ascent();
  if (qtFont_ && qtFont_->rotated()) {
    int width = placed ? qRound(placed_.width) : metrics.horizontalAdvance(s);
    int height = metrics.height();
    // The text cell turned 90 degrees counter-clockwise about (x, y): the text runs upward.
    painter_.setPen(textColor_);
    painter_.save();
    painter_.translate(x, y);
    painter_.rotate(-90);
    painter_.fillRect(QRect(0, 0, width, height), backColor_);
    if (placed) {
      DrawPlaced(QPointF(0, ascent));
    } else {
      painter_.drawText(QPoint(0, ascent), s);
    }
    painter_.restore();
    return;
  }
  if (placed) {
    // The cell the layout fills behind its text: the face's ascent above the baseline and its
    // descent below, as wide as the advances.
    const QtGlyphTable& table = qtFont_->glyphs();
    const qreal baseline = y + ascent;
    const QRectF cell(x, baseline - table.ascent(), placed_.width,
                      table.ascent() + table.descent());
    if (Direct()) {
      FillDirect(cell, backColor_.rgb());
      if (qtFont_->glyphs().masks().Draw(
              *image_, QPointF(x, baseline), placed_.glyphs.data(), placed_.positions.data(),
              static_cast<int>(placed_.glyphs.size()), textColor_.rgb(), backColor_.rgb()))
        return;
    } else {
      painter_.fillRect(cell, backColor_);
    }
    painter_.setPen(textColor_);
    DrawPlaced(QPointF(x, baseline));
    return;
  }
  // The text's own layout fills its cell: measuring it apart would lay the text out twice.
  painter_.setPen(textColor_);
  painter_.setBackgroundMode(Qt::OpaqueMode);
  painter_.setBackground(backColor_);
  painter_.drawText(QPoint(x, y + ascent), s);
  painter_.setBackgroundMode(Qt::TransparentMode);
}

bool QtSurface::Direct() const {
  return image_ && image_->devicePixelRatio() == 1 && image_->depth() == 32 &&
         !painter_.hasClipping() && painter_.transform().isIdentity();
}

void QtSurface::FillDirect(const QRectF& rect, QRgb color) {
  // The pixels QPainter fills for the rectangle without antialiasing: its edges rounded.
  const QRect pixels = QRect(QPoint(qRound(rect.left()), qRound(rect.top())),
                             QPoint(qRound(rect.right()) - 1, qRound(rect.bottom()) - 1))
                           .intersected(image_->rect());
  if (pixels.isEmpty()) return;
  const uint32_t value = 0xff000000u | color;
  for (int row = pixels.top(); row <= pixels.bottom(); ++row) {
    auto* line = reinterpret_cast<uint32_t*>(image_->scanLine(row));
    std::fill(line + pixels.left(), line + pixels.right() + 1, value);
  }
}

void QtSurface::DrawPlaced(const QPointF& origin) {
  QGlyphRun glyphs;
  glyphs.setRawFont(qtFont_->glyphs().face());
  glyphs.setRawData(placed_.glyphs.data(), placed_.positions.data(),
                    static_cast<int>(placed_.glyphs.size()));
  painter_.drawGlyphRun(origin, glyphs);
}

void QtSurface::CopyTo(Surface& target, const Rect& rect) {
  auto* qtTarget = dynamic_cast<QtSurface*>(&target);
  if (!qtTarget || !image_) return;
  QRectF area(rect.left, rect.top, rect.Width(), rect.Height());
  qreal ratio = image_->devicePixelRatio();
  QRectF source(area.left() * ratio, area.top() * ratio, area.width() * ratio,
                area.height() * ratio);
  qtTarget->painter_.drawImage(area, *image_, source);
}

bool QtSurface::Scroll(const Rect& rect, int dx, int dy) {
  if (!image_ || image_->depth() != 32 || !image_->isDetached()) return false;
  const qreal ratio = image_->devicePixelRatio();
  const int scale = qRound(ratio);
  if (scale < 1 || !qFuzzyCompare(ratio, static_cast<qreal>(scale))) return false;
  const QRect area =
      QRect(rect.left * scale, rect.top * scale, rect.Width() * scale, rect.Height() * scale)
          .intersected(image_->rect());
  const QPoint delta(dx * scale, dy * scale);
  const QRect target = area.translated(delta).intersected(area);
  if (target.isEmpty()) return true;
  const QRect source = target.translated(-delta);
  // The painter draws straight into the image's memory, which holds nothing back.
  uchar* bits = image_->bits();
  const qsizetype stride = image_->bytesPerLine();
  const size_t bytes = static_cast<size_t>(target.width()) * 4;
  const int rows = target.height();
  for (int i = 0; i < rows; ++i) {
    // Rows moving down are copied from the bottom, so that none is read after it was written.
    const int row = delta.y() > 0 ? rows - 1 - i : i;
    std::memmove(bits + (target.top() + row) * stride + target.left() * 4,
                 bits + (source.top() + row) * stride + source.left() * 4, bytes);
  }
  return true;
}

}  // namespace lirako

#include "platform/qt/qt_glyph_masks.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <QGlyphRun>
#include <QPainter>
#include <QtMath>

namespace lirako {
namespace {

// Faces larger than this are drawn by QPainter: their scratch image would be large and
// their glyphs few on a page.
constexpr qreal kLargestPixelSize = 160;

// Each channel of `x` times `a` / 255, rounded as Qt's raster engine rounds it.
inline uint32_t ByteMul(uint32_t x, uint32_t a) {
  uint32_t t = (x & 0xff00ff) * a;
  t = ((t + ((t >> 8) & 0xff00ff) + 0x800080) >> 8) & 0xff00ff;
  uint32_t u = ((x >> 8) & 0xff00ff) * a;
  u = (u + ((u >> 8) & 0xff00ff) + 0x800080) & 0xff00ff00;
  return u | t;
}

// `ink` at coverage `a` over `dst`, the way QPainter blends a glyph's grey coverage, so that a
// glyph blended here has the pixels QPainter gives it.
inline uint32_t Blend(uint32_t ink, uint32_t a, uint32_t dst) {
  const uint32_t s = ByteMul(ink, a);
  return s + ByteMul(dst, 255 - (s >> 24));
}

// Blends `ink` (opaque) into `n` pixels of `dst` by the coverage bytes `cover`: Blend for
// every pixel, four at a time where the processor allows. Four pixels still of the back
// colour `back` (as a glyph's cell is) take their blend from `overBack`, Blend over `back`
// by coverage; coverage 0 leaves a pixel as it is.
void BlendRow(uint32_t* dst, const uint8_t* cover, int n, uint32_t ink, uint32_t back,
              const uint32_t* overBack) {
  int i = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  const __m128i full = _mm_set1_epi16(255);
  const __m128i half = _mm_set1_epi16(0x80);
  const __m128i backs = _mm_set1_epi32(static_cast<int>(back));
  const __m128i inkLanes = _mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int>(ink)), zero);
  // x * y / 255 in each 16-bit lane, rounded as ByteMul rounds.
  auto mul = [&](__m128i x, __m128i y) {
    const __m128i t = _mm_mullo_epi16(x, y);
    return _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), half), 8);
  };
  for (; i + 4 <= n; i += 4) {
    uint32_t four;
    std::memcpy(&four, cover + i, 4);
    if (four == 0) continue;
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(d, backs)) == 0xFFFF) {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i),
                       _mm_setr_epi32(static_cast<int>(overBack[four & 255]),
                                      static_cast<int>(overBack[(four >> 8) & 255]),
                                      static_cast<int>(overBack[(four >> 16) & 255]),
                                      static_cast<int>(overBack[four >> 24])));
      continue;
    }
    __m128i a = _mm_cvtsi32_si128(static_cast<int>(four));
    a = _mm_unpacklo_epi8(a, a);
    a = _mm_unpacklo_epi16(a, a);  // each pixel's coverage in its four bytes
    const __m128i aLow = _mm_unpacklo_epi8(a, zero);
    const __m128i aHigh = _mm_unpackhi_epi8(a, zero);
    const __m128i low = _mm_add_epi16(mul(inkLanes, aLow),
                                      mul(_mm_unpacklo_epi8(d, zero), _mm_sub_epi16(full, aLow)));
    const __m128i high = _mm_add_epi16(mul(inkLanes, aHigh),
                                       mul(_mm_unpackhi_epi8(d, zero), _mm_sub_epi16(full, aHigh)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_packus_epi16(low, high));
  }
#endif
  for (; i < n; ++i)
    dst[i] = dst[i] == back ? overBack[cover[i]] : Blend(ink, cover[i], dst[i]);
}

// The pen's place in 64ths of a pixel as Qt's raster engine picks a glyph's whole pixel
// (x >> 6) and quarter ((x & 63) / 16): the 64th before each quarter already counts as it.
inline qint64 PenSixtyFourths(qreal x) {
  return qRound64(x * 64) + 1;
}

}  // namespace

bool QtGlyphMasks::usable() {
  if (kind_ == Kind::kUnknown) {
    const qreal size = face_.pixelSize();
    if (!face_.isValid() || size <= 0 || size > kLargestPixelSize) {
      kind_ = Kind::kOther;
    } else {
      pad_ = qCeil(size) + 4;
      scratch_ = QImage(4 * pad_, 3 * pad_, QImage::Format_RGB32);
      kind_ = Kind::kGrey;
      // A syllable or a letter shows whether the face draws grey coverage.
      for (char16_t probe : {u'\uAC00', u'A'}) {
        quint32 glyph = 0;
        int count = 1;
        const QChar c(probe);
        if (face_.glyphIndexesForChars(&c, 1, &glyph, &count) && count == 1 && glyph != 0) {
          Prepare(glyph);
          break;
        }
      }
    }
  }
  return kind_ == Kind::kGrey;
}

void QtGlyphMasks::Prepare(quint32 glyph) {
  if (!usable()) return;
  for (int offset = 0; offset < kOffsets; ++offset)
    Get(glyph, offset);
}

const QtGlyphMasks::Mask& QtGlyphMasks::Get(quint32 glyph, int offset) {
  const size_t index = size_t{glyph} * kOffsets + static_cast<size_t>(offset);
  if (index >= masks_.size()) masks_.resize(index + kOffsets);
  Mask& mask = masks_[index];
  if (!mask.made) Make(glyph, offset, &mask);
  return mask;
}

void QtGlyphMasks::Make(quint32 glyph, int offset, Mask* mask) {
  mask->made = true;
  scratch_.fill(Qt::black);
  const int baseline = pad_ + qCeil(face_.ascent());
  {
    QPainter painter(&scratch_);
    painter.setPen(Qt::white);
    QGlyphRun run;
    run.setRawFont(face_);
    const QPointF at(0, 0);
    run.setRawData(&glyph, &at, 1);
    painter.drawGlyphRun(QPointF(pad_ + offset / qreal(kOffsets), baseline), run);
  }
  // The box of the pixels the glyph covers.
  const int width = scratch_.width();
  const int height = scratch_.height();
  int left = width;
  int right = -1;
  int top = height;
  int bottom = -1;
  for (int y = 0; y < height; ++y) {
    const auto* row = reinterpret_cast<const QRgb*>(scratch_.constScanLine(y));
    for (int x = 0; x < width; ++x) {
      const QRgb p = row[x];
      if ((p & 0xffffff) == 0) continue;
      // Coloured or sub-pixel coverage cannot be kept as one byte.
      if (qRed(p) != qGreen(p) || qGreen(p) != qBlue(p)) kind_ = Kind::kOther;
      left = std::min(left, x);
      right = std::max(right, x);
      top = std::min(top, y);
      bottom = std::max(bottom, y);
    }
  }
  if (right < 0) return;  // a blank
  // Ink at the scratch image's edge may have been cut off.
  if (left == 0 || top == 0 || right == width - 1 || bottom == height - 1) kind_ = Kind::kOther;
  mask->left = static_cast<int16_t>(left - pad_);
  mask->top = static_cast<int16_t>(top - baseline);
  // Rows of a whole number of four pixels, the rest blank, so that a row blends four at a time.
  const int inked = right - left + 1;
  mask->width = static_cast<uint16_t>((inked + 3) & ~3);
  mask->height = static_cast<uint16_t>(bottom - top + 1);
  mask->at = static_cast<uint32_t>(pool_.size());
  for (int y = top; y <= bottom; ++y) {
    const auto* row = reinterpret_cast<const QRgb*>(scratch_.constScanLine(y));
    for (int x = left; x <= right; ++x)
      pool_.push_back(static_cast<uint8_t>(qGreen(row[x])));
    pool_.insert(pool_.end(), mask->width - inked, 0);
  }
}

bool QtGlyphMasks::Draw(QImage& image, const QPointF& origin, const quint32* glyphs,
                        const QPointF* positions, int count, QRgb color, QRgb backColor) {
  if (!usable()) return false;
  // Every mask first: a glyph that turns out coloured leaves the whole text to QPainter. The
  // masks' bytes are asked of memory meanwhile, so that they arrive while the first blend.
  for (int i = 0; i < count; ++i) {
    const Mask& mask =
        Get(glyphs[i], static_cast<int>(PenSixtyFourths(origin.x() + positions[i].x()) & 63) / 16);
    const uint8_t* bytes = pool_.data() + mask.at;
    const size_t size = size_t{mask.width} * mask.height;
    for (size_t at = 0; at < size; at += 64)
      __builtin_prefetch(bytes + at);
  }
  if (kind_ != Kind::kGrey) return false;
  const QRect area = image.rect();
  const uint32_t ink = 0xff000000u | color;
  const uint32_t back = 0xff000000u | backColor;
  if (ink != overBackInk_ || back != overBackBack_) {
    overBackInk_ = ink;
    overBackBack_ = back;
    for (uint32_t a = 0; a < 256; ++a)
      overBack_[a] = Blend(ink, a, back);
  }
  uchar* bits = image.bits();
  const qsizetype stride = image.bytesPerLine();
  for (int i = 0; i < count; ++i) {
    const qint64 x = PenSixtyFourths(origin.x() + positions[i].x());
    const Mask& mask = Get(glyphs[i], static_cast<int>(x & 63) / 16);
    if (mask.width == 0) continue;
    const int left = static_cast<int>(x >> 6) + mask.left;
    const int top = qRound(origin.y() + positions[i].y()) + mask.top;
    const QRect box = QRect(left, top, mask.width, mask.height).intersected(area);
    if (box.isEmpty()) continue;
    for (int y = box.top(); y <= box.bottom(); ++y) {
      auto* row = reinterpret_cast<uint32_t*>(bits + y * stride);
      const uint8_t* cover = pool_.data() + mask.at + (y - top) * mask.width + (box.left() - left);
      BlendRow(row + box.left(), cover, box.width(), ink, back, overBack_.data());
    }
  }
  return true;
}

}  // namespace lirako

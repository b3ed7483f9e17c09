#include "platform/headless/recording_surface.h"

#include <algorithm>
#include <cstddef>

namespace lirako {

int HeadlessMetrics::Width(std::u16string_view text) const {
  int width = 0;
  for (char16_t c : text)
    width += c == 0 ? 0 : c < 256 ? narrow : wide;
  return width;
}

RecordingSurface::RecordingSurface(int width, int height, const HeadlessMetrics* metrics)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      metrics_(metrics),
      pixels_(static_cast<size_t>(width_) * static_cast<size_t>(height_), 0) {}

Font* RecordingSurface::SelectFont(Font* font) {
  Font* previous = font_;
  font_ = font;
  return previous;
}

Extent RecordingSurface::MeasureText(std::u16string_view text) {
  return Extent{metrics_->Width(text), metrics_->lineHeight};
}

void RecordingSurface::Paint(const Rect& rect, uint32_t color) {
  int left = std::max(rect.left, 0);
  int top = std::max(rect.top, 0);
  int right = std::min(rect.right, width_);
  int bottom = std::min(rect.bottom, height_);
  if (left >= right) return;
  for (int y = top; y < bottom; ++y) {
    std::fill(pixels_.begin() + static_cast<ptrdiff_t>(y) * width_ + left,
              pixels_.begin() + static_cast<ptrdiff_t>(y) * width_ + right, color);
  }
}

void RecordingSurface::FillSolid(const Rect& rect, uint32_t color) {
  Paint(rect, color);
  SurfaceOp op;
  op.kind = SurfaceOp::kFill;
  op.rect = rect;
  op.color = color;
  ops_.push_back(op);
}

void RecordingSurface::DrawText(int x, int y, std::u16string_view text) {
  SurfaceOp op;
  op.kind = SurfaceOp::kText;
  op.x = x;
  op.y = y;
  op.text = std::u16string(text);
  op.color = textColor_;
  op.back = backColor_;
  if (font_) op.font = font_->fontSpec();
  int w = metrics_->Width(text);
  int h = metrics_->lineHeight;
  // A rotated font runs upward from the point: its cell lies above and to the right.
  op.rect = op.font.escapement == 900 ? Rect{x, y - w, x + h, y} : Rect{x, y, x + w, y + h};
  Paint(op.rect, backColor_);
  ops_.push_back(op);
}

void RecordingSurface::CopyTo(Surface& target, const Rect& rect) {
  auto* recording = dynamic_cast<RecordingSurface*>(&target);
  if (!recording) return;
  SurfaceOp copy;
  copy.kind = SurfaceOp::kCopy;
  copy.rect = rect;
  recording->ops_.push_back(copy);
  for (const SurfaceOp& op : ops_)
    recording->ops_.push_back(op);
  for (int y = std::max(rect.top, 0); y < std::min({rect.bottom, height_, recording->height_});
       ++y) {
    for (int x = std::max(rect.left, 0); x < std::min({rect.right, width_, recording->width_});
         ++x) {
      recording->pixels_[static_cast<size_t>(y) * recording->width_ + x] =
          pixels_[static_cast<size_t>(y) * width_ + x];
    }
  }
}

bool RecordingSurface::Scroll(const Rect& rect, int dx, int dy) {
  SurfaceOp op;
  op.kind = SurfaceOp::kScroll;
  op.rect = rect;
  op.x = dx;
  op.y = dy;
  ops_.push_back(op);
  const int left = std::max(rect.left, 0);
  const int top = std::max(rect.top, 0);
  const int right = std::min(rect.right, width_);
  const int bottom = std::min(rect.bottom, height_);
  const std::vector<uint32_t> before = pixels_;
  for (int y = std::max(top, top + dy); y < std::min(bottom, bottom + dy); ++y) {
    for (int x = std::max(left, left + dx); x < std::min(right, right + dx); ++x)
      pixels_[static_cast<size_t>(y) * width_ + x] =
          before[static_cast<size_t>(y - dy) * width_ + (x - dx)];
  }
  return true;
}

uint32_t RecordingSurface::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  return pixels_[static_cast<size_t>(y) * width_ + x];
}

std::vector<SurfaceOp> RecordingSurface::TextOps() const {
  std::vector<SurfaceOp> out;
  for (const SurfaceOp& op : ops_) {
    if (op.kind == SurfaceOp::kText) out.push_back(op);
  }
  return out;
}

}  // namespace lirako

#include "view/window_placement.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>

namespace lirako {
namespace {

constexpr int kFirstRunHeightNumerator = 2;
constexpr int kFirstRunHeightDenominator = 3;
constexpr int kPageWidthNumerator = 3;
constexpr int kPageHeightDenominator = 5;

Rect Centred(int width, int height, const Rect& available) {
  width = std::min(width, available.Width());
  height = std::min(height, available.Height());
  const int left = available.left + (available.Width() - width) / 2;
  const int top = available.top + (available.Height() - height) / 2;
  return Rect{left, top, left + width, top + height};
}

}  // namespace

std::string FormatWindowGeometry(const Rect& rect) {
  return std::to_string(rect.left) + "," + std::to_string(rect.top) + "," +
         std::to_string(rect.Width()) + "," + std::to_string(rect.Height());
}

std::optional<Rect> ParseWindowGeometry(std::string_view text) {
  int numbers[4];
  const char* p = text.data();
  const char* end = text.data() + text.size();
  for (int i = 0; i < 4; ++i) {
    if (i > 0) {
      if (p == end || *p != ',') return std::nullopt;
      ++p;
    }
    auto [next, ec] = std::from_chars(p, end, numbers[i]);
    if (ec != std::errc()) return std::nullopt;
    p = next;
  }
  if (p != end) return std::nullopt;
  const auto [left, top, width, height] = numbers;
  // Sizes beyond any screen are refused before they can overflow the sums below.
  constexpr int kMaxSide = 1 << 20;
  if (width < kMinWindowSide || height < kMinWindowSide || width > kMaxSide || height > kMaxSide ||
      std::abs(left) > kMaxSide || std::abs(top) > kMaxSide) {
    return std::nullopt;
  }
  return Rect{left, top, left + width, top + height};
}

Rect FirstRunWindowRect(const Rect& available) {
  const int height = available.Height() * kFirstRunHeightNumerator / kFirstRunHeightDenominator;
  const int width = height * kPageWidthNumerator / kPageHeightDenominator;
  return Centred(width, height, available);
}

Rect InitialWindowRect(const std::optional<std::string>& remembered, const Rect& available) {
  const std::optional<Rect> rect =
      remembered ? ParseWindowGeometry(*remembered) : std::optional<Rect>();
  if (!rect) return FirstRunWindowRect(available);
  const int visibleWidth =
      std::min(rect->right, available.right) - std::max(rect->left, available.left);
  const int visibleHeight =
      std::min(rect->bottom, available.bottom) - std::max(rect->top, available.top);
  const bool fits = rect->Width() <= available.Width() && rect->Height() <= available.Height();
  if (fits && visibleWidth >= kMinVisibleSide && visibleHeight >= kMinVisibleSide) return *rect;
  return Centred(rect->Width(), rect->Height(), available);
}

}  // namespace lirako

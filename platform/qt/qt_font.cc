#include "platform/qt/qt_font.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

#include <QString>

namespace lirako {
namespace {

// The pixel size used when a FontSpec asks for the platform's default height (0).
constexpr int kDefaultPixelSize = 12;
// The tallest glyphs drawn; a settings file may ask for any height, and rasterising glyphs
// of millions of pixels would exhaust memory.
constexpr int kMaxPixelSize = 2048;

}  // namespace

QtFont::QtFont(FontSpec fontSpec)
    : spec_(std::move(fontSpec)), font_(MakeFont(spec_)), metrics_(font_) {}

QFont QtFont::MakeFont(const FontSpec& fontSpec) {
  QFont font(QString::fromStdU16String(fontSpec.face));
  int pixels = fontSpec.height == INT_MIN ? kMaxPixelSize
                                          : std::min(std::abs(fontSpec.height), kMaxPixelSize);
  font.setPixelSize(pixels > 0 ? pixels : kDefaultPixelSize);
  font.setWeight(fontSpec.weight >= 700 ? QFont::Bold : QFont::Normal);
  font.setItalic(false);
  font.setUnderline(false);
  font.setStrikeOut(false);
  font.setStyleStrategy(fontSpec.clearType ? QFont::PreferAntialias : QFont::PreferDefault);
  return font;
}

}  // namespace lirako

#pragma once

#include <QFont>
#include <QFontMetrics>

#include "platform/surface.h"

namespace lirako {

// A font made from a FontSpec: the face (fontconfig substitutes missing faces and merges in
// Hangul glyphs), `height` as the pixel size, weight 400 or 700, antialiasing preferred for
// ClearType quality. The rotation of escapement 900 is applied by the surface that draws.
class QtFont : public Font {
 public:
  explicit QtFont(FontSpec fontSpec);

  const FontSpec& fontSpec() const override { return spec_; }
  const QFont& font() const { return font_; }
  const QFontMetrics& metrics() const { return metrics_; }
  bool rotated() const { return spec_.escapement == 900; }

 private:
  static QFont MakeFont(const FontSpec& fontSpec);

  FontSpec spec_;
  QFont font_;
  QFontMetrics metrics_;
};

}  // namespace lirako

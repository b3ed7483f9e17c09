#pragma once

#include <memory>

#include <QFont>
#include <QFontMetrics>
#include <QString>

#include "platform/qt/qt_glyph_table.h"
#include "platform/surface.h"

namespace lirako {

// The installed family drawn for `face`: the face itself when installed, else fontconfig's
// choice for Korean text (a Hangul face such as NanumGothic), so that a face missing here
// (the default "Tahoma", or one named in a copied settings file) still draws Hangul well.
QString InstalledFace(const QString& face);

// A font made from a FontSpec: the installed face for its face (InstalledFace; fontconfig
// merges in glyphs the face lacks), `height` as the pixel size, weight 400 or 700, antialiasing
// preferred for ClearType quality. The rotation of escapement 900 is applied by the surface that
// draws.
class QtFont : public Font {
 public:
  explicit QtFont(FontSpec fontSpec);

  const FontSpec& fontSpec() const override { return spec_; }
  const QFont& font() const { return font_; }
  const QFontMetrics& metrics() const { return metrics_; }
  int ascent() const { return ascent_; }
  bool rotated() const { return spec_.escapement == 900; }
  // The glyphs of this font, kept across the fonts made with the same face, size and weight.
  QtGlyphTable& glyphs() const { return *glyphs_; }

 private:
  static QFont MakeFont(const FontSpec& fontSpec);

  FontSpec spec_;
  QFont font_;
  QFontMetrics metrics_;
  int ascent_;  // the metrics' ascent, asked once
  std::shared_ptr<QtGlyphTable> glyphs_;
};

}  // namespace lirako

#include "platform/qt/qt_font.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

#include <QFontDatabase>
#include <QHash>
#include <QString>

#include <fontconfig/fontconfig.h>

namespace lirako {
namespace {

// The pixel size used when a FontSpec asks for the platform's default height (0).
constexpr int kDefaultPixelSize = 12;
// The tallest glyphs drawn; a settings file may ask for any height, and rasterising glyphs
// of millions of pixels would exhaust memory.
constexpr int kMaxPixelSize = 2048;

// fontconfig's best family for Korean text; empty when it offers none.
QString KoreanFace() {
  QString family;
  FcPattern* pattern = FcPatternCreate();
  if (pattern == nullptr) return family;
  FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>("ko"));
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  if (FcPattern* match = FcFontMatch(nullptr, pattern, &result)) {
    FcChar8* name = nullptr;
    if (FcPatternGetString(match, FC_FAMILY, 0, &name) == FcResultMatch) {
      family = QString::fromUtf8(reinterpret_cast<const char*>(name));
    }
    FcPatternDestroy(match);
  }
  FcPatternDestroy(pattern);
  return family;
}

}  // namespace

QString InstalledFace(const QString& face) {
  // Asked once per face: the fonts installed do not change under a running reader often
  // enough to ask fontconfig at every paint, which makes a font each time.
  static QHash<QString, bool> installed;
  auto it = installed.constFind(face);
  if (it == installed.constEnd())
    it = installed.insert(face, !face.isEmpty() && QFontDatabase::hasFamily(face));
  if (*it) return face;
  static const QString korean = KoreanFace();
  return korean.isEmpty() ? face : korean;
}

QtFont::QtFont(FontSpec fontSpec)
    : spec_(std::move(fontSpec)),
      font_(MakeFont(spec_)),
      metrics_(font_),
      ascent_(metrics_.ascent()),
      glyphs_(QtGlyphTable::For(font_)) {}

QFont QtFont::MakeFont(const FontSpec& fontSpec) {
  QFont font(InstalledFace(QString::fromStdU16String(fontSpec.face)));
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

#pragma once

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include <QFont>
#include <QPainter>
#include <QPointF>
#include <QRawFont>
#include <QString>

#include "platform/qt/qt_glyph_masks.h"

namespace lirako {

// The glyphs of one font's face as the surface draws them: each character's glyph index in
// the face, looked up once and kept. Text made only of characters the face holds and draws
// without context is drawn as positioned glyphs, without a text layout; the advances, with
// the face's pair kerning, are the ones Qt's layout gives. Everything else (a character the
// face lacks, which the layout draws from a fallback face, combining marks, joining or
// reordered scripts) is left to the layout.
class QtGlyphTable {
 public:
  // A text placed glyph by glyph: positions from the text's start on its baseline.
  struct PlacedText {
    std::vector<quint32> glyphs;
    std::vector<QPointF> positions;
    qreal width = 0;
  };

  explicit QtGlyphTable(const QFont& font);

  // The table of `font`, shared by every font made with the same face, size and weight; the
  // few most recently asked for are kept.
  static std::shared_ptr<QtGlyphTable> For(const QFont& font);

  // Places `text`; false (and `placed` unusable) when a character of it needs the layout.
  bool Place(const QString& text, PlacedText* placed);
  const QRawFont& face() const { return face_; }
  // The face's ascent and descent, asked once.
  qreal ascent() const { return ascent_; }
  qreal descent() const { return descent_; }
  // The face's glyphs as masks, for drawing into an upright page image.
  QtGlyphMasks& masks() { return masks_; }

  // Notes `count` glyphs drawn, upright or rotated, for Busiest.
  void NoteDrawn(size_t count, bool rotated) { drawn_[rotated ? 1 : 0] += count; }
  // The kept table that drew the most glyphs since the last call, and in which orientation
  // (`rotated`) it drew most; null when none drew. The counts start again from zero.
  static std::shared_ptr<QtGlyphTable> Busiest(bool* rotated);
  // Draws with `painter` (on a scratch image of the page's format, turned as the page is)
  // the next `count` characters of the warm list not yet drawn in that orientation, so that
  // Qt's glyph cache holds them: the printable ASCII characters, common punctuation, the
  // syllables of KS X 1001, then every other Hangul syllable, each at every sub-pixel offset
  // Qt keeps apart. Returns false once the whole list is warm.
  bool Warm(QPainter& painter, bool rotated, int count);

 private:
  static constexpr uint32_t kUnknown = 0xFFFFFFFF;  // not looked up yet
  static constexpr uint32_t kLayout = 0xFFFFFFFE;   // drawn by the layout

  static std::vector<std::shared_ptr<QtGlyphTable>>& Kept();
  static std::vector<char32_t> WarmList();
  // Notes the left glyphs of the kerning pairs Qt reads from the face's "kern" table (its
  // version 0 horizontal subtables); any other table makes every text ask Qt.
  void ReadKerningLefts();
  // Whether a pair starting at glyph `glyph` may be kerned.
  bool MayKern(quint32 glyph) const {
    return kernAny_ || (glyph < kernLefts_.size() && kernLefts_[glyph]);
  }
  // The advance of `glyph` alone, asked of the face once.
  qreal Advance(quint32 glyph);
  // The glyph of `c`, or kLayout.
  uint32_t Lookup(char32_t c);
  uint32_t Find(char32_t c);

  QFont font_;
  QRawFont face_;
  QtGlyphMasks masks_{face_};
  qreal ascent_ = face_.ascent();
  qreal descent_ = face_.descent();
  bool shapes_;                // the face substitutes or positions glyphs by context
  std::vector<uint32_t> bmp_;  // one entry per unit of the Basic Multilingual Plane
  std::unordered_map<char32_t, uint32_t> astral_;
  std::vector<qreal> advances_;  // by glyph; NaN: not asked yet
  std::vector<bool> kernLefts_;  // by glyph
  bool kernAny_ = false;
  size_t drawn_[2] = {0, 0};   // glyphs drawn upright, rotated since Busiest
  size_t warmed_[2] = {0, 0};  // characters of WarmList warmed upright, rotated
  std::vector<quint32> warmGlyphs_;
  std::vector<QPointF> warmPositions_;
};

}  // namespace lirako

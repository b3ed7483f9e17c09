#include "platform/qt/qt_glyph_table.h"

#include <algorithm>
#include <cmath>

#include <QGlyphRun>

#include "platform/cp949_converter.h"

namespace lirako {
namespace {

constexpr char32_t kFirstSyllable = 0xAC00;
constexpr char32_t kLastSyllable = 0xD7A3;

// Fonts whose glyphs are kept at once: the page's font, its bold or another size while the
// user tries sizes, and the fonts of notices.
constexpr size_t kKeptTables = 4;

bool ConjoiningJamo(char32_t c) {
  return (c >= 0x1100 && c <= 0x11FF) || (c >= 0xA960 && c <= 0xA97F) ||
         (c >= 0xD7B0 && c <= 0xD7FF);
}

// Whether `c` is drawn right only in the context of its neighbours, by the text layout.
// `shapingFace`: the face holding it substitutes or positions glyphs by context, which
// matters for letters (ligatures, pair positioning).
bool NeedsLayout(char32_t c, bool shapingFace) {
  if (c >= 0xD800 && c <= 0xDFFF) return true;  // half of a pair, alone
  switch (QChar::category(c)) {
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
    case QChar::Other_Format:
      return true;
    default:
      break;
  }
  if (ConjoiningJamo(c)) return true;
  switch (QChar::script(c)) {
    case QChar::Script_Common:
    case QChar::Script_Hangul:
    case QChar::Script_Han:
    case QChar::Script_Hiragana:
    case QChar::Script_Katakana:
    case QChar::Script_Bopomofo:
      return false;
    case QChar::Script_Latin:
    case QChar::Script_Greek:
    case QChar::Script_Cyrillic:
      return shapingFace;
    default:
      return true;
  }
}

}  // namespace

QtGlyphTable::QtGlyphTable(const QFont& font)
    : font_(font),
      face_(QRawFont::fromFont(font_)),
      shapes_(!face_.fontTable("GSUB").isEmpty() || !face_.fontTable("GPOS").isEmpty()) {
  ReadKerningLefts();
}

void QtGlyphTable::ReadKerningLefts() {
  const QByteArray table = face_.fontTable("kern");
  if (table.isEmpty()) return;
  const auto* data = reinterpret_cast<const uchar*>(table.constData());
  const qsizetype size = table.size();
  auto word = [&](qsizetype at, quint16* value) {
    if (at < 0 || at + 2 > size) return false;
    *value = static_cast<quint16>((data[at] << 8) | data[at + 1]);
    return true;
  };
  quint16 version = 0;
  quint16 subtables = 0;
  // Qt reads no pairs from a table of another version.
  if (!word(0, &version) || version != 0) return;
  if (!word(2, &subtables)) {
    kernAny_ = true;
    return;
  }
  qsizetype offset = 4;
  for (int i = 0; i < subtables; ++i) {
    quint16 subVersion = 0;
    quint16 length = 0;
    quint16 coverage = 0;
    if (!word(offset, &subVersion) || !word(offset + 2, &length) || !word(offset + 4, &coverage)) {
      kernAny_ = true;
      return;
    }
    if (subVersion == 0 && coverage == 0x0001) {
      quint16 pairs = 0;
      if (!word(offset + 6, &pairs)) {
        kernAny_ = true;
        return;
      }
      for (int pair = 0; pair < pairs; ++pair) {
        quint16 left = 0;
        if (!word(offset + 14 + pair * 6, &left)) break;
        if (left >= kernLefts_.size()) kernLefts_.resize(left + 1u, false);
        kernLefts_[left] = true;
      }
    }
    offset += length;
  }
}

qreal QtGlyphTable::Advance(quint32 glyph) {
  if (glyph >= advances_.size()) advances_.resize(glyph + 1u, std::nan(""));
  qreal& advance = advances_[glyph];
  if (std::isnan(advance)) {
    QPointF alone;
    face_.advancesForGlyphIndexes(&glyph, &alone, 1, QRawFont::SeparateAdvances);
    advance = alone.x();
  }
  return advance;
}

std::vector<std::shared_ptr<QtGlyphTable>>& QtGlyphTable::Kept() {
  // Fonts are made and drawn with on the thread of the window only.
  static std::vector<std::shared_ptr<QtGlyphTable>> kept;
  return kept;
}

std::shared_ptr<QtGlyphTable> QtGlyphTable::For(const QFont& font) {
  std::vector<std::shared_ptr<QtGlyphTable>>& kept = Kept();
  auto it = std::find_if(kept.begin(), kept.end(),
                         [&](const std::shared_ptr<QtGlyphTable>& t) { return t->font_ == font; });
  std::shared_ptr<QtGlyphTable> table;
  if (it != kept.end()) {
    table = *it;
    kept.erase(it);
  } else {
    table = std::make_shared<QtGlyphTable>(font);
  }
  kept.insert(kept.begin(), table);
  if (kept.size() > kKeptTables) kept.pop_back();
  return table;
}

std::shared_ptr<QtGlyphTable> QtGlyphTable::Busiest(bool* rotated) {
  std::shared_ptr<QtGlyphTable> busiest;
  size_t most = 0;
  for (const std::shared_ptr<QtGlyphTable>& table : Kept()) {
    for (int turned = 0; turned < 2; ++turned) {
      if (table->drawn_[turned] > most) {
        most = table->drawn_[turned];
        busiest = table;
        *rotated = turned == 1;
      }
    }
    table->drawn_[0] = table->drawn_[1] = 0;
  }
  return busiest;
}

std::vector<char32_t> QtGlyphTable::WarmList() {
  std::vector<char32_t> list;
  for (char32_t c = 0x21; c < 0x7F; ++c)
    list.push_back(c);
  for (char32_t c : U"·‘’“”…※―、。〈〉《》「」『』【】〔〕～")
    if (c != 0) list.push_back(c);
  // KS X 1001's syllables are the ones nearly every book uses; the rest follow.
  std::vector<bool> listed(kLastSyllable - kFirstSyllable + 1);
  const Cp949Converter& cp949 = Cp949Converter::Instance();
  for (unsigned lead = 0xB0; lead <= 0xC8; ++lead) {
    for (unsigned trail = 0xA1; trail <= 0xFE; ++trail) {
      const char32_t c =
          cp949.PairUnit(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail));
      if (c < kFirstSyllable || c > kLastSyllable || listed[c - kFirstSyllable]) continue;
      listed[c - kFirstSyllable] = true;
      list.push_back(c);
    }
  }
  for (char32_t c = kFirstSyllable; c <= kLastSyllable; ++c)
    if (!listed[c - kFirstSyllable]) list.push_back(c);
  return list;
}

bool QtGlyphTable::Warm(QPainter& painter, bool rotated, int count) {
  static const std::vector<char32_t> list = WarmList();
  size_t& next = warmed_[rotated ? 1 : 0];
  // Upright glyphs are kept at four horizontal sub-pixel offsets; turned ones at one.
  const int offsets = rotated ? 1 : 4;
  warmGlyphs_.clear();
  warmPositions_.clear();
  // An upright page of a device pixel per layout pixel draws from the masks.
  const QPaintDevice* device = painter.device();
  const bool masked = !rotated && device && device->devicePixelRatioF() == 1 && masks_.usable();
  for (int done = 0; done < count && next < list.size(); ++next) {
    const uint32_t glyph = Lookup(list[next]);
    if (glyph == kLayout) continue;
    Advance(glyph);
    ++done;
    if (masked) {
      masks_.Prepare(glyph);
      continue;
    }
    for (int i = 0; i < offsets; ++i) {
      warmGlyphs_.push_back(glyph);
      warmPositions_.emplace_back(i * 0.25, 0);
    }
  }
  if (!warmGlyphs_.empty()) {
    QGlyphRun glyphs;
    glyphs.setRawFont(face_);
    glyphs.setRawData(warmGlyphs_.data(), warmPositions_.data(),
                      static_cast<int>(warmGlyphs_.size()));
    painter.drawGlyphRun(QPointF(0, 0), glyphs);
  }
  return next < list.size();
}

bool QtGlyphTable::Place(const QString& text, PlacedText* placed) {
  placed->glyphs.clear();
  const qsizetype n = text.size();
  for (qsizetype i = 0; i < n;) {
    char32_t c = text[i].unicode();
    qsizetype length = 1;
    if (QChar::isHighSurrogate(c) && i + 1 < n && text[i + 1].isLowSurrogate()) {
      c = QChar::surrogateToUcs4(text[i], text[i + 1]);
      length = 2;
    }
    i += length;
    const uint32_t glyph = Lookup(c);
    if (glyph == kLayout) return false;
    placed->glyphs.push_back(glyph);
  }
  // The advances with the face's pair kerning, as the layout's shaping gives them: each
  // glyph's own, kept, unless a pair of the text may be kerned.
  const int count = static_cast<int>(placed->glyphs.size());
  placed->positions.resize(placed->glyphs.size());
  bool kerned = false;
  for (int i = 0; i + 1 < count && !kerned; ++i)
    kerned = MayKern(placed->glyphs[i]);
  if (kerned) {
    face_.advancesForGlyphIndexes(placed->glyphs.data(), placed->positions.data(), count,
                                  QRawFont::KernedAdvances);
  } else {
    for (int i = 0; i < count; ++i)
      placed->positions[i] = QPointF(Advance(placed->glyphs[i]), 0);
  }
  qreal x = 0;
  for (QPointF& position : placed->positions) {
    const qreal advance = position.x();
    position = QPointF(x, 0);
    x += advance;
  }
  placed->width = x;
  return true;
}

uint32_t QtGlyphTable::Lookup(char32_t c) {
  if (c < 0x10000) {
    if (bmp_.empty()) bmp_.assign(0x10000, kUnknown);
    uint32_t& glyph = bmp_[c];
    if (glyph == kUnknown) glyph = Find(c);
    return glyph;
  }
  auto it = astral_.find(c);
  if (it == astral_.end()) it = astral_.emplace(c, Find(c)).first;
  return it->second;
}

uint32_t QtGlyphTable::Find(char32_t c) {
  if (NeedsLayout(c, shapes_) || !face_.supportsCharacter(c)) return kLayout;
  const QString one = QString::fromUcs4(&c, 1);
  quint32 glyph = 0;
  int count = 1;
  if (!face_.glyphIndexesForChars(one.constData(), static_cast<int>(one.size()), &glyph, &count) ||
      count != 1 || glyph >= kLayout)
    return kLayout;
  return glyph;
}

}  // namespace lirako

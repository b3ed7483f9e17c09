#include "engine/basic_text_search.h"

#include <algorithm>
#include <limits>
#include <type_traits>

#include "engine/char_classes.h"
#include "engine/code_table.h"
#include "engine/glyph_metrics.h"
#include "engine/text_engine.h"
#include "platform/utf.h"

namespace lirako {
namespace {

constexpr size_t kMaxAnchorUnits = 256;

bool IsAsciiLetter(char32_t u) {
  return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z');
}

}  // namespace

template <typename Unit>
void BasicTextSearch<Unit>::SetText(const std::u16string& text, int options) {
  fold_ = (options & kFindMatchCase) == 0;
  needle_ = text;
  if (fold_) platform_.FoldCase(needle_);
  anchorReady_ = false;
}

template <typename Unit>
std::u16string BasicTextSearch<Unit>::DisplayText(const Buffer& paragraph) const {
  if constexpr (std::is_same_v<Unit, char8_t>) {
    return ToDisplayTextUtf8(
        std::u8string_view(paragraph.text(), static_cast<size_t>(paragraph.length())));
  } else if constexpr (sizeof(Unit) == 1) {
    return ToDisplayText(platform_,
                         std::string_view(reinterpret_cast<const char*>(paragraph.text()),
                                          static_cast<size_t>(paragraph.length())));
  } else {
    return ToDisplayTextWide(
        std::u16string_view(paragraph.text(), static_cast<size_t>(paragraph.length())));
  }
}

template <typename Unit>
int32_t BasicTextSearch<Unit>::MatchOffset(const Buffer& paragraph, int32_t index) const {
  if constexpr (std::is_same_v<Unit, char8_t>) {
    // A character gives one display unit, or two (a surrogate pair) for a four-byte sequence.
    const Unit* text = paragraph.text();
    const int32_t length = paragraph.length();
    int32_t k = 0;
    for (int32_t units = 0; units < index && k < length && text[k] != 0;) {
      const int n = Utf8CharLength(text, length, k);
      units += n == 4 ? 2 : 1;
      k += n;
    }
    return std::min(k, length);
  } else if constexpr (sizeof(Unit) == 1) {
    // One display unit per character when the conversion is by character; else by byte.
    const Unit* text = paragraph.text();
    int32_t length = paragraph.length();
    int32_t characters = 0;
    for (int32_t p = 0; p < length && text[p] != 0;
         p += GlyphMetrics::CharLength(text, length, p)) {
      ++characters;
    }
    if (static_cast<int32_t>(DisplayText(paragraph).size()) != characters) {
      return std::min(index, length);
    }
    int32_t k = 0;
    for (int32_t i = 0; i < index && k < length; ++i)
      k += GlyphMetrics::CharLength(text, length, k);
    return std::min(k, length);
  } else {
    return std::min(index, paragraph.length());
  }
}

template <typename Unit>
bool BasicTextSearch<Unit>::FileUnitsOf(char16_t unit, std::vector<Unit>* units) {
  if constexpr (sizeof(Unit) == 2) {
    *units = {unit};
    return true;
  } else if constexpr (std::is_same_v<Unit, char8_t>) {
    // A lone surrogate is not a character of its own.
    if (unit >= 0xD800 && unit <= 0xDFFF) return false;
    const std::string bytes = ToUtf8(std::u16string_view(&unit, 1));
    units->assign(bytes.begin(), bytes.end());
    return true;
  } else {
    // The sources depend on the conversion in force: the platform's code page, or the code
    // table, whose content is read again each time it is in force.
    const int mode = IsCodeTableActive() ? 2 : platform_.HasCodePage949() ? 1 : 0;
    if (mode != displaySourcesMode_ || mode == 2) {
      displaySources_.clear();
      auto add = [this](std::string_view bytes, uint16_t source) {
        std::u16string display = ToDisplayText(platform_, bytes);
        if (display.size() == 1) displaySources_.emplace_back(display[0], source);
      };
      for (int b = 1; b < 256; ++b) {
        char one = static_cast<char>(b);
        add(std::string_view(&one, 1), static_cast<uint16_t>(b));
      }
      for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x41; trail <= 0xFE; ++trail) {
          char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
          add(std::string_view(pair, 2), static_cast<uint16_t>(lead << 8 | trail));
        }
      }
      std::sort(displaySources_.begin(), displaySources_.end());
      for (size_t i = 1; i < displaySources_.size(); ++i) {
        if (displaySources_[i].first == displaySources_[i - 1].first) {
          displaySources_[i].second = displaySources_[i - 1].second = 0xFFFF;
        }
      }
      displaySourcesMode_ = mode;
    }
    auto it = std::lower_bound(displaySources_.begin(), displaySources_.end(),
                               std::make_pair(unit, uint16_t{0}));
    if (it == displaySources_.end() || it->first != unit || it->second == 0xFFFF) return false;
    if (it->second < 0x100) {
      *units = {static_cast<Unit>(it->second)};
    } else {
      *units = {static_cast<Unit>(it->second >> 8), static_cast<Unit>(it->second & 0xFF)};
    }
    return true;
  }
}

template <typename Unit>
std::vector<Unit> BasicTextSearch<Unit>::SearchAnchor(bool joined) {
  // Folding may map other characters onto letters; Hangul syllables, CJK ideographs and
  // ASCII that is not a letter have no case. An ASCII letter folds from its two cases only,
  // so with case folded it anchors as both, when both are single file units that differ as
  // the two cases of ASCII do: the scan folds the file's ASCII letters too. With lines
  // joined, a blank may stand for a line break.
  const bool fold = fold_;
  auto caseless = [fold, joined](char16_t u) {
    if (u == 0 || IsLineBreak(u) || u == 0xFFFD || (joined && IsBlank(u))) return false;
    if (!fold || u < 0x80) return true;
    return (u >= 0xAC00 && u <= 0xD7A3) || (u >= 0x4E00 && u <= 0x9FFF);
  };
  std::vector<Unit> best;
  std::vector<Unit> run;
  for (char16_t u : needle_) {
    std::vector<Unit> units;
    bool certain = caseless(u) && FileUnitsOf(u, &units);
    if (certain && fold && IsAsciiLetter(u)) {
      const auto upper = static_cast<char16_t>(u - u'a' + u'A');
      std::vector<Unit> upperUnits;
      certain = u >= u'a' && units.size() == 1 && units[0] == static_cast<Unit>(u) &&
                FileUnitsOf(upper, &upperUnits) && upperUnits.size() == 1 &&
                upperUnits[0] == static_cast<Unit>(upper);
    }
    if (certain) {
      run.insert(run.end(), units.begin(), units.end());
      if (run.size() > best.size()) best = run;
    } else {
      run.clear();
    }
  }
  // A part of the anchor is an anchor too; a short one keeps the scan blocks small.
  if (best.size() > kMaxAnchorUnits) best.resize(kMaxAnchorUnits);
  return best;
}

template <typename Unit>
bool BasicTextSearch<Unit>::Next(Reader& reader, int32_t from, size_t at, Match* match) {
  reader.Seek(from);
  return Scan(reader, at, true, match);
}

template <typename Unit>
bool BasicTextSearch<Unit>::Continue(Reader& reader, Match* match) {
  return Scan(reader, 0, false, match);
}

template <typename Unit>
bool BasicTextSearch<Unit>::NextInPiece(size_t at, Match* match) {
  if (needle_.empty()) return false;
  const ptrdiff_t found = platform_.FindText(haystack_, needle_, at);
  if (found < 0 || static_cast<size_t>(found) >= own_) return false;
  Describe(static_cast<size_t>(found), match);
  return true;
}

template <typename Unit>
void BasicTextSearch<Unit>::Describe(size_t found, Match* match) const {
  const auto index = static_cast<int32_t>(found);
  const size_t endIndex = found + needle_.size();
  match->pieceStart = piece_.start;
  match->index = index;
  match->begin = piece_.FilePosition(MatchOffset(piece_, index));
  if (endIndex <= own_) {
    match->end = piece_.FilePosition(MatchOffset(piece_, static_cast<int32_t>(endIndex)));
  } else {
    // Past the blank that joins the next line, when there is one.
    const size_t into = endIndex - own_ - (piece_.joinsNext ? 1 : 0);
    match->end = following_.FilePosition(MatchOffset(following_, static_cast<int32_t>(into)));
  }
}

template <typename Unit>
bool BasicTextSearch<Unit>::Scan(Reader& reader, size_t at, bool fromHere, Match* match) {
  if (needle_.empty()) return false;
  // File units the match may begin before the anchor: a display unit comes from one
  // character, which takes at most two bytes of code page 949, three bytes of UTF-8 (four
  // for the two units of a surrogate pair), or one 16-bit unit.
  const size_t unitsPerCharacter = std::is_same_v<Unit, char8_t> ? 3 : sizeof(Unit) == 1 ? 2 : 1;
  const auto lead = static_cast<int32_t>(
      std::min<size_t>(needle_.size() * unitsPerCharacter, std::numeric_limits<int32_t>::max()));
  const bool joined = reader.joinLines();
  if (!anchorReady_ || anchorJoined_ != joined) {
    anchor_ = SearchAnchor(joined);
    anchorFolds_ = fold_ && std::any_of(anchor_.begin(), anchor_.end(),
                                        [](Unit u) { return IsAsciiLetter(u); });
    anchorReady_ = true;
    anchorJoined_ = joined;
  }
  bool first = fromHere;
  while (true) {
    // After the first paragraph, go straight to the next one that holds the anchor.
    if (!first && !anchor_.empty()) {
      int32_t start = 0;
      if (!reader.FindParagraphWith(reader.Position(), anchor_, lead, anchorFolds_, &start))
        return false;
      // A match may begin on an earlier line of the same joined paragraph.
      if (joined) start = std::max(reader.JoinedParagraphStart(start), reader.Position());
      if (start != reader.Position()) reader.Seek(start);
    }
    if (!reader.ReadNextParagraph(piece_)) return false;
    first = false;
    display_ = DisplayText(piece_);
    own_ = display_.size();
    if (piece_.split || piece_.joinsNext) {
      // The paragraph goes on in the next piece: a match may run on into it.
      const int32_t next = reader.Position();
      if (reader.ReadNextParagraph(following_)) {
        if (piece_.joinsNext) display_ += u' ';
        display_ += DisplayText(following_);
      }
      reader.Seek(next);
    }
    haystack_ = display_;
    if (fold_) platform_.FoldCase(haystack_);
    if (NextInPiece(at, match)) return true;
    at = 0;
  }
}

template class BasicTextSearch<uint8_t>;
template class BasicTextSearch<char8_t>;
template class BasicTextSearch<char16_t>;

}  // namespace lirako

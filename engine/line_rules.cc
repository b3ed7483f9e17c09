#include "engine/line_rules.h"

#include <algorithm>
#include <iterator>
#include <vector>

#include "engine/char_classes.h"

namespace lirako {
namespace {

// Code page 949 row A1 (symbols), trails A2 to BD, as Unicode; 0 for the other symbols.
constexpr char32_t kRowA1[] = {0x3001, 0x3002, 0x00B7, 0x2025, 0x2026, 0,      0,
                               0,      0,      0,      0,      0,      0x2018, 0x2019,
                               0x201C, 0x201D, 0x3014, 0x3015, 0x3008, 0x3009, 0x300A,
                               0x300B, 0x300C, 0x300D, 0x300E, 0x300F, 0x3010, 0x3011};

// The code point of the code page 949 character lead trail, as far as the edge classes
// need it: the symbols of row A1 and the full-width forms of row A3.
char32_t Cp949Symbol(uint8_t lead, uint8_t trail) {
  if (lead == 0xA1 && trail >= 0xA2 && trail < 0xA2 + sizeof kRowA1 / sizeof kRowA1[0]) {
    return kRowA1[trail - 0xA2];
  }
  if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) return 0xFF00 + (trail - 0xA0);
  return 0;
}

// Character starts from `start` up to and including `end`, with the width of the units before
// each of them.
template <typename Unit>
void CharStarts(const GlyphMetrics& metrics, const Unit* text, int32_t length, int32_t start,
                int32_t end, std::vector<int32_t>* starts, std::vector<int>* widths) {
  int w = 0;
  for (int32_t p = start; p < end; p += GlyphMetrics::CharLength(text, length, p)) {
    starts->push_back(p);
    widths->push_back(w);
    w += metrics.CharWidth(text, length, p);
  }
  starts->push_back(end);
  widths->push_back(w);
}

}  // namespace

EdgeClass EdgeClassOf(char32_t code) {
  static constexpr char32_t kClosing[] = {
      ',',    '.',    '!',    '?',    ':',    ';',    ')',    ']',    '}',    0x300D, 0x300F,
      0x3009, 0x300B, 0x3011, 0x3015, 0x2019, 0x201D, 0x2026, 0x2025, 0x00B7, 0x3001, 0x3002,
      0xFF01, 0xFF0C, 0xFF0E, 0xFF1A, 0xFF1B, 0xFF1F, 0xFF09, 0xFF3D, 0xFF5D};
  static constexpr char32_t kOpening[] = {'(',    '[',    '{',    0x300C, 0x300E, 0x3008, 0x300A,
                                          0x3010, 0x3014, 0x2018, 0x201C, 0xFF08, 0xFF3B, 0xFF5B};
  if (std::find(std::begin(kClosing), std::end(kClosing), code) != std::end(kClosing)) {
    return EdgeClass::kClosing;
  }
  if (std::find(std::begin(kOpening), std::end(kOpening), code) != std::end(kOpening)) {
    return EdgeClass::kOpening;
  }
  return EdgeClass::kOther;
}

EdgeClass EdgeClassAt(const uint8_t* text, int32_t length, int32_t pos) {
  if (IsDoubleByte(text, length, pos)) return EdgeClassOf(Cp949Symbol(text[pos], text[pos + 1]));
  return text[pos] < 0x80 ? EdgeClassOf(text[pos]) : EdgeClass::kOther;
}

EdgeClass EdgeClassAt(const char16_t* text, int32_t, int32_t pos) {
  return EdgeClassOf(text[pos]);
}

EdgeClass EdgeClassAt(const char8_t* text, int32_t length, int32_t pos) {
  const int n = Utf8CharLength(text, length, pos);
  if (n == 1) return text[pos] < 0x80 ? EdgeClassOf(text[pos]) : EdgeClass::kOther;
  char32_t code = text[pos] & (0x7F >> n);
  for (int k = 1; k < n; ++k)
    code = code << 6 | (text[pos + k] & 0x3F);
  return EdgeClassOf(code);
}

template <typename Unit>
LineEnd KeepEdgeRules(const GlyphMetrics& metrics, const Unit* text, int32_t length, int32_t start,
                      LineEnd proposed, bool keepAll) {
  const int32_t e = proposed.end;
  if (e <= start || e >= length) return proposed;
  auto nextStart = [&](int32_t c) {
    while (c < length && IsBlank(text[c]))
      ++c;
    return c;
  };
  std::vector<int32_t> starts;
  std::vector<int> widths;
  CharStarts(metrics, text, length, start, e, &starts, &widths);
  // The line ending at starts[i] keeps the rules (and, with keepAll, ends at a blank).
  auto keeps = [&](size_t i) {
    const int32_t c = starts[i];
    if (c <= start) return false;
    if (keepAll && !IsBlank(text[c]) && !IsBlank(text[c - 1])) return false;
    const int32_t n = nextStart(c);
    if (n < length && EdgeClassAt(text, length, n) == EdgeClass::kClosing) return false;
    size_t last = i;
    while (last > 0 && IsBlank(text[starts[last - 1]]))
      --last;
    return last == 0 || EdgeClassAt(text, length, starts[last - 1]) != EdgeClass::kOpening;
  };
  const size_t atEnd = starts.size() - 1;
  if (keeps(atEnd)) return proposed;
  // The closing mark that did not fit hangs, unless another one would start the next line.
  if (EdgeClassAt(text, length, e) == EdgeClass::kClosing) {
    const int32_t after = e + GlyphMetrics::CharLength(text, length, e);
    const int32_t n = nextStart(after);
    if (n >= length || EdgeClassAt(text, length, n) != EdgeClass::kClosing) {
      const int hang = metrics.CharWidth(text, length, e);
      return {after, widths[atEnd] + hang, hang};
    }
  }
  for (size_t i = atEnd; i-- > 1;) {
    if (keeps(i)) return {starts[i], widths[i], 0};
  }
  return proposed;
}

template LineEnd KeepEdgeRules(const GlyphMetrics&, const uint8_t*, int32_t, int32_t, LineEnd,
                               bool);
template LineEnd KeepEdgeRules(const GlyphMetrics&, const char8_t*, int32_t, int32_t, LineEnd,
                               bool);
template LineEnd KeepEdgeRules(const GlyphMetrics&, const char16_t*, int32_t, int32_t, LineEnd,
                               bool);

}  // namespace lirako

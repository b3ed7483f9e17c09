// The engine's line breaking: a paragraph cut into display lines, with the first line's indent
// and the empty lines left out when asked for.
#include <algorithm>

#include "engine/basic_text_engine.h"
#include "engine/char_classes.h"
#include "engine/line_rules.h"

namespace lirako {

template <typename Unit>
bool BasicTextEngine<Unit>::MeasureLine(const Buffer& paragraph, int32_t* end, int* width,
                                        int* hang) {
  const Unit* text = paragraph.text();
  const int32_t length = paragraph.length();
  const int avail = pageRect.right - margins.left - margins.right - lineIndent_;
  if (hang) *hang = 0;
  int32_t p = wrapCursor;
  while (p < length && IsBlank(text[p]))
    ++p;
  // The first line keeps one leading blank; later lines keep none.
  if (wrapCursor == 0) p = p <= 1 ? 0 : p - 1;
  wrapCursor = p;
  int w = 0;
  int32_t lastBreak = 0;
  int widthAtBreak = 0;
  bool prevBlank = false;
  bool wideSinceBreak = false;
  while (p < length) {
    const GlyphMetrics::Char c = metrics_.At(text, length, p);
    const int cw = c.width;
    bool blank = IsBlank(text[p]);
    if (w + cw > avail) {
      *end = p;
      *width = w;
      // A word without wide characters (with keepAll, any word) moves whole to the next line.
      if (lastBreak > wrapCursor &&
          (typography.keepAll || !wideSinceBreak || (blank && prevBlank))) {
        *end = lastBreak;
        *width = widthAtBreak;
      }
      // Not even one character fits: take one anyway so that wrapping progresses.
      if (*end == wrapCursor) {
        *end = wrapCursor + GlyphMetrics::CharLength(text, length, wrapCursor);
        *width = metrics_.CharWidth(text, length, wrapCursor);
        return *end < length;
      }
      if (typography.kinsoku) {
        const LineEnd kept = KeepEdgeRules(metrics_, text, length, wrapCursor,
                                           LineEnd{*end, *width, 0}, typography.keepAll);
        *end = kept.end;
        *width = kept.width;
        if (hang) *hang = kept.hang;
      }
      return *end < length;
    }
    if (c.wide) wideSinceBreak = true;
    if (blank && !prevBlank) {
      lastBreak = p;
      widthAtBreak = w;
      wideSinceBreak = false;
    }
    w += cw;
    prevBlank = blank;
    p += c.length;
  }
  *end = length;
  *width = w;
  return false;
}

template <typename Unit>
void BasicTextEngine<Unit>::WrapParagraph(const Buffer& paragraph, Lines& lines) {
  const Unit* text = paragraph.text();
  const int32_t length = paragraph.length();
  if (typography.collapseBlankLines && IsBlankLine(paragraph)) return;
  if (paragraph.length() < 2) {
    Line line(&platform_);
    // The line covers the paragraph and its break, counted from its text in either
    // direction of reading.
    line.offset = paragraph.textStart;
    line.length = paragraph.end - paragraph.textStart;
    line.end = paragraph.end;
    line.text.assign(text, text + paragraph.length());
    line.paragraphEnd = !paragraph.split && !paragraph.joinsNext;
    lines.push_back(std::move(line));
    return;
  }
  size_t first = lines.size();
  bool more = true;
  int indent = wrapCursor == 0 ? FirstLineIndent(paragraph) : 0;
  while (more) {
    int32_t end = 0;
    int width = 0;
    int hang = 0;
    lineIndent_ = indent;
    more = MeasureLine(paragraph, &end, &width, &hang);
    lineIndent_ = 0;
    // Blanks after the last line's end belong to that line: they make no line of their own.
    const bool blanksLeft =
        more && std::all_of(text + end, text + length, [](Unit unit) { return IsBlank(unit); });
    Line line(&platform_);
    line.offset = paragraph.FilePosition(wrapCursor);
    line.length = paragraph.FilePosition(end) - line.offset;
    line.text.assign(text + wrapCursor, text + end);
    if (justify) {
      while (!line.text.empty() && IsBlank(line.text.back())) {
        width -= metrics_.glyphWidth(static_cast<uint8_t>(line.text.back()));
        line.text.pop_back();
      }
    }
    line.width = width;
    line.hang = hang;
    line.indent = indent;
    indent = 0;
    // The last line of a piece that ends inside its paragraph (lines joined, a cut, or the
    // place a backward read started from) goes on in the next piece's first line.
    line.continued = (more && !blanksLeft) || paragraph.joinsNext || paragraph.split ? 1 : 0;
    line.paragraphEnd = !line.continued;
    lines.push_back(std::move(line));
    wrapCursor = blanksLeft ? length : end;
    if (blanksLeft) break;
  }
  // A line stands for the blanks up to the next line; the last one for the line break too.
  for (size_t i = first; i + 1 < lines.size(); ++i)
    lines[i].end = lines[i + 1].offset;
  lines.back().end = paragraph.end;
}

namespace {

// Whether a full-width blank (U+3000) starts at `p`.
bool IsWideBlank(const uint8_t* text, int32_t length, int32_t p) {
  return p + 1 < length && text[p] == 0xA1 && text[p + 1] == 0xA1;
}
bool IsWideBlank(const char8_t* text, int32_t length, int32_t p) {
  return p + 2 < length && text[p] == 0xE3 && text[p + 1] == 0x80 && text[p + 2] == 0x80;
}
bool IsWideBlank(const char16_t* text, int32_t, int32_t p) {
  return text[p] == 0x3000;
}

}  // namespace

template <typename Unit>
bool BasicTextEngine<Unit>::IsBlankLine(const Buffer& paragraph) const {
  const Unit* text = paragraph.text();
  const int32_t length = paragraph.length();
  for (int32_t p = 0; p < length; p += GlyphMetrics::CharLength(text, length, p)) {
    if (!IsBlank(text[p]) && !IsWideBlank(text, length, p)) return false;
  }
  return true;
}

template <typename Unit>
int BasicTextEngine<Unit>::FirstLineIndent(const Buffer& paragraph) {
  constexpr int kMaxIndent = 3;
  const int wanted = std::clamp(typography.indent, 0, kMaxIndent) * metrics_.wideGlyphWidth();
  if (wanted <= 0 || !reader_->StartsParagraph(paragraph.textStart)) return 0;
  // Blanks and full-width blanks the file starts the paragraph with are part of the indent:
  // the blanks are dropped, the full-width ones drawn.
  const Unit* text = paragraph.text();
  const int32_t length = paragraph.length();
  int counted = 0;
  int32_t p = 0;
  while (p < length && IsBlank(text[p])) {
    counted += metrics_.CharWidth(text, length, p);
    wrapCursor = ++p;
  }
  while (p < length && IsWideBlank(text, length, p)) {
    counted += metrics_.CharWidth(text, length, p);
    p += GlyphMetrics::CharLength(text, length, p);
  }
  return std::max(0, wanted - counted);
}

template <typename Unit>
std::u16string BasicTextEngine<Unit>::DisplayText(const Buffer& paragraph) const {
  return search_.DisplayText(paragraph);
}

template bool BasicTextEngine<uint8_t>::MeasureLine(const Buffer&, int32_t*, int*, int*);
template void BasicTextEngine<uint8_t>::WrapParagraph(const Buffer&, Lines&);
template std::u16string BasicTextEngine<uint8_t>::DisplayText(const Buffer&) const;
template bool BasicTextEngine<char8_t>::MeasureLine(const Buffer&, int32_t*, int*, int*);
template void BasicTextEngine<char8_t>::WrapParagraph(const Buffer&, Lines&);
template std::u16string BasicTextEngine<char8_t>::DisplayText(const Buffer&) const;
template bool BasicTextEngine<char16_t>::MeasureLine(const Buffer&, int32_t*, int*, int*);
template void BasicTextEngine<char16_t>::WrapParagraph(const Buffer&, Lines&);
template std::u16string BasicTextEngine<char16_t>::DisplayText(const Buffer&) const;

}  // namespace lirako

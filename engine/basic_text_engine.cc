#include "engine/basic_text_engine.h"

#include <algorithm>
#include <limits>
#include <tuple>
#include <type_traits>

#include "engine/char_classes.h"
#include "engine/code_table.h"
#include "engine/line_rules.h"
#include "platform/open_reasons.h"
#include "platform/utf.h"

namespace lirako {

template <typename Unit>
BasicTextEngine<Unit>::BasicTextEngine(Platform& platform, std::unique_ptr<Reader> reader)
    : CTextEngine(platform), reader_(std::move(reader)), search_(platform) {}

template <typename Unit>
BasicTextEngine<Unit>::~BasicTextEngine() {
  pageLines_.clear();
  pendingLines_.clear();
  carryLines_.clear();
  reader_->Close();
}

// ---- Loading -------------------------------------------------------------------------------

template <typename Unit>
bool BasicTextEngine<Unit>::Load(const std::u16string& path, std::string* err) {
  if (isOpen) Close();
  std::unique_ptr<File> file = platform_.OpenForReading(path, err);
  if (!file) return false;
  if (!PrepareLoad(path, err)) return false;
  int64_t units = file->Size() / static_cast<int64_t>(sizeof(Unit));
  // Positions are signed 32-bit: a longer file cannot be addressed.
  if (units < 0 || units > std::numeric_limits<int32_t>::max()) {
    file->Close();
    if (err) *err = units < 0 ? kReasonSizeUnknown : kReasonTooLarge;
    return false;
  }
  reader_->Open(std::move(file), static_cast<int32_t>(units));
  filePath = path;
  isOpen = true;
  return true;
}

template <typename Unit>
void BasicTextEngine<Unit>::Close() {
  searchPosition = 0;
  searchIndex = -1;
  scanStart_ = 0;
  scanIndex_ = -1;
  highlightBegin = highlightEnd = -1;
  pageLines_.clear();
  pendingLines_.clear();
  carryLines_.clear();
  isOpen = false;
  reader_->Close();
  filePath.clear();
  savedPosition = 0;
}

template <typename Unit>
void BasicTextEngine<Unit>::SetTypography(const Typography& options) {
  typography = options;
  reader_->SetJoinLines(options.joinLines);
}

// ---- Line breaking -------------------------------------------------------------------------

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
  if (typography.collapseBlankLines && IsBlankLine(paragraph)) return;
  if (paragraph.length() < 2) {
    Line line(&platform_);
    // The line covers the paragraph and its break, counted from its text in either
    // direction of reading.
    line.offset = paragraph.textStart;
    line.length = paragraph.end - paragraph.textStart;
    line.end = paragraph.end;
    line.text.assign(text, text + paragraph.length());
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
    // The last line of a piece of joined lines goes on in the next piece's first line.
    line.continued = more || paragraph.joinsNext ? 1 : 0;
    lines.push_back(std::move(line));
    wrapCursor = end;
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

// ---- Paging --------------------------------------------------------------------------------

template <typename Unit>
void BasicTextEngine<Unit>::FillForward() {
  const size_t capacity = static_cast<size_t>(PageCapacity());
  while (!pendingLines_.empty()) {
    if (pageLines_.size() >= capacity) {
      pageFull = true;
      break;
    }
    pageLines_.push_back(std::move(pendingLines_.front()));
    pendingLines_.pop_front();
  }
  usedHeight = static_cast<int>(pageLines_.size()) * Pitch();
}

template <typename Unit>
void BasicTextEngine<Unit>::FillBackward() {
  const size_t capacity = static_cast<size_t>(PageCapacity());
  while (!pendingLines_.empty()) {
    if (pageLines_.size() >= capacity) {
      pageFull = true;
      break;
    }
    pageLines_.push_front(std::move(pendingLines_.back()));
    pendingLines_.pop_back();
  }
  usedHeight = static_cast<int>(pageLines_.size()) * Pitch();
}

template <typename Unit>
void BasicTextEngine<Unit>::ReadOnForward() {
  FillForward();
  while (!pageFull && reader_->ReadNextParagraph(scratch_)) {
    paragraph_ = scratch_;
    wrapCursor = 0;
    WrapParagraph(paragraph_, pendingLines_);
    FillForward();
  }
}

template <typename Unit>
void BasicTextEngine<Unit>::ReadBack() {
  FillBackward();
  while (!pageFull && reader_->ReadPreviousParagraph(scratch_)) {
    paragraph_ = scratch_;
    wrapCursor = 0;
    WrapParagraph(paragraph_, pendingLines_);
    FillBackward();
  }
}

template <typename Unit>
int32_t BasicTextEngine<Unit>::ResumePosition() const {
  return pageLines_.empty() ? reader_->Position() : pageLines_.back().end;
}

template <typename Unit>
bool BasicTextEngine<Unit>::IsAtEnd() {
  if (!isOpen) return false;
  if (fillDirection == Fill::kBackward && !pageLines_.empty())
    return ResumePosition() >= reader_->fileLength();
  return reader_->AtEnd() && pendingLines_.empty();
}

template <typename Unit>
void BasicTextEngine<Unit>::GoToStart() {
  if (!isOpen) return;
  savedPosition = 0;
  reader_->Seek(0);
  pendingLines_.clear();
  pageLines_.clear();
  fillDirection = Fill::kForward;
}

template <typename Unit>
void BasicTextEngine<Unit>::SetPosition(int32_t pos) {
  if (!isOpen) return;
  // A place from outside may fall inside a character; the page starts at its beginning.
  reader_->Seek(reader_->PairStartAt(pos));
  savedPosition = reader_->Position();
  pendingLines_.clear();
  pageLines_.clear();
  fillDirection = Fill::kForward;
}

template <typename Unit>
void BasicTextEngine<Unit>::GoToEnd() {
  if (!isOpen) return;
  reader_->SeekEnd();
  pendingLines_.clear();
  pageLines_.clear();
  fillDirection = Fill::kBackward;
}

template <typename Unit>
void BasicTextEngine<Unit>::SetFraction(float f) {
  if (!isOpen) return;
  SetPosition(reader_->SeekFraction(f));
}

template <typename Unit>
void BasicTextEngine<Unit>::PageForward() {
  if (!isOpen || IsAtEnd()) return;
  pageFull = false;
  usedHeight = 0;
  carryLines_.clear();
  // At most capacity - 1 lines are carried, so that every turn shows something new.
  size_t carry = static_cast<size_t>(std::clamp(sharedLines, 0, PageCapacity() - 1));
  carry = std::min(carry, pageLines_.size());
  carryLines_.assign(pageLines_.end() - static_cast<ptrdiff_t>(carry), pageLines_.end());
  if (fillDirection == Fill::kBackward) SetPosition(ResumePosition());
  savedPosition = GetPosition();
  pageLines_.clear();
  fillDirection = Fill::kForward;
  for (Line& line : carryLines_)
    pageLines_.push_back(std::move(line));
  carryLines_.clear();
  ReadOnForward();
}

template <typename Unit>
void BasicTextEngine<Unit>::PageBackward() {
  if (!isOpen) return;
  if (pageLines_.empty() ? !reader_->AtEnd() : pageLines_.front().offset <= reader_->textBegin())
    return;
  usedHeight = 0;
  savedPosition = GetPosition();
  carryLines_.clear();
  size_t carry = static_cast<size_t>(std::clamp(sharedLines, 0, PageCapacity() - 1));
  carry = std::min(carry, pageLines_.size());
  carryLines_.assign(pageLines_.begin(), pageLines_.begin() + static_cast<ptrdiff_t>(carry));
  if (fillDirection == Fill::kForward) {
    SetPosition(pageLines_.empty() ? 0 : pageLines_.front().offset);
    pendingLines_.clear();
  }
  pageFull = false;
  fillDirection = Fill::kBackward;
  pageLines_.clear();
  for (Line& line : carryLines_)
    pageLines_.push_back(std::move(line));
  carryLines_.clear();
  ReadBack();
  // The start of the file was reached: the first page is always laid out from 0 forward.
  if (!pageFull) {
    SetPosition(0);
    PageForward();
  }
}

template <typename Unit>
void BasicTextEngine<Unit>::LineForward() {
  if (!isOpen || IsAtEnd()) return;
  if (fillDirection == Fill::kBackward) {
    reader_->Seek(ResumePosition());
    pendingLines_.clear();
  }
  usedHeight = 0;
  fillDirection = Fill::kForward;
  pageFull = false;
  // The only line stays unless it fills the page (a one-line page must still move).
  if (pageLines_.size() > 1 || (pageLines_.size() == 1 && PageCapacity() <= 1)) {
    pageLines_.pop_front();
  }
  usedHeight = static_cast<int>(pageLines_.size()) * Pitch();
  ReadOnForward();
}

template <typename Unit>
void BasicTextEngine<Unit>::LineBackward() {
  if (!isOpen) return;
  if (pageLines_.empty() ? !reader_->AtEnd() : pageLines_.front().offset <= reader_->textBegin())
    return;
  if (fillDirection == Fill::kForward) {
    reader_->Seek(pageLines_.empty() ? 0 : pageLines_.front().offset);
    pendingLines_.clear();
  }
  usedHeight = 0;
  fillDirection = Fill::kBackward;
  pageFull = false;
  if (pageLines_.size() > 1 || (pageLines_.size() == 1 && PageCapacity() <= 1)) {
    pageLines_.pop_back();
  }
  usedHeight = static_cast<int>(pageLines_.size()) * Pitch();
  ReadBack();
  if (!pageFull) {
    SetPosition(0);
    PageForward();
  }
}

template <typename Unit>
int32_t BasicTextEngine<Unit>::GetPosition() {
  if (!isOpen) return 0;
  return pageLines_.empty() ? savedPosition : pageLines_.front().offset;
}

template <typename Unit>
int32_t BasicTextEngine<Unit>::GetBottomPosition() {
  if (!isOpen || pageLines_.empty()) return 0;
  return pageLines_.back().offset;
}

template <typename Unit>
const CTextLine* BasicTextEngine<Unit>::GetTopLine() {
  return pageLines_.empty() ? nullptr : &pageLines_.front();
}

// ---- Search --------------------------------------------------------------------------------

template <typename Unit>
void BasicTextEngine<Unit>::SetSearchStart(int32_t pos) {
  searchPosition = pos;
  scanStart_ = pos;
  scanIndex_ = -1;
}

template <typename Unit>
void BasicTextEngine<Unit>::SetSearchAfter(int32_t pieceStart, int32_t index) {
  searchPosition = pieceStart;
  scanStart_ = pieceStart;
  scanIndex_ = index;
}

template <typename Unit>
int32_t BasicTextEngine<Unit>::LineHolding(const Buffer& paragraph, int32_t pos) {
  Lines lines;
  wrapCursor = 0;
  WrapParagraph(paragraph, lines);
  for (const Line& line : lines) {
    if (line.offset <= pos && pos < line.offset + line.length) return line.offset;
  }
  return paragraph.start;
}

template <typename Unit>
int32_t BasicTextEngine<Unit>::LineAt(int32_t paragraphStart, int32_t pos) {
  if (!isOpen) return 0;
  PageKeeper keep(*this);
  reader_->Seek(paragraphStart);
  Buffer paragraph;
  if (!reader_->ReadNextParagraph(paragraph)) return paragraphStart;
  return LineHolding(paragraph, pos);
}

template <typename Unit>
int32_t BasicTextEngine<Unit>::FindNext(const std::u16string& text, int32_t* index, int options) {
  if (index) *index = 0;
  if (!isOpen) return 0;
  search_.SetText(text, options);
  // The search reads through the reader but leaves the page where it is.
  PageKeeper keep(*this);
  typename Search::Match match;
  const int32_t from = scanStart_ < 0 ? 0 : scanStart_;
  if (search_.Next(*reader_, from, static_cast<size_t>(scanIndex_ + 1), &match)) {
    scanStart_ = match.pieceStart;
    scanIndex_ = match.index;
    // The match belongs to the display line that holds its first unit.
    searchPosition = LineHolding(search_.piece(), match.begin);
    searchIndex = scanIndex_;
    highlightBegin = match.begin;
    highlightEnd = match.end;
    if (index) *index = searchIndex;
    return searchPosition;
  }
  // Nothing more: the next search starts again at the beginning of the file.
  scanStart_ = -1;
  scanIndex_ = -1;
  searchPosition = -1;
  searchIndex = -1;
  highlightBegin = highlightEnd = -1;
  return -1;
}

// ---- Drawing -------------------------------------------------------------------------------

template <typename Unit>
void BasicTextEngine<Unit>::Render(int flags) {
  if (!offscreen_) return;
  const bool rotated = (flags & kRenderRotated) != 0;
  const int avail = pageRect.right - margins.left - margins.right;
  // The lines run down the first column, then down the next.
  const int perColumn = ColumnCapacity();
  int row = 0;
  int column = 0;
  for (const Line& line : pageLines_) {
    const int x = margins.left + column * columnStep_;
    const int y = margins.top + drawOffset + row * Pitch();
    if (rotated) {
      DrawLine(line, y, pageRect.right - x - line.indent, true, avail - line.indent);
    } else {
      DrawLine(line, x + line.indent, y, false, avail - line.indent);
    }
    if (++row == perColumn && column + 1 < columns_) {
      row = 0;
      ++column;
    }
  }
  drawOffset = 0;
}

template <typename Unit>
void BasicTextEngine<Unit>::DrawLine(const Line& line, int x, int y, bool rotated, int avail) {
  if (line.text.empty()) return;
  if (justify) {
    DrawJustified(line, x, y, rotated, avail);
  } else {
    DrawSegment(line, 0, line.textLength(), x, y, rotated);
  }
}

template <typename Unit>
void BasicTextEngine<Unit>::DrawSegment(const Line& line, int32_t from, int32_t to, int x, int y,
                                        bool rotated) {
  const int32_t begin = std::clamp(highlightBegin - line.offset, from, to);
  const int32_t end = std::clamp(highlightEnd - line.offset, from, to);
  if (highlightBegin < 0 || begin >= end) {
    std::u16string text = line.DisplayText(from, to);
    if (!text.empty()) offscreen_->DrawText(x, y, text);
    return;
  }
  // Before, inside and after the hit, each run placed after the widths of the ones before.
  const Unit* units = line.text.data();
  const int32_t n = line.textLength();
  int advance = 0;
  for (const auto& [runFrom, runTo, inverted] :
       {std::tuple{from, begin, false}, std::tuple{begin, end, true}, std::tuple{end, to, false}}) {
    std::u16string text = line.DisplayText(runFrom, runTo);
    if (!text.empty()) {
      if (inverted) {
        offscreen_->SetTextColor(backColor_);
        offscreen_->SetBackColor(textColor_);
      }
      offscreen_->DrawText(rotated ? x : x + advance, rotated ? y - advance : y, text);
      if (inverted) {
        offscreen_->SetTextColor(textColor_);
        offscreen_->SetBackColor(backColor_);
      }
    }
    for (int32_t i = runFrom; i < runTo; i += GlyphMetrics::CharLength(units, n, i))
      advance += metrics_.CharWidth(units, n, i);
  }
}

template <typename Unit>
void BasicTextEngine<Unit>::DrawJustified(const Line& line, int x0, int y0, bool rotated,
                                          int avail) {
  const Unit* text = line.text.data();
  const int32_t n = line.textLength();
  int units = 0;
  int space = 0;
  for (int32_t i = 0; i < n; ++i) {
    if (IsBlank(text[i])) {
      units += text[i] == 9 ? tabSize : 1;
      space += metrics_.glyphWidth(static_cast<uint8_t>(text[i]));
    }
  }
  if (units == 0) {
    DrawSegment(line, 0, n, x0, y0, rotated);
    return;
  }
  // A continued line ends flush with the right margin, a hanging mark past it; a last line
  // keeps its natural spacing.
  if (line.continued) space += std::max(0, avail - (line.width - line.hang));
  const int share = space / units;
  int rest = space - share * units;
  int x = 0;
  int segX = 0;
  int32_t segStart = 0;
  for (int32_t i = 0; i <= n;) {
    const bool last = i == n;
    const Unit unit = last ? Unit{0} : text[i];
    if (!last && !IsBlank(unit)) {
      x += metrics_.CharWidth(text, n, i);
      i += GlyphMetrics::CharLength(text, n, i);
      continue;
    }
    int32_t from = segStart;
    if (i > 0 && IsBlank(text[from])) ++from;
    if (rest > 0) {
      int d = unit == 9 && tabSize > 1 ? rest % tabSize : 1;
      rest -= d;
      x += d;
    }
    x += unit == 9 ? share * tabSize : share;
    if (rotated) {
      DrawSegment(line, from, i, x0, y0 - segX, true);
    } else {
      DrawSegment(line, from, i, x0 + segX, y0, false);
    }
    segX = x;
    segStart = i;
    ++i;
  }
}

template class BasicTextEngine<uint8_t>;
template class BasicTextEngine<char8_t>;
template class BasicTextEngine<char16_t>;

}  // namespace lirako

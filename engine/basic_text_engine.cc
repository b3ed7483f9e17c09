#include "engine/basic_text_engine.h"

#include <algorithm>
#include <limits>
#include <type_traits>

#include "engine/char_classes.h"
#include "engine/code_table.h"
#include "engine/line_rules.h"
#include "platform/open_reasons.h"
#include "platform/utf.h"

namespace lirako {
namespace {

constexpr size_t kMaxAnchorUnits = 256;

}  // namespace

template <typename Unit>
BasicTextEngine<Unit>::BasicTextEngine(Platform& platform, std::unique_ptr<Reader> reader)
    : CTextEngine(platform), reader_(std::move(reader)) {}

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
  const int avail = pageRect.right - margins.left - margins.right;
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
  while (more) {
    int32_t end = 0;
    int width = 0;
    int hang = 0;
    more = MeasureLine(paragraph, &end, &width, &hang);
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
    line.continued = more ? 1 : 0;
    lines.push_back(std::move(line));
    wrapCursor = end;
  }
  // A line stands for the blanks up to the next line; the last one for the line break too.
  for (size_t i = first; i + 1 < lines.size(); ++i)
    lines[i].end = lines[i + 1].offset;
  lines.back().end = paragraph.end;
}

template <typename Unit>
std::u16string BasicTextEngine<Unit>::DisplayText(const Buffer& paragraph) const {
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
  reader_->Seek(pos);
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
int32_t BasicTextEngine<Unit>::MatchOffset(const Buffer& paragraph, int32_t index) const {
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
bool BasicTextEngine<Unit>::FileUnitsOf(char16_t unit, std::vector<Unit>* units) {
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
std::vector<Unit> BasicTextEngine<Unit>::SearchAnchor(const std::u16string& needle, bool fold) {
  // Folding may map other characters onto letters; Hangul syllables, CJK ideographs and
  // ASCII that is not a letter have no case.
  // With lines joined, a blank may stand for a line break.
  const bool joined = typography.joinLines;
  auto certain = [fold, joined](char16_t u) {
    if (u == 0 || IsLineBreak(u) || u == 0xFFFD || (joined && IsBlank(u))) return false;
    if (!fold) return true;
    if (u < 0x80) return !((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z'));
    return (u >= 0xAC00 && u <= 0xD7A3) || (u >= 0x4E00 && u <= 0x9FFF);
  };
  std::vector<Unit> best;
  std::vector<Unit> run;
  for (char16_t u : needle) {
    std::vector<Unit> units;
    if (certain(u) && FileUnitsOf(u, &units)) {
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
int32_t BasicTextEngine<Unit>::FindNext(const std::u16string& text, int32_t* index, int options) {
  if (index) *index = 0;
  if (!isOpen) return 0;
  const bool fold = (options & kFindMatchCase) == 0;
  std::u16string needle = text;
  if (fold) platform_.FoldCase(needle);
  // The search reads through the reader but leaves the page where it is.
  const typename Reader::Cursor pageCursor = reader_->cursor();
  const int32_t pageWrapCursor = wrapCursor;
  struct RestorePage {
    Reader& reader;
    const typename Reader::Cursor& cursor;
    int32_t& wrapCursor;
    int32_t saved;
    ~RestorePage() {
      reader.Restore(cursor);
      wrapCursor = saved;
    }
  } restore{*reader_, pageCursor, wrapCursor, pageWrapCursor};
  if (!needle.empty()) {
    int32_t from = scanStart_ < 0 ? 0 : scanStart_;
    size_t at = static_cast<size_t>(scanIndex_ + 1);
    const std::vector<Unit> anchor = SearchAnchor(needle, fold);
    // File units the match may begin before the anchor: a display unit comes from one
    // character, which takes at most two bytes of code page 949, three bytes of UTF-8 (four
    // for the two units of a surrogate pair), or one 16-bit unit.
    const size_t unitsPerCharacter = std::is_same_v<Unit, char8_t> ? 3 : sizeof(Unit) == 1 ? 2 : 1;
    const auto lead =
        static_cast<int32_t>(std::min<size_t>(needle.size() * unitsPerCharacter, INT32_MAX));
    reader_->Seek(from);
    bool first = true;
    while (true) {
      // After the first paragraph, go straight to the next one that holds the anchor.
      if (!first && !anchor.empty()) {
        int32_t start = 0;
        if (!reader_->FindParagraphWith(reader_->Position(), anchor, lead, &start)) break;
        // A match may begin on an earlier line of the same joined paragraph.
        if (typography.joinLines) {
          start = std::max(reader_->JoinedParagraphStart(start), reader_->Position());
        }
        if (start != reader_->Position()) reader_->Seek(start);
      }
      if (!reader_->ReadNextParagraph(scratch_)) break;
      first = false;
      std::u16string haystack = DisplayText(scratch_);
      const size_t own = haystack.size();
      if (scratch_.split || scratch_.joinsNext) {
        // The paragraph goes on in the next piece: a match may run on into it.
        const int32_t next = reader_->Position();
        Buffer following;
        if (reader_->ReadNextParagraph(following)) {
          if (scratch_.joinsNext) haystack += u' ';
          haystack += DisplayText(following);
        }
        reader_->Seek(next);
      }
      if (fold) platform_.FoldCase(haystack);
      ptrdiff_t found = platform_.FindText(haystack, needle, at);
      if (found >= 0 && static_cast<size_t>(found) < own) {
        scanStart_ = scratch_.start;
        scanIndex_ = static_cast<int32_t>(found);
        // The match belongs to the display line that holds its first unit.
        int32_t position = scratch_.FilePosition(MatchOffset(scratch_, scanIndex_));
        Lines lines;
        wrapCursor = 0;
        WrapParagraph(scratch_, lines);
        searchPosition = scratch_.start;
        for (const Line& line : lines) {
          if (line.offset <= position && position < line.offset + line.length) {
            searchPosition = line.offset;
            break;
          }
        }
        searchIndex = scanIndex_;
        if (index) *index = searchIndex;
        return searchPosition;
      }
      at = 0;
    }
  }
  // Nothing more: the next search starts again at the beginning of the file.
  scanStart_ = -1;
  scanIndex_ = -1;
  searchPosition = -1;
  searchIndex = -1;
  return -1;
}

// ---- Drawing -------------------------------------------------------------------------------

template <typename Unit>
void BasicTextEngine<Unit>::Render(int flags) {
  if (!offscreen_) return;
  const bool rotated = (flags & kRenderRotated) != 0;
  const int avail = pageRect.right - margins.left - margins.right;
  int y = margins.top + drawOffset;
  for (const Line& line : pageLines_) {
    if (rotated) {
      DrawLine(line, y, pageRect.right - margins.left, true, avail);
    } else {
      DrawLine(line, margins.left, y, false, avail);
    }
    y += Pitch();
  }
  drawOffset = 0;
}

template <typename Unit>
void BasicTextEngine<Unit>::DrawLine(const Line& line, int x, int y, bool rotated, int avail) {
  if (line.text.empty()) return;
  if (justify) {
    DrawJustified(line, x, y, rotated, avail);
  } else {
    DrawSegment(line, 0, line.textLength(), x, y);
  }
}

template <typename Unit>
void BasicTextEngine<Unit>::DrawSegment(const Line& line, int32_t from, int32_t to, int x, int y) {
  std::u16string text = line.DisplayText(from, to);
  if (!text.empty()) offscreen_->DrawText(x, y, text);
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
    DrawSegment(line, 0, n, x0, y0);
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
      DrawSegment(line, from, i, x0, y0 - segX);
    } else {
      DrawSegment(line, from, i, x0 + segX, y0);
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

#include "engine/basic_text_engine.h"

#include <algorithm>
#include <functional>
#include <limits>
#include <optional>
#include <string_view>
#include <vector>

#include "engine/char_classes.h"
#include "platform/open_reasons.h"

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

// ---- Paging --------------------------------------------------------------------------------

template <typename Unit>
PageLayout BasicTextEngine<Unit>::LayoutOfPage() const {
  PageLayout layout = NewPageLayout();
  for (const Line& line : pageLines_)
    layout.Add(line.paragraphEnd);
  return layout;
}

template <typename Unit>
bool BasicTextEngine<Unit>::FitsAbove(const Line& line) const {
  PageLayout layout = NewPageLayout();
  layout.Add(line.paragraphEnd);
  for (const Line& below : pageLines_) {
    if (!layout.Next().fits) return false;
    layout.Add(below.paragraphEnd);
  }
  return true;
}

template <typename Unit>
std::vector<PageLayout::Place> BasicTextEngine<Unit>::PagePlaces() const {
  std::vector<PageLayout::Place> places;
  places.reserve(pageLines_.size());
  PageLayout layout = NewPageLayout();
  for (const Line& line : pageLines_)
    places.push_back(layout.Add(line.paragraphEnd));
  return places;
}

template <typename Unit>
void BasicTextEngine<Unit>::FillForward(PageLayout& layout) {
  while (!pendingLines_.empty()) {
    if (!layout.Next().fits) {
      pageFull = true;
      break;
    }
    layout.Add(pendingLines_.front().paragraphEnd);
    pageLines_.push_back(std::move(pendingLines_.front()));
    pendingLines_.pop_front();
  }
  usedHeight = layout.usedHeight();
}

template <typename Unit>
void BasicTextEngine<Unit>::FillBackward(bool& takeOne, bool fillUp) {
  while (!pendingLines_.empty()) {
    const Line& line = pendingLines_.back();
    const bool fits = (takeOne || fillUp) && FitsAbove(line);
    if (!fits && !takeOne) {
      pageFull = true;
      break;
    }
    // A line step up shows the line above the page even when that pushes more than one line
    // off the foot (a paragraph gap, a column's foot).
    while (!fits && !pageLines_.empty() && !FitsAbove(line))
      pageLines_.pop_back();
    takeOne = false;
    pageLines_.push_front(std::move(pendingLines_.back()));
    pendingLines_.pop_back();
  }
  usedHeight = LayoutOfPage().usedHeight();
}

template <typename Unit>
void BasicTextEngine<Unit>::ReadOnForward() {
  PageLayout layout = LayoutOfPage();
  FillForward(layout);
  while (!pageFull && reader_->ReadNextParagraph(scratch_)) {
    paragraph_ = scratch_;
    wrapCursor = 0;
    WrapParagraph(paragraph_, pendingLines_);
    FillForward(layout);
  }
}

template <typename Unit>
void BasicTextEngine<Unit>::ReadBack(bool takeOne, bool fillUp) {
  FillBackward(takeOne, fillUp);
  while (!pageFull) {
    // The first read after a reposition may give only the line break right before the
    // position: that break ends the line above, and no line of its own stands for it.
    const bool fresh = reader_->readCount() == 0;
    const int32_t from = reader_->Position();
    if (!reader_->ReadPreviousParagraph(scratch_)) break;
    if (fresh && scratch_.length() == 0 && scratch_.textStart == from) continue;
    // Read back from a top line inside its paragraph, the blanks before that line end the line
    // above it, as they do when the paragraph is read forward.
    if (fresh && scratch_.split && scratch_.end == from) {
      int32_t length = scratch_.length();
      while (length > 0 && IsBlank(scratch_[length - 1]))
        --length;
      scratch_.Truncate(length);
    }
    paragraph_ = scratch_;
    wrapCursor = 0;
    WrapParagraph(paragraph_, pendingLines_);
    FillBackward(takeOne, fillUp);
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
  ReadBack(false, true);
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
  // A full page takes the one line above it; one with room left (the book's last) fills up.
  const bool wasFull = pageFull;
  pageFull = false;
  if (pageLines_.size() > 1 || (pageLines_.size() == 1 && PageCapacity() <= 1)) {
    pageLines_.pop_back();
  }
  ReadBack(true, !wasFull);
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
std::vector<DrawnLine> BasicTextEngine<Unit>::DrawnLines() const {
  std::vector<DrawnLine> drawn;
  drawn.reserve(pageLines_.size());
  for (const Line& line : pageLines_) {
    const std::string_view bytes(reinterpret_cast<const char*>(line.text.data()),
                                 line.text.size() * sizeof(Unit));
    drawn.push_back(DrawnLine{line.offset, line.length, line.end, line.width, line.hang,
                              line.indent, line.continued, line.paragraphEnd,
                              std::hash<std::string_view>{}(bytes)});
  }
  return drawn;
}

template <typename Unit>
typename BasicTextEngine<Unit>::Drawer BasicTextEngine<Unit>::NewDrawer(Surface& surface) const {
  typename Drawer::Style style;
  style.justify = justify;
  style.tabSize = tabSize;
  style.textColor = textColor_;
  style.backColor = backColor_;
  style.highlightBegin = highlightBegin;
  style.highlightEnd = highlightEnd;
  return Drawer(surface, metrics_, style);
}

template <typename Unit>
void BasicTextEngine<Unit>::DrawLine(Drawer& drawer, const Line& line, int column, int lineY,
                                     bool rotated) const {
  const int avail = pageRect.right - margins.left - margins.right;
  const int x = margins.left + column * columnStep_;
  const int y = margins.top + drawOffset + lineY;
  if (rotated) {
    drawer.Draw(line, y, pageRect.right - x - line.indent, true, avail - line.indent);
  } else {
    drawer.Draw(line, x + line.indent, y, false, avail - line.indent);
  }
}

template <typename Unit>
void BasicTextEngine<Unit>::DrawPageLines(Surface& surface, bool rotated) const {
  Drawer drawer = NewDrawer(surface);
  PageLayout layout = NewPageLayout();
  for (const Line& line : pageLines_) {
    const PageLayout::Place place = layout.Add(line.paragraphEnd);
    DrawLine(drawer, line, place.column, place.y, rotated);
  }
}

template <typename Unit>
void BasicTextEngine<Unit>::Render(int flags) {
  if (!offscreen_) return;
  const bool rotated = (flags & kRenderRotated) != 0;
  const int perColumn = ColumnCapacity();
  const PaintSetting setting = CurrentSetting(rotated);
  std::vector<DrawnLine> drawn = DrawnLines();
  // A page drawn ahead while the reader looked at the one before is shown as it was drawn.
  if (TakePrepared(setting, perColumn, drawn)) {
    picture_.Remember(setting, perColumn, std::move(drawn));
    drawOffset = 0;
    return;
  }
  if (!offscreen_) return;
  // A kept page moved by a line is moved in the image; only the rows that come into a
  // column are drawn. Rows stand a pitch apart only without paragraph gaps, so a page with
  // gaps is drawn whole.
  const std::optional<int> found = fillPending_ && setting.paragraphGap == 0
                                       ? picture_.Shift(setting, perColumn, drawn)
                                       : std::nullopt;
  const int shift = found.value_or(0);
  const bool moved = found && (shift == 0 || ScrollColumns(shift, rotated));
  if (moved) {
    fillPending_ = false;
    Drawer drawer = NewDrawer(*offscreen_);
    // The lines run down the first column, then down the next, a pitch apart.
    int row = 0;
    int column = 0;
    for (int index = 0; index < columns_ * perColumn; ++index) {
      if (!PagePicture::MovesIn(index, shift, perColumn)) {
        offscreen_->FillSolid(ColumnBand(column, row, row + 1, rotated), backColor_);
        if (index < static_cast<int>(pageLines_.size()))
          DrawLine(drawer, pageLines_[index], column, row * Pitch(), rotated);
      }
      if (++row == perColumn && column + 1 < columns_) {
        row = 0;
        ++column;
      }
    }
  } else {
    FillIfPending();
    DrawPageLines(*offscreen_, rotated);
  }
  picture_.Remember(setting, perColumn, std::move(drawn));
  drawOffset = 0;
}

template <typename Unit>
void BasicTextEngine<Unit>::PrepareTurn(Turn turn, Surface& spare, const Rect& client,
                                        uint32_t textColor, uint32_t backColor, int flags) {
  prepared_.Forget();
  if (!isOpen || !font_ || drawOffset != 0 || (turn == Turn::kForward && IsAtEnd())) return;
  const bool rotated = (flags & kRenderRotated) != 0;
  client_ = client;
  textColor_ = textColor;
  backColor_ = backColor;
  PageState shown = SavePage();
  // A turn takes the search hit's highlight off the page.
  highlightBegin = highlightEnd = -1;
  if (turn == Turn::kForward) {
    PageForward();
  } else {
    PageBackward();
  }
  spare.SetBackColor(backColor);
  spare.SetTextColor(textColor);
  spare.FillSolid(client, backColor);
  DrawPageLines(spare, rotated);
  prepared_.Remember(CurrentSetting(rotated), ColumnCapacity(), DrawnLines());
  RestorePage(std::move(shown));
}

template <typename Unit>
typename BasicTextEngine<Unit>::PageState BasicTextEngine<Unit>::SavePage() {
  PageState state;
  state.cursor = reader_->cursor();
  state.wrapCursor = wrapCursor;
  state.lineIndent = lineIndent_;
  // A turn reads every paragraph it wraps into paragraph_ afresh: the shown one moves aside.
  std::swap(state.paragraph, paragraph_);
  state.pendingLines = pendingLines_;
  state.pageLines = pageLines_;
  state.fillDirection = fillDirection;
  state.pageFull = pageFull;
  state.usedHeight = usedHeight;
  state.savedPosition = savedPosition;
  state.highlightBegin = highlightBegin;
  state.highlightEnd = highlightEnd;
  return state;
}

template <typename Unit>
void BasicTextEngine<Unit>::RestorePage(PageState state) {
  reader_->Restore(state.cursor);
  wrapCursor = state.wrapCursor;
  lineIndent_ = state.lineIndent;
  std::swap(paragraph_, state.paragraph);
  pendingLines_ = std::move(state.pendingLines);
  pageLines_ = std::move(state.pageLines);
  fillDirection = state.fillDirection;
  pageFull = state.pageFull;
  usedHeight = state.usedHeight;
  savedPosition = state.savedPosition;
  highlightBegin = state.highlightBegin;
  highlightEnd = state.highlightEnd;
}

template class BasicTextEngine<uint8_t>;
template class BasicTextEngine<char8_t>;
template class BasicTextEngine<char16_t>;

}  // namespace lirako

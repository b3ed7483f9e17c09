// Joining the lines of a hard-wrapped book into paragraphs, on top of the reader's pieces.
#include <algorithm>

#include "engine/basic_text_reader.h"
#include "engine/char_classes.h"

namespace lirako {
namespace {

template <typename Unit>
bool HasText(const ParagraphBuffer<Unit>& piece) {
  const Unit* text = piece.text();
  return std::any_of(text, text + piece.length(), [](Unit unit) { return !IsBlank(unit); });
}

}  // namespace

template <typename Unit>
bool BasicTextReader<Unit>::PeekUnit(int32_t pos, Unit* unit) {
  if (pos < textBegin_ || pos >= fileLength_) return false;
  if (pos >= chunkStart_ && pos < chunkStart_ + chunkFill_) {
    *unit = chunk_[static_cast<size_t>(pos - chunkStart_)];
    return true;
  }
  return ReadUnits(pos, 1, unit) == 1;
}

template <typename Unit>
bool BasicTextReader<Unit>::IsSingleBreak(int32_t from, int32_t to) {
  Unit first{};
  Unit second{};
  if (to - from == 1) return PeekUnit(from, &first) && IsLineBreak(first);
  return to - from == 2 && PeekUnit(from, &first) && PeekUnit(from + 1, &second) &&
         IsLineBreak(first) && IsLineBreak(second) && first != second;
}

template <typename Unit>
bool BasicTextReader<Unit>::PieceHasTextAt(int32_t pos) {
  const Cursor saved = cursor();
  position_ = pos;
  const bool text = ReadNextPiece(joinPiece_) && HasText(joinPiece_);
  Restore(saved);
  return text;
}

template <typename Unit>
bool BasicTextReader<Unit>::StartsParagraph(int32_t textStart) {
  if (textStart <= textBegin_) return true;
  Unit unit{};
  if (!PeekUnit(textStart - 1, &unit) || !IsLineBreak(unit)) return false;
  if (!joinLines_) return true;
  // Joined lines: the line before holds no text (or the text begins before it).
  int32_t p = textStart - 1;
  if (p > textBegin_ && PeekUnit(p - 1, &unit) && IsLineBreak(unit) &&
      IsSingleBreak(p - 1, textStart)) {
    --p;
  }
  while (p > textBegin_ && PeekUnit(p - 1, &unit) && IsBlank(unit))
    --p;
  return p <= textBegin_ || (PeekUnit(p - 1, &unit) && IsLineBreak(unit));
}

template <typename Unit>
bool BasicTextReader<Unit>::ReadNextJoined(ParagraphBuffer<Unit>& buffer) {
  const int32_t from = position_;
  if (!ReadNextPiece(buffer)) return false;
  // The line the read started in: where it starts and whether it holds text before `from`.
  int32_t lineStart = from;
  bool lineHasText = HasText(buffer);
  Unit before{};
  const int32_t mark = from / splitSpan_ * splitSpan_;
  const bool atCut = mark > 0 && from - mark <= kMaxSplitWindow && SplitPoint(mark) == from;
  if (from > 0 && !atCut && PeekUnit(from - 1, &before) && !IsLineBreak(before)) {
    const Cursor saved = cursor();
    position_ = from;
    behindBreak_ = true;
    if (ReadPreviousPiece(joinPiece_)) {
      lineStart = joinPiece_.textStart;
      lineHasText = lineHasText || HasText(joinPiece_);
    }
    Restore(saved);
  }
  while (!buffer.split && lineHasText && buffer.end < fileLength_) {
    const int32_t breakStart = buffer.FilePosition(buffer.length());
    if (!IsSingleBreak(breakStart, buffer.end)) break;
    if (CutBetween(lineStart, buffer.end)) {
      // The paragraph goes on in the next piece when the next line holds text.
      buffer.joinsNext = PieceHasTextAt(buffer.end);
      break;
    }
    const Cursor saved = cursor();
    if (!ReadNextPiece(joinPiece_) || !HasText(joinPiece_)) {
      Restore(saved);
      break;
    }
    if (buffer.end - breakStart == 2) buffer.doubleBreaks.push_back(buffer.length());
    buffer.Append(Unit{32});
    buffer.Append(joinPiece_.text(), joinPiece_.length());
    buffer.end = joinPiece_.end;
    buffer.split = joinPiece_.split;
    lineStart = joinPiece_.textStart;
  }
  buffer.consumed = position_ - buffer.start;
  return true;
}

template <typename Unit>
bool BasicTextReader<Unit>::ReadPreviousJoined(ParagraphBuffer<Unit>& buffer) {
  const int32_t p = position_;
  if (!ReadPreviousPiece(buffer)) return false;
  if (buffer.length() == 0 && buffer.textStart == p && p < fileLength_) {
    // Only the line break before `p` was read. When it joins two lines, the paragraph before
    // it runs on to `p`.
    const Cursor saved = cursor();
    const int32_t breakStart = buffer.start;
    if (IsSingleBreak(breakStart, p) && PieceHasTextAt(p) && ReadPreviousPiece(joinPiece_) &&
        HasText(joinPiece_) && !CutBetween(joinPiece_.textStart, p)) {
      std::swap(buffer, joinPiece_);
      buffer.end = p;
      buffer.split = false;
      buffer.joinsNext = true;
    } else {
      Restore(saved);
      buffer.consumed = p - buffer.start;
      return true;
    }
  }
  // Whether the last line read holds text, counting the rest of it after `p`.
  bool lineHasText = HasText(buffer);
  Unit unit{};
  const bool endsInsideLine = buffer.textStart + buffer.length() == p;
  if (!lineHasText && endsInsideLine && PeekUnit(p, &unit) && !IsLineBreak(unit)) {
    lineHasText = PieceHasTextAt(p);
  }
  // A read that ends at a line break where the lines are cut goes on in the next piece, as
  // the same piece read forward does.
  if (!buffer.joinsNext && !buffer.split && lineHasText && buffer.end < fileLength_ &&
      CutBetween(buffer.textStart, buffer.end) &&
      IsSingleBreak(buffer.textStart + buffer.length(), buffer.end)) {
    buffer.joinsNext = PieceHasTextAt(buffer.end);
  }
  // The lines before are collected last unit first and turned round at the end.
  buffer.Reverse();
  std::vector<int32_t> reversedDoubles;
  while (lineHasText && buffer.start < buffer.textStart) {
    const int32_t breakStart = buffer.start;
    const int32_t next = buffer.textStart;
    if (!IsSingleBreak(breakStart, next)) break;
    const Cursor saved = cursor();
    if (!ReadPreviousPiece(joinPiece_) || !HasText(joinPiece_) ||
        CutBetween(joinPiece_.textStart, next)) {
      Restore(saved);
      break;
    }
    if (next - breakStart == 2) reversedDoubles.push_back(buffer.length());
    buffer.Append(Unit{32});
    for (int32_t i = joinPiece_.length(); i-- > 0;)
      buffer.Append(joinPiece_[i]);
    buffer.start = joinPiece_.start;
    buffer.textStart = joinPiece_.textStart;
  }
  buffer.Reverse();
  const int32_t last = buffer.length() - 1;
  buffer.doubleBreaks.clear();
  for (auto it = reversedDoubles.rbegin(); it != reversedDoubles.rend(); ++it)
    buffer.doubleBreaks.push_back(last - *it);
  buffer.consumed = p - buffer.start;
  return true;
}

template <typename Unit>
int32_t BasicTextReader<Unit>::JoinedParagraphStart(int32_t pos) {
  const Cursor saved = cursor();
  position_ = pos;
  int32_t start = pos;
  ParagraphBuffer<Unit> paragraph;
  // Read the line at `pos`, then back from its end to the start of its paragraph.
  if (ReadNextPiece(paragraph)) {
    const int32_t end = paragraph.end;
    position_ = end;
    behindBreak_ = false;
    // A read that gives only the line break before `end` (the line's paragraph ends there)
    // is followed by the read of the paragraph itself.
    if (ReadPreviousJoined(paragraph) && paragraph.length() == 0 && paragraph.textStart == end) {
      ReadPreviousJoined(paragraph);
    }
    start = std::min(paragraph.textStart, pos);
  }
  Restore(saved);
  return start;
}

template bool BasicTextReader<uint8_t>::ReadNextJoined(ParagraphBuffer<uint8_t>&);
template bool BasicTextReader<char8_t>::ReadNextJoined(ParagraphBuffer<char8_t>&);
template bool BasicTextReader<char16_t>::ReadNextJoined(ParagraphBuffer<char16_t>&);
template bool BasicTextReader<uint8_t>::ReadPreviousJoined(ParagraphBuffer<uint8_t>&);
template bool BasicTextReader<char8_t>::ReadPreviousJoined(ParagraphBuffer<char8_t>&);
template bool BasicTextReader<char16_t>::ReadPreviousJoined(ParagraphBuffer<char16_t>&);
template int32_t BasicTextReader<uint8_t>::JoinedParagraphStart(int32_t);
template int32_t BasicTextReader<char8_t>::JoinedParagraphStart(int32_t);
template int32_t BasicTextReader<char16_t>::JoinedParagraphStart(int32_t);
template bool BasicTextReader<uint8_t>::StartsParagraph(int32_t);
template bool BasicTextReader<char8_t>::StartsParagraph(int32_t);
template bool BasicTextReader<char16_t>::StartsParagraph(int32_t);

}  // namespace lirako

#include "engine/basic_text_reader.h"

#include <algorithm>
#include <cstring>

namespace lirako {

template <typename Unit>
BasicTextReader<Unit>::BasicTextReader() : chunk_(kChunkSize + 1, Unit{0}) {}

template <typename Unit>
BasicTextReader<Unit>::~BasicTextReader() = default;

template <typename Unit>
void BasicTextReader<Unit>::Open(std::unique_ptr<File> file, int32_t length) {
  Close();
  file_ = std::move(file);
  fileLength_ = file_ ? std::max(length, 0) : 0;
}

template <typename Unit>
void BasicTextReader<Unit>::Close() {
  if (file_) file_->Close();
  file_.reset();
  fileLength_ = 0;
  chunkStart_ = chunkFill_ = 0;
  position_ = readCount_ = 0;
  behindBreak_ = false;
}

template <typename Unit>
bool BasicTextReader<Unit>::Seek(int32_t pos) {
  if (pos < 0 || pos > fileLength_) pos = 0;
  position_ = pos;
  readCount_ = 0;
  behindBreak_ = false;
  // A reposition reads the file afresh, so text the file no longer has is never shown.
  chunkStart_ = chunkFill_ = 0;
  return true;
}

template <typename Unit>
void BasicTextReader<Unit>::Restore(const Cursor& cursor) {
  position_ = std::clamp(cursor.position, 0, fileLength_);
  readCount_ = cursor.readCount;
  behindBreak_ = cursor.behindBreak;
}

template <typename Unit>
void BasicTextReader<Unit>::SeekEnd() {
  position_ = fileLength_;
  readCount_ = 0;
  behindBreak_ = false;
  chunkStart_ = chunkFill_ = 0;
}

template <typename Unit>
void BasicTextReader<Unit>::PrepareUnits(Unit*, int32_t, int32_t) {}

template <typename Unit>
int32_t BasicTextReader<Unit>::ReadUnits(int32_t first, int32_t count, Unit* out) {
  if (!file_ || count <= 0) return 0;
  int64_t byteOffset = static_cast<int64_t>(first) * static_cast<int64_t>(sizeof(Unit));
  if (file_->Seek(byteOffset, SeekOrigin::kStart) != byteOffset) return 0;
  size_t got = file_->Read(out, static_cast<size_t>(count) * sizeof(Unit));
  auto units = static_cast<int32_t>(got / sizeof(Unit));
  PrepareUnits(out, units, first);
  return units;
}

template <typename Unit>
bool BasicTextReader<Unit>::UnitAt(int32_t pos, bool backward, Unit* unit) {
  if (pos < 0 || pos >= fileLength_) return false;
  if (pos < chunkStart_ || pos >= chunkStart_ + chunkFill_) {
    int32_t first = backward ? std::max(0, pos + 1 - kChunkSize) : pos;
    int32_t count = backward ? pos + 1 - first : std::min(kChunkSize, fileLength_ - pos);
    chunkStart_ = first;
    chunkFill_ = ReadUnits(first, count, chunk_.data());
    chunk_[static_cast<size_t>(chunkFill_)] = Unit{0};
    // A short read (the file shrank) leaves the unit outside the chunk: it reads as the end.
    if (pos >= chunkStart_ + chunkFill_) return false;
  }
  *unit = chunk_[static_cast<size_t>(pos - chunkStart_)];
  return true;
}

template <typename Unit>
int32_t BasicTextReader<Unit>::BreakEnd(int32_t pos) {
  Unit units[2] = {};
  int32_t count;
  if (pos >= chunkStart_ && pos + 1 < chunkStart_ + chunkFill_) {
    units[0] = chunk_[static_cast<size_t>(pos - chunkStart_)];
    units[1] = chunk_[static_cast<size_t>(pos - chunkStart_ + 1)];
    count = 2;
  } else {
    // Peek without disturbing the chunk of a backward scan.
    count =
        pos >= 0 && pos < fileLength_ ? ReadUnits(pos, std::min(2, fileLength_ - pos), units) : 0;
  }
  if (count < 1 || !IsLineBreak(units[0])) return pos;
  return count > 1 && IsLineBreak(units[1]) ? pos + 2 : pos + 1;
}

template <typename Unit>
bool BasicTextReader<Unit>::ReadNextParagraph(ParagraphBuffer<Unit>& buffer) {
  buffer.Clear();
  buffer.start = buffer.textStart = position_;
  behindBreak_ = false;
  Unit unit{};
  bool any = false;
  while (UnitAt(position_, false, &unit)) {
    any = true;
    // Take the run of text up to a break or the end of the chunk in one piece.
    const Unit* chunk = chunk_.data() + (position_ - chunkStart_);
    const int32_t available = chunkStart_ + chunkFill_ - position_;
    int32_t run = 0;
    while (run < available && !IsLineBreak(chunk[run]))
      ++run;
    buffer.Append(chunk, run);
    position_ += run;
    if (run < available) {
      ++position_;
      Unit next{};
      if (UnitAt(position_, false, &next) && IsLineBreak(next)) ++position_;
      break;
    }
  }
  if (!any) {
    readCount_ = 0;
    buffer.Clear();
    buffer.start = buffer.textStart = buffer.end = position_;
    return false;
  }
  buffer.consumed = position_ - buffer.start;
  buffer.end = position_;
  ++readCount_;
  return true;
}

template <typename Unit>
bool BasicTextReader<Unit>::ReadPreviousParagraph(ParagraphBuffer<Unit>& buffer) {
  buffer.Clear();
  const int32_t p = position_;
  int32_t q = p;
  Unit unit{};
  if (SkipsBreakAtStart() && !behindBreak_ && UnitAt(q - 1, true, &unit) && IsLineBreak(unit)) {
    --q;
    if (UnitAt(q - 1, true, &unit) && IsLineBreak(unit)) --q;
    ++readCount_;
  }
  const int32_t textEnd = q;
  while (UnitAt(q - 1, true, &unit) && !IsLineBreak(unit)) {
    buffer.Append(unit);
    --q;
  }
  int32_t breakStart = q;
  bool atBreak = q > 0 && UnitAt(q - 1, true, &unit);
  if (atBreak) {
    breakStart = q - 1;
    if (UnitAt(breakStart - 1, true, &unit) && IsLineBreak(unit)) --breakStart;
  } else if (q == textEnd || readCount_ == 0) {
    // The file start, with nothing collected or on the first read after a reposition.
    readCount_ = 0;
    buffer.Clear();
    position_ = q;
    behindBreak_ = false;
    return false;
  }
  buffer.Reverse();
  position_ = breakStart;
  behindBreak_ = atBreak;
  buffer.start = breakStart;
  buffer.textStart = q;
  buffer.consumed = p - breakStart;
  buffer.end = BreakEnd(textEnd);
  ++readCount_;
  return true;
}

template <typename Unit>
bool BasicTextReader<Unit>::FindParagraphWith(int32_t from, const std::vector<Unit>& pattern,
                                              int32_t* start) {
  const auto n = static_cast<int32_t>(pattern.size());
  if (n == 0 || from < 0) return false;
  std::vector<Unit> block(static_cast<size_t>(kScanUnits));
  int32_t paragraph = from;
  // Blocks overlap by n - 1 units so that a match across two of them is seen.
  for (int32_t first = from; first < fileLength_;) {
    int32_t want = std::min(kScanUnits, fileLength_ - first);
    int32_t got = ReadUnits(first, want, block.data());
    if (got < n) return false;
    const Unit* begin = block.data();
    const Unit* end = begin + got;
    const Unit* hit = end;
    if constexpr (sizeof(Unit) == 1) {
      const void* at = memmem(begin, static_cast<size_t>(got), pattern.data(), pattern.size());
      if (at) hit = static_cast<const Unit*>(at);
    } else {
      hit = std::search(begin, end, pattern.begin(), pattern.end());
    }
    const Unit* seen = hit == end ? end - (n - 1) : hit;
    for (const Unit* p = seen; p-- > begin;) {
      if (IsLineBreak(*p)) {
        paragraph = std::max(paragraph, first + static_cast<int32_t>(p - begin) + 1);
        break;
      }
    }
    if (hit != end) {
      *start = paragraph;
      return true;
    }
    if (got < want) return false;
    first += got - (n - 1);
  }
  return false;
}

template <typename Unit>
int32_t BasicTextReader<Unit>::SeekFraction(float f) {
  int32_t target;
  if (f == 1.0f) {
    target = fileLength_;
  } else {
    float product = static_cast<float>(fileLength_) * f;
    // Rounding may carry the product past the last unit; NaN and negatives mean the start.
    if (!(product >= 0.0f)) {
      target = 0;
    } else if (product >= static_cast<float>(fileLength_)) {
      target = fileLength_;
    } else {
      target = std::min(static_cast<int32_t>(product), fileLength_);
    }
  }
  Seek(target);
  ParagraphBuffer<Unit> scratch;
  ReadPreviousParagraph(scratch);
  int32_t result = position_;
  Seek(result);
  return result;
}

template class BasicTextReader<uint8_t>;
template class BasicTextReader<char16_t>;

}  // namespace lirako

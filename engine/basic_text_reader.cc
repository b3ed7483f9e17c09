#include "engine/basic_text_reader.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

#include "engine/char_classes.h"
#include "platform/cp949.h"

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
  splitMarks_[0] = splitMarks_[1] = 0;
}

template <typename Unit>
bool BasicTextReader<Unit>::Seek(int32_t pos) {
  if (pos < 0 || pos > fileLength_) pos = 0;
  position_ = CharacterStartAt(pos);
  readCount_ = 0;
  behindBreak_ = false;
  // A reposition reads the file afresh, so text the file no longer has is never shown.
  chunkStart_ = chunkFill_ = 0;
  return true;
}

template <typename Unit>
int32_t BasicTextReader<Unit>::CharacterStartAt(int32_t pos) {
  pos = std::max(pos, std::min(textBegin_, fileLength_));
  if constexpr (std::is_same_v<Unit, char8_t>) {
    // A sequence is at most four bytes long: three before `pos` and three after tell.
    const int32_t first = std::max(pos - 3, textBegin_);
    Unit bytes[7] = {};
    const int32_t got = ReadUnits(first, std::min(7, fileLength_ - first), bytes);
    if (pos - first < got) pos = first + Utf8CharacterStart(bytes, got, pos - first);
  }
  return pos;
}

template <typename Unit>
int32_t BasicTextReader<Unit>::PairStartAt(int32_t pos) {
  if constexpr (std::is_same_v<Unit, uint8_t>) {
    // No lead byte is below 0x81, so a character starts right after such a byte (and at the
    // text's begin); the bytes pair from the last one before `pos`.
    constexpr int32_t kLookBack = 256;
    if (pos <= textBegin_ || pos >= fileLength_) return pos;
    const int32_t first = std::max(pos - kLookBack, textBegin_);
    Unit bytes[kLookBack + 1] = {};
    const int32_t got = ReadUnits(first, pos - first + 1, bytes);
    const int32_t at = pos - first;
    if (at >= got) return pos;
    int32_t x = at;
    while (x > 0 && bytes[x - 1] >= 0x81)
      --x;
    if (x == 0 && first > textBegin_) return pos;
    while (x < at)
      x += x + 1 < got && IsCp949Pair(bytes[x], bytes[x + 1]) ? 2 : 1;
    if (x > at) return first + x - 2;
  }
  return pos;
}

template <typename Unit>
void BasicTextReader<Unit>::Restore(const Cursor& cursor) {
  position_ = std::clamp(cursor.position, std::min(textBegin_, fileLength_), fileLength_);
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
  if (pos < textBegin_ || pos >= fileLength_) return false;
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
void BasicTextReader<Unit>::SetSplitSpan(int32_t span) {
  splitSpan_ = std::max(span, 16);
  splitMarks_[0] = splitMarks_[1] = 0;
}

namespace {

inline bool IsCutBlank(uint32_t unit) {
  return unit == 32 || unit == 9 || unit == 0x3000;
}

// The first place at or after index `at` of `u` (`count` units) where a character starts, as
// the line breaker pairs the bytes from a known character start; -1 when the units before
// `at` do not tell.
inline int32_t CharacterStart(const uint8_t* u, int32_t count, int32_t at) {
  // No code page 949 lead byte is below 0x81: a character starts right after such a byte.
  int32_t x = at;
  while (x > 0 && u[x - 1] >= 0x81)
    --x;
  if (x == 0) return -1;
  while (x < at)
    x += x + 1 < count && IsCp949Pair(u[x], u[x + 1]) ? 2 : 1;
  return x;
}

// UTF-8: right after the well-formed sequence that holds `at`, else `at`.
inline int32_t CharacterStart(const char8_t* u, int32_t count, int32_t at) {
  const int32_t start = Utf8CharacterStart(u, count, at);
  return start == at ? at : start + Utf8CharLength(u, count, start);
}

inline int32_t CharacterStart(const char16_t* u, int32_t count, int32_t at) {
  const bool insidePair = at > 0 && at < count && u[at - 1] >= 0xD800 && u[at - 1] < 0xDC00 &&
                          u[at] >= 0xDC00 && u[at] < 0xE000;
  return insidePair ? at + 1 : at;
}

}  // namespace

template <typename Unit>
int32_t BasicTextReader<Unit>::SplitPoint(int32_t mark) {
  for (int i = 0; i < 2; ++i) {
    if (splitMarks_[i] == mark) return splitPoints_[i];
  }
  // A cut needs a long run of text: a quarter span before the mark free of breaks, so that
  // the paragraphs of an ordinary book are never cut.
  const int32_t before = splitSpan_ / 4;
  // UTF-8: wide enough to hold the rest of the character that holds the mark (three bytes).
  constexpr int32_t kMinWindow = std::is_same_v<Unit, char8_t> ? 4 : 2;
  const int32_t window = std::clamp(splitSpan_ / 64, kMinWindow, kMaxSplitWindow);
  splitScratch_.resize(static_cast<size_t>(before + window + 1));
  Unit* units = splitScratch_.data();
  int32_t point = -1;
  // Most marks fall into ordinary paragraphs, where a break shortly before the mark settles
  // it: the units just before the mark are read first, the rest only when they hold none.
  const int32_t near = std::min(before, kMaxSplitWindow);
  const int32_t nearGot = ReadUnits(mark - near, near + window + 1, units + (before - near));
  const Unit* nearStart = units + (before - near);
  const bool settled = std::any_of(nearStart, nearStart + std::min(nearGot, near),
                                   [](Unit unit) { return IsLineBreak(unit); });
  const bool whole =
      !settled && nearGot > near && ReadUnits(mark - before, before - near, units) == before - near;
  if (whole) {
    const int32_t got = before - near + nearGot;
    // u(x) is the unit at file position x, for mark - before <= x < mark - before + got.
    auto u = [&](int32_t x) { return units + (x - (mark - before)); };
    const int32_t last = std::min(mark + window, mark - before + got - 1);
    // After the first blank past the mark, else at the first character start past it, else
    // (a long stretch of double-byte text with nothing else) at the mark itself.
    for (int32_t x = mark; x <= last && point < 0; ++x) {
      if (IsCutBlank(*u(x - 1))) point = x;
    }
    if (point < 0) {
      const int32_t start = CharacterStart(units, got, before);
      point = start >= 0 && start - before + mark <= last ? start - before + mark : mark;
    }
    // The cut takes effect only inside text: no break before it in the stretch read, and
    // text right after it.
    if (std::any_of(u(mark - before), u(point) + 1, [](Unit unit) { return IsLineBreak(unit); }))
      point = -1;
  }
  splitMarks_[1] = splitMarks_[0];
  splitPoints_[1] = splitPoints_[0];
  splitMarks_[0] = mark;
  splitPoints_[0] = point;
  return point;
}

template <typename Unit>
int32_t BasicTextReader<Unit>::NextMark(int32_t mark) const {
  return mark >= fileLength_ - splitSpan_ ? fileLength_ : mark + splitSpan_;
}

template <typename Unit>
bool BasicTextReader<Unit>::ReadNextPiece(ParagraphBuffer<Unit>& buffer) {
  buffer.Clear();
  buffer.start = buffer.textStart = position_;
  behindBreak_ = false;
  // The read stops at `limit`: the next mark, where the cut near it is worked out, or that
  // cut. Only a run of text that reaches a mark costs a look at the cut.
  const int32_t span = splitSpan_;
  int32_t mark = position_ / span * span;
  int32_t limit = NextMark(mark);
  bool isCut = false;
  if (mark > 0 && position_ - mark <= kMaxSplitWindow) {
    const int32_t cut = SplitPoint(mark);
    if (cut > position_) {
      limit = cut;
      isCut = true;
    }
  }
  Unit unit{};
  bool any = false;
  while (UnitAt(position_, false, &unit)) {
    if (position_ == limit && !isCut) {
      mark = limit;
      const int32_t cut = SplitPoint(mark);
      isCut = cut >= 0;
      limit = isCut ? cut : NextMark(mark);
    }
    // A run of text that reaches a cut ends there; the next read goes on from it.
    if (position_ == limit && isCut && !IsLineBreak(unit)) {
      buffer.split = true;
      break;
    }
    any = true;
    // Take the run of text up to a break, the cut or the end of the chunk in one piece.
    const Unit* chunk = chunk_.data() + (position_ - chunkStart_);
    int32_t available = chunkStart_ + chunkFill_ - position_;
    if (limit > position_) available = std::min(available, limit - position_);
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
bool BasicTextReader<Unit>::ReadPreviousPiece(ParagraphBuffer<Unit>& buffer) {
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
  // The cut near each mark the read passes going back, worked out when it gets there.
  const int32_t span = splitSpan_;
  int32_t mark = std::max(textEnd - 1, 0) / span * span;
  int32_t cut = mark > 0 ? SplitPoint(mark) : -1;
  bool atCut = false;
  while (UnitAt(q - 1, true, &unit) && !IsLineBreak(unit)) {
    if (q == cut && q < textEnd) {
      atCut = true;
      break;
    }
    if (q == mark && mark > 0) {
      mark -= span;
      cut = mark > 0 ? SplitPoint(mark) : -1;
    }
    buffer.Append(unit);
    --q;
  }
  int32_t breakStart = q;
  const bool atBreak = !atCut && q > 0 && UnitAt(q - 1, true, &unit);
  if (atBreak) {
    breakStart = q - 1;
    if (UnitAt(breakStart - 1, true, &unit) && IsLineBreak(unit)) --breakStart;
  } else if (q == textEnd) {
    // Nothing before the position: the file start, or a file cut short under the reader.
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
  buffer.split = buffer.end == textEnd && textEnd < fileLength_;
  ++readCount_;
  return true;
}

template <typename Unit>
bool BasicTextReader<Unit>::FindParagraphWith(int32_t from, const std::vector<Unit>& original,
                                              int32_t lead, bool foldAscii, int32_t* start) {
  const auto n = static_cast<int32_t>(original.size());
  if (n == 0 || from < 0) return false;
  // Folding the pattern and each block alike finds every place the letters match in either
  // case (and maybe more, which the paragraph's own search sorts out).
  auto fold = [](Unit* units, size_t count) {
    for (size_t i = 0; i < count; ++i) {
      const Unit u = units[i];
      units[i] = static_cast<Unit>(u - Unit{'A'}) < Unit{26} ? static_cast<Unit>(u | 0x20) : u;
    }
  };
  std::vector<Unit> pattern = original;
  if (foldAscii) fold(pattern.data(), pattern.size());
  std::vector<Unit> block(static_cast<size_t>(kScanUnits));
  int32_t paragraph = from;
  // Blocks overlap by n - 1 units so that a match across two of them is seen.
  for (int32_t first = from; first < fileLength_;) {
    int32_t want = std::min(kScanUnits, fileLength_ - first);
    int32_t got = ReadUnits(first, want, block.data());
    if (got < n) return false;
    if (foldAscii) fold(block.data(), static_cast<size_t>(got));
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
      // A long paragraph is read in pieces: start with the piece where the match may begin.
      const int32_t at = first + static_cast<int32_t>(hit - begin);
      const int32_t earliest = std::max(paragraph, at - std::max(lead, 0));
      *start = paragraph;
      for (int32_t mark = earliest / splitSpan_ * splitSpan_; mark > paragraph;
           mark -= splitSpan_) {
        const int32_t cut = SplitPoint(mark);
        if (cut >= 0 && cut <= earliest) {
          *start = std::max(paragraph, cut);
          break;
        }
      }
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
template class BasicTextReader<char8_t>;
template class BasicTextReader<char16_t>;

}  // namespace lirako

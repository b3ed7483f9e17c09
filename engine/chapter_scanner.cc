#include "engine/chapter_scanner.h"

#include <algorithm>
#include <cstring>

#include "engine/code_table.h"
#include "platform/cp949.h"

namespace lirako {
namespace {

constexpr int kLeads = 0xFE - 0x81 + 1;
constexpr int kTrails = 0xFE - 0x41 + 1;
constexpr char32_t kReplacement = 0xFFFD;
// A paragraph longer than this (in bytes, blanks included) is never looked at.
constexpr size_t kMaxParagraphBytes = 4096;

void AppendUtf8(char32_t c, std::string* out) {
  if (c < 0x80) {
    out->push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (c >> 6)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | (c >> 12)));
    out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | (c >> 18)));
    out->push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

// The most bytes a heading of kMaxHeadingCharacters characters takes.
size_t MaxHeadingBytes(TextEncoding encoding) {
  const size_t perCharacter = encoding == TextEncoding::kCp949 ? 2 : 4;
  return HeadingRules::kMaxHeadingCharacters * perCharacter;
}

}  // namespace

std::shared_ptr<const Cp949Snapshot> Cp949Snapshot::Take(Platform& platform) {
  // One conversion of every pair, each followed by a line feed, which no pair converts to.
  std::string bytes;
  bytes.reserve(static_cast<size_t>(kLeads * kTrails * 3));
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x41; trail <= 0xFE; ++trail) {
      bytes.push_back(static_cast<char>(lead));
      bytes.push_back(static_cast<char>(trail));
      bytes.push_back('\n');
    }
  }
  const std::u16string units = ToDisplayText(platform, bytes);
  auto snapshot = std::make_shared<Cp949Snapshot>();
  snapshot->pairs_.assign(static_cast<size_t>(kLeads * kTrails), char16_t{0xFFFD});
  size_t pair = 0;
  size_t from = 0;
  while (pair < snapshot->pairs_.size() && from <= units.size()) {
    size_t to = units.find(u'\n', from);
    if (to == std::u16string::npos) to = units.size();
    if (to == from + 1) snapshot->pairs_[pair] = units[from];
    ++pair;
    from = to + 1;
  }
  return snapshot;
}

char16_t Cp949Snapshot::Pair(uint8_t lead, uint8_t trail) const {
  if (lead < 0x81 || lead > 0xFE || trail < 0x41 || trail > 0xFE) return 0xFFFD;
  return pairs_[static_cast<size_t>((lead - 0x81) * kTrails + (trail - 0x41))];
}

ChapterScanner::ChapterScanner(const HeadingRules& rules, TextEncoding encoding,
                               std::shared_ptr<const Cp949Snapshot> cp949)
    : rules_(rules),
      encoding_(encoding),
      unitBytes_(EncodingUnitSize(encoding)),
      cp949_(std::move(cp949)) {}

uint32_t ChapterScanner::UnitAt(const uint8_t* p) const {
  switch (encoding_) {
    case TextEncoding::kUtf16Le:
      return p[0] | (p[1] << 8);
    case TextEncoding::kUtf16Be:
      return (p[0] << 8) | p[1];
    default:
      return p[0];
  }
}

void ChapterScanner::Decode(const uint8_t* bytes, size_t size) {
  text_.clear();
  if (encoding_ == TextEncoding::kCp949) {
    for (size_t i = 0; i < size;) {
      const uint8_t b = bytes[i];
      if (b < 0x80) {
        text_.push_back(b);
        ++i;
      } else if (i + 1 < size && IsCp949Pair(b, bytes[i + 1])) {
        text_.push_back(cp949_ ? cp949_->Pair(b, bytes[i + 1]) : kReplacement);
        i += 2;
      } else {
        text_.push_back(kReplacement);
        ++i;
      }
    }
  } else if (encoding_ == TextEncoding::kUtf8) {
    for (size_t i = 0; i < size;) {
      const uint8_t b = bytes[i];
      int extra = b >= 0xF0 && b <= 0xF4 ? 3 : b >= 0xE0 ? 2 : b >= 0xC2 && b < 0xE0 ? 1 : 0;
      if (b < 0x80 || extra == 0 || i + static_cast<size_t>(extra) >= size + 0) {
        text_.push_back(b < 0x80 ? b : kReplacement);
        ++i;
        continue;
      }
      char32_t c = b & (0x3F >> extra);
      bool good = true;
      for (int k = 1; k <= extra && good; ++k) {
        const uint8_t next = bytes[i + static_cast<size_t>(k)];
        good = (next & 0xC0) == 0x80;
        c = (c << 6) | (next & 0x3F);
      }
      const char32_t least = extra == 1 ? 0x80 : extra == 2 ? 0x800 : 0x10000;
      if (!good || c < least || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000)) {
        text_.push_back(kReplacement);
        ++i;
        continue;
      }
      text_.push_back(c);
      i += static_cast<size_t>(extra) + 1;
    }
  } else {
    const size_t units = size / 2;
    for (size_t i = 0; i < units; ++i) {
      const char32_t u = UnitAt(bytes + 2 * i);
      if (u >= 0xD800 && u < 0xDC00 && i + 1 < units) {
        const char32_t low = UnitAt(bytes + 2 * (i + 1));
        if (low >= 0xDC00 && low < 0xE000) {
          text_.push_back(0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
          ++i;
          continue;
        }
      }
      text_.push_back(u >= 0xD800 && u < 0xE000 ? kReplacement : u);
    }
  }
}

void ChapterScanner::Consider(const uint8_t* bytes, size_t size, int64_t start, uint32_t ending) {
  if (found_ >= kMaxChapters) return;
  if (size == 0) {
    // The second break of a CR LF (or LF CR) pair ends no empty line.
    if (openBreak_ != 0 && ending != 0 && ending != openBreak_) {
      openBreak_ = 0;
    } else {
      openBreak_ = ending;
      titled_.Empty();
    }
    return;
  }
  openBreak_ = ending;
  if (start >= nextSection_) AddSection(bytes, size, start);
  if (size > kMaxParagraphBytes) return titled_.Long();
  // Most paragraphs are too long to be headings even before decoding: only blanks at
  // either end could bring them down to a heading's length.
  if (size > MaxHeadingBytes(encoding_)) {
    const uint32_t first = UnitAt(bytes);
    const uint32_t last = UnitAt(bytes + size - static_cast<size_t>(unitBytes_));
    auto blankish = [this](uint32_t u) {
      // The first or last unit of a blank: itself in UTF-16, else its first or last byte.
      if (unitBytes_ == 2) return HeadingRules::IsTrimmedBlank(u);
      return u == ' ' || u == '\t' || u >= 0x80;
    };
    if (!blankish(first) && !blankish(last)) return titled_.Long();
  }
  Decode(bytes, size);
  size_t from = 0;
  size_t to = text_.size();
  while (from < to && HeadingRules::IsTrimmedBlank(text_[from]))
    ++from;
  while (to > from && HeadingRules::IsTrimmedBlank(text_[to - 1]))
    --to;
  if (from == to) return titled_.Empty();
  if (to - from > static_cast<size_t>(HeadingRules::kMaxHeadingCharacters)) return titled_.Long();
  const int32_t position = static_cast<int32_t>(start / unitBytes_);
  const std::u32string_view trimmed(text_.data() + from, to - from);
  const bool mayMatch = rules_.hasUserRule() || HeadingRules::MayStartHeading(text_[from]);
  utf8_.clear();
  if (mayMatch || TitledHeadings::LooksLikeTitle(trimmed)) {
    for (char32_t c : trimmed)
      AppendUtf8(c, &utf8_);
  }
  const char* rule = mayMatch ? rules_.Match(trimmed, utf8_) : nullptr;
  titled_.Decoded(position, trimmed, utf8_, rule);
  if (!rule) return;
  ++found_;
  if (callbacks_->found) {
    callbacks_->found(Chapter{position, utf8_, std::string(rule), HeadingRules::LevelOf(rule)});
  }
}

void ChapterScanner::AddSection(const uint8_t* bytes, size_t size, int64_t start) {
  nextSection_ = start + kSectionBytes;
  // The first words: the characters of the paragraph's first bytes, cut after a word.
  Decode(bytes, std::min(size, kSectionNameBytes));
  size_t from = 0;
  while (from < text_.size() && HeadingRules::IsTrimmedBlank(text_[from]))
    ++from;
  size_t to = std::min(text_.size(), from + kSectionNameCharacters);
  if (to < text_.size()) {
    size_t blank = to;
    while (blank > from && !HeadingRules::IsTrimmedBlank(text_[blank]))
      --blank;
    if (blank > from) to = blank;
  }
  std::string title = "구간 " + std::to_string(sections_.size() + 1);
  if (to > from) title += " · ";
  for (size_t i = from; i < to; ++i)
    AppendUtf8(text_[i], &title);
  sections_.push_back(
      Chapter{static_cast<int32_t>(start / unitBytes_), std::move(title), kSectionRuleName, 1});
}

bool ChapterScanner::Scan(File& file, const Callbacks& callbacks, std::string* err) {
  callbacks_ = &callbacks;
  found_ = 0;
  titled_ = TitledHeadings();
  openBreak_ = 0;
  sections_.clear();
  nextSection_ = 0;
  if (file.Seek(0, SeekOrigin::kStart) != 0) {
    if (err) *err = "cannot read the book";
    return false;
  }
  const int64_t size = file.Size();
  const size_t unit = static_cast<size_t>(unitBytes_);
  // The block, after the start of a paragraph that began in the block before (`carry`).
  std::vector<uint8_t> block(blockBytes_);
  std::vector<uint8_t> carry;
  bool carryTooLong = false;
  int64_t carryStart = 0;
  int64_t done = 0;
  // A UTF-8 byte-order mark is no text: the first paragraph starts after it, as the engine
  // reads it.
  if (encoding_ == TextEncoding::kUtf8) {
    uint8_t mark[3] = {};
    if (file.Read(mark, 3) == 3 && mark[0] == 0xEF && mark[1] == 0xBB && mark[2] == 0xBF) {
      done = 3;
    } else if (file.Seek(0, SeekOrigin::kStart) != 0) {
      if (err) *err = "cannot read the book";
      return false;
    }
  }
  while (done < size && found_ < kMaxChapters) {
    if (callbacks.cancel && callbacks.cancel->load(std::memory_order_relaxed)) return false;
    const size_t want =
        static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(blockBytes_), size - done));
    size_t got = file.Read(block.data(), want);
    if (got == 0) break;
    // Whole units only; a last odd byte of a UTF-16 file is no unit.
    got -= got % unit;
    const uint8_t* p = block.data();
    const uint8_t* end = p + got;
    const uint8_t* paragraph = p;
    auto finish = [&](const uint8_t* at) {
      // The paragraph that ends at `at` (a break), perhaps begun in an earlier block.
      const uint32_t ending = UnitAt(at);
      if (!carry.empty() || carryTooLong) {
        if (!carryTooLong &&
            carry.size() + static_cast<size_t>(at - paragraph) <= kMaxParagraphBytes) {
          carry.insert(carry.end(), paragraph, at);
          Consider(carry.data(), carry.size(), carryStart, ending);
        } else {
          openBreak_ = ending;
          titled_.Long();
        }
        carry.clear();
        carryTooLong = false;
      } else {
        Consider(paragraph, static_cast<size_t>(at - paragraph), done + (paragraph - block.data()),
                 ending);
      }
    };
    if (unit == 1) {
      const uint8_t* lf = nullptr;
      const uint8_t* cr = nullptr;
      while (p < end) {
        if (lf < p) {
          lf = static_cast<const uint8_t*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
          if (!lf) lf = end;
        }
        if (cr < p) {
          cr = static_cast<const uint8_t*>(std::memchr(p, '\r', static_cast<size_t>(end - p)));
          if (!cr) cr = end;
        }
        const uint8_t* at = std::min(lf, cr);
        if (at == end) break;
        finish(at);
        p = at + 1;
        paragraph = p;
      }
    } else {
      for (; p < end; p += 2) {
        const uint32_t u = UnitAt(p);
        if (u == '\n' || u == '\r') {
          finish(p);
          paragraph = p + 2;
        }
      }
    }
    // The paragraph still open at the end of the block goes on in the next one.
    if (paragraph < end) {
      if (carry.empty() && !carryTooLong) carryStart = done + (paragraph - block.data());
      if (carry.size() + static_cast<size_t>(end - paragraph) > kMaxParagraphBytes) {
        carry.clear();
        carryTooLong = true;
      } else if (!carryTooLong) {
        carry.insert(carry.end(), paragraph, end);
      }
    }
    done += static_cast<int64_t>(got);
    if (callbacks.progress) callbacks.progress(done);
    if (got < want) break;
  }
  if (!carry.empty() && !carryTooLong) Consider(carry.data(), carry.size(), carryStart, 0);
  titled_.Finish(static_cast<int32_t>(size / unitBytes_));
  callbacks_ = nullptr;
  return true;
}

}  // namespace lirako

#include "bench/support/book_generator.h"

#include <sys/stat.h>

#include <cstdio>
#include <iterator>
#include <utility>
#include <vector>

#include "platform/cp949_converter.h"
#include "platform/utf.h"

namespace lirako::bench {
namespace {

// The 2,350 Wansung syllables are leads B0..C8 with trails A1..FE. The last one (C8 FE) is
// never written, so that a text holding it occurs in no book.
constexpr int kSyllableLeads = 25;
constexpr int kTrailsPerLead = 94;
constexpr int kWrittenSyllables = kSyllableLeads * kTrailsPerLead - 1;
constexpr std::pair<unsigned char, unsigned char> kAbsentPairs[] = {
    {0xB3, 0xAA}, {0xB6, 0xF3}, {0xC8, 0xFE}};

// Extended-region syllables used now and then: leads 81..A0 with trails 41..5A.
constexpr int kExtendedLeads = 0xA0 - 0x81 + 1;
constexpr int kExtendedTrails = 0x5A - 0x41 + 1;

constexpr int kMaxLatinLetters = 12;
constexpr char16_t kAbsentWord[] = u"Hippopotamuses";
static_assert(std::size(kAbsentWord) - 1 > kMaxLatinLetters);

constexpr size_t kFlushBytes = 1 << 20;

// splitmix64: small, fast and the same everywhere.
class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed) {}
  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // Uniform in [0, n).
  int Below(int n) { return static_cast<int>(Next() % static_cast<uint64_t>(n)); }
  // Uniform in [lo, hi].
  int Between(int lo, int hi) { return lo + Below(hi - lo + 1); }
  bool Percent(int p) { return Below(100) < p; }

 private:
  uint64_t state_;
};

// Collects the book's bytes in the chosen encoding and writes them out in large blocks,
// never more than `limit` bytes in all.
class BookWriter {
 public:
  BookWriter(std::FILE* file, int64_t limit, BookEncoding encoding)
      : file_(file), limit_(limit), encoding_(encoding) {
    buffer_.reserve(kFlushBytes + 64);
  }

  bool Full() const { return written_ + static_cast<int64_t>(buffer_.size()) >= limit_; }

  void Ascii(char c) {
    if (encoding_ != BookEncoding::kUtf16Le) {
      buffer_.push_back(c);
    } else {
      Unit(static_cast<char16_t>(static_cast<unsigned char>(c)));
    }
    MaybeFlush();
  }

  void Pair(unsigned char lead, unsigned char trail) {
    if (encoding_ == BookEncoding::kCp949) {
      buffer_.push_back(static_cast<char>(lead));
      buffer_.push_back(static_cast<char>(trail));
    } else if (encoding_ == BookEncoding::kUtf8) {
      const char16_t unit = Cp949Converter::Instance().PairUnit(lead, trail);
      buffer_ += ToUtf8(std::u16string_view(&unit, 1));
    } else {
      Unit(Cp949Converter::Instance().PairUnit(lead, trail));
    }
    MaybeFlush();
  }

  void ByteOrderMark() { Unit(0xFEFF); }

  bool Finish() {
    int64_t keep = limit_ - written_;
    if (static_cast<int64_t>(buffer_.size()) > keep) buffer_.resize(static_cast<size_t>(keep));
    return Flush() && written_ == limit_;
  }

 private:
  void Unit(char16_t u) {
    buffer_.push_back(static_cast<char>(u & 0xFF));
    buffer_.push_back(static_cast<char>(u >> 8));
  }

  void MaybeFlush() {
    if (buffer_.size() >= kFlushBytes) Flush();
  }

  bool Flush() {
    int64_t keep = limit_ - written_;
    if (static_cast<int64_t>(buffer_.size()) > keep) buffer_.resize(static_cast<size_t>(keep));
    size_t done = std::fwrite(buffer_.data(), 1, buffer_.size(), file_);
    written_ += static_cast<int64_t>(done);
    bool ok = done == buffer_.size();
    buffer_.clear();
    return ok;
  }

  std::FILE* file_;
  int64_t limit_;
  BookEncoding encoding_;
  int64_t written_ = 0;
  std::string buffer_;
};

void Syllable(BookWriter& out, Random& random, BookEncoding encoding) {
  if (encoding != BookEncoding::kUtf16Le && random.Below(200) == 0) {
    out.Pair(static_cast<unsigned char>(0x81 + random.Below(kExtendedLeads)),
             static_cast<unsigned char>(0x41 + random.Below(kExtendedTrails)));
    return;
  }
  int s = random.Below(kWrittenSyllables);
  out.Pair(static_cast<unsigned char>(0xB0 + s / kTrailsPerLead),
           static_cast<unsigned char>(0xA1 + s % kTrailsPerLead));
}

// One word; returns the characters written.
int Word(BookWriter& out, Random& random, BookEncoding encoding) {
  int kind = random.Below(100);
  int n = 0;
  if (kind < 70) {
    n = random.Between(1, 6);
    for (int i = 0; i < n; ++i)
      Syllable(out, random, encoding);
  } else if (kind < 85) {
    n = random.Between(1, kMaxLatinLetters);
    bool capital = random.Percent(30);
    for (int i = 0; i < n; ++i) {
      char base = (i == 0 && capital) ? 'A' : 'a';
      out.Ascii(static_cast<char>(base + random.Below(26)));
    }
  } else if (kind < 93) {
    n = random.Between(1, 7);
    for (int i = 0; i < n; ++i)
      out.Ascii(static_cast<char>('0' + random.Below(10)));
  } else {
    static const char kQuotes[] = "\"'()[]";
    char open = kQuotes[random.Below(3) * 2];
    out.Ascii(open);
    n = random.Between(1, 4);
    for (int i = 0; i < n; ++i)
      Syllable(out, random, encoding);
    out.Ascii(open == '(' ? ')' : open == '[' ? ']' : open);
    n += 2;
  }
  return n;
}

void Separator(BookWriter& out, Random& random) {
  int kind = random.Below(100);
  if (kind < 6) {
    static const char kMarks[] = ".,!?;:";
    out.Ascii(kMarks[random.Below(6)]);
    out.Ascii(' ');
  } else if (kind < 8) {
    out.Ascii('\t');
  } else if (kind < 11) {
    out.Ascii(' ');
    out.Ascii(' ');
  } else {
    out.Ascii(' ');
  }
}

void Break(BookWriter& out, Random& random, BookShape shape) {
  int kind = random.Below(100);
  if (shape == BookShape::kUnbroken) {
    out.Ascii(' ');
  } else if (kind < 55) {
    out.Ascii('\r');
    out.Ascii('\n');
  } else if (kind < 80) {
    out.Ascii('\n');
  } else if (kind < 90) {
    out.Ascii('\r');
  } else {
    out.Ascii('\n');
    out.Ascii('\r');
  }
}

int ParagraphLength(Random& random) {
  int kind = random.Below(100);
  if (kind < 70) return random.Between(20, 300);
  if (kind < 95) return random.Between(300, 1500);
  return random.Between(1500, 6000);
}

void Paragraph(BookWriter& out, Random& random, BookEncoding encoding, BookShape shape) {
  if (random.Percent(8)) {
    Break(out, random, shape);
    return;
  }
  int opening = random.Below(100);
  if (opening < 5) {
    out.Ascii('\t');
  } else if (opening < 10) {
    out.Ascii(' ');
    out.Ascii(' ');
  } else if (opening < 15) {
    out.Ascii(' ');
  }
  int target = ParagraphLength(random);
  for (int n = 0; n < target && !out.Full();) {
    if (n > 0) Separator(out, random);
    n += Word(out, random, encoding) + 1;
  }
  if (random.Percent(70)) out.Ascii('.');
  Break(out, random, shape);
}

}  // namespace

bool WriteBook(const std::string& path, int64_t size, BookEncoding encoding, uint64_t seed,
               BookShape shape) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  Random random(seed);
  BookWriter out(file, size, encoding);
  if (encoding == BookEncoding::kUtf16Le) out.ByteOrderMark();
  while (!out.Full())
    Paragraph(out, random, encoding, shape);
  bool ok = out.Finish();
  return std::fclose(file) == 0 && ok;
}

bool EnsureBook(const std::string& path, int64_t size, BookEncoding encoding, uint64_t seed,
                BookShape shape) {
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0 && st.st_size == size) return true;
  return WriteBook(path, size, encoding, seed, shape);
}

// "나라" and the syllable that is never written. No byte of it in either encoding is 0, CR or
// LF, so grep can take the same bytes on its command line.
std::u16string AbsentText() {
  std::u16string text;
  for (const auto& [lead, trail] : kAbsentPairs) {
    text.push_back(Cp949Converter::Instance().PairUnit(lead, trail));
  }
  return text;
}

std::string AbsentTextBytes(BookEncoding encoding) {
  std::string bytes;
  if (encoding == BookEncoding::kCp949) {
    for (const auto& [lead, trail] : kAbsentPairs) {
      bytes.push_back(static_cast<char>(lead));
      bytes.push_back(static_cast<char>(trail));
    }
    return bytes;
  }
  if (encoding == BookEncoding::kUtf8) return ToUtf8(AbsentText());
  for (char16_t u : AbsentText()) {
    bytes.push_back(static_cast<char>(u & 0xFF));
    bytes.push_back(static_cast<char>(u >> 8));
  }
  return bytes;
}

std::u16string AbsentWord() {
  return kAbsentWord;
}

std::u16string FrequentText() {
  return u"\uAC00";  // B0 A1, the first Wansung syllable
}

}  // namespace lirako::bench

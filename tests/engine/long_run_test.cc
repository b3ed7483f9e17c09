// Text that runs on without line breaks: the reader delivers it in pieces cut at fixed places,
// and the engine pages, jumps, turns back and searches through such a book as through any.

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "engine/mbcs_text_engine.h"
#include "engine/mbcs_text_reader.h"
#include "engine/unicode_text_engine.h"
#include "engine/unicode_text_reader.h"
#include "platform/cp949.h"
#include "tests/engine/engine_test_util.h"
#include "tests/support/temp_dir.h"

namespace lirako {
namespace {

using testing::OpenReader;
using testing::TempDir;
using testing::UnitsOf;
using testing::Utf16File;

// A book as the reader's units; unit 0 of a UTF-16 book stands for its byte-order mark.
template <typename Unit>
struct UnitBook {
  std::vector<char16_t> units;

  void Add(char16_t u) { units.push_back(u); }
  void Add(const std::string& ascii) {
    for (char c : ascii)
      Add(static_cast<char16_t>(c));
  }
  // One Hangul syllable: two bytes of code page 949, or one unit.
  void Syllable(std::mt19937& random) {
    if constexpr (sizeof(Unit) == 1) {
      Add(static_cast<char16_t>(0xB0 + random() % 0x19));
      Add(static_cast<char16_t>(0xA1 + random() % 0x5E));
    } else {
      Add(static_cast<char16_t>(0xAC00 + random() % 11172));
    }
  }
  int32_t size() const { return static_cast<int32_t>(units.size()); }
  std::string FileBytes() const {
    if constexpr (sizeof(Unit) == 1) {
      return std::string(units.begin(), units.end());
    } else {
      return Utf16File(std::u16string(units.begin() + 1, units.end()));
    }
  }
  // The units as the reader delivers them: the byte-order mark reads as a blank.
  char16_t At(int32_t pos) const {
    return sizeof(Unit) == 2 && pos == 0 ? u' ' : units[static_cast<size_t>(pos)];
  }
};

struct Piece {
  int32_t textStart;
  int32_t end;
  bool split;
  std::u16string text;
  bool operator==(const Piece&) const = default;
};

void PrintTo(const Piece& piece, std::ostream* out) {
  *out << "{" << piece.textStart << ".." << piece.end << (piece.split ? " split" : "") << ", "
       << piece.text.size() << " units}";
}

template <typename Reader>
Piece PieceOf(const ParagraphBuffer<typename Reader::UnitType>& b) {
  return Piece{b.textStart, b.end, b.split, UnitsOf(b)};
}

template <typename Reader>
std::vector<Piece> Forward(Reader& reader, int32_t from) {
  std::vector<Piece> out;
  ParagraphBuffer<typename Reader::UnitType> b;
  reader.Seek(from);
  while (reader.ReadNextParagraph(b))
    out.push_back(PieceOf<Reader>(b));
  return out;
}

template <typename Reader>
std::vector<Piece> Backward(Reader& reader) {
  std::vector<Piece> out;
  ParagraphBuffer<typename Reader::UnitType> b;
  reader.SeekEnd();
  while (reader.ReadPreviousParagraph(b))
    out.insert(out.begin(), PieceOf<Reader>(b));
  return out;
}

bool IsHighSurrogate(char16_t u) {
  return u >= 0xD800 && u < 0xDC00;
}

template <typename Reader>
class LongRunTest : public ::testing::Test {};

using Readers = ::testing::Types<CMbcsTextReader, CUnicodeTextReader>;
TYPED_TEST_SUITE(LongRunTest, Readers);

// A book of short paragraphs, then a long run of words, then a long run of syllables without
// a blank (surrogate pairs in UTF-16), read with a span of 512 units: forward and backward
// reads cut it into the same pieces, only the long runs are cut, the cuts follow a blank
// when one is near and never split a character, and no piece is much longer than the span.
TYPED_TEST(LongRunTest, CutsLongRunsAtTheSamePlacesEitherWay) {
  using Reader = TypeParam;
  using Unit = typename Reader::UnitType;
  constexpr int32_t kSpan = 512;
  std::mt19937 random(7);
  UnitBook<Unit> book;
  if (sizeof(Unit) == 2) book.Add(u'\xFEFF');
  // Short paragraphs over several marks: each shorter than a quarter span.
  for (int i = 0; i < 40; ++i) {
    int syllables = static_cast<int>(random() % 50);
    for (int k = 0; k < syllables; ++k) {
      book.Syllable(random);
      if (random() % 4 == 0) book.Add(u' ');
    }
    book.Add(u'\n');
  }
  const int32_t wordsStart = book.size();
  while (book.size() < wordsStart + 8 * kSpan) {
    // Words short enough that a blank lies within the stretch searched after each mark.
    for (int k = 0, n = 1 + static_cast<int>(random() % 3); k < n; ++k)
      book.Syllable(random);
    book.Add(u' ');
  }
  book.Add(u'\n');
  // Syllables without blanks: with a full stop now and then in byte text, as the pairing
  // of the bytes before a cut is worked out from the last single byte (within a quarter
  // span before the mark).
  const int32_t solidStart = book.size();
  while (book.size() < solidStart + 5 * kSpan) {
    if constexpr (sizeof(Unit) == 1) {
      for (int k = 0, n = 10 + static_cast<int>(random() % 40); k < n; ++k)
        book.Syllable(random);
      book.Add(u'.');
    } else {
      book.Add(u'\xD840');
      book.Add(static_cast<char16_t>(0xDC00 + random() % 0x400));
    }
  }

  TempDir dir;
  HeadlessPlatform platform;
  Reader reader;
  OpenReader(reader, platform, dir.Write("b.txt", book.FileBytes()), sizeof(Unit));
  reader.SetSplitSpan(kSpan);
  ASSERT_EQ(reader.fileLength(), book.size());
  // Where the characters of the book start, pairing its bytes from the first.
  std::set<int32_t> starts;
  for (int32_t x = 0; x < book.size();) {
    starts.insert(x);
    const bool pair =
        sizeof(Unit) == 1 && x + 1 < book.size() &&
        IsCp949Pair(static_cast<uint8_t>(book.At(x)), static_cast<uint8_t>(book.At(x + 1)));
    const bool surrogates = sizeof(Unit) == 2 && IsHighSurrogate(book.At(x));
    x += pair || surrogates ? 2 : 1;
  }

  std::vector<Piece> forward = Forward(reader, 0);
  EXPECT_EQ(Backward(reader), forward);

  int32_t expected = 0;
  int splitBeforeWords = 0;
  int cutsInWords = 0;
  for (const Piece& piece : forward) {
    SCOPED_TRACE(piece.textStart);
    // The pieces hold every unit of the book once, in order, breaks aside.
    while (expected < piece.textStart) {
      ASSERT_TRUE(book.At(expected) == 10 || book.At(expected) == 13);
      ++expected;
    }
    ASSERT_EQ(piece.textStart, expected);
    for (char16_t u : piece.text)
      ASSERT_EQ(u, book.At(expected++));
    EXPECT_LE(static_cast<int32_t>(piece.text.size()), kSpan + kSpan / 64);
    if (!piece.split) continue;
    // A cut: text on both sides, between two characters.
    EXPECT_EQ(piece.end, expected);
    EXPECT_NE(book.At(piece.end), 10);
    EXPECT_NE(book.At(piece.end), 13);
    if (piece.end < wordsStart) ++splitBeforeWords;
    if (piece.end < solidStart) {
      ++cutsInWords;
      EXPECT_EQ(book.At(piece.end - 1), u' ');
    } else {
      EXPECT_TRUE(starts.count(piece.end)) << "a cut inside a character";
    }
  }
  EXPECT_EQ(expected, book.size());
  EXPECT_EQ(splitBeforeWords, 0) << "a short paragraph was cut";
  EXPECT_GE(cutsInWords, 6);
  EXPECT_EQ(forward.back().split, false);

  // Reading from any place inside a piece ends at that piece's end; reading back from it
  // starts at the piece's start.
  ParagraphBuffer<Unit> b;
  for (size_t i = 0; i < forward.size(); i += 3) {
    const Piece& piece = forward[i];
    const int32_t length = static_cast<int32_t>(piece.text.size());
    if (length < 2) continue;
    const int32_t inside = piece.textStart + 1 + static_cast<int32_t>(random() % (length - 1));
    reader.Seek(inside);
    ASSERT_TRUE(reader.ReadNextParagraph(b));
    EXPECT_EQ(b.end, piece.end);
    EXPECT_EQ(b.split, piece.split);
    reader.Seek(inside);
    ASSERT_TRUE(reader.ReadPreviousParagraph(b));
    EXPECT_EQ(b.textStart, piece.textStart);
    EXPECT_EQ(UnitsOf(b), piece.text.substr(0, static_cast<size_t>(inside - piece.textStart)));
  }

  // A fraction inside the long run lands on the start of the piece that holds it.
  const int32_t target = static_cast<int32_t>(static_cast<float>(book.size()) * 0.5f);
  const int32_t landed = reader.SeekFraction(0.5f);
  auto holder = std::find_if(forward.begin(), forward.end(), [&](const Piece& p) {
    return p.textStart <= target && target < p.textStart + static_cast<int32_t>(p.text.size());
  });
  ASSERT_NE(holder, forward.end());
  ASSERT_TRUE(holder->textStart > wordsStart) << "the middle is not inside the long run";
  EXPECT_EQ(landed, holder->textStart);
}

// The search's skip to the paragraph that holds a text starts at the piece where a match
// that begins `lead` units before the text would begin.
TEST(LongRun, SearchSkipStartsAtThePieceWhereTheMatchMayBegin) {
  constexpr int32_t kSpan = 256;
  std::string text;
  while (text.size() < 3 * kSpan)
    text += "abc de ";
  // The first blank after the mark at 512 is the one inside "XY ZW": the cut falls after it.
  text.resize(2 * kSpan - 4, 'q');
  text += "qqqXY ZW";
  ASSERT_EQ(text.find("XY ZW"), 2 * kSpan - 1u);
  while (text.size() < 4 * kSpan)
    text += " fgh";
  TempDir dir;
  HeadlessPlatform platform;
  CMbcsTextReader reader;
  OpenReader(reader, platform, dir.Write("b.txt", text), 1);
  reader.SetSplitSpan(kSpan);
  const int32_t cut = 2 * kSpan + 2;
  ParagraphBuffer<uint8_t> b;
  reader.Seek(2 * kSpan - 10);
  ASSERT_TRUE(reader.ReadNextParagraph(b));
  ASSERT_TRUE(b.split);
  ASSERT_EQ(b.end, cut);

  const std::vector<uint8_t> zw = {'Z', 'W'};
  int32_t start = -1;
  ASSERT_TRUE(reader.FindParagraphWith(0, zw, 0, false, &start));
  EXPECT_EQ(start, cut);
  ASSERT_TRUE(reader.FindParagraphWith(0, zw, 3, false, &start));
  // The piece before the cut: it starts at the cut near the mark at 256.
  reader.Seek(start);
  ASSERT_TRUE(reader.ReadNextParagraph(b));
  EXPECT_EQ(b.end, cut);
  EXPECT_GT(start, 0);
  // Never before `from`.
  ASSERT_TRUE(reader.FindParagraphWith(cut - 1, zw, 100, false, &start));
  EXPECT_EQ(start, cut - 1);
}

// A whole book without a line break, at the real split span, in both engines.
template <typename Engine>
class UnbrokenBookTest : public ::testing::Test {
 protected:
  using Unit = typename Engine::Reader::UnitType;

  void Open(int32_t units) {
    std::mt19937 random(3);
    if (sizeof(Unit) == 2) book_.Add(u'\xFEFF');
    while (book_.size() < units) {
      for (int k = 0, n = 1 + static_cast<int>(random() % 5); k < n; ++k)
        book_.Syllable(random);
      book_.Add(random() % 9 == 0 ? ", " : " ");
    }
    ASSERT_TRUE(engine_.Load(FromUtf8(dir_.Write("u.txt", book_.FileBytes()))));
    ASSERT_EQ(engine_.GetSize(), book_.size());
    // 30 lines of about 40 characters.
    testing::PrepareEngine(engine_, platform_, 480, 30 * 17 + 12, Rect{6, 5, 6, 5}, 1, 0, true);
  }

  int32_t Top() { return engine_.GetPosition(); }
  int32_t BottomEnd() { return engine_.pageLines().back().end; }

  TempDir dir_;
  HeadlessPlatform platform_;
  Engine engine_{platform_};
  UnitBook<Unit> book_;
};

using Engines = ::testing::Types<CMbcsTextEngine, CUnicodeTextEngine>;
TYPED_TEST_SUITE(UnbrokenBookTest, Engines);

TYPED_TEST(UnbrokenBookTest, PagesJumpsAndTurnsBackLikeAnyBook) {
  constexpr int32_t kSpan = BasicTextReader<uint8_t>::kSplitSpan;
  this->Open(5 * kSpan + 777);
  auto& engine = this->engine_;
  const int32_t size = engine.GetSize();

  // Every page forward from the start: the lines tile the book.
  std::set<int32_t> forwardLines;
  engine.GoToStart();
  engine.PageForward();
  int32_t expected = engine.pageLines().front().offset;
  EXPECT_LE(expected, 1);
  for (int guard = 0; guard < 10000 && !engine.pageLines().empty(); ++guard) {
    for (const auto& line : engine.pageLines()) {
      ASSERT_EQ(line.offset, expected);
      expected = line.end;
      forwardLines.insert(line.offset);
    }
    if (engine.IsAtEnd()) break;
    engine.PageForward();
  }
  EXPECT_EQ(expected, size);

  // From the end back to the start: the last page ends the book, each page ends where the
  // one after it started, and the lines are the same as going forward.
  engine.GoToEnd();
  engine.PageBackward();
  ASSERT_FALSE(engine.pageLines().empty());
  EXPECT_EQ(this->BottomEnd(), size);
  std::set<int32_t> backwardLines;
  for (int guard = 0; guard < 10000; ++guard) {
    for (const auto& line : engine.pageLines())
      backwardLines.insert(line.offset);
    const int32_t top = this->Top();
    engine.PageBackward();
    if (this->Top() == top) break;
    if (this->Top() > 1) {
      ASSERT_EQ(this->BottomEnd(), top);
    } else {
      // The first page is laid out afresh from the start.
      ASSERT_GE(this->BottomEnd(), top);
    }
  }
  EXPECT_LE(this->Top(), 1);
  EXPECT_EQ(backwardLines, forwardLines);

  // A jump lands within one piece before its target, and pages on from there.
  for (float f : {0.25f, 0.5f, 0.99f}) {
    engine.SetFraction(f);
    const int32_t target = static_cast<int32_t>(static_cast<float>(size) * f);
    EXPECT_LE(this->Top(), target);
    EXPECT_GE(this->Top(), target - kSpan - kSpan / 64) << f;
    engine.PageForward();
    ASSERT_FALSE(engine.pageLines().empty());
    EXPECT_TRUE(forwardLines.count(engine.pageLines().back().offset)) << f;
  }

  // A turn back from deep inside the first piece shows the page right before, not the first.
  engine.SetPosition(*std::next(forwardLines.begin(), 300));
  engine.PageForward();
  const int32_t top = this->Top();
  engine.PageBackward();
  EXPECT_EQ(this->BottomEnd(), top);
  EXPECT_GT(this->Top(), 1);
}

TYPED_TEST(UnbrokenBookTest, SearchFindsEveryOccurrenceAcrossTheCuts) {
  using Unit = typename TestFixture::Unit;
  constexpr int32_t kSpan = BasicTextReader<uint8_t>::kSplitSpan;
  auto& book = this->book_;
  if (sizeof(Unit) == 2) book.Add(u'\xFEFF');
  // "XY ZW" across every cut (the first blank after each mark is its own), and "QQ" in
  // between.
  std::vector<int32_t> xyAt;
  std::vector<int32_t> qqAt;
  for (int32_t mark = kSpan; mark <= 4 * kSpan; mark += kSpan) {
    while (book.size() < mark - kSpan / 2)
      book.Add("abc de ");
    qqAt.push_back(book.size());
    book.Add("QQ ");
    while (book.size() < mark - 1)
      book.Add(u'q');
    xyAt.push_back(book.size());
    book.Add("XY ZW");
  }
  book.Add(" end");
  auto& engine = this->engine_;
  ASSERT_TRUE(engine.Load(FromUtf8(this->dir_.Write("s.txt", book.FileBytes()))));
  testing::PrepareEngine(engine, this->platform_, 480, 30 * 17 + 12, Rect{6, 5, 6, 5}, 1, 0, true);
  // Every occurrence is found once, in order, and each result is the line that holds it.
  auto expectFinds = [&](const std::u16string& text, const std::vector<int32_t>& at) {
    SCOPED_TRACE(ToUtf8(text));
    std::vector<int32_t> results;
    engine.SetSearchStart(0);
    for (int guard = 0; guard < 100; ++guard) {
      int32_t index = 0;
      const int32_t result = engine.FindNext(text, &index, 1);
      if (result == -1) break;
      results.push_back(result);
    }
    ASSERT_EQ(results.size(), at.size());
    for (size_t i = 0; i < results.size(); ++i) {
      engine.SetPosition(results[i]);
      engine.PageForward();
      const auto& line = engine.pageLines().front();
      EXPECT_LE(line.offset, at[i]);
      EXPECT_LT(at[i], line.offset + line.length) << "match " << i;
    }
  };
  expectFinds(u"XY ZW", xyAt);
  expectFinds(u"QQ", qqAt);
}

}  // namespace
}  // namespace lirako

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine/mbcs_text_reader.h"
#include "engine/unicode_text_reader.h"
#include "tests/engine/engine_test_util.h"
#include "tests/support/temp_dir.h"

namespace lirako {
namespace {

using testing::OpenReader;
using testing::TempDir;
using testing::UnitsOf;
using testing::Utf16File;

template <typename Reader>
std::vector<std::u16string> ReadAllForward(Reader& reader) {
  std::vector<std::u16string> out;
  ParagraphBuffer<typename Reader::UnitType> buffer;
  reader.Seek(0);
  while (reader.ReadNextParagraph(buffer))
    out.push_back(UnitsOf(buffer));
  return out;
}

template <typename Reader>
std::vector<std::u16string> ReadAllBackward(Reader& reader) {
  std::vector<std::u16string> out;
  ParagraphBuffer<typename Reader::UnitType> buffer;
  reader.SeekEnd();
  while (reader.ReadPreviousParagraph(buffer))
    out.insert(out.begin(), UnitsOf(buffer));
  return out;
}

TEST(MbcsTextReader, ReadsParagraphsForwardWithBreakPairs) {
  TempDir dir;
  HeadlessPlatform platform;
  CMbcsTextReader reader;
  OpenReader(reader, platform, dir.Write("a.txt", "a\r\n\r\nb\n\nc\n\r\rd\r\r\re"), 1);
  ParagraphBuffer<uint8_t> p;
  std::vector<std::u16string> got;
  std::vector<int32_t> starts;
  std::vector<int32_t> consumed;
  while (reader.ReadNextParagraph(p)) {
    got.push_back(UnitsOf(p));
    starts.push_back(p.start);
    consumed.push_back(p.consumed);
  }
  EXPECT_EQ(got, (std::vector<std::u16string>{u"a", u"", u"b", u"c", u"", u"d", u"", u"e"}));
  EXPECT_EQ(starts, (std::vector<int32_t>{0, 3, 5, 8, 11, 12, 15, 16}));
  EXPECT_EQ(consumed, (std::vector<int32_t>{3, 2, 3, 3, 1, 3, 1, 1}));
  EXPECT_TRUE(reader.AtEnd());
  EXPECT_FALSE(reader.ReadNextParagraph(p));
  EXPECT_EQ(p.length(), 0);
}

TEST(MbcsTextReader, BreakPairSplitAcrossChunksIsOneBreak) {
  TempDir dir;
  HeadlessPlatform platform;
  // CR is the last byte of the first forward chunk; LF is the first byte of the first
  // backward chunk read from the end.
  std::string text = std::string(2047, 'a') + "\r\n" + std::string(2047, 'b');
  CMbcsTextReader reader;
  OpenReader(reader, platform, dir.Write("a.txt", text), 1);
  auto forward = ReadAllForward(reader);
  ASSERT_EQ(forward.size(), 2u);
  EXPECT_EQ(forward[0], std::u16string(2047, u'a'));
  EXPECT_EQ(forward[1], std::u16string(2047, u'b'));
  auto backward = ReadAllBackward(reader);
  EXPECT_EQ(backward, forward);
  // The backward read of the first paragraph stopped at the break and started at its first unit.
  ParagraphBuffer<uint8_t> p;
  reader.SeekEnd();
  ASSERT_TRUE(reader.ReadPreviousParagraph(p));
  EXPECT_EQ(p.start, 2047);
  EXPECT_EQ(p.textStart, 2049);
  EXPECT_EQ(p.consumed, 2049);
  EXPECT_EQ(reader.Position(), 2047);
}

TEST(UnicodeTextReader, BreakPairSplitAcrossChunksIsOneBreak) {
  TempDir dir;
  HeadlessPlatform platform;
  // Unit 0 is the mark: CR at unit 2047, LF at 2048.
  std::u16string text = std::u16string(2046, u'a') + u"\r\n" + std::u16string(2047, u'b');
  CUnicodeTextReader reader;
  OpenReader(reader, platform, dir.Write("u.txt", Utf16File(text)), 2);
  auto forward = ReadAllForward(reader);
  ASSERT_EQ(forward.size(), 2u);
  EXPECT_EQ(forward[0], u" " + std::u16string(2046, u'a'));
  EXPECT_EQ(ReadAllBackward(reader), forward);
}

TEST(MbcsTextReader, LongParagraphsReadWholeAndGrowTheBuffer) {
  TempDir dir;
  HeadlessPlatform platform;
  std::string longLine;
  for (int i = 0; i < 5000; ++i)
    longLine += static_cast<char>('a' + i % 26);
  CMbcsTextReader reader;
  OpenReader(reader, platform, dir.Write("a.txt", "x\n" + longLine + "\ny"), 1);
  ParagraphBuffer<uint8_t> p;
  ASSERT_TRUE(reader.ReadNextParagraph(p));
  ASSERT_TRUE(reader.ReadNextParagraph(p));
  EXPECT_EQ(p.length(), 5000);
  EXPECT_EQ(p.capacity() % 1024, 0);
  EXPECT_GT(p.capacity(), p.length());
  EXPECT_EQ(p.text()[p.length()], 0);
  std::u16string expected(longLine.begin(), longLine.end());
  EXPECT_EQ(UnitsOf(p), expected);
  reader.SeekEnd();
  ASSERT_TRUE(reader.ReadPreviousParagraph(p));
  EXPECT_EQ(UnitsOf(p), u"y");
  ASSERT_TRUE(reader.ReadPreviousParagraph(p));
  EXPECT_EQ(UnitsOf(p), expected);
  EXPECT_EQ(p.textStart, 2);
  EXPECT_EQ(p.start, 1);
}

TEST(UnicodeTextReader, SwapsBigEndianAndShowsTheMarkAsABlank) {
  TempDir dir;
  HeadlessPlatform platform;
  // A zero unit inside the text is swapped like any other unit.
  std::u16string text = std::u16string(u"\uD55CA") + char16_t{0} + u"B\n\uAE00";
  for (bool big : {false, true}) {
    CUnicodeTextReader reader;
    reader.SetByteOrder(big ? 0 : 1);
    OpenReader(reader, platform, dir.Write("u.txt", Utf16File(text, big)), 2);
    auto paragraphs = ReadAllForward(reader);
    ASSERT_EQ(paragraphs.size(), 2u) << big;
    EXPECT_EQ(paragraphs[0], std::u16string(u" \uD55CA") + char16_t{0} + u"B") << big;
    EXPECT_EQ(paragraphs[1], u"\uAE00") << big;
  }
  char16_t units[3] = {0x0041, 0x0000, 0xD55C};
  CUnicodeTextReader::SwapToMachineOrder(units, 3, CUnicodeTextReader::MachineOrder());
  EXPECT_EQ(units[0], 0x0041);
  CUnicodeTextReader::SwapToMachineOrder(units, 3, 1 - CUnicodeTextReader::MachineOrder());
  EXPECT_EQ(units[0], 0x4100);
  EXPECT_EQ(units[2], 0x5CD5);
}

TEST(TextReader, BackwardFromAParagraphStartDiffersBetweenByteAndUtf16) {
  TempDir dir;
  HeadlessPlatform platform;
  CMbcsTextReader bytes;
  OpenReader(bytes, platform, dir.Write("a.txt", "one\r\ntwo\r\nthree"), 1);
  ParagraphBuffer<uint8_t> b;
  ASSERT_TRUE(bytes.Seek(10));  // the start of "three"
  ASSERT_TRUE(bytes.ReadPreviousParagraph(b));
  EXPECT_EQ(b.length(), 0);  // the empty piece in front of the paragraph
  EXPECT_EQ(b.start, 8);
  ASSERT_TRUE(bytes.ReadPreviousParagraph(b));
  EXPECT_EQ(UnitsOf(b), u"two");
  EXPECT_EQ(b.start, 3);
  ASSERT_TRUE(bytes.ReadPreviousParagraph(b));
  EXPECT_EQ(UnitsOf(b), u"one");
  EXPECT_EQ(b.start, 0);
  EXPECT_FALSE(bytes.ReadPreviousParagraph(b));

  CUnicodeTextReader wide;
  OpenReader(wide, platform, dir.Write("u.txt", Utf16File(u"one\r\ntwo\r\nthree")), 2);
  ParagraphBuffer<char16_t> w;
  ASSERT_TRUE(wide.Seek(11));  // the start of "three" (the mark is unit 0)
  ASSERT_TRUE(wide.ReadPreviousParagraph(w));
  EXPECT_EQ(UnitsOf(w), u"two");
  EXPECT_EQ(w.start, 4);
  ASSERT_TRUE(wide.ReadPreviousParagraph(w));
  EXPECT_EQ(UnitsOf(w), u" one");
  EXPECT_EQ(w.start, 0);
  EXPECT_FALSE(wide.ReadPreviousParagraph(w));

  // A backward read from inside the first paragraph returns the text before the position,
  // even as the first read after a reposition; the next one finds nothing.
  ASSERT_TRUE(bytes.Seek(2));
  ASSERT_TRUE(bytes.ReadPreviousParagraph(b));
  EXPECT_EQ(UnitsOf(b), u"on");
  EXPECT_EQ(b.start, 0);
  EXPECT_EQ(bytes.Position(), 0);
  EXPECT_FALSE(bytes.ReadPreviousParagraph(b));
}

// Random text with blank lines, runs of break characters and all break pairs.
template <typename Unit>
std::basic_string<Unit> RandomBreakText(uint32_t seed, size_t size) {
  std::mt19937 rng(seed);
  const Unit breaks[] = {13, 10};
  std::basic_string<Unit> text;
  while (text.size() < size) {
    int words = static_cast<int>(rng() % 40);
    for (int i = 0; i < words; ++i)
      text.push_back(static_cast<Unit>('a' + rng() % 26));
    int run = static_cast<int>(rng() % 6);
    for (int i = 0; i < run; ++i)
      text.push_back(breaks[rng() % 2]);
  }
  return text;
}

TEST(TextReader, BackwardReadingShowsTheParagraphsOfForwardReading) {
  TempDir dir;
  HeadlessPlatform platform;
  for (uint32_t seed = 1; seed <= 6; ++seed) {
    std::u16string text = RandomBreakText<char16_t>(seed, 9000);
    if (seed % 2) text += u"tail";  // with and without a break at the end
    CUnicodeTextReader wide;
    OpenReader(wide, platform, dir.Write("u.txt", Utf16File(text)), 2);
    EXPECT_EQ(ReadAllBackward(wide), ReadAllForward(wide)) << seed;

    std::string bytes(text.begin(), text.end());
    CMbcsTextReader narrow;
    OpenReader(narrow, platform, dir.Write("a.txt", bytes), 1);
    auto forward = ReadAllForward(narrow);
    // From the end, byte text first returns the empty piece after a final break.
    if (IsLineBreak(static_cast<uint8_t>(bytes.back()))) forward.push_back(u"");
    EXPECT_EQ(ReadAllBackward(narrow), forward) << seed;
  }
}

TEST(TextReader, SeekFractionLandsOnTheBreakBeforeTheParagraph) {
  TempDir dir;
  HeadlessPlatform platform;
  CMbcsTextReader reader;
  OpenReader(reader, platform, dir.Write("a.txt", "first para\r\nsecond\nthird"), 1);
  EXPECT_EQ(reader.SeekFraction(0.0f), 0);
  EXPECT_EQ(reader.Position(), 0);
  EXPECT_EQ(reader.SeekFraction(0.2f), 0);   // inside the first paragraph
  EXPECT_EQ(reader.SeekFraction(0.6f), 10);  // inside "second": its break's first unit
  EXPECT_EQ(reader.Position(), 10);
  EXPECT_EQ(reader.SeekFraction(1.0f), 18);
  EXPECT_EQ(reader.SeekFraction(-3.0f), 0);
  EXPECT_EQ(reader.SeekFraction(7.0f), 18);
}

TEST(TextReader, ShortAndDamagedFilesReadSafely) {
  TempDir dir;
  HeadlessPlatform platform;
  ParagraphBuffer<uint8_t> b;
  CMbcsTextReader empty;
  OpenReader(empty, platform, dir.Write("e.txt", ""), 1);
  EXPECT_TRUE(empty.AtEnd());
  EXPECT_FALSE(empty.ReadNextParagraph(b));
  EXPECT_FALSE(empty.ReadPreviousParagraph(b));
  EXPECT_EQ(empty.SeekFraction(0.5f), 0);

  CMbcsTextReader one;
  OpenReader(one, platform, dir.Write("o.txt", "\xB0"), 1);
  ASSERT_TRUE(one.ReadNextParagraph(b));
  EXPECT_EQ(b.length(), 1);
  EXPECT_EQ(b[0], 0xB0);
  EXPECT_FALSE(one.ReadNextParagraph(b));
  one.SeekEnd();
  ASSERT_TRUE(one.ReadPreviousParagraph(b));
  EXPECT_EQ(b.length(), 1);
  EXPECT_FALSE(one.ReadPreviousParagraph(b));

  // An odd byte count: the last byte is no unit.
  CUnicodeTextReader odd;
  OpenReader(odd, platform, dir.Write("u.txt", Utf16File(u"ab") + "\x41"), 2);
  EXPECT_EQ(odd.fileLength(), 3);
  ParagraphBuffer<char16_t> w;
  ASSERT_TRUE(odd.ReadNextParagraph(w));
  EXPECT_EQ(UnitsOf(w), u" ab");
  EXPECT_FALSE(odd.ReadNextParagraph(w));
  EXPECT_TRUE(odd.AtEnd());

  // A file that shrinks while open ends the paragraph where the data stops.
  std::string path = dir.Write("s.txt", std::string(6000, 'x'));
  CMbcsTextReader shrinking;
  OpenReader(shrinking, platform, path, 1);
  dir.Write("s.txt", std::string(100, 'x'));
  ASSERT_TRUE(shrinking.ReadNextParagraph(b));
  EXPECT_LE(b.length(), 6000);
  EXPECT_FALSE(shrinking.ReadNextParagraph(b));
  shrinking.SeekEnd();
  shrinking.ReadPreviousParagraph(b);
  EXPECT_LE(b.length(), 6000);
}

}  // namespace
}  // namespace lirako

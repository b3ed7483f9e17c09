// A book that changes under the open engine: truncated, grown, unlinked; and books too long
// for a signed 32-bit position.

#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "engine/mbcs_text_engine.h"
#include "engine/unicode_text_engine.h"
#include "tests/engine/engine_test_util.h"
#include "tests/support/temp_dir.h"

namespace lirako {
namespace {

using testing::TempDir;

// Korean and Latin paragraphs of different lengths with all four kinds of break, as UTF-16.
std::u16string Paragraphs(int count) {
  static const char16_t* const kWords[] = {u"가나다",     u"한글",  u"book",   u"읽기", u"12345",
                                           u"라마바사아", u"text,", u"하늘과", u"\t탭", u"끝."};
  static const char16_t* const kBreaks[] = {u"\r\n", u"\n", u"\r", u"\n\r"};
  std::u16string text;
  for (int p = 0; p < count; ++p) {
    for (int w = 0; w < 3 + (p * 7) % 40; ++w) {
      text += kWords[(p + w * 3) % 10];
      text += u' ';
    }
    text += kBreaks[p % 4];
  }
  return text;
}

// The code page 949 bytes of `text`, which holds only ASCII and Wansung syllables.
std::string Cp949File(const std::u16string& text, HeadlessPlatform& platform) {
  std::map<char16_t, std::string> pairs;
  for (int lead = 0xB0; lead <= 0xC8; ++lead) {
    for (int trail = 0xA1; trail <= 0xFE; ++trail) {
      std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
      std::u16string unit = platform.Cp949ToUtf16(pair);
      if (unit.size() == 1) pairs[unit[0]] = pair;
    }
  }
  std::string out;
  for (char16_t c : text) {
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else {
      EXPECT_TRUE(pairs.count(c)) << "no code page 949 pair for U+" << std::hex << int(c);
      out += pairs[c];
    }
  }
  return out;
}

struct Book {
  std::string path;
  std::string bytes;
  int unitSize;
};

// Truncates or grows the file to `bytes`, filling growth with more paragraphs.
void Resize(const Book& book, int64_t bytes) {
  int64_t now = static_cast<int64_t>(std::filesystem::file_size(book.path));
  if (bytes <= now) {
    std::filesystem::resize_file(book.path, static_cast<uintmax_t>(bytes));
    return;
  }
  std::ofstream out(book.path, std::ios::binary | std::ios::app);
  std::string tail = book.bytes.substr(book.bytes.size() / 2);
  while (now < bytes) {
    int64_t n = std::min<int64_t>(bytes - now, static_cast<int64_t>(tail.size()));
    out.write(tail.data(), n);
    now += n;
  }
}

// Moves the page somewhere new; every kind of reposition in turn.
template <typename Engine>
void Reposition(Engine& engine, int kind, int32_t loaded) {
  switch (kind % 5) {
    case 0:
      engine.GoToStart();
      engine.PageForward();
      break;
    case 1:
      engine.SetFraction(0.37f);
      engine.PageForward();
      break;
    case 2:
      engine.SetPosition(loaded / 3);
      engine.PageForward();
      break;
    case 3:
      engine.GoToEnd();
      engine.PageBackward();
      break;
    default: {
      int32_t index = 0;
      int32_t found = engine.FindNext(u"한글", &index, 0);
      EXPECT_TRUE(found == -1 || (found >= 0 && found <= loaded)) << found;
      engine.SetPosition(found == -1 ? 0 : found);
      engine.PageForward();
      break;
    }
  }
}

// Truncates and grows the file between steps of every kind. A page laid out after a
// reposition holds only text that the file still has; every step keeps positions and lines
// inside the length the book had when it was opened; paging forward always comes to an end.
template <typename Engine>
void SoakChangingBook(const Book& book, HeadlessPlatform& platform) {
  Engine engine(platform);
  ASSERT_TRUE(engine.Load(FromUtf8(book.path)));
  testing::PrepareEngine(engine, platform, 240, 160, Rect{2, 2, 2, 2}, 0, 1, true);
  const int32_t loaded = engine.GetSize();
  engine.GoToStart();
  engine.PageForward();
  const int64_t full = static_cast<int64_t>(book.bytes.size());
  const int64_t sizes[] = {full / 2, full / 3 + 1, full, 7, 0, full / 5, full * 2, full / 4 + 1};
  for (int round = 0; round < 40; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    int64_t bytes = sizes[round % 8];
    Resize(book, bytes);
    const int32_t units = static_cast<int32_t>(std::min<int64_t>(bytes / book.unitSize, loaded));
    Reposition(engine, round, loaded);
    for (const testing::LineInfo& line : testing::PageOf(engine)) {
      EXPECT_GE(line.offset, 0);
      EXPECT_LE(line.offset + static_cast<int32_t>(line.units.size()), units)
          << "a line of text the file no longer has";
    }
    for (int step = 0; step < 8; ++step) {
      switch ((round + step) % 5) {
        case 0:
          engine.PageForward();
          break;
        case 1:
          engine.PageBackward();
          break;
        case 2:
          engine.LineForward();
          break;
        case 3:
          engine.LineBackward();
          break;
        default:
          Reposition(engine, round + step, loaded);
          break;
      }
      EXPECT_EQ(engine.GetSize(), loaded);
      EXPECT_GE(engine.GetPosition(), 0);
      EXPECT_LE(engine.GetPosition(), loaded);
      for (const testing::LineInfo& line : testing::PageOf(engine)) {
        EXPECT_GE(line.offset, 0);
        EXPECT_LE(line.offset + line.length, loaded);
        EXPECT_LE(static_cast<int32_t>(line.units.size()), line.length);
      }
    }
    int turns = 0;
    std::vector<testing::LineInfo> last;
    do {
      last = testing::PageOf(engine);
      engine.PageForward();
    } while (testing::PageOf(engine) != last && ++turns < 10000);
    EXPECT_LT(turns, 10000) << "paging forward never ends";
  }
  Resize(book, full);
}

TEST(ChangingFile, TruncatedAndGrownBookStaysInsideTheFile) {
  TempDir dir;
  HeadlessPlatform platform;
  std::u16string text = Paragraphs(120);
  Book bytes{dir.Write("bytes.txt", Cp949File(text, platform)), "", 1};
  bytes.bytes = testing::ReadFileBytes(bytes.path);
  Book wide{dir.Write("wide.txt", testing::Utf16File(text)), "", 2};
  wide.bytes = testing::ReadFileBytes(wide.path);
  SoakChangingBook<CMbcsTextEngine>(bytes, platform);
  SoakChangingBook<CUnicodeTextEngine>(wide, platform);
}

// After the book is unlinked the open engine reads on to its end, finds text, and turns
// back; opening the vanished path then fails and leaves the engine closed.
template <typename Engine>
void ReadUnlinkedBook(const std::string& path, HeadlessPlatform& platform) {
  Engine engine(platform);
  ASSERT_TRUE(engine.Load(FromUtf8(path)));
  testing::PrepareEngine(engine, platform, 200, 120);
  engine.GoToStart();
  engine.PageForward();
  std::vector<testing::LineInfo> first = testing::PageOf(engine);
  ASSERT_FALSE(first.empty());
  ASSERT_EQ(::unlink(path.c_str()), 0);
  int32_t pages = 0;
  std::vector<testing::LineInfo> last;
  do {
    last = testing::PageOf(engine);
    engine.PageForward();
  } while (testing::PageOf(engine) != last && ++pages < 10000);
  EXPECT_GT(pages, 3);
  EXPECT_TRUE(engine.IsAtEnd());
  ASSERT_FALSE(last.empty());
  EXPECT_LE(last.back().offset + last.back().length, engine.GetSize());
  engine.GoToEnd();
  engine.PageBackward();
  EXPECT_FALSE(testing::PageOf(engine).empty());
  int32_t index = 0;
  int32_t found = engine.FindNext(u"book", &index, 1);
  EXPECT_GE(found, 0);
  engine.GoToStart();
  engine.PageForward();
  EXPECT_EQ(testing::PageOf(engine), first);
  EXPECT_FALSE(engine.Load(FromUtf8(path)));
  EXPECT_EQ(engine.isOpen, 0);
  EXPECT_EQ(engine.GetPosition(), 0);
  EXPECT_TRUE(engine.filePath.empty());
}

TEST(ChangingFile, UnlinkedBookReadsOnAndCannotBeReopened) {
  TempDir dir;
  HeadlessPlatform platform;
  std::u16string text = Paragraphs(60);
  ReadUnlinkedBook<CMbcsTextEngine>(dir.Write("bytes.txt", Cp949File(text, platform)), platform);
  ReadUnlinkedBook<CUnicodeTextEngine>(dir.Write("wide.txt", testing::Utf16File(text)), platform);
}

// Sparse files around the largest length a signed 32-bit position can count: the last
// addressable length loads, one unit more is refused and leaves the engine closed, and the
// engine then still opens an ordinary book.
TEST(ChangingFile, BooksBeyondASignedPositionAreRefused) {
  TempDir dir;
  HeadlessPlatform platform;
  const int64_t maxUnits = INT32_MAX;
  std::string small = dir.Write("small.txt", "small book\r\n");
  struct Case {
    std::string head;
    int64_t bytes;
    bool loads;
  };
  const Case bytesCases[] = {
      {"a", maxUnits, true}, {"a", maxUnits + 1, false}, {"a", int64_t{3} << 30, false}};
  for (const Case& c : bytesCases) {
    SCOPED_TRACE(c.bytes);
    std::string path = dir.Write("big.txt", c.head);
    std::filesystem::resize_file(path, static_cast<uintmax_t>(c.bytes));
    CMbcsTextEngine engine(platform);
    EXPECT_EQ(engine.Load(FromUtf8(path)), c.loads);
    EXPECT_EQ(engine.isOpen, c.loads ? 1 : 0);
    EXPECT_EQ(engine.GetSize(), c.loads ? static_cast<int32_t>(c.bytes) : 0);
    EXPECT_EQ(engine.GetPosition(), 0);
    ASSERT_TRUE(engine.Load(FromUtf8(small)));
    EXPECT_EQ(engine.GetSize(), 12);
  }
  const Case wideCases[] = {{"\xFF\xFE", 2 * maxUnits + 1, true},
                            {"\xFF\xFE", 2 * maxUnits + 2, false},
                            {"\xFE\xFF", (int64_t{4} << 30) + 4, false},
                            {"\xFF\xFE", int64_t{3} << 30, true}};
  for (const Case& c : wideCases) {
    SCOPED_TRACE(c.bytes);
    std::string path = dir.Write("wide.txt", c.head);
    std::filesystem::resize_file(path, static_cast<uintmax_t>(c.bytes));
    CUnicodeTextEngine engine(platform);
    EXPECT_EQ(engine.Load(FromUtf8(path)), c.loads);
    EXPECT_EQ(engine.isOpen, c.loads ? 1 : 0);
    EXPECT_EQ(engine.GetSize(), c.loads ? static_cast<int32_t>(c.bytes / 2) : 0);
    std::string wideSmall = dir.Write("wide-small.txt", testing::Utf16File(u"작은 책"));
    ASSERT_TRUE(engine.Load(FromUtf8(wideSmall)));
    EXPECT_EQ(engine.GetSize(), 5);
  }
}

}  // namespace
}  // namespace lirako

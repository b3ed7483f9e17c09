// Faults found by the hostile-book fuzzing, soak and benchmark runs, each reproduced from a
// small saved input, and the cases a search that skips paragraphs by their bytes must get
// right.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/mbcs_text_engine.h"
#include "engine/unicode_text_engine.h"
#include "tests/engine/engine_test_util.h"
#include "tests/support/temp_dir.h"

namespace lirako {
namespace {

using testing::TempDir;

std::string SavedInput(const std::string& name) {
  return testing::ReadFileBytes(std::string(LIRAKO_SOURCE_DIR) + "/tests/engine/data/" + name);
}

// A book truncated under the open engine, then repositioned: the page once came from the
// chunk read before the truncation and showed text the file no longer had, at offsets past
// its end.
TEST(Regressions, RepositionAfterTruncationReadsTheFileAsItIs) {
  TempDir dir;
  HeadlessPlatform platform;
  const std::string book = SavedInput("truncated_book.txt");
  ASSERT_GT(book.size(), 100u);
  const std::string path = dir.Write("book.txt", book);
  CMbcsTextEngine engine(platform);
  ASSERT_TRUE(engine.Load(FromUtf8(path)));
  testing::PrepareEngine(engine, platform, 240, 160);
  engine.GoToStart();
  engine.PageForward();
  ASSERT_FALSE(engine.pageLines().empty());
  const int32_t kept = 7;
  std::filesystem::resize_file(path, kept);
  for (int how = 0; how < 3; ++how) {
    if (how == 0) engine.GoToStart();
    if (how == 1) engine.SetPosition(0);
    if (how == 2) engine.SetFraction(0.0f);
    engine.PageForward();
    for (const auto& line : engine.pageLines()) {
      EXPECT_LE(line.offset + line.textLength(), kept) << "reposition " << how;
    }
  }
}

// A stored place, or one converted from another encoding, that falls on the second byte of a
// code page 949 character once showed half the character as another one.
TEST(Regressions, APlaceInsideACharacterStartsThePageAtTheCharacter) {
  TempDir dir;
  HeadlessPlatform platform;
  // "ok 가나다": the second byte of 나 is at kInsideNa.
  const std::string path = dir.Write("book.txt", "ok \xB0\xA1\xB3\xAA\xB4\xD9\r\n");
  constexpr int32_t kNa = 5;
  constexpr int32_t kInsideNa = 6;
  CMbcsTextEngine engine(platform);
  ASSERT_TRUE(engine.Load(FromUtf8(path)));
  testing::PrepareEngine(engine, platform, 240, 160);
  engine.SetPosition(kInsideNa);
  EXPECT_EQ(engine.GetPosition(), kNa);
  engine.PageForward();
  ASSERT_FALSE(engine.pageLines().empty());
  EXPECT_EQ(engine.pageLines().front().offset, kNa);
  engine.SetPosition(kNa);
  EXPECT_EQ(engine.GetPosition(), kNa);
}

// The first result of a fresh search for `text`.
int32_t FirstFind(CTextEngine& engine, const std::u16string& text, int options) {
  engine.SetSearchStart(0);
  int32_t index = -5;
  return engine.FindNext(text, &index, options);
}

class ByteSearchTest : public ::testing::Test {
 protected:
  CMbcsTextEngine& Open(const std::string& bytes) {
    engine_ = std::make_unique<CMbcsTextEngine>(platform_);
    EXPECT_TRUE(engine_->Load(FromUtf8(dir_.Write("book.txt", bytes))));
    testing::PrepareEngine(*engine_, platform_, 480, 800);
    return *engine_;
  }
  TempDir dir_;
  HeadlessPlatform platform_;
  std::unique_ptr<CMbcsTextEngine> engine_;
};

// The code page 949 bytes of `text` (ASCII and characters that convert from one pair).
std::string Cp949(HeadlessPlatform& platform, const std::u16string& text) {
  std::string out;
  for (char16_t c : text) {
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
      continue;
    }
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
      for (int trail = 0x41; trail <= 0xFE; ++trail) {
        std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
        if (platform.Cp949ToUtf16(pair) == std::u16string(1, c)) {
          out += pair;
          lead = 0xFF;
          break;
        }
      }
    }
  }
  return out;
}

// Bytes that hold the needle's bytes starting on a trail byte are no match: the search goes
// on to the paragraph that really holds it.
TEST_F(ByteSearchTest, BytesOfTheTextInsideOtherCharactersAreNoMatch) {
  const std::string needle = Cp949(platform_, u"한글");
  ASSERT_EQ(needle.size(), 4u);
  // A lead byte before the needle's first byte pairs with it: the display text differs.
  std::string decoy = "first line\r\n" + std::string("xx\xB0") + needle + "yy\r\n";
  std::string book = decoy + "\n\r\r\n" + "the " + needle + " here\r\n";
  CMbcsTextEngine& engine = Open(book);
  int32_t expected = static_cast<int32_t>(decoy.size() + 4);
  EXPECT_EQ(FirstFind(engine, u"한글", 1), expected);
  EXPECT_EQ(FirstFind(engine, u"한글", 0), expected);
}

// Matches far into a long book, right across the boundaries of the blocks in which the
// search scans for paragraphs after its first one, are found, every occurrence once, in
// order. Each search scans from the end of the paragraph of the match before.
TEST_F(ByteSearchTest, FindsMatchesAcrossScanBlocks) {
  const std::string needle = Cp949(platform_, u"가나다라");
  ASSERT_EQ(needle.size(), 8u);
  const std::string first = "filler text 0123456789 abc\r\n";
  const size_t kBlock = 32768;
  // Needle offsets from the scan start: across the end of the first block, across the end of
  // the second (blocks overlap by the needle's length less one), at the start of the second,
  // just inside the first, and near the scan start.
  const size_t offsets[] = {kBlock - 4, 2 * kBlock - 7 - 4, kBlock - 7, kBlock - 8, 3};
  std::string book = first;
  std::vector<int32_t> starts;
  size_t scanFrom = book.size();
  for (size_t offset : offsets) {
    size_t at = scanFrom + offset;
    size_t start = at - 3;
    while (book.size() + 60 < start)
      book += "filler text 0123456789 abc\r\n";
    if (book.size() + 2 <= start) book += std::string(start - book.size() - 2, 'z') + "\r\n";
    ASSERT_EQ(book.size(), start);
    starts.push_back(static_cast<int32_t>(start));
    book += "ab " + needle + " cd\n";
    scanFrom = book.size();
  }
  CMbcsTextEngine& engine = Open(book);
  engine.SetSearchStart(0);
  std::vector<int32_t> found;
  for (int guard = 0; guard < 20; ++guard) {
    int32_t index = 0;
    int32_t at = engine.FindNext(u"가나다라", &index, 1);
    if (at == -1) break;
    found.push_back(at);
  }
  EXPECT_EQ(found, starts);
}

// A search without case finds Latin letters of either case next to Hangul, and a text of
// letters only; a search with case does not.
TEST_F(ByteSearchTest, FoldedSearchMixesLettersAndHangul) {
  const std::string hangul = Cp949(platform_, u"한글");
  std::string head = "nothing to see\r\nmore\r\n";
  std::string book = head + "Read " + "BOOK" + hangul + "s\r\n";
  CMbcsTextEngine& engine = Open(book);
  const int32_t expected = static_cast<int32_t>(head.size());
  EXPECT_EQ(FirstFind(engine, u"book한글", 0), expected);
  EXPECT_EQ(FirstFind(engine, u"Book한글", 1), -1);
  EXPECT_EQ(FirstFind(engine, u"bOoK", 0), expected);
  EXPECT_EQ(FirstFind(engine, u"BOOK한글", 1), expected);
}

// A text that spans a line break, or holds one, is never found; the search then ends.
TEST_F(ByteSearchTest, TextAcrossABreakIsNeverFound) {
  const std::string hangul = Cp949(platform_, u"한글");
  std::string book = "one " + hangul + "\r\n" + hangul + " two\r\n";
  CMbcsTextEngine& engine = Open(book);
  EXPECT_EQ(FirstFind(engine, u"한글\r\n한글", 1), -1);
  EXPECT_EQ(FirstFind(engine, u"글한", 1), -1);
  EXPECT_EQ(FirstFind(engine, u"글 two", 1), static_cast<int32_t>(book.find(hangul + " two")));
}

// The UTF-16 engine skips by units the same way: a match in the first paragraph (which
// starts with the blank standing for the byte-order mark) and one far behind.
TEST(ByteSearch, Utf16EngineFindsTheSameMatches) {
  TempDir dir;
  HeadlessPlatform platform;
  std::u16string text = u"머리 한글\r\n";
  for (int i = 0; i < 5000; ++i)
    text += u"채움 문장 filler\n";
  const int32_t far = static_cast<int32_t>(text.size()) + 1;
  text += u"끝 한글 END\r\n";
  CUnicodeTextEngine engine(platform);
  ASSERT_TRUE(engine.Load(FromUtf8(dir.Write("wide.txt", testing::Utf16File(text)))));
  testing::PrepareEngine(engine, platform, 480, 800);
  engine.SetSearchStart(0);
  int32_t index = 0;
  EXPECT_EQ(engine.FindNext(u"한글", &index, 1), 0);
  EXPECT_EQ(engine.FindNext(u"한글", &index, 1), far);
  EXPECT_EQ(engine.FindNext(u"end", &index, 0), far);
  EXPECT_EQ(engine.FindNext(u" 머리", &index, 1), -1);
  EXPECT_EQ(engine.FindNext(u" 머리", &index, 1), 0);
}

}  // namespace
}  // namespace lirako

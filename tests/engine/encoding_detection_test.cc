#include <gtest/gtest.h>

#include <string>

#include "engine/encoding_detection.h"
#include "engine/mbcs_text_engine.h"
#include "engine/unicode_text_engine.h"
#include "engine/utf8_text_engine.h"
#include "tests/engine/engine_test_util.h"
#include "tests/support/temp_dir.h"

namespace lirako {
namespace {

using testing::TempDir;

const std::string kGa = "\xEA\xB0\x80";   // 가 in UTF-8
const std::string kGaCp949 = "\xB0\xA1";  // 가 in code page 949
const std::string kUtf8Mark = "\xEF\xBB\xBF";

class Detection : public ::testing::Test {
 protected:
  EncodingGuess Detect(const std::string& bytes) {
    EncodingGuess guess;
    std::string err;
    EXPECT_TRUE(
        DetectTextEncoding(platform_, FromUtf8(dir_.Write("book.txt", bytes)), &guess, &err))
        << err;
    return guess;
  }
  // `bytes` repeated to at least `size` bytes.
  static std::string Repeated(const std::string& bytes, size_t size) {
    std::string out;
    while (out.size() < size)
      out += bytes;
    return out;
  }

  TempDir dir_;
  HeadlessPlatform platform_;
};

TEST_F(Detection, ByteOrderMarksDecide) {
  EncodingGuess utf8 = Detect(kUtf8Mark + kGaCp949);
  EXPECT_EQ(utf8.encoding, TextEncoding::kUtf8);
  EXPECT_TRUE(utf8.bom);
  EXPECT_EQ(utf8.examined, 3);
  EncodingGuess le = Detect(testing::Utf16File(u"가"));
  EXPECT_EQ(le.encoding, TextEncoding::kUtf16Le);
  EXPECT_TRUE(le.bom);
  EXPECT_EQ(Detect(testing::Utf16File(u"가", true)).encoding, TextEncoding::kUtf16Be);
}

TEST_F(Detection, ShortFiles) {
  EncodingGuess empty = Detect("");
  EXPECT_EQ(empty.encoding, TextEncoding::kUtf8);
  EXPECT_FALSE(empty.bom);
  EXPECT_EQ(empty.examined, 0);
  EXPECT_EQ(Detect("plain ascii\n").encoding, TextEncoding::kUtf8);
  EXPECT_EQ(Detect("a " + kGa + "\n").encoding, TextEncoding::kUtf8);
  EXPECT_EQ(Detect("a " + kGaCp949 + "\n").encoding, TextEncoding::kCp949);
  // A file cut inside its last character is still UTF-8.
  EXPECT_EQ(Detect("a " + kGa + kGa.substr(0, 2)).encoding, TextEncoding::kUtf8);
  EncodingGuess guess;
  std::string err;
  EXPECT_FALSE(DetectTextEncoding(platform_, FromUtf8(dir_.File("missing")), &guess, &err));
  EXPECT_FALSE(err.empty());
}

TEST_F(Detection, Utf16WithoutAMarkByItsZeroBytes) {
  std::u16string text = u"별빛 속에 keep reading 1234.\r\n";
  std::u16string book;
  while (book.size() < 3000)
    book += text;
  EXPECT_EQ(Detect(testing::Utf16File(book).substr(2)).encoding, TextEncoding::kUtf16Le);
  EncodingGuess be = Detect(testing::Utf16File(book, true).substr(2));
  EXPECT_EQ(be.encoding, TextEncoding::kUtf16Be);
  EXPECT_FALSE(be.bom);
}

TEST_F(Detection, SamplesALargeBookWithinTheBound) {
  // Hangul in three-byte sequences that the sample windows cut anywhere.
  constexpr size_t kLarge = 3 * 1024 * 1024;
  EncodingGuess utf8 = Detect(Repeated(kGa + kGa + " x\n", kLarge));
  EXPECT_EQ(utf8.encoding, TextEncoding::kUtf8);
  EXPECT_EQ(utf8.examined, kDetectionWindows * kDetectionWindowBytes);
  EXPECT_EQ(Detect(Repeated(kGaCp949 + kGaCp949 + " x\n", kLarge)).encoding, TextEncoding::kCp949);
}

TEST_F(Detection, AsciiHeadedBookReadsOnUntilKoreanDecides) {
  // The Korean lies between the first two sample windows of the book.
  constexpr size_t kBook = 2 * 1024 * 1024;
  constexpr size_t kHead = kDetectionWindowBytes + 100;
  const std::string head = Repeated("License text. ", kHead).substr(0, kHead);
  for (const auto& [korean, encoding] :
       {std::pair{kGa, TextEncoding::kUtf8}, std::pair{kGaCp949, TextEncoding::kCp949}}) {
    std::string book = head + korean + " ";
    book += Repeated("more text\n", kBook - book.size());
    EncodingGuess guess = Detect(book);
    EXPECT_EQ(guess.encoding, encoding);
    EXPECT_LE(guess.examined, kDetectionMaxBytes);
  }
  // All ASCII: the bounded read ends, and it is UTF-8.
  EncodingGuess ascii = Detect(Repeated("only ascii\n", 5 * 1024 * 1024));
  EXPECT_EQ(ascii.encoding, TextEncoding::kUtf8);
  EXPECT_GE(ascii.examined, kDetectionMaxBytes);
  EXPECT_LE(ascii.examined, kDetectionMaxBytes + kDetectionWindows * kDetectionWindowBytes);
}

TEST_F(Detection, LongAsciiHeadedBookFindsKoreanNearItsEnd) {
  // 3.6 MB of ASCII with a few Korean words past 3.2 MB, where no sample window lies: the
  // reading on from the start reaches them.
  std::string book = Repeated("License text. ", 3'600'000).substr(0, 3'600'000);
  book.replace(3'250'000, kGaCp949.size() * 2, kGaCp949 + kGaCp949);
  EXPECT_EQ(Detect(book).encoding, TextEncoding::kCp949);
  // Beyond the reading on, only the last window sees Korean that ends the book.
  book = Repeated("License text. ", 6'000'000).substr(0, 6'000'000);
  book += kGaCp949 + " " + kGaCp949 + "\n";
  EXPECT_EQ(Detect(book).encoding, TextEncoding::kCp949);
}

TEST_F(Detection, SampleCodePage949BookIsCodePage949) {
  EncodingGuess guess;
  ASSERT_TRUE(DetectTextEncoding(platform_, FromUtf8(LIRAKO_SOURCE_DIR "/samples/byeolbit.txt"),
                                 &guess, nullptr));
  EXPECT_EQ(guess.encoding, TextEncoding::kCp949);
}

TEST_F(Detection, CreateTextEngineTakesTheChoiceOrDetects) {
  std::u16string path = FromUtf8(dir_.Write("book.txt", "a " + kGa));
  auto detected = CreateTextEngine(platform_, path);
  EXPECT_NE(dynamic_cast<CUtf8TextEngine*>(detected.get()), nullptr);
  auto chosen = CreateTextEngine(platform_, path, TextEncoding::kCp949);
  EXPECT_NE(dynamic_cast<CMbcsTextEngine*>(chosen.get()), nullptr);
  auto wide = CreateTextEngine(platform_, path, TextEncoding::kUtf16Be);
  EXPECT_NE(dynamic_cast<CUnicodeTextEngine*>(wide.get()), nullptr);
  EXPECT_TRUE(wide->Load(path));
}

}  // namespace
}  // namespace lirako

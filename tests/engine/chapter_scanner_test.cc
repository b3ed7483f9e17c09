#include "engine/chapter_scanner.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <string>
#include <vector>

#include "engine/chapter_outline.h"
#include "engine/text_engine.h"
#include "engine/text_line.h"
#include "tests/engine/engine_test_util.h"
#include "tests/support/temp_dir.h"

namespace lirako {
namespace {

using testing::TempDir;

}  // namespace

void PrintTo(const Chapter& chapter, std::ostream* os) {
  *os << "{" << chapter.position << ", \"" << chapter.title << "\"}";
}

namespace {

// `text` in code page 949 through iconv.
std::string ToCp949(const std::u16string& text) {
  iconv_t cd = iconv_open("CP949", "UTF-16LE");
  std::string in;
  for (char16_t u : text) {
    in.push_back(static_cast<char>(u & 0xFF));
    in.push_back(static_cast<char>(u >> 8));
  }
  std::string out(in.size() * 2, '\0');
  char* inp = in.data();
  char* outp = out.data();
  size_t inLeft = in.size();
  size_t outLeft = out.size();
  iconv(cd, &inp, &inLeft, &outp, &outLeft);
  iconv_close(cd);
  out.resize(out.size() - outLeft);
  return out;
}

// A book in one encoding, built paragraph by paragraph, remembering where each heading
// starts in the encoding's units.
class BookBuilder {
 public:
  explicit BookBuilder(TextEncoding encoding) : encoding_(encoding) {
    if (encoding == TextEncoding::kUtf16Le) bytes_ = "\xFF\xFE";
    if (encoding == TextEncoding::kUtf16Be) bytes_ = "\xFE\xFF";
  }

  // A paragraph the rules take for a heading with the trimmed title `title`, at `level` in
  // the table of contents.
  void Heading(const std::u16string& text, const std::u16string& title, int level = 1) {
    // The byte-order mark starts the first paragraph: a heading there starts at 0.
    const int32_t position = bytes_.size() == 2 && EncodingUnitSize(encoding_) == 2 ? 0 : Units();
    expected_.push_back(Chapter{position, ToUtf8(title), {}, level});
    Paragraph(text);
  }
  // Any other paragraph.
  void Paragraph(const std::u16string& text) {
    bytes_ += Encode(text);
    static const char* const kBreaks[] = {"\r\n", "\n", "\r", "\n\r"};
    bytes_ += Encode(FromUtf8(break_.empty() ? kBreaks[breaks_++ % 4] : break_.c_str()));
  }
  // Every paragraph from now on ends with `lineBreak` (by default the four kinds take turns).
  void UseBreak(const std::string& lineBreak) { break_ = lineBreak; }

  const std::string& bytes() const { return bytes_; }
  const std::vector<Chapter>& expected() const { return expected_; }

 private:
  int32_t Units() const {
    return static_cast<int32_t>(bytes_.size()) / EncodingUnitSize(encoding_);
  }
  std::string Encode(const std::u16string& text) const {
    switch (encoding_) {
      case TextEncoding::kCp949:
        return ToCp949(text);
      case TextEncoding::kUtf8:
        return ToUtf8(text);
      case TextEncoding::kUtf16Le:
        return testing::Utf16File(text).substr(2);
      case TextEncoding::kUtf16Be:
        return testing::Utf16File(text, true).substr(2);
    }
    return {};
  }

  TextEncoding encoding_;
  std::string bytes_;
  std::vector<Chapter> expected_;
  int breaks_ = 0;
  std::string break_;
};

// A paragraph of ordinary prose, `words` words long.
std::u16string Prose(int words) {
  std::u16string text;
  static const char16_t* const kWords[] = {u"그는",  u"바다를", u"보았다", u"chapter",
                                           u"제1장", u"3화",    u"먼",     u"길을"};
  for (int i = 0; i < words; ++i)
    text += std::u16string(kWords[i % 8]) + u" ";
  return text + u"걸었다.";
}

// The book every encoding is tested with: headings among look-alikes and long prose.
void WriteMixedBook(BookBuilder& book) {
  book.Heading(u"프롤로그", u"프롤로그");
  book.Paragraph(Prose(40));
  book.Paragraph(u"제1장에서 말했듯이 그는 떠났다");
  book.Heading(u"  제 1 장 바다로 가는 길\t", u"제 1 장 바다로 가는 길");
  book.Paragraph(Prose(300));
  book.Paragraph(Prose(10) + u" 제 2 장 " + Prose(10));
  book.Paragraph(u"");
  book.Heading(u"제 이 장", u"제 이 장");
  book.Paragraph(u"2 장 남았다.");
  book.Paragraph(u"제 3 장 " + Prose(12));
  book.Heading(u"\u3000第3章 出發", u"第3章 出發");
  book.Paragraph(Prose(3));
  book.Heading(u"127화", u"127화");
  book.Heading(u"Chapter XII", u"Chapter XII");
  book.Paragraph(u"Chapter 3 was the best.");
  book.Heading(u"에필로그", u"에필로그");
}

std::vector<Chapter> Scan(const std::string& path, TextEncoding encoding, const HeadingRules& rules,
                          size_t blockBytes) {
  HeadlessPlatform platform;
  std::unique_ptr<File> file = platform.OpenForReading(FromUtf8(path));
  ChapterScanner scanner(rules, encoding, Cp949Snapshot::Take(platform));
  scanner.SetBlockBytes(blockBytes);
  std::vector<Chapter> found;
  ChapterScanner::Callbacks callbacks;
  callbacks.found = [&found](Chapter&& chapter) {
    chapter.rule.clear();
    chapter.level = 1;
    found.push_back(std::move(chapter));
  };
  std::string err;
  EXPECT_TRUE(scanner.Scan(*file, callbacks, &err)) << err;
  return found;
}

// The table of contents of the book at `path`: its headings and title lines, nested.
std::vector<Chapter> Outline(const std::string& path, TextEncoding encoding, size_t blockBytes) {
  HeadlessPlatform platform;
  std::unique_ptr<File> file = platform.OpenForReading(FromUtf8(path));
  HeadingRules rules;
  ChapterScanner scanner(rules, encoding, Cp949Snapshot::Take(platform));
  scanner.SetBlockBytes(blockBytes);
  std::vector<Chapter> headings;
  ChapterScanner::Callbacks callbacks;
  callbacks.found = [&headings](Chapter&& chapter) { headings.push_back(std::move(chapter)); };
  std::string err;
  EXPECT_TRUE(scanner.Scan(*file, callbacks, &err)) << err;
  std::vector<Chapter> chapters = ChapterOutline::Compose(std::move(headings), scanner.titled());
  for (Chapter& chapter : chapters)
    chapter.rule.clear();
  return chapters;
}

// Four chapters named by a title alone (in volumes when `volumes`), each with the lines that
// look like titles but are none: a one-word line of dialogue, a poem whose lines stand
// between empty lines, a scene break, a letter set as one long line.
void WriteTitledNovel(BookBuilder& book, bool volumes) {
  book.UseBreak("\r\n");
  // The title page: two short lines in a row, which no title is.
  book.Paragraph(u"별빛 우체국");
  book.Paragraph(u"김하늘 지음");
  book.Paragraph(u"");
  static const char16_t* const kTitles[] = {u"바람의 언덕", u"두 번째 편지", u"겨울 바다",
                                            u"돌아오는 길"};
  for (int c = 0; c < 4; ++c) {
    if (volumes && c % 2 == 0) {
      const std::u16string volume = c == 0 ? u"제1권 봄" : u"제2권 가을";
      book.Heading(volume, volume, 1);
      book.Paragraph(u"");
    }
    book.Heading(kTitles[c], kTitles[c], volumes ? 2 : 1);
    book.Paragraph(u"");
    for (int p = 0; p < 3; ++p)
      book.Paragraph(Prose(40));
    for (const char16_t* aside : {u"“뭐?”", u"* * *",
                                  u"당신에게 이 편지가 닿을 무렵이면 나는 이미 먼 길을 떠나 "
                                  u"바다 건너 어딘가에 있을 것입니다 부디 잘 지내요"}) {
      book.Paragraph(u"");
      book.Paragraph(aside);
      book.Paragraph(u"");
      book.Paragraph(Prose(40));
    }
    for (const char16_t* verse : {u"그대 오는 길", u"꽃잎 지는 밤", u"나 홀로 서서"}) {
      book.Paragraph(u"");
      book.Paragraph(verse);
    }
    book.Paragraph(u"");
    book.Paragraph(Prose(40));
    book.Paragraph(u"");
  }
}

TEST(ChapterScannerTitles, ANovelOfTitledChaptersListsItsTitlesAndNoLookAlike) {
  for (TextEncoding encoding : {TextEncoding::kCp949, TextEncoding::kUtf8, TextEncoding::kUtf16Le,
                                TextEncoding::kUtf16Be}) {
    TempDir dir;
    BookBuilder book(encoding);
    WriteTitledNovel(book, false);
    const std::string path = dir.Write("book.txt", book.bytes());
    for (size_t blockBytes : {size_t{2}, size_t{6}, size_t{1} << 20}) {
      EXPECT_EQ(Outline(path, encoding, blockBytes), book.expected())
          << EncodingName(encoding) << ", blocks of " << blockBytes;
    }
  }
}

TEST(ChapterScannerTitles, VolumesNestTheirTitledChapters) {
  TempDir dir;
  BookBuilder book(TextEncoding::kCp949);
  WriteTitledNovel(book, true);
  const std::string path = dir.Write("book.txt", book.bytes());
  EXPECT_EQ(Outline(path, TextEncoding::kCp949, 4096), book.expected());
}

TEST(ChapterScannerTitles, ABookWithoutHeadingsIsCutIntoSectionsNamedByTheirFirstWords) {
  TempDir dir;
  BookBuilder book(TextEncoding::kCp949);
  book.UseBreak("\n");
  while (book.bytes().size() < 2 * ChapterScanner::kSectionBytes + 1000)
    book.Paragraph(Prose(30));
  const std::string path = dir.Write("book.txt", book.bytes());
  HeadlessPlatform platform;
  std::unique_ptr<File> file = platform.OpenForReading(FromUtf8(path));
  HeadingRules rules;
  ChapterScanner scanner(rules, TextEncoding::kCp949, Cp949Snapshot::Take(platform));
  ASSERT_TRUE(scanner.Scan(*file, {}, nullptr));
  const std::vector<Chapter>& sections = scanner.sections();
  ASSERT_EQ(sections.size(), 3u);
  EXPECT_EQ(sections[0].position, 0);
  EXPECT_EQ(sections[0].title, "구간 1 · 그는 바다를 보았다 chapter");
  EXPECT_GE(sections[2].position, 2 * ChapterScanner::kSectionBytes);
  EXPECT_EQ(sections[2].title.rfind("구간 3 · ", 0), 0u);
}

TEST(ChapterScannerTitles, AWebNovelListsOnlyItsNumberedHeadings) {
  TempDir dir;
  BookBuilder book(TextEncoding::kUtf8);
  book.UseBreak("\n");
  // Every sentence its own paragraph between empty lines; short lines without a full stop
  // everywhere, spread over the book as titles would be.
  for (int c = 1; c <= 2; ++c) {
    book.Heading(u"제 " + FromUtf8(std::to_string(c)) + u" 화",
                 u"제 " + FromUtf8(std::to_string(c)) + u" 화");
    for (int s = 0; s < 40; ++s) {
      static const char16_t* const kLines[] = {u"그는 문을 열었다.", u"“뭐?”", u"쾅",
                                               u"그녀가 천천히 고개를 들어 창밖을 바라보았다.",
                                               u"어둠 속의 목소리"};
      book.Paragraph(u"");
      book.Paragraph(kLines[s % 5]);
    }
    book.Paragraph(u"");
  }
  const std::string path = dir.Write("book.txt", book.bytes());
  EXPECT_EQ(Outline(path, TextEncoding::kUtf8, 4096), book.expected());
}

class ChapterScannerTest : public ::testing::TestWithParam<TextEncoding> {
 protected:
  TempDir dir_;
  HeadingRules rules_;
};

TEST_P(ChapterScannerTest, FindsEveryHeadingAndNoLookAlikeWhereverBlocksEnd) {
  BookBuilder book(GetParam());
  WriteMixedBook(book);
  const std::string path = dir_.Write("book.txt", book.bytes());
  // Blocks of a few bytes cut headings and breaks at every place; one block holds it all.
  for (size_t blockBytes : {size_t{2}, size_t{6}, size_t{64}, size_t{1} << 20}) {
    EXPECT_EQ(Scan(path, GetParam(), rules_, blockBytes), book.expected())
        << "blocks of " << blockBytes;
  }
}

INSTANTIATE_TEST_SUITE_P(Encodings, ChapterScannerTest,
                         ::testing::Values(TextEncoding::kCp949, TextEncoding::kUtf8,
                                           TextEncoding::kUtf16Le, TextEncoding::kUtf16Be),
                         [](const auto& info) {
                           std::string name(EncodingName(info.param));
                           std::erase(name, '-');
                           return name;
                         });

TEST(ChapterScanner, AHeadingRightAfterAUtf8ByteOrderMarkStartsAfterIt) {
  TempDir dir;
  constexpr char kMark[] = "\xEF\xBB\xBF";
  constexpr int32_t kMarkBytes = 3;
  const std::string path = dir.Write("book.txt", kMark + ToUtf8(u"제 1 장\n") + ToUtf8(Prose(5)));
  const std::vector<Chapter> expected = {{kMarkBytes, "제 1 장", {}}};
  HeadingRules rules;
  for (size_t blockBytes : {size_t{2}, size_t{4}, size_t{1} << 20}) {
    EXPECT_EQ(Scan(path, TextEncoding::kUtf8, rules, blockBytes), expected)
        << "blocks of " << blockBytes;
  }
}

TEST(ChapterScanner, EveryHeadingIsTheTopLineWhenThePageStartsAtIt) {
  TempDir dir;
  BookBuilder book(TextEncoding::kCp949);
  WriteMixedBook(book);
  const std::string path = dir.Write("book.txt", book.bytes());
  HeadingRules rules;
  HeadlessPlatform platform;
  auto engine = CreateTextEngine(platform, FromUtf8(path));
  ASSERT_TRUE(engine->Load(FromUtf8(path)));
  testing::PrepareEngine(*engine, platform, 600, 400);
  for (const Chapter& chapter : Scan(path, TextEncoding::kCp949, rules, 4096)) {
    engine->SetPosition(chapter.position);
    engine->PageForward();
    ASSERT_NE(engine->GetTopLine(), nullptr);
    std::u16string top = engine->GetTopLine()->Text();
    EXPECT_NE(top.find(FromUtf8(chapter.title)), std::u16string::npos) << chapter.title;
  }
}

TEST(ChapterScanner, UserRuleFindsLinesTheBuiltInRulesDoNot) {
  TempDir dir;
  BookBuilder book(TextEncoding::kUtf8);
  book.Paragraph(Prose(5));
  book.Heading(u"#12", u"#12");
  book.Paragraph(u"#12 번지에 살았다");
  const std::string path = dir.Write("book.txt", book.bytes());
  HeadingRules rules;
  std::string err;
  ASSERT_TRUE(rules.SetUserRule("^#[0-9]+$", &err));
  EXPECT_EQ(Scan(path, TextEncoding::kUtf8, rules, 4096), book.expected());
}

TEST(ChapterScanner, StopsWhenCancelled) {
  TempDir dir;
  BookBuilder book(TextEncoding::kUtf8);
  for (int i = 0; i < 50; ++i)
    book.Heading(u"제 1 장", u"제 1 장");
  const std::string path = dir.Write("book.txt", book.bytes());
  HeadlessPlatform platform;
  std::unique_ptr<File> file = platform.OpenForReading(FromUtf8(path));
  HeadingRules rules;
  ChapterScanner scanner(rules, TextEncoding::kUtf8, nullptr);
  scanner.SetBlockBytes(16);
  std::atomic<bool> cancel{false};
  int found = 0;
  ChapterScanner::Callbacks callbacks;
  callbacks.found = [&](Chapter&&) { cancel = ++found == 3; };
  callbacks.cancel = &cancel;
  EXPECT_FALSE(scanner.Scan(*file, callbacks, nullptr));
  // The scan looks at the flag between blocks: it stops within the block of the third.
  EXPECT_GE(found, 3);
  EXPECT_LE(found, 5);
}

}  // namespace
}  // namespace lirako

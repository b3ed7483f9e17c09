#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

#include "engine/char_classes.h"
#include "engine/mbcs_text_engine.h"
#include "engine/unicode_text_engine.h"
#include "engine/utf8_text_engine.h"
#include "tests/engine/engine_test_util.h"
#include "tests/support/temp_dir.h"

namespace lirako {
namespace {

using testing::TempDir;

constexpr int kPageWidth = 240;
constexpr int kPageHeight = 320;
constexpr int kSharedLines = 2;
constexpr int kWide = 12;  // the headless width of every wide character

// Every character code page 949 gives one UTF-16 unit for, with its two bytes.
const std::map<char16_t, std::string>& Cp949Pairs(HeadlessPlatform& platform) {
  static const std::map<char16_t, std::string> pairs = [&platform] {
    std::map<char16_t, std::string> out;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
      for (int trail = 0x41; trail <= 0xFE; ++trail) {
        std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
        std::u16string unit = platform.Cp949ToUtf16(pair);
        if (unit.size() == 1 && unit[0] != 0xFFFD) out.emplace(unit[0], pair);
      }
    }
    return out;
  }();
  return pairs;
}

// A seeded book of Hangul, hanja and symbols (characters both code page 949 and UTF-8 hold),
// Latin words, numbers, tabs, blank runs, blank lines and every kind of line break.
std::u16string GenerateSharedBook(HeadlessPlatform& platform, uint32_t seed, size_t units) {
  std::vector<char16_t> wide;
  for (const auto& [unit, pair] : Cp949Pairs(platform))
    wide.push_back(unit);
  std::mt19937 rng(seed);
  auto pick = [&rng](size_t n) { return rng() % n; };
  const char16_t* breaks[] = {u"\r", u"\n", u"\r\n", u"\n\r", u"\r\r", u"\n\n"};
  std::u16string out;
  while (out.size() < units) {
    if (pick(4) == 0) out.append(pick(4), u' ');
    for (size_t w = pick(5) == 0 ? 0 : pick(60); w > 0; --w) {
      size_t kind = pick(10);
      if (kind < 5) {
        for (size_t i = 1 + pick(6); i > 0; --i)
          out.push_back(pick(8) == 0 ? wide[pick(wide.size())]
                                     : static_cast<char16_t>(0xAC00 + pick(11172)));
      } else if (kind < 8) {
        for (size_t i = pick(30) == 0 ? 45 : 1 + pick(11); i > 0; --i)
          out.push_back(static_cast<char16_t>('a' + pick(26)));
      } else if (kind == 8) {
        for (char c : std::to_string(pick(100000)))
          out.push_back(static_cast<char16_t>(c));
      } else {
        out.push_back(u'\t');
      }
      out += pick(6) == 0 ? u"  " : pick(12) == 0 ? u"\t" : u" ";
    }
    out += breaks[pick(6)];
  }
  return out;
}

std::string Cp949Bytes(HeadlessPlatform& platform, const std::u16string& text) {
  std::string out;
  for (char16_t c : text) {
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else {
      auto it = Cp949Pairs(platform).find(c);
      EXPECT_NE(it, Cp949Pairs(platform).end()) << "no code page 949 pair for " << int(c);
      if (it != Cp949Pairs(platform).end()) out += it->second;
    }
  }
  return out;
}

std::string Utf16LeBytes(const std::u16string& text) {
  return testing::Utf16File(text).substr(2);  // without the mark
}

// What must agree between engines: a line's display text, width and continuation.
struct ShownLine {
  std::u16string text;
  int width = 0;
  int continued = 0;
  bool operator==(const ShownLine&) const = default;
};
using ShownPage = std::vector<ShownLine>;

ShownPage Shown(CTextEngine& engine) {
  ShownPage page;
  auto add = [&page](const auto& lines) {
    for (const auto& line : lines)
      page.push_back({line.Text(), line.width, line.continued});
  };
  if (auto* bytes = dynamic_cast<BasicTextEngine<uint8_t>*>(&engine)) add(bytes->pageLines());
  if (auto* utf8 = dynamic_cast<BasicTextEngine<char8_t>*>(&engine)) add(utf8->pageLines());
  if (auto* units = dynamic_cast<BasicTextEngine<char16_t>*>(&engine)) add(units->pageLines());
  return page;
}

// One text opened in two engines on the same page, turned step by step alike.
class TwinBooks {
 public:
  TwinBooks(std::unique_ptr<CTextEngine> a, const std::string& aBytes,
            std::unique_ptr<CTextEngine> b, const std::string& bBytes)
      : a_(std::move(a)), b_(std::move(b)) {
    EXPECT_TRUE(a_->Load(FromUtf8(dir_.Write("a.txt", aBytes))));
    EXPECT_TRUE(b_->Load(FromUtf8(dir_.Write("b.txt", bBytes))));
    for (CTextEngine* engine : {a_.get(), b_.get()}) {
      testing::PrepareEngine(*engine, platform_, kPageWidth, kPageHeight, Rect{6, 5, 6, 5}, 1,
                             kSharedLines, true);
    }
  }
  // Runs `step` on both engines; false when their pages differ.
  template <typename Step>
  bool Both(Step step) {
    step(*a_);
    step(*b_);
    return Shown(*a_) == Shown(*b_);
  }
  bool AtEnd() { return a_->IsAtEnd() && b_->IsAtEnd(); }
  bool AtStart() { return a_->GetPosition() == 0; }

  HeadlessPlatform& platform() { return platform_; }

 private:
  TempDir dir_;
  HeadlessPlatform platform_;
  std::unique_ptr<CTextEngine> a_;
  std::unique_ptr<CTextEngine> b_;
};

constexpr int kMaxPages = 100000;

TEST(Utf8TextEngine, LaysOutLikeCodePage949ForwardBackwardAndAfterEnd) {
  HeadlessPlatform platform;
  const std::u16string text = GenerateSharedBook(platform, 1307, 120000);
  TwinBooks books(std::make_unique<CUtf8TextEngine>(platform), ToUtf8(text),
                  std::make_unique<CMbcsTextEngine>(platform), Cp949Bytes(platform, text));
  ASSERT_TRUE(books.Both([](CTextEngine& e) {
    e.GoToStart();
    e.PageForward();
  }));
  int pages = 1;
  for (; !books.AtEnd() && pages < kMaxPages; ++pages)
    ASSERT_TRUE(books.Both([](CTextEngine& e) { e.PageForward(); })) << "page " << pages;
  ASSERT_TRUE(books.AtEnd());
  ASSERT_GT(pages, 100);
  ASSERT_TRUE(books.Both([](CTextEngine& e) {
    e.GoToEnd();
    e.PageBackward();
  }));
  for (int back = 0; !books.AtStart() && back < kMaxPages; ++back)
    ASSERT_TRUE(books.Both([](CTextEngine& e) { e.PageBackward(); })) << "back " << back;
  ASSERT_TRUE(books.Both([](CTextEngine& e) {
    e.GoToEnd();
    e.PageBackward();
  }));
  for (int i = 0; i < 40; ++i) {
    ASSERT_TRUE(books.Both([](CTextEngine& e) { e.LineBackward(); })) << "line " << i;
    ASSERT_TRUE(books.Both([i](CTextEngine& e) { i % 3 ? e.PageBackward() : e.LineForward(); }));
  }
}

TEST(Utf8TextEngine, LaysOutLikeUtf16PagingForward) {
  HeadlessPlatform platform;
  const std::u16string text = GenerateSharedBook(platform, 77, 80000);
  TwinBooks books(std::make_unique<CUtf8TextEngine>(platform), ToUtf8(text),
                  std::make_unique<CUnicodeTextEngine>(platform, 1), Utf16LeBytes(text));
  ASSERT_TRUE(books.Both([](CTextEngine& e) {
    e.GoToStart();
    e.PageForward();
  }));
  int pages = 1;
  for (; !books.AtEnd() && pages < kMaxPages; ++pages)
    ASSERT_TRUE(books.Both([](CTextEngine& e) { e.PageForward(); })) << "page " << pages;
  EXPECT_GT(pages, 50);
}

// UTF-8 text put together from pieces of known characters, with the start of each.
class CharacterRun {
 public:
  // Appends one character of one or more bytes.
  void Add(const std::string& character) {
    starts_.push_back(static_cast<int32_t>(bytes_.size()));
    bytes_ += character;
  }
  // Appends bytes that are a character each.
  void AddBytes(const std::string& bytes) {
    for (char b : bytes)
      Add(std::string(1, b));
  }
  const std::string& bytes() const { return bytes_; }
  std::vector<int32_t> starts() const {
    std::vector<int32_t> all = starts_;
    all.push_back(static_cast<int32_t>(bytes_.size()));
    return all;
  }

 private:
  std::string bytes_;
  std::vector<int32_t> starts_;
};

// A UTF-8 book opened in its engine, with the file's character starts when they are known.
class Utf8Book {
 public:
  explicit Utf8Book(const std::string& bytes, std::vector<int32_t> starts = {},
                    int width = kPageWidth, int splitSpan = 0)
      : bytes_(bytes), engine_(platform_), starts_(std::move(starts)) {
    EXPECT_TRUE(engine_.Load(FromUtf8(dir_.Write("book.txt", bytes))));
    if (splitSpan > 0) engine_.reader().SetSplitSpan(splitSpan);
    testing::PrepareEngine(engine_, platform_, width, kPageHeight);
  }

  bool IsCharacterStart(int32_t pos) const {
    return std::binary_search(starts_.begin(), starts_.end(), pos);
  }
  // Every line of the page is the file's bytes at its offset and starts and ends on
  // character starts.
  void ExpectWholeCharacters() const {
    for (const auto& line : engine_.pageLines()) {
      const std::string units(line.text.begin(), line.text.end());
      ASSERT_EQ(bytes_.compare(static_cast<size_t>(line.offset), units.size(), units), 0)
          << line.offset;
      ASSERT_TRUE(IsCharacterStart(line.offset)) << line.offset;
      ASSERT_TRUE(IsCharacterStart(line.offset + line.length)) << line.offset;
    }
  }
  // Pages to the end and back to the start, checking every page; returns the pages forward.
  int PageThrough() {
    engine_.GoToStart();
    engine_.PageForward();
    int pages = 1;
    for (; pages < kMaxPages; ++pages) {
      ExpectWholeCharacters();
      if (engine_.IsAtEnd()) break;
      engine_.PageForward();
    }
    engine_.GoToEnd();
    engine_.PageBackward();
    for (int back = 0; back < kMaxPages && engine_.GetPosition() > 0; ++back) {
      ExpectWholeCharacters();
      engine_.PageBackward();
    }
    return pages;
  }

  CUtf8TextEngine& engine() { return engine_; }

 private:
  TempDir dir_;
  HeadlessPlatform platform_;
  std::string bytes_;
  CUtf8TextEngine engine_;
  std::vector<int32_t> starts_;
};

// One sample of every kind of malformed UTF-8, each byte a character of its own.
const std::string kMalformed[] = {
    "\x80",              // lone continuation byte
    "\xE2\x82",          // truncated sequence
    "\xC0\xAF",          // overlong form
    "\xE0\x80\xAF",      // overlong three-byte form
    "\xED\xA0\x80",      // encoded surrogate
    "\xF4\x90\x80\x80",  // above U+10FFFF
    "\xF5\xFF",          // bytes that start nothing
};

TEST(Utf8TextEngine, MalformedBytesAreWideReplacementCharacters) {
  std::string paragraph = "a";
  size_t bytes = 0;
  for (const std::string& m : kMalformed) {
    paragraph += m;
    bytes += m.size();
  }
  Utf8Book book(paragraph + "\xEA\xB0\x80\n");  // and one well-formed 가
  book.engine().GoToStart();
  book.engine().PageForward();
  ASSERT_EQ(book.engine().pageLines().size(), 1u);
  const auto& line = book.engine().pageLines().front();
  EXPECT_EQ(line.Text(), u"a" + std::u16string(bytes, u'\uFFFD') + u"가");
  EXPECT_EQ(line.width, 6 + static_cast<int>(bytes + 1) * kWide);
}

TEST(Utf8TextEngine, MalformedBytesAcrossChunksCutsAndTheEnd) {
  // Two long runs without breaks of well-formed sequences of every length and malformed
  // bytes (each followed by a letter, so that no two of them make a sequence), the file
  // ending in a truncated sequence: chunk borders, cuts and lines fall everywhere.
  std::mt19937 rng(5);
  const std::string pieces[] = {"a", "\xC3\xA9", "\xEA\xB0\x80", "\xF0\x9F\x98\x80", " "};
  CharacterRun run;
  for (size_t part = 0; part < 2; ++part) {
    while (run.bytes().size() < (part + 1) * (3 * 2048 + 500)) {
      if (rng() % 9 == 0) {
        run.AddBytes(kMalformed[rng() % std::size(kMalformed)]);
        run.Add("a");
      } else {
        run.Add(pieces[rng() % 5]);
      }
    }
    run.Add("\n");
  }
  run.AddBytes("\xF0\x9F\x98");
  constexpr int kNarrowPage = 100;
  constexpr int kSmallSplitSpan = 700;
  Utf8Book book(run.bytes(), run.starts(), kNarrowPage, kSmallSplitSpan);
  EXPECT_GT(book.PageThrough(), 10);
  for (float f : {0.1f, 0.37f, 0.5f, 0.93f}) {
    book.engine().SetFraction(f);
    book.engine().PageForward();
    book.ExpectWholeCharacters();
  }
}

TEST(Utf8TextEngine, PositionsInsideACharacterMoveBackToItsStart) {
  Utf8Book book("ab\xEA\xB0\x80\xEB\x82\x98\n");  // ab가나
  constexpr int32_t kInsideNa = 6;
  constexpr int32_t kNa = 5;
  book.engine().SetPosition(kInsideNa);
  book.engine().PageForward();
  EXPECT_EQ(book.engine().GetPosition(), kNa);
  EXPECT_EQ(book.engine().pageLines().front().Text(), u"나");
}

TEST(Utf8TextEngine, ByteOrderMarkIsNotShownAndTakesNoRoom) {
  const std::string kBom = "\xEF\xBB\xBF";
  Utf8Book book(kBom + "abc\n\xEA\xB0\x80");
  CUtf8TextEngine& engine = book.engine();
  EXPECT_EQ(engine.GetSize(), 3 + 4 + 3);
  engine.GoToStart();
  engine.PageForward();
  ASSERT_EQ(engine.pageLines().size(), 2u);
  EXPECT_EQ(engine.pageLines().front().offset, 3);
  EXPECT_EQ(engine.pageLines().front().Text(), u"abc");
  EXPECT_EQ(engine.pageLines().front().width, 3 * 6);
  engine.GoToEnd();
  engine.PageBackward();
  ASSERT_EQ(engine.pageLines().size(), 2u);
  EXPECT_EQ(engine.pageLines().front().Text(), u"abc");
  engine.SetPosition(1);
  engine.PageForward();
  EXPECT_EQ(engine.GetPosition(), 3);
}

TEST(Utf8TextEngine, SearchFindsTextInLaterParagraphsWithAndWithoutCase) {
  std::string book;
  for (int i = 0; i < 3000; ++i)
    book += "\xEB\xB3\x84\xEB\xB9\x9B line " + std::to_string(i) + "\n";  // 별빛
  const int32_t target = static_cast<int32_t>(book.size());
  book += "\xEB\x8B\xAC Moon \xEB\x8B\xAC\n";  // 달 Moon 달
  Utf8Book utf8(book);
  CUtf8TextEngine& engine = utf8.engine();
  int32_t index = 0;
  engine.SetSearchStart(0);
  EXPECT_EQ(engine.FindNext(u"moon 달", &index, 0), target);
  EXPECT_EQ(index, 2);
  engine.SetSearchStart(0);
  EXPECT_EQ(engine.FindNext(u"moon 달", &index, 1), -1);
  engine.SetSearchStart(0);
  EXPECT_EQ(engine.FindNext(u"Moon 달", &index, 1), target);
}

TEST(UnicodeTextEngine, GivenByteOrderReadsFilesWithoutAMarkFromTheirFirstUnit) {
  TempDir dir;
  HeadlessPlatform platform;
  for (int order : {1, 0}) {
    std::string bytes = testing::Utf16File(u"가b\nc", order == 0).substr(2);
    CUnicodeTextEngine engine(platform, order);
    ASSERT_TRUE(engine.Load(FromUtf8(dir.Write("plain.txt", bytes))));
    testing::PrepareEngine(engine, platform, kPageWidth, kPageHeight);
    engine.GoToStart();
    engine.PageForward();
    ASSERT_EQ(engine.pageLines().size(), 2u);
    EXPECT_EQ(engine.pageLines().front().offset, 0);
    EXPECT_EQ(engine.pageLines().front().Text(), u"가b");
  }
  // With the mark of the order given, the mark reads as a blank as before.
  CUnicodeTextEngine marked(platform, 1);
  ASSERT_TRUE(marked.Load(FromUtf8(dir.Write("marked.txt", testing::Utf16File(u"ab")))));
  testing::PrepareEngine(marked, platform, kPageWidth, kPageHeight);
  marked.GoToStart();
  marked.PageForward();
  EXPECT_EQ(marked.pageLines().front().Text(), u" ab");
}

}  // namespace
}  // namespace lirako

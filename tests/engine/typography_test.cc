#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <type_traits>
#include <vector>

#include "engine/char_classes.h"
#include "engine/mbcs_text_engine.h"
#include "engine/unicode_text_engine.h"
#include "engine/utf8_text_engine.h"
#include "platform/cp949_converter.h"
#include "tests/engine/engine_test_util.h"
#include "tests/support/temp_dir.h"

namespace lirako {
namespace {

// The marks of the line-start and line-end rules, as the reader displays them.
constexpr std::u16string_view kClosingMarks =
    u",.!?:;)]}\u300D\u300F\u3009\u300B\u3011\u3015\u2019\u201D\u2026\u2025\u00B7\u3001\u3002"
    u"\uFF01\uFF0C\uFF0E\uFF1A\uFF1B\uFF1F\uFF09\uFF3D\uFF5D";
constexpr std::u16string_view kOpeningMarks =
    u"([{\u300C\u300E\u3008\u300A\u3010\u3014\u2018\u201C\uFF08\uFF3B\uFF5B";

// The same marks in code page 949.
const std::vector<std::string> kCp949Closing = {
    ",",        ".",        "!",        "?",        ":",        ";",        ")",        "]",
    "}",        "\xA1\xB9", "\xA1\xBB", "\xA1\xB5", "\xA1\xB7", "\xA1\xBD", "\xA1\xB3", "\xA1\xAF",
    "\xA1\xB1", "\xA1\xA6", "\xA1\xA5", "\xA1\xA4", "\xA1\xA2", "\xA1\xA3", "\xA3\xA1", "\xA3\xAC",
    "\xA3\xAE", "\xA3\xBA", "\xA3\xBB", "\xA3\xBF", "\xA3\xA9", "\xA3\xDD", "\xA3\xFD"};
const std::vector<std::string> kCp949Opening = {
    "(",        "[",        "{",        "\xA1\xB8", "\xA1\xBA", "\xA1\xB4", "\xA1\xB6",
    "\xA1\xBC", "\xA1\xB2", "\xA1\xAE", "\xA1\xB0", "\xA3\xA8", "\xA3\xDB", "\xA3\xFB"};

constexpr int kPageWidth = 240;
constexpr int kPageHeight = 320;
constexpr Rect kMargins{6, 5, 6, 5};
constexpr int kAvail = kPageWidth - 6 - 6;
constexpr int kWide = 12;  // headless width of every double-byte character
// Syllables of a word longer than a line.
constexpr int kOverlongWord = kAvail / kWide + 6;

bool IsClosing(char16_t c) {
  return kClosingMarks.find(c) != std::u16string_view::npos;
}
bool IsOpening(char16_t c) {
  return kOpeningMarks.find(c) != std::u16string_view::npos;
}

// Korean text dense with punctuation, in code page 949: words of Hangul syllables, most with
// closing marks after them or opening marks before them, some marks standing alone between
// blanks, and now and then a word longer than a line. With `wrapAt` > 0 every paragraph is
// hard-wrapped with `lineEnd` in place of a blank about every `wrapAt` bytes and paragraphs
// end with an empty line; else each paragraph is one line.
std::string PunctuatedBook(uint32_t seed, size_t bytes, int wrapAt, const std::string& lineEnd) {
  std::mt19937 rng(seed);
  auto pick = [&rng](size_t n) { return static_cast<size_t>(rng() % n); };
  auto syllables = [&](size_t n) {
    std::string out;
    for (size_t i = 0; i < n; ++i) {
      out += static_cast<char>(0xB0 + pick(0x19));
      out += static_cast<char>(0xA1 + pick(0x5E));
    }
    return out;
  };
  std::string book;
  while (book.size() < bytes) {
    std::string line;
    // Now and then a paragraph longer than the split span of the joined books.
    const size_t words = wrapAt > 0 && pick(10) == 0 ? 800 : 3 + pick(40);
    for (size_t w = 0; w < words; ++w) {
      std::string word;
      if (pick(5) == 0) word += kCp949Opening[pick(kCp949Opening.size())];
      word += syllables(pick(30) == 0 ? kOverlongWord : 1 + pick(5));
      for (size_t m = pick(3); m > 0; --m)
        word += kCp949Closing[pick(kCp949Closing.size())];
      if (pick(12) == 0) word = kCp949Closing[pick(kCp949Closing.size())];
      if (!line.empty()) {
        const size_t lastBreak = line.rfind(lineEnd);
        const size_t sinceBreak =
            line.size() - (lastBreak == std::string::npos ? 0 : lastBreak + lineEnd.size());
        const bool wrap = wrapAt > 0 && sinceBreak >= static_cast<size_t>(wrapAt) + pick(wrapAt);
        line += wrap ? lineEnd : " ";
      }
      line += word;
    }
    book += line + lineEnd;
    if (wrapAt > 0) book += lineEnd;
  }
  return book;
}

// A page line as the tests look at it: its place, flags, widths, its units widened to UTF-16
// and its text as displayed.
struct SeenLine {
  int32_t offset = 0;
  int32_t end = 0;
  int continued = 0;
  int width = 0;
  int hang = 0;
  std::u16string units;
  std::u16string text;
};

// A book opened in one engine on a 240 x 320 page with the typesetting options given.
template <typename Engine>
class TypesetBook {
 public:
  TypesetBook(const std::string& cp949, const Typography& typography, int32_t splitSpan = 0)
      : engine_(platform_) {
    std::string file = cp949;
    if constexpr (std::is_same_v<Engine, CUnicodeTextEngine>) {
      file = testing::Utf16File(Cp949Converter::Instance().Convert(cp949));
    } else if constexpr (std::is_same_v<Engine, CUtf8TextEngine>) {
      file = ToUtf8(Cp949Converter::Instance().Convert(cp949));
    }
    EXPECT_TRUE(engine_.Load(FromUtf8(dir_.Write("book.txt", file))));
    testing::PrepareEngine(engine_, platform_, kPageWidth, kPageHeight, kMargins, 1, 0, false);
    engine_.SetTypography(typography);
    if (splitSpan > 0) engine_.reader().SetSplitSpan(splitSpan);
  }

  Engine& engine() { return engine_; }

  std::vector<SeenLine> Page() const {
    std::vector<SeenLine> page;
    for (const auto& line : engine_.pageLines()) {
      SeenLine seen{line.offset, line.end, line.continued, line.width, line.hang, {}, line.Text()};
      for (auto unit : line.text)
        seen.units.push_back(static_cast<char16_t>(unit));
      page.push_back(seen);
    }
    return page;
  }

  // Pages from the start to the end: every line once, in reading order.
  std::vector<SeenLine> PageForward() {
    std::vector<SeenLine> lines;
    engine_.GoToStart();
    for (int guard = 0; guard < 100000 && !engine_.IsAtEnd(); ++guard) {
      engine_.PageForward();
      for (const SeenLine& line : Page()) {
        if (lines.empty() || line.offset > lines.back().offset) lines.push_back(line);
      }
    }
    return lines;
  }

  // Pages from the end back to the first page: every line with text once, by offset.
  std::map<int32_t, SeenLine> PageBackward() {
    std::map<int32_t, SeenLine> lines;
    engine_.GoToEnd();
    for (int guard = 0; guard < 100000; ++guard) {
      engine_.PageBackward();
      auto page = Page();
      for (const SeenLine& line : page) {
        if (!line.units.empty()) lines[line.offset] = line;
      }
      if (page.empty() || page.front().offset == 0) break;
    }
    return lines;
  }

 private:
  testing::TempDir dir_;
  HeadlessPlatform platform_;
  Engine engine_;
};

// No continued line starts with a closing mark or ends with an opening one; a hanging mark is
// one closing mark past the available width.
void ExpectEdgeRulesKept(const std::vector<SeenLine>& lines) {
  for (size_t i = 0; i < lines.size(); ++i) {
    const SeenLine& line = lines[i];
    EXPECT_LE(line.hang, kWide) << line.offset;
    EXPECT_LE(line.width - line.hang, kAvail) << line.offset;
    if (line.hang > 0) {
      EXPECT_TRUE(IsClosing(line.text.back())) << line.offset;
    }
    if (!line.continued || i + 1 == lines.size()) continue;
    const std::u16string& next = lines[i + 1].text;
    ASSERT_FALSE(next.empty()) << line.offset;
    EXPECT_FALSE(IsClosing(next.front())) << lines[i + 1].offset;
    const size_t last = line.text.find_last_not_of(u" \t");
    ASSERT_NE(last, std::u16string::npos) << line.offset;
    EXPECT_FALSE(IsOpening(line.text[last])) << line.offset;
  }
}

// The lines' ends meet the next lines' offsets from the file start to its end, and every
// line holds the file's units at its offset.
void ExpectTiling(const std::vector<SeenLine>& lines, const std::u16string& fileUnits) {
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front().offset, 0);
  EXPECT_EQ(lines.back().end, static_cast<int32_t>(fileUnits.size()));
  for (size_t i = 0; i < lines.size(); ++i) {
    EXPECT_EQ(fileUnits.compare(static_cast<size_t>(lines[i].offset), lines[i].units.size(),
                                lines[i].units),
              0)
        << lines[i].offset;
    if (i + 1 < lines.size()) {
      EXPECT_EQ(lines[i].end, lines[i + 1].offset);
    }
  }
}

template <typename Engine>
std::u16string FileUnits(const std::string& cp949) {
  if constexpr (std::is_same_v<Engine, CUnicodeTextEngine>) {
    return u" " + Cp949Converter::Instance().Convert(cp949);  // the mark reads as a blank
  } else if constexpr (std::is_same_v<Engine, CUtf8TextEngine>) {
    std::u16string units;
    for (char c : ToUtf8(Cp949Converter::Instance().Convert(cp949)))
      units.push_back(static_cast<unsigned char>(c));
    return units;
  } else {
    std::u16string units;
    for (char c : cp949)
      units.push_back(static_cast<unsigned char>(c));
    return units;
  }
}

template <typename Engine>
class TypesetText : public ::testing::Test {};
using Engines = ::testing::Types<CMbcsTextEngine, CUnicodeTextEngine, CUtf8TextEngine>;
TYPED_TEST_SUITE(TypesetText, Engines);

TYPED_TEST(TypesetText, LineEdgeRulesHoldForwardAndBackwardWithNothingLost) {
  const std::string text = PunctuatedBook(17, 60000, 0, "\r\n");
  TypesetBook<TypeParam> book(text, Typography{.kinsoku = true});
  const std::vector<SeenLine> forward = book.PageForward();
  ExpectEdgeRulesKept(forward);
  ExpectTiling(forward, FileUnits<TypeParam>(text));
  int hanging = 0;
  for (const SeenLine& line : forward)
    hanging += line.hang > 0;
  EXPECT_GT(hanging, 0);
  std::vector<SeenLine> backward;
  for (const auto& [offset, line] : book.PageBackward())
    backward.push_back(line);
  ExpectEdgeRulesKept(backward);
}

TYPED_TEST(TypesetText, WordKeepingWrapEndsContinuedLinesAtBlanks) {
  const std::string text = PunctuatedBook(23, 40000, 0, "\n");
  const std::u16string units = FileUnits<TypeParam>(text);
  for (bool kinsoku : {false, true}) {
    TypesetBook<TypeParam> book(text, Typography{.kinsoku = kinsoku, .keepAll = true});
    const std::vector<SeenLine> lines = book.PageForward();
    ExpectTiling(lines, units);
    int overlong = 0;
    for (const SeenLine& line : lines) {
      if (!line.continued) continue;
      const bool oneWord = line.units.find_first_of(u" \t") == std::u16string::npos;
      overlong += oneWord;
      EXPECT_TRUE(IsBlank(units[static_cast<size_t>(line.end - 1)]) || oneWord) << line.offset;
    }
    EXPECT_GT(overlong, 0);
  }
}

// A hard-wrapped book read with lines joined on a small split span, so that long paragraphs
// are cut too.
template <typename Engine>
class JoinedBook : public TypesetBook<Engine> {
 public:
  static constexpr int32_t kSpan = 2048;
  explicit JoinedBook(const std::string& lineEnd)
      : TypesetBook<Engine>(PunctuatedBook(31, 80000, 70, lineEnd),
                            Typography{.kinsoku = true, .joinLines = true}, kSpan) {}
};

// Whether the line break that ends at `end` closes a file line from which a multiple of
// `span` cuts the next one: the joined book is read in pieces there.
bool CutAt(const std::u16string& units, int32_t end, int32_t span) {
  if (end <= 0 || end >= static_cast<int32_t>(units.size()) || !IsLineBreak(units[end - 1]))
    return false;
  int32_t lineStart = end - 1;
  while (lineStart > 0 && IsLineBreak(units[lineStart - 1]))
    --lineStart;
  while (lineStart > 0 && !IsLineBreak(units[lineStart - 1]))
    --lineStart;
  return end / span > lineStart / span;
}

// Whether the forward line `i` starts a piece of the joined book: a paragraph or a cut.
bool StartsPiece(const std::vector<SeenLine>& forward, size_t i, const std::u16string& units) {
  return i == 0 || !forward[i - 1].continued ||
         CutAt(units, forward[i - 1].end, JoinedBook<CMbcsTextEngine>::kSpan);
}

TYPED_TEST(TypesetText, JoinedLinesPageTheSameForwardAndBackward) {
  for (const char* lineEnd : {"\r\n", "\n"}) {
    JoinedBook<TypeParam> book(lineEnd);
    const std::u16string units = FileUnits<TypeParam>(PunctuatedBook(31, 80000, 70, lineEnd));
    const std::u16string blankLine = FileUnits<CMbcsTextEngine>(std::string(lineEnd) + lineEnd);
    std::vector<SeenLine> forward = book.PageForward();
    std::map<int32_t, SeenLine> backward = book.PageBackward();
    size_t withText = 0;
    int32_t paragraph = 0;
    int32_t longest = 0;
    int cuts = 0;
    for (size_t i = 0; i < forward.size(); ++i) {
      const SeenLine& line = forward[i];
      if (StartsPiece(forward, i, units)) paragraph = line.offset;
      longest = std::max(longest, line.end - paragraph);
      if (line.units.empty()) continue;
      ++withText;
      // A paragraph ends where an empty line follows it; every other line continues its
      // paragraph, across a line break where the pieces are cut as well.
      if (i + 1 < forward.size()) {
        // The empty line was read with the paragraph or shows as a line of its own.
        auto blankAt = [&](size_t pos) {
          return units.compare(pos, blankLine.size(), blankLine) == 0;
        };
        const size_t end = static_cast<size_t>(line.end);
        const bool ends = blankAt(end - blankLine.size()) || blankAt(end - blankLine.size() / 2);
        EXPECT_EQ(line.continued, ends ? 0 : 1) << line.offset;
        cuts += CutAt(units, line.end, JoinedBook<TypeParam>::kSpan) && line.continued;
      }
      auto seen = backward.find(line.offset);
      ASSERT_NE(seen, backward.end()) << line.offset;
      EXPECT_EQ(seen->second.units, line.units) << line.offset;
      EXPECT_EQ(seen->second.end, line.end) << line.offset;
      EXPECT_EQ(seen->second.continued, line.continued) << line.offset;
    }
    EXPECT_GT(cuts, 0);
    EXPECT_EQ(backward.size(), withText);
    // Joined paragraphs run across many lines of the file, but are cut near each span.
    EXPECT_GT(longest, JoinedBook<TypeParam>::kSpan / 2);
    EXPECT_LT(longest, JoinedBook<TypeParam>::kSpan + 400);
    // The edge rules hold inside each piece: a cut falls on a line break of the file.
    for (SeenLine& line : forward) {
      if (CutAt(units, line.end, JoinedBook<TypeParam>::kSpan)) line.continued = 0;
    }
    ExpectEdgeRulesKept(forward);
  }
}

TYPED_TEST(TypesetText, JoinedLinesStepInEitherDirectionAsTheyReadForward) {
  // A paragraph read back from a page that starts inside it ends at that page, blanks
  // included: lines are compared without their trailing blanks.
  auto trimmed = [](std::u16string units) {
    while (!units.empty() && IsBlank(units.back()))
      units.pop_back();
    return units;
  };
  JoinedBook<TypeParam> book("\r\n");
  std::map<int32_t, std::pair<std::u16string, int32_t>> reference;
  for (const SeenLine& line : book.PageForward())
    reference[line.offset] = {trimmed(line.units), line.end};
  std::mt19937 rng(5);
  TypeParam& engine = book.engine();
  engine.SetFraction(0.4f);
  engine.PageForward();
  for (int step = 0; step < 400; ++step) {
    switch (rng() % 4) {
      case 0:
        engine.PageForward();
        break;
      case 1:
        engine.PageBackward();
        break;
      case 2:
        engine.LineForward();
        break;
      default:
        engine.LineBackward();
    }
    for (const SeenLine& line : book.Page()) {
      if (line.units.empty()) continue;
      auto known = reference.find(line.offset);
      ASSERT_NE(known, reference.end()) << "step " << step << " offset " << line.offset;
      ASSERT_EQ(known->second, std::make_pair(trimmed(line.units), line.end))
          << "step " << step << " at " << line.offset;
    }
  }
}

TYPED_TEST(TypesetText, JumpsLandAtJoinedParagraphStarts) {
  JoinedBook<TypeParam> book("\r\n");
  const std::u16string units = FileUnits<TypeParam>(PunctuatedBook(31, 80000, 70, "\r\n"));
  const std::vector<SeenLine> forward = book.PageForward();
  std::map<int32_t, bool> startsParagraph;
  for (size_t i = 0; i < forward.size(); ++i)
    startsParagraph[forward[i].offset] = StartsPiece(forward, i, units);
  for (float fraction : {0.13f, 0.5f, 0.77f, 0.91f}) {
    book.engine().SetFraction(fraction);
    book.engine().PageForward();
    for (const SeenLine& line : book.Page()) {
      if (line.units.empty()) continue;
      ASSERT_TRUE(startsParagraph.count(line.offset)) << fraction;
      EXPECT_TRUE(startsParagraph[line.offset]) << fraction;
      break;
    }
  }
}

TYPED_TEST(TypesetText, SearchCrossesAJoinedBreakOnlyWithABlank) {
  // "가나" ends a line of the file and "다라" starts the next one.
  const std::string text = "\xB0\xA1\xB3\xAA\r\n\xB4\xD9\xB6\xF3 \xB8\xB6\r\n";
  TypesetBook<TypeParam> book(text, Typography{.joinLines = true});
  int32_t index = 0;
  book.engine().SetSearchStart(0);
  EXPECT_NE(book.engine().FindNext(u"\uAC00\uB098 \uB2E4\uB77C", &index, 0), -1);
  book.engine().SetSearchStart(0);
  EXPECT_EQ(book.engine().FindNext(u"\uAC00\uB098\uB2E4\uB77C", &index, 0), -1);
}

}  // namespace
}  // namespace lirako

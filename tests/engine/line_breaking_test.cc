#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/mbcs_text_engine.h"
#include "engine/unicode_text_engine.h"
#include "tests/engine/engine_test_util.h"

namespace lirako {
namespace {

// Metrics: narrow 6, wide 12; the available width is the page width (no margins).
template <typename Engine>
class Wrapper {
 public:
  using Unit = typename Engine::Reader::UnitType;

  Wrapper(int width, bool justify = false) : engine_(platform_) {
    testing::PrepareEngine(engine_, platform_, width, 400, Rect{0, 0, 0, 0}, 0, 0, justify);
  }

  // Wraps `text` as a paragraph read forward at position 100 with a one-unit break.
  typename Engine::Lines Wrap(const std::basic_string<Unit>& text) {
    ParagraphBuffer<Unit> paragraph;
    for (Unit u : text)
      paragraph.Append(u);
    paragraph.start = paragraph.textStart = 100;
    paragraph.consumed = static_cast<int32_t>(text.size()) + 1;
    paragraph.end = paragraph.start + paragraph.consumed;
    typename Engine::Lines lines;
    engine_.wrapCursor = 0;
    engine_.WrapParagraph(paragraph, lines);
    return lines;
  }

  // The texts of the lines, as units widened to UTF-16.
  std::vector<std::u16string> Texts(const std::basic_string<Unit>& text) {
    std::vector<std::u16string> out;
    for (const auto& line : Wrap(text))
      out.emplace_back(line.text.begin(), line.text.end());
    return out;
  }

  HeadlessPlatform platform_;
  Engine engine_;
};

using Bytes = std::basic_string<uint8_t>;
Bytes B(const std::string& s) {
  return Bytes(s.begin(), s.end());
}
std::u16string W(const std::string& s) {
  std::u16string out;
  for (char c : s)
    out.push_back(static_cast<unsigned char>(c));
  return out;
}

TEST(LineBreaking, KeepsOneLeadingBlankOnTheFirstLineOnly) {
  Wrapper<CMbcsTextEngine> w(60);
  auto lines = w.Wrap(B("   abcd efgh   ijklmnop"));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].offset, 102);  // of three leading blanks one stays
  // " abcd efgh" fits exactly, but the blank after it does not: efgh moves on.
  EXPECT_EQ(std::string(lines[0].text.begin(), lines[0].text.end()), " abcd");
  EXPECT_EQ(lines[1].offset, 108);
  EXPECT_EQ(lines[2].offset, 115);  // continuation lines start after the blanks
  EXPECT_EQ(lines[2].text.front(), 'i');
  EXPECT_EQ(lines[0].end, lines[1].offset);
  EXPECT_EQ(lines[1].end, lines[2].offset);
  EXPECT_EQ(w.Wrap(B(" ab"))[0].offset, 100);
  EXPECT_EQ(w.Texts(B(" ab"))[0], u" ab");
  EXPECT_EQ(w.Wrap(B("  ab"))[0].offset, 101);
}

TEST(LineBreaking, LatinRunsMoveWholeAndWideRunsBreakAtTheOverflow) {
  Wrapper<CMbcsTextEngine> w(60);  // ten narrow characters
  EXPECT_EQ(w.Texts(B("abcd efghij")), (std::vector<std::u16string>{u"abcd", u"efghij"}));
  // With Hangul since the last blank the line ends before the first character that does not fit.
  auto hangul =
      w.Texts(B("abcd \xB0\xA1\xB3\xAA\xB4\xD9"
                "ab"));
  ASSERT_EQ(hangul.size(), 2u);
  EXPECT_EQ(hangul[0], W("abcd \xB0\xA1\xB3\xAA"));
  EXPECT_EQ(hangul[1], W("\xB4\xD9"
                         "ab"));

  // The character that does not fit is a blank right after a word: a Latin word that fitted
  // moves, a word with a wide character stays.
  Wrapper<CMbcsTextEngine> narrow(48);
  EXPECT_EQ(narrow.Texts(B("ab cdefg hi")), (std::vector<std::u16string>{u"ab", u"cdefg hi"}));
  Wrapper<CMbcsTextEngine> wide(54);
  EXPECT_EQ(wide.Texts(B("ab \xB0\xA1\xB3\xAA\xB4\xD9 x")),
            (std::vector<std::u16string>{W("ab \xB0\xA1\xB3\xAA\xB4\xD9"), u"x"}));
  // Overflow on a blank inside a blank run ends the line at the start of the run.
  Wrapper<CMbcsTextEngine> run(42);
  auto lines = run.Wrap(B("\xB0\xA1\xB3\xAA\xB4\xD9   b"));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].length, 6);
  EXPECT_EQ(lines[0].width, 36);
  EXPECT_EQ(lines[1].offset, 109);
  EXPECT_EQ(lines[0].end, 109);
}

TEST(LineBreaking, SplitsOverlongWordsOnlyAtLineStart) {
  Wrapper<CMbcsTextEngine> w(30);  // five narrow characters
  EXPECT_EQ(w.Texts(B("abcdefghijkl")), (std::vector<std::u16string>{u"abcde", u"fghij", u"kl"}));
  EXPECT_EQ(w.Texts(B("x abcdefghijkl")),
            (std::vector<std::u16string>{u"x", u"abcde", u"fghij", u"kl"}));
  auto lines = w.Wrap(B("abcdefghijkl"));
  EXPECT_EQ(lines[0].continued, 1);
  EXPECT_EQ(lines[2].continued, 0);
  EXPECT_EQ(lines[0].width, 30);
  EXPECT_EQ(lines[2].end, 113);  // the last line stands for the break too
}

TEST(LineBreaking, NeverSplitsAPairAndAlwaysProgresses) {
  Wrapper<CMbcsTextEngine> w(30);
  // a + two syllables fill 30 pixels; the extended syllable C6 41 is a pair too.
  std::string text = "a\xB0\xA1\xC6\x41\xB0\xA1\xB0\xA1\xB0\xA1\x81\x41";
  auto lines = w.Wrap(B(text));
  int32_t covered = 0;
  for (const auto& line : lines) {
    EXPECT_EQ((line.offset - 100 - (line.offset > 100 ? 1 : 0)) % 2, 0) << line.offset;
    EXPECT_LE(line.width, 30);
    covered += line.length;
  }
  EXPECT_EQ(covered, static_cast<int32_t>(text.size()));
  EXPECT_EQ(lines[0].length, 5);
  EXPECT_EQ(lines[0].width, 30);

  // Nothing fits: one character per line, a pair staying whole.
  Wrapper<CMbcsTextEngine> tiny(4);
  auto forced = tiny.Wrap(B("ab\xB0\xA1"));
  ASSERT_EQ(forced.size(), 3u);
  EXPECT_EQ(forced[2].length, 2);
  EXPECT_EQ(forced[2].continued, 0);
  Wrapper<CMbcsTextEngine> none(-20);
  EXPECT_EQ(none.Wrap(B("abc")).size(), 3u);
}

TEST(LineBreaking, ShortParagraphsGiveOneUntrimmedLine) {
  Wrapper<CMbcsTextEngine> w(60, true);
  auto empty = w.Wrap(B(""));
  ASSERT_EQ(empty.size(), 1u);
  EXPECT_TRUE(empty[0].text.empty());
  EXPECT_EQ(empty[0].length, 1);  // the break
  EXPECT_EQ(empty[0].width, 0);
  EXPECT_EQ(empty[0].continued, 0);
  EXPECT_EQ(empty[0].textSize(), 2);
  auto one = w.Wrap(B(" "));
  ASSERT_EQ(one.size(), 1u);
  EXPECT_EQ(one[0].text.size(), 1u);  // never trimmed
  EXPECT_EQ(one[0].width, 0);
}

TEST(LineBreaking, JustifyTrimsTrailingBlanks) {
  Wrapper<CMbcsTextEngine> on(120, true);
  auto trimmed = on.Wrap(B("ab cd \t "));
  ASSERT_EQ(trimmed.size(), 1u);
  EXPECT_EQ(trimmed[0].width, 30);
  EXPECT_EQ(trimmed[0].length, 8);
  EXPECT_EQ(trimmed[0].textLength(), 5);
  Wrapper<CMbcsTextEngine> off(120, false);
  auto kept = off.Wrap(B("ab cd \t "));
  EXPECT_EQ(kept[0].width, 30 + 6 + 24 + 6);
  EXPECT_EQ(kept[0].textLength(), 8);
}

TEST(LineBreaking, Utf16TreatsEveryNonAsciiUnitAsWide) {
  Wrapper<CUnicodeTextEngine> w(60);
  // é is wide: the word with it stays and breaks at the overflow.
  auto lines = w.Texts(u"abcd \u00E9fghijk");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], u"abcd \u00E9fgh");
  EXPECT_EQ(w.Texts(u"abcd efghij"), (std::vector<std::u16string>{u"abcd", u"efghij"}));
  EXPECT_EQ(w.Wrap(u"\uD55C\uAE00\uD55C\uAE00\uD55C\uAE00")[0].width, 60);
}

}  // namespace
}  // namespace lirako

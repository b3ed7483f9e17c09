#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/mbcs_text_engine.h"
#include "engine/unicode_text_engine.h"
#include "tests/engine/engine_test_util.h"
#include "tests/support/temp_dir.h"

namespace lirako {
namespace {

using testing::TempDir;
using testing::Utf16File;

// Every FindNext result in order until -1.
std::vector<int32_t> FindAll(CTextEngine& engine, const std::u16string& text, int options,
                             std::vector<int32_t>* indexes = nullptr) {
  std::vector<int32_t> out;
  for (int guard = 0; guard < 1000; ++guard) {
    int32_t index = -5;
    int32_t at = engine.FindNext(text, &index, options);
    if (at == -1) {
      EXPECT_EQ(index, 0);
      return out;
    }
    if (indexes) indexes->push_back(index);
    out.push_back(at);
  }
  ADD_FAILURE() << "FindNext never returned -1";
  return out;
}

// The positions of `needle` in `text`.
std::vector<int32_t> Occurrences(const std::string& text, const std::string& needle) {
  std::vector<int32_t> out;
  for (size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1)) {
    out.push_back(static_cast<int32_t>(at));
  }
  return out;
}

class SearchTest : public ::testing::Test {
 protected:
  // 38 narrow characters per line.
  void Open(const std::string& text) {
    text_ = text;
    ASSERT_TRUE(engine_.Load(FromUtf8(dir_.Write("s.txt", text))));
    testing::PrepareEngine(engine_, platform_, 240, 320, Rect{6, 5, 6, 5}, 1, 0, true);
    engine_.GoToStart();
    engine_.PageForward();
  }
  // The display line that `result` names holds the file position `match`.
  void ExpectLineHolds(int32_t result, int32_t match) {
    engine_.SetPosition(result);
    engine_.PageForward();
    const CTextLine* top = engine_.GetTopLine();
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(top->offset, result);
    EXPECT_LE(top->offset, match);
    EXPECT_LT(match, top->offset + top->length) << "result " << result;
  }

  TempDir dir_;
  HeadlessPlatform platform_;
  CMbcsTextEngine engine_{platform_};
  std::string text_;
};

TEST_F(SearchTest, FindsEveryOccurrenceOnceInOrderThenStops) {
  std::string filler = "lorem ipsum dolor sit amet consectetur adipiscing elit sed do ";
  std::string text = "alpha needle beta needle\r\n" + filler + filler + "then a needle and " +
                     filler + "needle\r\nnothing here\nNEEDLE at the end";
  Open(text);
  auto occurrences = Occurrences(text, "needle");
  occurrences.push_back(static_cast<int32_t>(text.find("NEEDLE")));
  std::vector<int32_t> indexes;
  auto found = FindAll(engine_, u"needle", 0, &indexes);
  ASSERT_EQ(found.size(), occurrences.size());
  EXPECT_EQ(indexes[0], 6);
  EXPECT_EQ(indexes[1], 18);  // two matches in one display line
  EXPECT_EQ(found[0], 0);
  EXPECT_EQ(found[1], 0);
  EXPECT_EQ(engine_.searchPosition, -1);
  EXPECT_EQ(engine_.searchIndex, -1);
  for (size_t i = 0; i < found.size(); ++i)
    ExpectLineHolds(found[i], occurrences[i]);
  EXPECT_GT(found[2], found[1]);  // in a later line of the long paragraph
  EXPECT_GT(found[3], found[2]);

  // After -1 the search starts again at the beginning.
  int32_t index = 0;
  EXPECT_EQ(engine_.FindNext(u"needle", &index, 0), 0);
  EXPECT_EQ(index, 6);
}

TEST_F(SearchTest, StartsAtTheLineGivenAndFoldsCase) {
  std::string filler = "lorem ipsum dolor sit amet consectetur adipiscing elit sed do ";
  std::string text = "abc first\n" + filler + "ABC second " + filler + "aBc third\nlast abc";
  Open(text);
  auto occurrences = Occurrences(text, "abc");
  EXPECT_EQ(FindAll(engine_, u"abc", kFindMatchCase).size(), 2u);
  auto folded = FindAll(engine_, u"ABC", 0);
  ASSERT_EQ(folded.size(), 4u);
  // From the line holding the third occurrence: the third and the fourth.
  engine_.SetSearchStart(folded[2]);
  auto rest = FindAll(engine_, u"abc", 0);
  ASSERT_EQ(rest.size(), 2u);
  EXPECT_EQ(rest[0], folded[2]);
  EXPECT_EQ(rest[1], folded[3]);
  // From a line after every match in its paragraph, the next paragraph's.
  engine_.SetSearchStart(folded[2] + 1);
  auto last = FindAll(engine_, u"abc", 0);
  ASSERT_EQ(last.size(), 1u);
  EXPECT_EQ(last[0], folded[3]);
  // A text across a paragraph break is never found; an empty text neither.
  engine_.SetSearchStart(0);
  EXPECT_TRUE(FindAll(engine_, u"third\nlast", 0).empty());
  EXPECT_TRUE(FindAll(engine_, u"", 0).empty());
}

TEST_F(SearchTest, MatchOnTheBlanksOfABreakGivesTheParagraph) {
  // "aaaa" fills the line up to the blanks; the next word moves to the next line.
  std::string text = "zz\n" + std::string(30, 'a') + "     " + std::string(20, 'b');
  Open(text);
  engine_.SetSearchStart(0);
  int32_t index = 0;
  EXPECT_EQ(engine_.FindNext(u"a    ", &index, 0), 3);
  EXPECT_EQ(index, 29);
  // The blanks after the run belong to no line: the result is the paragraph.
  EXPECT_EQ(engine_.FindNext(u"  b", &index, 0), 3);
  EXPECT_EQ(index, 33);
}

TEST_F(SearchTest, CountsDoubleByteCharactersAsOne) {
  // Each line holds 19 syllables; the two matches fall in the second and third lines.
  std::string line;
  for (int i = 0; i < 20; ++i)
    line += "\xC6\x41";  // the extended syllables are pairs
  std::string text = "x\n" + line + "\xB0\xA1\xB3\xAA" + line + "\xB0\xA1\xB3\xAA";
  Open(text);
  auto found = FindAll(engine_, u"\uAC00\uB098", 0);
  auto occurrences = Occurrences(text, "\xB0\xA1\xB3\xAA");
  ASSERT_EQ(found.size(), 2u);
  for (size_t i = 0; i < found.size(); ++i)
    ExpectLineHolds(found[i], occurrences[i]);
}

TEST_F(SearchTest, LeavesThePageAndItsReadingInPlace) {
  std::string text;
  for (int i = 0; i < 80; ++i)
    text += "line " + std::to_string(i) + " of the book\r\n";
  // The same turns with and without searches between them.
  std::vector<std::vector<testing::LineInfo>> pages[2];
  for (int withSearch = 0; withSearch < 2; ++withSearch) {
    engine_.Close();
    Open(text);
    for (int step = 0; step < 6; ++step) {
      if (step < 2 || step == 5) {
        engine_.PageForward();
      } else {
        engine_.PageBackward();
      }
      if (withSearch) {
        auto before = testing::PageOf(engine_);
        int32_t index = 0;
        EXPECT_GT(engine_.FindNext(u"line 7", &index, 0), 0);
        EXPECT_EQ(testing::PageOf(engine_), before);
      }
      pages[withSearch].push_back(testing::PageOf(engine_));
    }
  }
  EXPECT_EQ(pages[0], pages[1]);
}

TEST(Search, Utf16EngineSearchesUnits) {
  TempDir dir;
  HeadlessPlatform platform;
  CUnicodeTextEngine engine(platform);
  std::u16string text = u"\uD55C\uAE00 text\r\nsecond \uD55C\uAE00 line";
  ASSERT_TRUE(engine.Load(FromUtf8(dir.Write("u.txt", Utf16File(text)))));
  testing::PrepareEngine(engine, platform, 240, 320, Rect{6, 5, 6, 5}, 1, 0, true);
  std::vector<int32_t> indexes;
  auto found = FindAll(engine, u"\uD55C\uAE00", 0, &indexes);
  EXPECT_EQ(found, (std::vector<int32_t>{0, 10}));
  EXPECT_EQ(indexes, (std::vector<int32_t>{1, 7}));  // the mark reads as a leading blank
  engine.Close();
  int32_t index = 3;
  EXPECT_EQ(engine.FindNext(u"x", &index, 0), 0);  // no document
}

}  // namespace
}  // namespace lirako

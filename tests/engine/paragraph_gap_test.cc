#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/unicode_text_engine.h"
#include "tests/engine/engine_test_util.h"
#include "tests/support/temp_dir.h"

namespace lirako {
namespace {

using testing::PageOf;
using testing::TempDir;
using testing::Utf16File;

// Paragraphs a and b of one line, c of three lines (c1 c2 c3), d of six (d1 .. d6) and e, in
// UTF-16 (whose backward reads start cleanly at a paragraph's start), on a page ten characters
// wide: 16-pixel lines 17 apart, a paragraph's last line 8 more
// (a gap of 50 %), and a text block of 91 pixels.
class GapBook : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string text =
        "a\r\nb\r\n" + std::string(30, 'c') + "\r\n" + std::string(60, 'd') + "\r\ne";
    const std::u16string units(text.begin(), text.end());
    ASSERT_TRUE(engine_.Load(FromUtf8(dir_.Write("book.txt", Utf16File(units)))));
    testing::PrepareEngine(engine_, platform_, 72, 101, Rect{6, 5, 6, 5}, 1);
    Typography typography;
    typography.paragraphGap = 50;
    engine_.SetTypography(typography);
    engine_.GoToStart();
    engine_.PageForward();
  }

  // The page's lines by their letter, those of c and d with their number: "c3", "d1".
  std::vector<std::string> Page() const {
    std::vector<std::string> names;
    for (const auto& line : PageOf(engine_)) {
      const char letter = static_cast<char>(line.units.at(line.units.size() - 1));
      std::string name(1, letter);
      if (letter == 'c' || letter == 'd')
        name += std::to_string((line.offset - (letter == 'c' ? 7 : 39)) / 10 + 1);
      names.push_back(name);
    }
    return names;
  }

  TempDir dir_;
  HeadlessPlatform platform_;
  CUnicodeTextEngine engine_{platform_, 1};
};

using Lines = std::vector<std::string>;

TEST_F(GapBook, APageHoldsFewerLinesAndTheNextStartsAfterItsLastLine) {
  // Without the gap the block holds five lines; a, b and c1 end lower with it.
  EXPECT_EQ(Page(), (Lines{"a", "b", "c1", "c2"}));
  std::vector<int> tops;
  for (const PageLayout::Place& place : engine_.PagePlaces())
    tops.push_back(place.y);
  EXPECT_EQ(tops, (std::vector<int>{0, 25, 50, 67}));
  engine_.PageForward();
  EXPECT_EQ(Page(), (Lines{"c3", "d1", "d2", "d3"}));
  engine_.PageForward();
  EXPECT_EQ(Page(), (Lines{"d4", "d5", "d6", "e"}));
  // Back up, the page ends just above the one it came from.
  engine_.PageBackward();
  EXPECT_EQ(Page(), (Lines{"c3", "d1", "d2", "d3"}));

  // Two columns: each holds what one did, and the right one starts at the top.
  engine_.SetColumns(2, 80);
  engine_.GoToStart();
  engine_.PageForward();
  EXPECT_EQ(Page(), (Lines{"a", "b", "c1", "c2", "c3", "d1", "d2", "d3"}));
  EXPECT_EQ(engine_.PagePlaces()[4].column, 1);
  EXPECT_EQ(engine_.PagePlaces()[4].y, 0);
  engine_.PageForward();
  EXPECT_EQ(Page(), (Lines{"d4", "d5", "d6", "e"}));
}

TEST_F(GapBook, ALineStepCrossesAParagraphEndOneLineAtATime) {
  engine_.LineForward();
  engine_.LineForward();
  EXPECT_EQ(Page(), (Lines{"c1", "c2", "c3", "d1"}));
  engine_.LineForward();
  engine_.LineForward();
  EXPECT_EQ(Page(), (Lines{"c3", "d1", "d2", "d3"}));
  EXPECT_EQ(engine_.TopLineStep(), 17 + 8);
  // Without c3's gap above them, five lines of d fit.
  engine_.LineForward();
  EXPECT_EQ(Page(), (Lines{"d1", "d2", "d3", "d4", "d5"}));
  EXPECT_EQ(engine_.TopLineStep(), 17);
  // Back up, c3 and its gap push two lines off the foot.
  engine_.LineBackward();
  EXPECT_EQ(Page(), (Lines{"c3", "d1", "d2", "d3"}));
  engine_.LineBackward();
  EXPECT_EQ(Page(), (Lines{"c2", "c3", "d1", "d2"}));
  engine_.LineBackward();
  engine_.LineBackward();
  EXPECT_EQ(Page(), (Lines{"b", "c1", "c2", "c3"}));
  engine_.LineForward();
  EXPECT_EQ(Page(), (Lines{"c1", "c2", "c3", "d1"}));
}

}  // namespace
}  // namespace lirako

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

constexpr uint32_t kRead = 0x00BEF0BE;
constexpr uint32_t kUnread = 0x00626262;

// A byte engine with every character 3 pixels wide (the blank too) and 16-pixel lines.
class RenderTest : public ::testing::Test {
 protected:
  void Open(const std::string& text, int pageWidth, bool justify, int pageHeight = 100) {
    platform_.metrics().narrow = 3;
    ASSERT_TRUE(engine_.Load(FromUtf8(dir_.Write("r.txt", text))));
    testing::PrepareEngine(engine_, platform_, pageWidth, pageHeight, Rect{0, 4, 0, 4}, 2, 0,
                           justify);
    engine_.GoToStart();
    engine_.PageForward();
  }
  // Paints the page as the view does and returns the screen.
  std::unique_ptr<RecordingSurface> Paint(bool rotated, bool bar = false) {
    int w = engine_.pageRect.right;
    int h = engine_.pageRect.bottom;
    Rect client = rotated ? Rect{0, 0, h, w} : Rect{0, 0, w, h};
    auto screen = platform_.CreateScreen(client.right, client.bottom);
    engine_.BeginPaint(*screen, u"Face", 16, false, true, rotated);
    engine_.BeginOffscreen(*screen, client, 0x00112233, 0x00FFFFFF);
    engine_.Render(rotated ? kRenderRotated : 0);
    if (bar) engine_.DrawPositionBar(client, rotated);
    engine_.EndOffscreen();
    engine_.EndPaint(*screen);
    return screen;
  }

  TempDir dir_;
  HeadlessPlatform platform_;
  CMbcsTextEngine engine_{platform_};
};

struct Drawn {
  int x;
  int y;
  std::u16string text;
  bool operator==(const Drawn&) const = default;
};

void PrintTo(const Drawn& d, std::ostream* os) {
  *os << "(" << d.x << "," << d.y << "," << ToUtf8(d.text) << ")";
}

std::vector<Drawn> TextsOf(const RecordingSurface& screen) {
  std::vector<Drawn> out;
  for (const SurfaceOp& op : screen.TextOps())
    out.push_back({op.x, op.y, op.text});
  return out;
}

TEST_F(RenderTest, ATurnDrawnAheadIsTheTurnAndLeavesThePageAsItWas) {
  // Joined lines, a shared line and paragraph gaps all carry state across a turn.
  std::string text;
  for (int i = 0; i < 60; ++i)
    text += "line " + std::to_string(i) + (i % 4 == 3 ? "\n\n" : "\n");
  platform_.metrics().narrow = 3;
  ASSERT_TRUE(engine_.Load(FromUtf8(dir_.Write("r.txt", text))));
  engine_.SetTypography(Typography{.joinLines = true, .paragraphGap = 50});
  testing::PrepareEngine(engine_, platform_, 30, 100, Rect{0, 4, 0, 4}, 2, 1, false);
  engine_.GoToStart();
  engine_.PageForward();
  engine_.PageForward();
  for (const Turn turn : {Turn::kForward, Turn::kBackward}) {
    const auto shown = TextsOf(*Paint(false));
    auto spare = platform_.CreateScreen(30, 100);
    engine_.BeginPaint(*spare, u"Face", 16, false, true, false);
    engine_.PrepareTurn(turn, *spare, Rect{0, 0, 30, 100}, 0x00112233, 0x00FFFFFF, 0);
    engine_.EndPaint(*spare);
    EXPECT_EQ(TextsOf(*Paint(false)), shown);
    if (turn == Turn::kForward) {
      engine_.PageForward();
    } else {
      engine_.PageBackward();
    }
    EXPECT_EQ(TextsOf(*Paint(false)), TextsOf(*spare));
    EXPECT_NE(TextsOf(*spare), shown);
  }
}

TEST_F(RenderTest, JustifiesContinuedLinesAndKeepsLastLinesNatural) {
  // 22 pixels hold "ab cd" (15) with 7 to spare: the blank's share is 3 + 7 = 10.
  Open("ab cd efg hi", 22, true);
  auto drawn = TextsOf(*Paint(false));
  std::vector<Drawn> expected = {{0, 4, u"ab"}, {16, 4, u"cd"}, {0, 22, u"efg"}, {12, 22, u"hi"}};
  EXPECT_EQ(drawn, expected);
}

TEST_F(RenderTest, DrawsLinesWithoutBlanksInOnePieceAndPlainLinesWhole) {
  Open("abcdefghij", 22, true);
  auto drawn = TextsOf(*Paint(false));
  ASSERT_EQ(drawn.size(), 2u);
  EXPECT_EQ(drawn[0], (Drawn{0, 4, u"abcdefg"}));
  EXPECT_EQ(drawn[1], (Drawn{0, 22, u"hij"}));

  engine_.SetLayout(Rect{0, 4, 0, 4}, 2, 0, false);
  engine_.SetPosition(0);
  engine_.PageForward();
  engine_.Close();
  ASSERT_TRUE(engine_.Load(FromUtf8(dir_.Write("p.txt", "ab  cd\tef"))));
  engine_.SetPageRect(0, 0, 100, 100);
  engine_.GoToStart();
  engine_.PageForward();
  EXPECT_EQ(TextsOf(*Paint(false)), (std::vector<Drawn>{{0, 4, u"ab  cd\tef"}}));
}

TEST_F(RenderTest, SpreadsTheRemainderAndTabShares) {
  // "a\tb c": blank units 4 + 1, natural space 12 + 3; a continued line gets the rest.
  Open("a\tb c defghijk", 30, true);
  auto drawn = TextsOf(*Paint(false));
  ASSERT_GE(drawn.size(), 3u);
  // width 3 + 12 + 3 + 3 + 3 = 24, extra 6: space 21 over 5 units, share 4, rest 1.
  EXPECT_EQ(drawn[0], (Drawn{0, 4, u"a"}));
  // The tab takes the leftover pixel (1 mod 4) and four shares; the line ends flush at 30.
  EXPECT_EQ(drawn[1], (Drawn{3 + 1 + 16, 4, u"b"}));
  EXPECT_EQ(drawn[2], (Drawn{20 + 3 + 4, 4, u"c"}));
}

TEST_F(RenderTest, RotatedLinesRunUpFromTheBottom) {
  Open("ab cd efg hi\r\n\r\nxy", 22, true, 120);
  auto screen = Paint(true);
  auto drawn = TextsOf(*screen);
  std::vector<Drawn> expected = {
      {4, 22, u"ab"}, {4, 6, u"cd"}, {22, 22, u"efg"}, {22, 10, u"hi"}, {58, 22, u"xy"}};
  EXPECT_EQ(drawn, expected);
  for (const SurfaceOp& op : screen->TextOps())
    EXPECT_EQ(op.font.escapement, 900);
  for (const SurfaceOp& op : screen->TextOps())
    EXPECT_EQ(op.color, 0x00112233u);
  EXPECT_EQ(platform_.createdFonts().back().weight, 700);
}

TEST_F(RenderTest, EmptyLinesAdvanceAndTheDrawOffsetAppliesOnce) {
  Open("a\r\n\r\n\r\nb", 100, false);
  engine_.drawOffset = -5;
  EXPECT_EQ(TextsOf(*Paint(false)), (std::vector<Drawn>{{0, -1, u"a"}, {0, 53, u"b"}}));
  EXPECT_EQ(engine_.drawOffset, 0);
  EXPECT_EQ(TextsOf(*Paint(false)), (std::vector<Drawn>{{0, 4, u"a"}, {0, 58, u"b"}}));
}

TEST_F(RenderTest, PositionBarShowsTheReadPart) {
  std::string text;
  for (int i = 0; i < 50; ++i)
    text += "line " + std::to_string(i) + "\n";
  Open(text, 100, false);
  // Position 0: all unread.
  auto start = Paint(false, true);
  for (int y : {0, 50, 99}) {
    for (int x : {0, 2})
      EXPECT_EQ(start->Pixel(x, y), kUnread) << y;
  }
  EXPECT_NE(start->Pixel(3, 50), kUnread);
  // Half way: read above, unread below; rotated, read from the bottom.
  engine_.SetPosition(engine_.GetSize() / 2);
  auto half = Paint(false, true);
  EXPECT_EQ(half->Pixel(1, 10), kRead);
  EXPECT_EQ(half->Pixel(1, 48), kRead);
  EXPECT_EQ(half->Pixel(1, 52), kUnread);
  auto rotated = Paint(true, true);
  EXPECT_EQ(rotated->Pixel(1, 90), kRead);
  EXPECT_EQ(rotated->Pixel(1, 10), kUnread);

  // An empty file is all read.
  engine_.Close();
  ASSERT_TRUE(engine_.Load(FromUtf8(dir_.Write("e.txt", ""))));
  auto empty = Paint(false, true);
  EXPECT_EQ(empty->Pixel(0, 0), kRead);
  EXPECT_EQ(empty->Pixel(2, 99), kRead);
  // No document: no bar.
  engine_.Close();
  auto closed = Paint(false, true);
  EXPECT_EQ(closed->Pixel(0, 0), 0x00FFFFFFu);
}

TEST(Render, Utf16LinesJustifyByUnits) {
  TempDir dir;
  HeadlessPlatform platform;
  CUnicodeTextEngine engine(platform);
  ASSERT_TRUE(
      engine.Load(FromUtf8(dir.Write("u.txt", testing::Utf16File(u"\uD55C \uAE00 abcdefghij")))));
  testing::PrepareEngine(engine, platform, 60, 100, Rect{0, 0, 0, 0}, 0, 0, true);
  engine.GoToStart();
  engine.PageForward();
  auto screen = platform.CreateScreen(60, 100);
  engine.BeginPaint(*screen, u"Face", 16, false, false, false);
  engine.BeginOffscreen(*screen, Rect{0, 0, 60, 100}, 0, 0x00FFFFFF);
  engine.Render(0);
  engine.EndOffscreen();
  engine.EndPaint(*screen);
  auto ops = screen->TextOps();
  // " 한 글" is 36 pixels with 24 to spare: each blank takes a share of 18, the leading one too.
  ASSERT_GE(ops.size(), 2u);
  EXPECT_EQ(ops[0].text, u"\uD55C");
  EXPECT_EQ(ops[0].x, 18);
  EXPECT_EQ(ops[1].text, u"\uAE00");
  EXPECT_EQ(ops[1].x, 48);
}

TEST_F(RenderTest, DrawsTheSearchHitInvertedUntilItIsCleared) {
  Open("alpha beta gamma", 200, false);
  int32_t index = 0;
  ASSERT_EQ(engine_.FindNext(u"BETA", &index, 0), 0);
  auto screen = Paint(false);
  // Every character is 3 pixels wide: "beta" starts after the 6 of "alpha ".
  std::vector<SurfaceOp> texts = screen->TextOps();
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(TextsOf(*screen),
            (std::vector<Drawn>{{0, 4, u"alpha "}, {18, 4, u"beta"}, {30, 4, u" gamma"}}));
  EXPECT_EQ(texts[1].color, 0x00FFFFFFu);
  EXPECT_EQ(texts[1].back, 0x00112233u);
  EXPECT_EQ(texts[2].color, 0x00112233u);

  engine_.highlightBegin = engine_.highlightEnd = -1;
  EXPECT_EQ(TextsOf(*Paint(false)), (std::vector<Drawn>{{0, 4, u"alpha beta gamma"}}));
}

}  // namespace
}  // namespace lirako

#include <gtest/gtest.h>

#include "platform/utf.h"
#include "store/settings_file.h"
#include "tests/support/view_internals.h"
#include "tests/view/view_fixture.h"
#include "view/command_ids.h"

namespace lirako {
namespace {

using testing::ViewInternals;

using testing::ViewFixture;

// Starts a view with `settings` saved beforehand, on a book of one 200-letter word followed
// by 40 numbered lines, and paints it.
std::vector<SurfaceOp> PaintBook(ViewFixture& f, const ReaderSettings& settings) {
  EXPECT_TRUE(SaveSettings(f.platform, FromUtf8(f.dir.path()), settings));
  std::string text(200, 'a');
  text += "\n";
  for (int i = 0; i < 40; ++i)
    text += "line " + std::to_string(i) + "\n";
  f.Start(f.Book("a.txt", text));
  return f.Paint()->TextOps();
}

ReaderSettings WithBar(BarMode barMode, bool landscape) {
  ReaderSettings settings;
  settings.justify = 0;  // one text call per line
  settings.barMode = barMode;
  settings.landscape = landscape;
  return settings;
}

TEST(ViewPaint, CentresWholeLinesVertically) {
  ViewFixture f;
  f.platform.metrics().lineHeight = 17;
  f.host.SetClientRect(Rect{0, 0, 240, 300});
  CTirasolView& view = f.Start(f.NumberedBook("a.txt", 100));
  ViewInternals::Settings(view).justify = 0;  // one text call per line
  auto screen = f.Paint();
  std::vector<SurfaceOp> ops = screen->TextOps();
  // avail 290 holds 16 lines of pitch 18 with 2 pixels left: top margin 6.
  ASSERT_EQ(ops.size(), 16u);
  for (size_t i = 0; i < ops.size(); ++i) {
    EXPECT_EQ(ops[i].y, 6 + 18 * static_cast<int>(i)) << i;
    EXPECT_EQ(ops[i].x, 9) << i;  // marginX 6 + the position bar's 3
  }
  EXPECT_EQ(view.engine().margins, (Rect{9, 6, 6, 5}));
  EXPECT_EQ(view.engine().pageRect, (Rect{0, 0, 240, 300}));
  EXPECT_EQ(ops[0].text, u"line 000");
  EXPECT_EQ(ops[0].color, 0x00FFFFFFu);
  EXPECT_EQ(ops[0].font.face, u"Tahoma");
  // A new install's size: 10.5 points at the double's 96 dots per inch.
  EXPECT_EQ(ops[0].font.height, 14);
  EXPECT_EQ(ops[0].font.escapement, 0);
  EXPECT_EQ(view.pendingStep(), kStepNone);
  // A taller screen takes more lines.
  f.host.SetClientRect(Rect{0, 0, 240, 320});
  view.RelayoutAtPosition();
  EXPECT_EQ(f.Paint()->TextOps().size(), 17u);
}

TEST(ViewPaint, BarsReserveTheirRoomUpright) {
  // 200 letters with no blank split where the width runs out: 6 pixels per letter.
  {
    ViewFixture f;
    std::vector<SurfaceOp> ops = PaintBook(f, WithBar(BarMode::kNone, false));
    ASSERT_FALSE(ops.empty());
    EXPECT_EQ(ops[0].x, 6);
    EXPECT_EQ(ops[0].text.size(), 38u);  // 240 - 6 - 6 = 228
  }
  {
    ViewFixture f;
    std::vector<SurfaceOp> ops = PaintBook(f, WithBar(BarMode::kPositionBar, false));
    ASSERT_FALSE(ops.empty());
    EXPECT_EQ(ops[0].x, 9);
    EXPECT_EQ(ops[0].text.size(), 37u);  // 225
  }
  {
    ViewFixture f;
    std::vector<SurfaceOp> ops = PaintBook(f, WithBar(BarMode::kScrollBar, false));
    ASSERT_FALSE(ops.empty());
    EXPECT_EQ(ops[0].x, 6);
    EXPECT_EQ(ops[0].text.size(), 35u);  // 214
    EXPECT_EQ(ops[0].y, 7);              // 310 = 18 × 17 + 4
  }
}

TEST(ViewPaint, LandscapeRotatesTheSwappedPage) {
  // The rotated page is 320 long and 240 high: 13 lines of 17 with 9 left, top margin 9.
  {
    ViewFixture f;
    std::vector<SurfaceOp> ops = PaintBook(f, WithBar(BarMode::kNone, true));
    ASSERT_EQ(ops.size(), 13u);
    EXPECT_EQ(f.view().engine().pageRect, (Rect{0, 0, 320, 240}));
    EXPECT_EQ(f.view().engine().margins, (Rect{6, 9, 6, 8}));
    EXPECT_EQ(ops[0].font.escapement, 900);
    EXPECT_EQ(ops[0].x, 9);
    EXPECT_EQ(ops[0].y, 320 - 6);
    EXPECT_EQ(ops[1].x, 9 + 17);
    EXPECT_EQ(ops[0].text.size(), 51u);  // 320 - 12 = 308
  }
  {
    ViewFixture f;
    std::vector<SurfaceOp> ops = PaintBook(f, WithBar(BarMode::kPositionBar, true));
    // The room is added after centring: 240 - 12 - 8 = 220 leaves 12 lines of 17.
    ASSERT_EQ(ops.size(), 12u);
    EXPECT_EQ(ops[0].x, 12);  // the position bar's room at the top of the page
    EXPECT_EQ(ops[0].y, 320 - 6);
    EXPECT_EQ(ops[0].text.size(), 51u);
  }
  {
    ViewFixture f;
    std::vector<SurfaceOp> ops = PaintBook(f, WithBar(BarMode::kScrollBar, true));
    EXPECT_EQ(ops.size(), 12u);  // the scroll bar's room at the bottom of the page
    ASSERT_FALSE(ops.empty());
    EXPECT_EQ(ops[0].x, 9);
    EXPECT_EQ(ops[0].text.size(), 51u);
  }
}

TEST(ViewPaint, AnOpenBarKeepsItsMarginsAndDrawsUpright) {
  ViewFixture f;
  std::vector<SurfaceOp> ops = PaintBook(f, WithBar(BarMode::kNone, true));
  ASSERT_FALSE(ops.empty());
  CTirasolView& view = f.view();
  view.SetRunStateBits(kRunBarOpen, true);
  view.ApplyBarMargins(30);
  view.RelayoutAtPosition();
  ops = f.Paint()->TextOps();
  ASSERT_FALSE(ops.empty());
  EXPECT_EQ(ops[0].font.escapement, 0);
  EXPECT_EQ(ops[0].y, 5 + 30);
  EXPECT_EQ(ops[0].x, 6);
  view.SetRunStateBits(kRunBarOpen, false);
  EXPECT_EQ(view.runState(), 0u);
  view.ApplyBarMargins(0);
  view.RelayoutAtPosition();
  ops = f.Paint()->TextOps();
  ASSERT_FALSE(ops.empty());
  EXPECT_EQ(ops[0].font.escapement, 900);
  EXPECT_EQ(ops[0].x, 9);
}

TEST(ViewPaint, SmoothOffsetShiftsOnePaintOnly) {
  ViewFixture f;
  CTirasolView& view = f.Start(f.NumberedBook("a.txt", 100));
  ViewInternals::Settings(view).smoothRefresh = 1;
  f.Paint();
  view.ToggleAutoRefresh();
  ASSERT_TRUE(f.host.TimerRunning(kAutoRefreshTimerId));
  EXPECT_EQ(f.host.timers().at(kAutoRefreshTimerId), 1600u / 17u * 3u);
  view.OnTimer(kAutoRefreshTimerId);
  view.OnTimer(kAutoRefreshTimerId);
  int top = f.Paint()->TextOps()[0].y;
  view.ToggleAutoRefresh();
  EXPECT_EQ(f.Paint()->TextOps()[0].y, top + 3);
}

TEST(ViewPaint, PositionBarShowsTheReadPart) {
  ViewFixture f;
  CTirasolView& view = f.Start(f.NumberedBook("a.txt", 100));
  auto screen = f.Paint();
  EXPECT_EQ(screen->Pixel(1, 0), 0x00626262u);  // nothing read at position 0
  view.OnCommand(kCmdGoEnd);
  screen = f.Paint();
  EXPECT_EQ(screen->Pixel(1, 0), 0x00BEF0BEu);
  EXPECT_GT(view.pagePosition(), 0);
}

TEST(ViewPaint, ExtremeGeometryStaysInsideIntegerRangeAndStillPages) {
  // Settings files are not clamped on load, so any 32-bit value may arrive here.
  const int extremes[] = {INT32_MAX, INT32_MIN, 5000, -5000};
  for (int value : extremes) {
    for (BarMode barMode : {BarMode::kScrollBar, BarMode::kPositionBar}) {
      ViewFixture f;
      ReaderSettings settings = WithBar(barMode, value < 0);
      settings.marginX = value;
      settings.marginY = value;
      settings.lineGap = value;
      settings.sharedLines = value;
      ASSERT_TRUE(SaveSettings(f.platform, FromUtf8(f.dir.path()), settings));
      CTirasolView& view = f.Start(f.NumberedBook("a.txt", 50));
      f.Paint();
      const int32_t first = view.pagePosition();
      view.RequestStep(kStepPageForward);
      f.Paint();
      EXPECT_GT(view.pagePosition(), first) << value << " bar " << static_cast<int>(barMode);
      view.OnFind();
      view.ApplyBarMargins(40);
      f.Paint();
    }
  }
}

}  // namespace
}  // namespace lirako

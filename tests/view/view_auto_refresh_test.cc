#include <gtest/gtest.h>

#include "tests/support/view_internals.h"
#include "tests/view/view_fixture.h"
#include "view/command_ids.h"

namespace lirako {
namespace {

using testing::ViewInternals;

using testing::ViewFixture;

TEST(ViewAutoRefresh, SmoothStepsOffsetsAndLineSteps) {
  ViewFixture f;
  f.fakeLog.lineHeight = 16;
  f.fakeLog.lineGap = 1;  // pitch 17
  CTirasolView& view = f.StartFake();
  ViewInternals::Settings(view).smoothRefresh = 1;
  ViewInternals::Settings(view).refreshInterval = 1600;
  view.RequestStep(kStepNone);
  view.ToggleAutoRefresh();
  EXPECT_EQ(view.smoothStep(), 3);
  ASSERT_TRUE(f.host.TimerRunning(kAutoRefreshTimerId));
  EXPECT_EQ(f.host.timers().at(kAutoRefreshTimerId), 282u);

  std::vector<int> offsets;
  for (int tick = 0; tick < 6; ++tick) {
    view.OnTimer(kAutoRefreshTimerId);
    offsets.push_back(-view.engine().drawOffset);
    EXPECT_EQ(view.pendingStep(), kStepNone) << tick;
  }
  EXPECT_EQ(offsets, (std::vector<int>{0, 3, 6, 9, 12, 15}));
  view.OnTimer(kAutoRefreshTimerId);
  EXPECT_EQ(view.pendingStep(), kStepLineForward);
  EXPECT_EQ(view.engine().drawOffset, 0);
  EXPECT_EQ(view.smoothOffset(), 3);
  EXPECT_EQ(f.host.silentKeyEvents(), 7);

  // Other timer ids are not the auto-refresh.
  view.RequestStep(kStepNone);
  view.OnTimer(kJumpTimerId);
  EXPECT_EQ(view.pendingStep(), kStepNone);
  EXPECT_EQ(f.host.silentKeyEvents(), 7);
}

TEST(ViewAutoRefresh, SmoothStepThresholdsAndPeriods) {
  ViewFixture f;
  CTirasolView& view = f.StartFake();  // pitch 17
  ViewInternals::Settings(view).smoothRefresh = 1;
  struct Case {
    int interval;
    int step;
  };
  for (Case c : {Case{1800, 2}, Case{1799, 3}, Case{1600, 3}, Case{1599, 4}, Case{1200, 4},
                 Case{1199, 5}, Case{300, 5}, Case{3600, 2}}) {
    ViewInternals::Settings(view).refreshInterval = c.interval;
    view.ToggleAutoRefresh();
    EXPECT_EQ(view.smoothStep(), c.step) << c.interval;
    EXPECT_EQ(f.host.timers().at(kAutoRefreshTimerId),
              static_cast<unsigned>(c.interval / 17 * c.step))
        << c.interval;
    view.ToggleAutoRefresh();
    EXPECT_FALSE(f.host.TimerRunning(kAutoRefreshTimerId));
  }
}

TEST(ViewAutoRefresh, PlainModeMovesOneLinePerTickAtTheInterval) {
  ViewFixture f;
  CTirasolView& view = f.StartFake();
  ViewInternals::Settings(view).refreshInterval = 700;
  view.RequestStep(kStepNone);
  view.OnCommand(kCmdAutoRefresh);
  EXPECT_EQ(view.runState() & kRunAutoRefresh, kRunAutoRefresh);
  EXPECT_EQ(f.host.timers().at(kAutoRefreshTimerId), 700u);
  int invalidations = f.host.invalidations();
  view.OnTimer(kAutoRefreshTimerId);
  EXPECT_EQ(view.pendingStep(), kStepLineForward);
  EXPECT_EQ(view.engine().drawOffset, 0);
  EXPECT_EQ(f.host.invalidations(), invalidations + 1);
  EXPECT_EQ(f.host.silentKeyEvents(), 1);
  // Stopping repaints.
  view.OnCommand(kCmdAutoRefresh);
  EXPECT_EQ(view.runState() & kRunAutoRefresh, 0u);
  EXPECT_EQ(f.host.invalidations(), invalidations + 2);
}

TEST(ViewAutoRefresh, PeriodNeverZeroAndNoDivisionByZeroPitch) {
  ViewFixture f;
  f.fakeLog.lineHeight = 2000;  // pitch larger than the interval
  CTirasolView& view = f.StartFake();
  ViewInternals::Settings(view).smoothRefresh = 1;
  view.ToggleAutoRefresh();
  EXPECT_EQ(f.host.timers().at(kAutoRefreshTimerId), 1u);
  view.ToggleAutoRefresh();

  ViewInternals::Engine(view).lineHeight = 0;
  ViewInternals::Engine(view).lineGap = 0;
  view.ToggleAutoRefresh();
  EXPECT_GE(f.host.timers().at(kAutoRefreshTimerId), 1u);
  view.RequestStep(kStepNone);
  view.OnTimer(kAutoRefreshTimerId);
  EXPECT_EQ(view.pendingStep(), kStepLineForward);
  view.ToggleAutoRefresh();

  ViewInternals::Settings(view).smoothRefresh = 0;
  ViewInternals::Settings(view).refreshInterval = 0;
  view.ToggleAutoRefresh();
  EXPECT_EQ(f.host.timers().at(kAutoRefreshTimerId), 1u);
  view.ToggleAutoRefresh();
  ViewInternals::Settings(view).refreshInterval = -5;
  view.ToggleAutoRefresh();
  EXPECT_EQ(f.host.timers().at(kAutoRefreshTimerId), 1u);
  for (unsigned period : f.host.timerPeriods())
    EXPECT_GE(period, 1u);
}

TEST(ViewAutoRefresh, NeedsMetricsAndStopsAtTheEnd) {
  ViewFixture f;
  f.fakeLog.metricsReady = 0;
  CTirasolView& view = f.StartFake();
  view.ToggleAutoRefresh();
  EXPECT_FALSE(f.host.TimerRunning(kAutoRefreshTimerId));
  EXPECT_EQ(view.runState(), 0u);

  ViewInternals::Engine(view).metricsReady = 1;
  view.ToggleAutoRefresh();
  ASSERT_TRUE(f.host.TimerRunning(kAutoRefreshTimerId));
  view.OnTimer(kAutoRefreshTimerId);
  EXPECT_TRUE(f.host.TimerRunning(kAutoRefreshTimerId));
  f.fakeLog.atEnd = true;
  view.OnTimer(kAutoRefreshTimerId);
  EXPECT_FALSE(f.host.TimerRunning(kAutoRefreshTimerId));
  EXPECT_EQ(view.runState() & kRunAutoRefresh, 0u);
  // Toggling again restarts it; the next tick at the end stops it again.
  view.ToggleAutoRefresh();
  EXPECT_TRUE(f.host.TimerRunning(kAutoRefreshTimerId));
  view.OnTimer(kAutoRefreshTimerId);
  EXPECT_FALSE(f.host.TimerRunning(kAutoRefreshTimerId));
}

TEST(ViewAutoRefresh, OpeningStopsItButBookmarksDoNot) {
  ViewFixture f;
  CTirasolView& view = f.StartFake();
  view.AddBookmark(30, u"mark");
  view.ToggleAutoRefresh();
  view.OnCommand(kCmdBookmarkFirst);
  EXPECT_TRUE(f.host.TimerRunning(kAutoRefreshTimerId));
  EXPECT_EQ(f.fakeLog.calls.back(), "SetPosition 30");
  EXPECT_EQ(view.pendingStep(), kStepPageForward);
  view.OpenDocument(f.Book("b.txt", "b\n"));
  EXPECT_FALSE(f.host.TimerRunning(kAutoRefreshTimerId));
  EXPECT_EQ(view.runState() & kRunAutoRefresh, 0u);
}

}  // namespace
}  // namespace lirako

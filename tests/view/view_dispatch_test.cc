#include <gtest/gtest.h>

#include "tests/support/view_internals.h"
#include "tests/view/view_fixture.h"
#include "view/button_functions.h"
#include "view/command_ids.h"

namespace lirako {
namespace {

using testing::ViewInternals;

using testing::ViewFixture;

// The step each arrow key leaves for the next paint.
std::vector<int> ArrowSteps(CTirasolView& view) {
  std::vector<int> steps;
  for (unsigned key : {kVkLeft, kVkUp, kVkRight, kVkDown}) {
    view.OnKeyDown(key);
    steps.push_back(view.pendingStep());
  }
  return steps;
}

TEST(ViewKeys, ArrowTablesFollowOrientationAndDial) {
  ViewFixture f;
  CTirasolView& view = f.StartFake();
  EXPECT_EQ(ArrowSteps(view), (std::vector<int>{4, 2, 3, 1}));
  ViewInternals::Settings(view).landscape = 1;
  EXPECT_EQ(ArrowSteps(view), (std::vector<int>{2, 3, 1, 4}));
  ViewInternals::Settings(view).dialDevice = 1;
  EXPECT_EQ(ArrowSteps(view), (std::vector<int>{4, 2, 3, 1}));
  ViewInternals::Settings(view).landscape = 0;
  EXPECT_EQ(ArrowSteps(view), (std::vector<int>{4, 2, 3, 1}));
  // Every key-down asks for a repaint; keys outside the tables do nothing.
  int invalidations = f.host.invalidations();
  view.OnKeyDown(kVkDown);
  EXPECT_EQ(f.host.invalidations(), invalidations + 1);
  view.OnKeyDown(0x41);
  EXPECT_EQ(f.host.invalidations(), invalidations + 1);
  EXPECT_EQ(view.pendingStep(), 1);
}

TEST(ViewKeys, ActionKeyTogglesFullScreenAndRelaysAtPosition) {
  ViewFixture f;
  CTirasolView& view = f.StartFake();
  ViewInternals::Engine(view).SetPosition(77);
  f.fakeLog.calls.clear();
  view.OnKeyDown(kVkAction);
  EXPECT_EQ(f.host.fullScreenToggles(), 1);
  EXPECT_EQ(f.fakeLog.calls, (std::vector<std::string>{"SetPosition 77"}));
  EXPECT_EQ(view.pendingStep(), kStepPageForward);
}

TEST(ViewButtons, EveryFunctionOfTheTable) {
  ViewFixture f;
  CTirasolView& view = f.StartFake();
  auto press = [&](int function) {
    ViewInternals::Settings(view).buttonFunctions[2] = function;
    view.OnKeyDown(kVkApp1 + 2);
  };
  for (auto [function, step] : std::vector<std::pair<int, int>>{{1, 2}, {2, 1}, {3, 4}, {4, 3}}) {
    view.RequestStep(kStepNone);
    press(function);
    EXPECT_EQ(view.pendingStep(), step) << function;
  }
  view.RequestStep(kStepNone);
  int invalidations = f.host.invalidations();
  for (int function : {0, 14, -1, 99})
    press(function);
  EXPECT_EQ(view.pendingStep(), kStepNone);
  EXPECT_EQ(f.host.invalidations(), invalidations);

  press(kFnFullScreen);
  EXPECT_EQ(f.host.fullScreenToggles(), 1);
  EXPECT_EQ(view.pendingStep(), kStepPageForward);

  press(kFnLandscape);
  EXPECT_EQ(view.settings().landscape, 1);
  press(kFnLandscape);
  EXPECT_EQ(view.settings().landscape, 0);
  EXPECT_EQ(f.fakeLog.Count("SetPosition"), 3);

  press(kFnAutoScroll);
  EXPECT_TRUE(f.host.TimerRunning(kAutoRefreshTimerId));
  press(kFnAutoScroll);
  EXPECT_FALSE(f.host.TimerRunning(kAutoRefreshTimerId));

  press(kFnQuit);
  EXPECT_EQ(f.host.closeRequests(), 1);

  f.host.QueueFileChoice(std::nullopt);
  press(kFnOpen);
  EXPECT_EQ(f.host.fileDialogs().size(), 1u);

  // Set bookmark, find, jump and settings stop a running auto-refresh and leave it off.
  for (int function : {kFnSetBookmark, kFnFind, kFnJump, kFnSettings}) {
    press(kFnAutoScroll);
    ASSERT_TRUE(view.runState() & kRunAutoRefresh);
    press(function);
    EXPECT_FALSE(view.runState() & kRunAutoRefresh) << function;
    EXPECT_FALSE(f.host.TimerRunning(kAutoRefreshTimerId)) << function;
  }
}

TEST(ViewButtons, HotKeysBecomeKeysOnlyWithTheMainWindowInFront) {
  ViewFixture f;
  CTirasolView& view = f.StartFake();
  ViewInternals::Settings(view).buttonFunctions[0] = kFnNextPage;
  view.OnHotKey(kModWin, kVkApp1);
  EXPECT_EQ(view.pendingStep(), kStepPageForward);

  view.RequestStep(kStepNone);
  f.host.SetForeground(Foreground::kOwnDialog);
  view.OnHotKey(kModWin, kVkApp1);
  EXPECT_EQ(view.pendingStep(), kStepNone);
  EXPECT_EQ(f.host.bringToFrontCount(), 0);

  f.host.SetForeground(Foreground::kOtherProgram);
  view.OnHotKey(kModWin, kVkApp1);
  EXPECT_EQ(f.host.bringToFrontCount(), 1);
  EXPECT_EQ(view.pendingStep(), kStepPageForward);

  // Without the Windows-key modifier, or outside the application keys, nothing happens.
  view.RequestStep(kStepNone);
  view.OnHotKey(0, kVkApp1);
  view.OnHotKey(kModWin, kVkApp1 - 1);
  view.OnHotKey(kModWin, kVkApp5 + 1);
  EXPECT_EQ(view.pendingStep(), kStepNone);
  ViewInternals::Settings(view).buttonFunctions[4] = kFnPreviousLine;
  view.OnHotKey(kModWin | 2, kVkApp5);
  EXPECT_EQ(view.pendingStep(), kStepLineBackward);
}

TEST(ViewTaps, ZonesAtAQuarterAndThreeQuartersOfTheExtent) {
  ViewFixture f;
  CTirasolView& view = f.StartFake();
  ASSERT_EQ(f.host.ClientRect().Height(), 320);
  auto tap = [&](int x, int y) {
    view.RequestStep(kStepNone);
    view.OnPenUp(x, y);
    return view.pendingStep();
  };
  EXPECT_EQ(tap(10, 241), kStepPageForward);
  EXPECT_EQ(tap(10, 240), kStepNone);
  EXPECT_EQ(tap(10, 80), kStepNone);
  EXPECT_EQ(tap(10, 79), kStepPageBackward);
  EXPECT_EQ(tap(239, 160), kStepNone);

  for (int y : {81, 239, 80, 240})
    view.OnDoubleTap(10, y);
  EXPECT_EQ(f.host.fullScreenToggles(), 2);

  // Landscape measures x against the width: 240 wide gives 60 and 180.
  ViewInternals::Settings(view).landscape = 1;
  EXPECT_EQ(tap(181, 5), kStepPageForward);
  EXPECT_EQ(tap(180, 315), kStepNone);
  EXPECT_EQ(tap(60, 315), kStepNone);
  EXPECT_EQ(tap(59, 315), kStepPageBackward);
  view.OnDoubleTap(61, 5);
  view.OnDoubleTap(60, 160);
  EXPECT_EQ(f.host.fullScreenToggles(), 3);

  ViewInternals::Settings(view).screenKeys = 0;
  EXPECT_EQ(tap(239, 5), kStepNone);
  EXPECT_EQ(tap(0, 5), kStepNone);
  view.OnDoubleTap(120, 160);
  EXPECT_EQ(f.host.fullScreenToggles(), 3);
}

TEST(ViewScroll, CodesAndThumbPosition) {
  ViewFixture f;
  CTirasolView& view = f.StartFake();
  auto scroll = [&](int code, int thumb) {
    view.RequestStep(kStepNone);
    view.OnVScroll(code, thumb);
    return view.pendingStep();
  };
  EXPECT_EQ(scroll(kSbLineUp, 0), kStepPageBackward);
  EXPECT_EQ(scroll(kSbPageUp, 0), kStepPageBackward);
  EXPECT_EQ(scroll(kSbLineDown, 0), kStepPageForward);
  EXPECT_EQ(scroll(kSbPageDown, 0), kStepPageForward);
  EXPECT_EQ(scroll(kSbThumbTrack, 500), kStepNone);
  EXPECT_EQ(scroll(7, 500), kStepNone);
  EXPECT_TRUE(f.fakeLog.fractions.empty());

  EXPECT_EQ(scroll(kSbThumbPosition, 1000), kStepPageForward);
  EXPECT_EQ(f.host.scrollBar().position, 1000);
  EXPECT_EQ(scroll(kSbThumbPosition, 0), kStepPageForward);
  EXPECT_EQ(f.host.scrollBar().position, 0);
  EXPECT_EQ(scroll(kSbThumbPosition, 125), kStepPageForward);
  EXPECT_EQ(f.fakeLog.fractions, (std::vector<float>{1.0f, 0.0f, 0.125f}));
}

TEST(ViewCommands, NavigationExitAndUnknownIds) {
  ViewFixture f;
  CTirasolView& view = f.StartFake();
  view.OnCommand(kCmdGoStart);
  EXPECT_EQ(f.fakeLog.calls, (std::vector<std::string>{"GoToStart"}));
  EXPECT_EQ(view.pendingStep(), kStepPageForward);
  view.OnCommand(kCmdGoEnd);
  EXPECT_EQ(f.fakeLog.calls.back(), "GoToEnd");
  EXPECT_EQ(view.pendingStep(), kStepPageBackward);

  // Start and end leave a running auto-refresh alone.
  view.OnCommand(kCmdAutoRefresh);
  view.OnCommand(kCmdGoStart);
  view.OnCommand(kCmdGoEnd);
  EXPECT_TRUE(f.host.TimerRunning(kAutoRefreshTimerId));
  for (int id : {kCmdFind, kCmdJump, kCmdSetBookmark, kCmdSettings}) {
    if (!(view.runState() & kRunAutoRefresh)) view.OnCommand(kCmdAutoRefresh);
    ASSERT_TRUE(f.host.TimerRunning(kAutoRefreshTimerId));
    view.OnCommand(id);
    EXPECT_FALSE(f.host.TimerRunning(kAutoRefreshTimerId)) << id;
  }

  view.OnCommand(kCmdExit);
  EXPECT_EQ(f.host.closeRequests(), 1);
  size_t calls = f.fakeLog.calls.size();
  int invalidations = f.host.invalidations();
  for (int id : {kCmdAbout, kCmdFileNew, kCmdEditCopy, 12345})
    view.OnCommand(id);
  EXPECT_EQ(f.fakeLog.calls.size(), calls);
  EXPECT_EQ(f.host.invalidations(), invalidations);
}

TEST(ViewSize, MovesTheScrollBarAndRelaysAtPosition) {
  ViewFixture f;
  CTirasolView& view = f.StartFake();
  ViewInternals::Engine(view).SetPosition(42);
  f.fakeLog.calls.clear();
  f.host.SetClientRect(Rect{0, 0, 300, 200});
  view.OnSize();
  EXPECT_FALSE(f.host.scrollBar().visible);
  EXPECT_EQ(f.fakeLog.calls, (std::vector<std::string>{"SetPosition 42"}));
  EXPECT_EQ(view.pendingStep(), kStepPageForward);

  ViewInternals::Settings(view).barMode = BarMode::kScrollBar;
  f.host.SetClientRect(Rect{0, 0, 320, 240});
  view.OnSize();
  EXPECT_TRUE(f.host.scrollBar().visible);
  EXPECT_EQ(f.host.scrollBar().rect, (Rect{306, 0, 320, 240}));
}

}  // namespace
}  // namespace lirako

namespace lirako {
namespace {

using testing::ViewFixture;

TEST(ViewModal, HandlersRunAfterTheTimerStops) {
  ViewFixture f;
  CTirasolView& view = f.StartFake();
  std::vector<std::pair<int, unsigned>> runs;  // which handler, runState when it ran
  using Modal = CTirasolView::Modal;
  for (Modal modal : {Modal::kFind, Modal::kJump, Modal::kSetBookmark, Modal::kSettings}) {
    view.SetModalHandler(modal, [&runs, modal](CTirasolView& v) {
      runs.push_back({static_cast<int>(modal), v.runState()});
    });
  }
  for (int id : {kCmdFind, kCmdJump, kCmdSetBookmark, kCmdSettings}) {
    view.ToggleAutoRefresh();
    view.OnCommand(id);
  }
  ViewInternals::Settings(view).buttonFunctions[1] = kFnFind;
  view.OnKeyDown(kVkApp1 + 1);
  EXPECT_EQ(runs, (std::vector<std::pair<int, unsigned>>{{0, 0}, {1, 0}, {2, 0}, {3, 0}, {0, 0}}));
  view.SetModalHandler(Modal::kFind, nullptr);
  view.OnFind();
  EXPECT_EQ(runs.size(), 5u);
}

TEST(ViewLayout, ScrollBarPositionAndZeroPitchAreSafe) {
  ViewFixture f;
  CTirasolView& view = f.StartFake();
  ViewInternals::Engine(view).SetPosition(1500000000);
  f.fakeLog.size = 2000000000;
  view.UpdateScrollBar();
  EXPECT_EQ(f.host.scrollBar().position, 750);
  f.fakeLog.size = 0;
  view.UpdateScrollBar();
  EXPECT_EQ(f.host.scrollBar().position, 1000);
  view.CloseDocument();
  int sets = f.host.scrollBar().positionSets;
  view.UpdateScrollBar();
  EXPECT_EQ(f.host.scrollBar().positionSets, sets);

  // A zero pitch leaves no whole line: all the height goes to the centring.
  ViewInternals::Engine(view).lineHeight = 0;
  ViewInternals::Engine(view).lineGap = 0;
  ViewInternals::Engine(view).metricsReady = 1;
  view.UpdateLayout();
  EXPECT_EQ(view.engine().margins, (Rect{9, 5 + 310 / 2, 6, 5 + 310 / 2 - 1}));
}

}  // namespace
}  // namespace lirako

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/utf.h"
#include "store/settings_file.h"
#include "tests/view/view_fixture.h"
#include "view/command_ids.h"

namespace lirako {
namespace {

using testing::ViewFixture;

// A book of numbered lines "line 000" .. "line 199", 9 bytes each.
constexpr int kBookLines = 200;
constexpr int kLineBytes = 9;

struct KeyStep {
  unsigned key;
  unsigned modifiers;
  int step;
};

TEST(ViewDesktopKeys, PageKeysLeaveTheirSteps) {
  ViewFixture f;
  CTirasolView& view = f.StartFake();
  for (const KeyStep& k : std::vector<KeyStep>{{kVkNext, kModNone, kStepPageForward},
                                               {kVkSpace, kModNone, kStepPageForward},
                                               {kVkPrior, kModNone, kStepPageBackward},
                                               {kVkSpace, kModShift, kStepPageBackward},
                                               {kVkBack, kModNone, kStepPageBackward}}) {
    view.RequestStep(kStepNone);
    view.OnDesktopKey(k.key, k.modifiers);
    EXPECT_EQ(view.pendingStep(), k.step) << k.key << " " << k.modifiers;
  }
  // Ctrl with a page key, and keys outside the table, do nothing.
  view.RequestStep(kStepNone);
  int invalidations = f.host.invalidations();
  view.OnDesktopKey(kVkNext, kModCtrl);
  view.OnDesktopKey(0x41, kModNone);
  EXPECT_EQ(view.pendingStep(), kStepNone);
  EXPECT_EQ(f.host.invalidations(), invalidations);
}

TEST(ViewDesktopKeys, HomeAndEndGoToTheEndsOfTheBook) {
  ViewFixture f;
  CTirasolView& view = f.StartFake();
  view.OnDesktopKey(kVkHome, kModNone);
  EXPECT_EQ(view.pendingStep(), kStepPageForward);
  view.OnDesktopKey(kVkEnd, kModNone);
  EXPECT_EQ(view.pendingStep(), kStepPageBackward);
  EXPECT_EQ(f.fakeLog.Count("GoToStart"), 1);
  EXPECT_EQ(f.fakeLog.Count("GoToEnd"), 1);
}

TEST(ViewDesktopKeys, F11SwitchesFullScreenAndEscapeOnlyLeavesIt) {
  ViewFixture f;
  CTirasolView& view = f.StartFake();
  view.OnDesktopKey(kVkEscape, kModNone);
  EXPECT_EQ(f.host.fullScreenToggles(), 0);
  view.OnDesktopKey(kVkF11, kModNone);
  EXPECT_TRUE(f.host.IsFullScreen());
  EXPECT_EQ(view.pendingStep(), kStepPageForward);
  view.OnDesktopKey(kVkEscape, kModNone);
  EXPECT_FALSE(f.host.IsFullScreen());
  EXPECT_EQ(f.host.fullScreenToggles(), 2);
}

TEST(ViewDesktopKeys, CtrlLettersRunTheBarsTheBookmarkAndTheSettings) {
  ViewFixture f;
  CTirasolView& view = f.StartFake();
  std::vector<std::string> ran;
  auto record = [&ran](const char* name) {
    return [&ran, name](CTirasolView&) { ran.push_back(name); };
  };
  view.SetModalHandler(CTirasolView::Modal::kFind, record("find"));
  view.SetModalHandler(CTirasolView::Modal::kJump, record("jump"));
  view.SetModalHandler(CTirasolView::Modal::kSetBookmark, record("bookmark"));
  view.SetModalHandler(CTirasolView::Modal::kSettings, record("settings"));
  for (unsigned key : {kVkLetterF, kVkLetterG, kVkLetterB, kVkOemComma})
    view.OnDesktopKey(key, kModCtrl);
  // Without Ctrl the letters are nobody's.
  view.OnDesktopKey(kVkLetterF, kModNone);
  EXPECT_EQ(ran, (std::vector<std::string>{"find", "jump", "bookmark", "settings"}));
}

TEST(ViewDesktopKeys, FontSizeKeysAndCtrlWheelAreKeptInSetParam) {
  ViewFixture f;
  // A new install on a screen of twice the usual density: text of about 10.5 points.
  f.platform.SetLogicalDpi(192);
  CTirasolView& view = f.StartFake();
  const int defaultSize = view.settings().fontSize;
  EXPECT_EQ(defaultSize, 28);
  view.OnDesktopKey(kVkOemPlus, kModCtrl);
  EXPECT_GT(view.settings().fontSize, defaultSize);
  EXPECT_EQ(view.engine().metricsReady, 0);
  EXPECT_EQ(view.pendingStep(), kStepPageForward);
  view.OnDesktopKey(kVkDigit0, kModCtrl);
  EXPECT_EQ(view.settings().fontSize, defaultSize);
  view.OnDesktopKey(kVkOemMinus, kModCtrl);
  EXPECT_LT(view.settings().fontSize, defaultSize);
  view.OnWheel(-100, kModCtrl);
  EXPECT_EQ(view.settings().fontSize, kMinFontSize);
  view.OnWheel(100, kModCtrl);
  EXPECT_EQ(view.settings().fontSize, kMaxFontSize);
  view.OnWheel(-1, kModCtrl);
  const int kept = view.settings().fontSize;
  ASSERT_LT(kept, kMaxFontSize);

  const std::u16string folder = view.dataFolder();
  f.Stop();
  ReaderSettings saved;
  ASSERT_TRUE(LoadSettings(f.platform, folder, saved));
  EXPECT_EQ(saved.fontSize, kept);
  // With a settings file the screen no longer decides.
  EXPECT_EQ(f.StartFake().settings().fontSize, kept);
}

TEST(ViewDesktopKeys, WheelWithoutCtrlTurnsAPagePerNotch) {
  ViewFixture f;
  CTirasolView& view = f.StartFake();
  const int size = view.settings().fontSize;
  view.OnWheel(-2, kModNone);
  EXPECT_EQ(view.pendingStep(), kStepPageForward);
  view.OnWheel(1, kModShift);
  EXPECT_EQ(view.pendingStep(), kStepPageBackward);
  EXPECT_EQ(view.settings().fontSize, size);
}

TEST(ViewDesktopKeys, PlusAndMinusChangeTheAutoScrollPeriodOnlyWhileItRuns) {
  ViewFixture f;
  CTirasolView& view = f.StartFake();
  const int period = view.settings().refreshInterval;
  view.OnDesktopKey(kVkOemPlus, kModShift);
  EXPECT_EQ(view.settings().refreshInterval, period);
  EXPECT_TRUE(view.notice().empty());

  view.ToggleAutoRefresh();
  view.OnDesktopKey(kVkOemPlus, kModShift);
  EXPECT_EQ(view.settings().refreshInterval, period - kRefreshIntervalStep);
  EXPECT_EQ(f.host.timers().at(kAutoRefreshTimerId),
            static_cast<unsigned>(period - kRefreshIntervalStep));
  view.OnDesktopKey(kVkSubtract, kModNone);
  view.OnDesktopKey(kVkOemMinus, kModNone);
  EXPECT_EQ(view.settings().refreshInterval, period + kRefreshIntervalStep);
  EXPECT_TRUE(view.runState() & kRunAutoRefresh);

  // The notice names the new period over the page until its timer ends it.
  const std::u16string notice = u"자동 스크롤 " + std::u16string(u"1700") + u" ms";
  EXPECT_EQ(view.notice(), notice);
  auto screen = f.Paint();
  bool drawn = false;
  for (const SurfaceOp& op : screen->ops())
    drawn |= op.text.find(notice) != std::u16string::npos;
  EXPECT_TRUE(drawn);
  ASSERT_TRUE(f.host.TimerRunning(kNoticeTimerId));
  view.OnTimer(kNoticeTimerId);
  EXPECT_TRUE(view.notice().empty());
  EXPECT_FALSE(f.host.TimerRunning(kNoticeTimerId));
  EXPECT_TRUE(view.runState() & kRunAutoRefresh);
}

TEST(ViewDesktopKeys, ADroppedFileIsOpened) {
  ViewFixture f;
  CTirasolView& view = f.Start();
  std::u16string book = f.NumberedBook("dropped.txt", kBookLines);
  view.OnDropFile(book);
  ASSERT_TRUE(view.HasDocument());
  EXPECT_EQ(view.engine().filePath, book);
}

TEST(ViewDesktopKeys, OpenedBooksReachTheDesktopsRecentListOnlyWhenAsked) {
  ViewFixture f;
  CTirasolView& view = f.Start();
  const std::u16string xbel = f.platform.DataHome() + u"/recently-used.xbel";
  view.OpenDocument(f.NumberedBook("quiet.txt", kBookLines));
  EXPECT_FALSE(f.platform.PathExists(xbel));
  view.SetRecordRecentlyUsed(true);
  view.OpenDocument(f.NumberedBook("listed.txt", kBookLines));
  // Written after the first page, not on its way.
  EXPECT_FALSE(f.platform.PathExists(xbel));
  ASSERT_TRUE(f.host.TimerRunning(kRecentlyUsedTimerId));
  view.OnTimer(kRecentlyUsedTimerId);
  EXPECT_NE(testing::ReadFileBytes(ToUtf8(xbel)).find("file://" + f.dir.File("listed.txt")),
            std::string::npos);
  // A book opened just before the reader closes is recorded all the same.
  view.OpenDocument(f.NumberedBook("last.txt", kBookLines));
  f.Stop();
  EXPECT_NE(testing::ReadFileBytes(ToUtf8(xbel)).find("file://" + f.dir.File("last.txt")),
            std::string::npos);
}

// The page's top position after F3 on a book where "line 1" starts lines 100..199.
TEST(ViewDesktopKeys, F3FindsTheLastTextAgainForwardAndShiftF3Too) {
  ViewFixture f;
  CTirasolView& view = f.Start(f.NumberedBook("a.txt", kBookLines));
  f.Paint();
  // Without a text yet, F3 opens the find bar.
  bool barRan = false;
  view.SetModalHandler(CTirasolView::Modal::kFind, [&barRan](CTirasolView&) { barRan = true; });
  view.OnDesktopKey(kVkF3, kModNone);
  EXPECT_TRUE(barRan);

  view.RememberFindText(u"LINE 15");
  view.OnDesktopKey(kVkF3, kModNone);
  f.Paint();
  EXPECT_EQ(view.pagePosition(), 150 * kLineBytes);
  view.OnDesktopKey(kVkF3, kModShift);
  f.Paint();
  EXPECT_EQ(view.pagePosition(), 151 * kLineBytes);
  // Away from the hit, the search starts again from the page.
  view.OnDesktopKey(kVkHome, kModNone);
  f.Paint();
  view.OnDesktopKey(kVkF3, kModNone);
  f.Paint();
  EXPECT_EQ(view.pagePosition(), 150 * kLineBytes);
}

TEST(ViewDesktopKeys, F3PastTheLastHitSaysTheSearchIsDoneAndStays) {
  ViewFixture f;
  CTirasolView& view = f.Start(f.NumberedBook("a.txt", kBookLines));
  f.Paint();
  view.RememberFindText(u"line 199");
  view.OnDesktopKey(kVkF3, kModNone);
  f.Paint();
  const int32_t hit = view.pagePosition();
  ASSERT_EQ(hit, 199 * kLineBytes);
  view.OnDesktopKey(kVkF3, kModNone);
  f.Paint();
  EXPECT_EQ(view.notice(), u"검색 완료");
  EXPECT_EQ(view.pagePosition(), hit);
}

}  // namespace
}  // namespace lirako

#include "view/find_dlg.h"

#include <gtest/gtest.h>

#include "tests/view/bar_fixture.h"

namespace lirako::testing {
namespace {

constexpr int kCombo = CFindDlg::kTextCombo;
constexpr int kFind = CFindDlg::kFindNextButton;
constexpr int kLabel = CFindDlg::kPositionLabel;
constexpr int kCase = CFindDlg::kMatchCaseCheck;

class FindBarTest : public BarTest {
 protected:
  void RunFind() { view->OnCommand(kCmdFind); }
  const HeadlessControls& lastBar() { return runner.runs().back().controls; }
};

TEST_F(FindBarTest, KeepsHistoryOfSearchTexts) {
  ScriptedEngine& engine = OpenScripted(1000, 100);
  runner.Script({TypeStep(kCombo, u"바다"), ClickStep(kFind), TypeStep(kCombo, u"Sea"),
                 ClickStep(kFind), TypeStep(kCombo, u"바다"), ClickStep(kFind),
                 TypeStep(kCombo, u"sea"), ClickStep(kFind)});
  RunFind();
  const std::vector<std::u16string> expected{u"sea", u"바다", u"Sea"};
  EXPECT_EQ(view->findHistory(), expected);
  EXPECT_EQ(lastBar().control(kCombo).items, expected);
  EXPECT_EQ(lastBar().control(kCombo).text, u"sea");
  ASSERT_EQ(engine.searches.size(), 4u);
  EXPECT_EQ(engine.searches[1].text, u"Sea");
  EXPECT_EQ(engine.searches[1].options, 0);

  // The next bar offers the last text again; match case sets option bit 0; an empty text
  // searches nothing and leaves the label alone.
  runner.Script({ClickStep(kFind), ClickStep(kCase), ClickStep(kFind), TypeStep(kCombo, u"바다 "),
                 ClickStep(kFind), ClickStep(kCase), TypeStep(kCombo, u""), ClickStep(kFind)});
  RunFind();
  ASSERT_EQ(engine.searches.size(), 7u);
  EXPECT_EQ(engine.searches[4].text, u"sea");
  EXPECT_EQ(engine.searches[4].options, 0);
  EXPECT_EQ(engine.searches[5].options, 1);
  EXPECT_EQ(engine.searches[6].text, u"바다 ");
  EXPECT_EQ(engine.searches[6].options, 1);
  EXPECT_EQ(view->findHistory(), (std::vector<std::u16string>{u"바다 ", u"sea", u"바다", u"Sea"}));
  EXPECT_EQ(lastBar().control(kLabel).text, u"검색 완료");
}

TEST_F(FindBarTest, ShowsPercentOfHitAndCompletion) {
  ScriptedEngine& engine = OpenScripted(1000, 125);
  engine.hits = {{500, 10}};
  runner.SetWindowRect(Rect{7, 150, 207, 190});
  runner.SetOwnerRect(Rect{0, 26, 240, 320});
  std::u16string openingLabel;
  int topMarginWhileOpen = 0;
  unsigned runStateWhileOpen = 0;
  int32_t afterHit = -1, afterMiss = -1;
  runner.Script({[&](HeadlessControls& c, DialogLogic&) {
                   openingLabel = c.control(kLabel).text;
                   topMarginWhileOpen = view->engine().margins.top;
                   runStateWhileOpen = view->runState();
                 },
                 TypeStep(kCombo, u"물"), ClickStep(kFind),
                 [&](HeadlessControls& c, DialogLogic&) {
                   EXPECT_EQ(c.control(kLabel).text, u"위치: 51.00%");
                   afterHit = engine.position;
                   EXPECT_EQ(view->pendingStep(), kStepPageForward);
                 },
                 ClickStep(kFind),
                 [&](HeadlessControls&, DialogLogic&) { afterMiss = engine.position; }});
  RunFind();
  EXPECT_EQ(engine.searchStarts, std::vector<int32_t>{125});
  EXPECT_EQ(openingLabel, u"위치: 12.50%");
  EXPECT_EQ(lastBar().control(kLabel).text, u"검색 완료");
  EXPECT_EQ(afterHit, 500);
  EXPECT_EQ(afterMiss, 500);  // a miss goes back to where that search began
  // The bar lies at the top of the view, its own size; the text starts below it while open.
  EXPECT_EQ(lastBar().windowRect(), (Rect{7, 26, 207, 66}));
  EXPECT_EQ(topMarginWhileOpen, view->settings().marginY + 40);
  EXPECT_EQ(runStateWhileOpen & kRunBarOpen, kRunBarOpen);
  EXPECT_EQ(view->runState() & kRunBarOpen, 0u);
  EXPECT_EQ(view->engine().margins.top, view->settings().marginY);

  // An empty document shows 100 %.
  OpenScripted(0, 0, u"/books/empty.txt");
  runner.Script({});
  RunFind();
  EXPECT_EQ(lastBar().control(kLabel).text, u"위치: 100%");
}

TEST_F(FindBarTest, ClosingReturnsToStartOrStaysOnLastHit) {
  ScriptedEngine& engine = OpenScripted(1000, 300);
  engine.hits = {};
  runner.Script({TypeStep(kCombo, u"없는 말"), ClickStep(kFind), CancelStep()});
  RunFind();
  ASSERT_FALSE(engine.positionsSet.empty());
  EXPECT_EQ(engine.positionsSet.back(), 300);
  EXPECT_EQ(view->pendingStep(), kStepPageForward);

  engine.hits = {{400, 0}, {700, 3}};
  engine.positionsSet.clear();
  runner.Script(
      {TypeStep(kCombo, u"말"), ClickStep(kFind), ClickStep(kFind), ClickStep(kFind), OkStep()});
  RunFind();
  EXPECT_EQ(engine.positionsSet, (std::vector<int32_t>{400, 700, 700, 700}));
  EXPECT_EQ(engine.position, 700);
  EXPECT_TRUE(host.shellRequests.empty());
  EXPECT_EQ(host.inputPanelLowered, 2);

  // Full screen: the bar asks the shell to hide the task bar and the input-panel button for
  // itself, and the view hides the input-panel button after it closes.
  host.fullScreen = true;
  runner.Script({});
  RunFind();
  EXPECT_EQ(lastBar().fullScreenRequests(), std::vector<unsigned>{10u});
  EXPECT_EQ(host.shellRequests, std::vector<unsigned>{8u});
  EXPECT_EQ(host.inputPanelLowered, 3);
}

TEST_F(FindBarTest, FindsInRealBookAndShowsLineOfHit) {
  std::string book;
  for (int i = 0; i < 300; ++i)
    book += "line " + std::to_string(i) + " of the sea\r\n";
  book += "the whale\r\n";
  for (int i = 0; i < 20; ++i)
    book += "after " + std::to_string(i) + "\r\n";
  StartReal(dir.Write("book.txt", book));
  const int32_t whaleLine = static_cast<int32_t>(book.find("the whale"));
  runner.Script({TypeStep(kCombo, u"WHALE"), ClickStep(kFind)});
  RunFind();
  Paint();
  EXPECT_EQ(view->pagePosition(), whaleLine);
  // Match case finds nothing more and leaves the page on the hit.
  runner.Script({ClickStep(kCase), TypeStep(kCombo, u"WHALE"), ClickStep(kFind)});
  RunFind();
  Paint();
  EXPECT_EQ(lastBar().control(kLabel).text, u"검색 완료");
  EXPECT_EQ(view->pagePosition(), whaleLine);
}

TEST_F(FindBarTest, CommandStopsAutoRefreshAndNeedsDocument) {
  StartScripted();
  RunFind();
  EXPECT_TRUE(runner.runs().empty());

  OpenScripted(100, 0);
  StartAutoRefresh();
  bool timerDuringBar = true;
  runner.Script({[&](HeadlessControls&, DialogLogic&) {
    timerDuringBar = host.TimerRunning(kAutoRefreshTimerId);
  }});
  view->RunButtonFunction(7);
  ASSERT_EQ(runner.runs().size(), 1u);
  EXPECT_EQ(runner.runs()[0].id, CFindDlg::kDialogId);
  EXPECT_FALSE(timerDuringBar);
  EXPECT_EQ(view->runState() & kRunAutoRefresh, 0u);
  EXPECT_FALSE(host.TimerRunning(kAutoRefreshTimerId));
}

TEST(FindBarLabel, FormatsPercentInSinglePrecision) {
  EXPECT_EQ(CFindDlg::PositionLabel(1, 8), u"위치: 12.50%");
  EXPECT_EQ(CFindDlg::PositionLabel(0, 5), u"위치: 0.00%");
  EXPECT_EQ(CFindDlg::PositionLabel(999, 1000), u"위치: 99.90%");
  EXPECT_EQ(CFindDlg::PositionLabel(3000000000LL, 2100000000), u"위치: 142.86%");
  EXPECT_EQ(CFindDlg::PositionLabel(7, 0), u"위치: 100%");
}

}  // namespace
}  // namespace lirako::testing

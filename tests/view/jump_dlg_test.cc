#include "view/jump_dlg.h"

#include <gtest/gtest.h>

#include "tests/view/bar_fixture.h"

namespace lirako::testing {
namespace {

constexpr int kSlider = CJumpDlg::kSlider;
constexpr int kPercent = CJumpDlg::kPercentEdit;
constexpr int kHundredths = CJumpDlg::kHundredthsEdit;
constexpr int kGo = CJumpDlg::kGoButton;

class JumpBarTest : public BarTest {
 protected:
  void RunJump() { view->OnCommand(kCmdJump); }
  const HeadlessControls& lastBar() { return runner.runs().back().controls; }
};

TEST_F(JumpBarTest, FillsFieldsFromPosition) {
  ScriptedEngine& engine = OpenScripted(8, 1);
  runner.SetWindowRect(Rect{3, 200, 203, 236});
  runner.SetOwnerRect(Rect{0, 30, 240, 320});
  int topMarginWhileOpen = 0;
  runner.Script({[&](HeadlessControls& c, DialogLogic&) {
                   EXPECT_EQ(c.control(kSlider).pos, 12);
                   EXPECT_EQ(c.control(kPercent).text, u"12");
                   EXPECT_EQ(c.control(kHundredths).text, u"50");
                   EXPECT_EQ(c.timers(), (std::map<int, unsigned>{{201, 100}}));
                   EXPECT_EQ(view->runState() & kRunBarOpen, kRunBarOpen);
                   topMarginWhileOpen = view->engine().margins.top;
                 },
                 ClickStep(kGo)});
  RunJump();
  ASSERT_EQ(engine.fractions.size(), 1u);
  EXPECT_FLOAT_EQ(engine.fractions[0], 0.125f);
  const HeadlessControl& spin1 = lastBar().control(CJumpDlg::kPercentSpin);
  const HeadlessControl& spin2 = lastBar().control(CJumpDlg::kHundredthsSpin);
  EXPECT_EQ(spin1.maximum, 100);
  EXPECT_EQ(spin2.maximum, 99);
  EXPECT_EQ(lastBar().windowRect(), (Rect{3, 30, 203, 66}));
  EXPECT_EQ(topMarginWhileOpen, view->settings().marginY + 36);
  // Closing re-lays the page out from its top line without the bar.
  EXPECT_EQ(view->engine().margins.top, view->settings().marginY);
  EXPECT_EQ(view->runState() & kRunBarOpen, 0u);
  EXPECT_EQ(engine.positionsSet.back(), 1);
  EXPECT_EQ(view->pendingStep(), kStepPageForward);

  // A long book: the whole percent is computed without overflow.
  OpenScripted(2000000000, 1999999999, u"/books/long.txt");
  runner.Script({});
  RunJump();
  EXPECT_EQ(lastBar().control(kPercent).text, u"99");
  // The slider's percent is computed in single precision, which rounds this one up.
  EXPECT_EQ(lastBar().control(kSlider).pos, 100);

  // An empty document shows 100 and 00. In full screen the bar hides the task bar and the
  // input-panel button for itself; the view asks nothing of the shell afterwards.
  EXPECT_TRUE(lastBar().fullScreenRequests().empty());
  host.fullScreen = true;
  OpenScripted(0, 0, u"/books/empty.txt");
  runner.Script({});
  RunJump();
  EXPECT_EQ(lastBar().fullScreenRequests(), std::vector<unsigned>{10u});
  EXPECT_TRUE(host.shellRequests.empty());
  EXPECT_EQ(lastBar().control(kPercent).text, u"100");
  EXPECT_EQ(lastBar().control(kHundredths).text, u"00");
  EXPECT_EQ(lastBar().control(kSlider).pos, 100);
}

TEST_F(JumpBarTest, FollowsTypingAndMovesOnEveryGo) {
  ScriptedEngine& engine = OpenScripted(10000, 0);
  runner.Script(
      {TypeStep(kPercent, u"45"),
       [](HeadlessControls& c, DialogLogic&) { EXPECT_EQ(c.control(kSlider).pos, 45); },
       ClickStep(kGo), SlideStep(kSlider, 30),
       [](HeadlessControls& c, DialogLogic&) {
         // The field follows the slider at the next tick only.
         EXPECT_EQ(c.control(kPercent).text, u"45");
       },
       TimerStep(CJumpDlg::kTimerId),
       [](HeadlessControls& c, DialogLogic&) { EXPECT_EQ(c.control(kPercent).text, u"30"); },
       TypeStep(kHundredths, u" 7x"), ClickStep(kGo), TypeStep(kPercent, u"abc"),
       TypeStep(kHundredths, u"zz"), ClickStep(kGo), TypeStep(kPercent, u"250"),
       SpinStep(CJumpDlg::kPercentSpin, 2), TypeStep(kHundredths, u"99"), ClickStep(kGo),
       [&](HeadlessControls&, DialogLogic&) {
         EXPECT_EQ(view->pendingStep(), kStepPageForward);
         EXPECT_EQ(engine.position, 10099);
       },
       CancelStep()});
  RunJump();
  ASSERT_EQ(engine.fractions.size(), 4u);
  EXPECT_FLOAT_EQ(engine.fractions[0], 0.45f);
  EXPECT_FLOAT_EQ(engine.fractions[1], 0.3007f);
  EXPECT_FLOAT_EQ(engine.fractions[2], 0.0f);
  // Typing 250 pins the slider at 100; the spin reads its field (250), stays within 100.
  EXPECT_FLOAT_EQ(engine.fractions[3], 1.0099f);
  EXPECT_EQ(lastBar().control(kPercent).text, u"100");
  // "나가기" keeps the last place, re-laid out from its first line.
  EXPECT_EQ(engine.positionsSet.back(), engine.position);
}

TEST_F(JumpBarTest, PastHundredPercentLandsAtTheEnd) {
  std::string book;
  for (int i = 0; i < 400; ++i)
    book += "paragraph " + std::to_string(i) + " of the book\r\n";
  StartReal(dir.Write("book.txt", book));
  runner.Script({SlideStep(kSlider, 100), TypeStep(kHundredths, u"99"), ClickStep(kGo)});
  RunJump();
  Paint();
  const int32_t landed = view->pagePosition();

  ViewInternals::Engine(*view).SetFraction(1.0f);
  view->RequestStep(kStepPageForward);
  Paint();
  EXPECT_EQ(landed, view->pagePosition());
  EXPECT_GT(landed, static_cast<int32_t>(book.size() * 9 / 10));
}

TEST_F(JumpBarTest, CommandStopsAutoRefreshAndNeedsDocument) {
  StartScripted();
  RunJump();
  EXPECT_TRUE(runner.runs().empty());

  OpenScripted(100, 0);
  StartAutoRefresh();
  bool timerDuringBar = true;
  runner.Script({[&](HeadlessControls&, DialogLogic&) {
    timerDuringBar = host.TimerRunning(kAutoRefreshTimerId);
  }});
  view->RunButtonFunction(8);
  ASSERT_EQ(runner.runs().size(), 1u);
  EXPECT_EQ(runner.runs()[0].id, CJumpDlg::kDialogId);
  EXPECT_FALSE(timerDuringBar);
  EXPECT_EQ(view->runState() & kRunAutoRefresh, 0u);
  // The bar's timer ends with the bar.
  EXPECT_TRUE(runner.runs()[0].controls.timers().empty());
}

TEST(JumpBarNumbers, ReadsLeadingNumberAndPercent) {
  EXPECT_EQ(CJumpDlg::LeadingNumber(u"  42abc"), 42);
  EXPECT_EQ(CJumpDlg::LeadingNumber(u"-7"), -7);
  EXPECT_EQ(CJumpDlg::LeadingNumber(u"+5"), 5);
  EXPECT_EQ(CJumpDlg::LeadingNumber(u"x1"), 0);
  EXPECT_EQ(CJumpDlg::LeadingNumber(u""), 0);
  EXPECT_EQ(CJumpDlg::LeadingNumber(u"99999999999"), 0x7FFFFFFF);
  EXPECT_EQ(CJumpDlg::InitialPercent(1, 8), 12u);
  EXPECT_EQ(CJumpDlg::InitialPercent(7, 7), 100u);
  EXPECT_EQ(CJumpDlg::InitialPercent(0, 0), 100u);
}

}  // namespace
}  // namespace lirako::testing

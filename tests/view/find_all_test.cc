#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "tests/view/bar_fixture.h"
#include "view/find_all_dlg.h"

namespace lirako::testing {
namespace {

// Paragraphs "line 000" to "line 099", nine bytes each with the line feed.
constexpr int kLines = 100;
constexpr int32_t kLineBytes = 9;
// "line 01" is in lines 10 to 19: the third hit starts line 12.
constexpr char16_t kText[] = u"line 01";
constexpr int32_t kThirdHit = 12 * kLineBytes;
constexpr int32_t kTextUnits = 7;

class FindAllTest : public BarTest {
 protected:
  void SetUp() override {
    std::string text;
    for (int i = 0; i < kLines; ++i) {
      char line[16];
      std::snprintf(line, sizeof line, "line %03d\n", i);
      text += line;
    }
    StartReal(dir.Write("lines.txt", text));
  }
};

// Waits for the list's search to end, then lets its timer fill the list.
DialogStep WaitForAllHits() {
  return [](HeadlessControls& controls, DialogLogic& dialog) {
    const SearchAllJob* job = static_cast<CFindAllDlg&>(dialog).job();
    for (int i = 0; i < 5000 && !job->done(); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    controls.FireTimer(dialog, CFindAllDlg::kTimerId);
  };
}

TEST_F(FindAllTest, ListsEveryHitAndAClickShowsItHighlighted) {
  runner.Script(
      {TypeStep(CFindDlg::kTextCombo, kText), ClickStep(CFindDlg::kFindAllButton), CancelStep()});
  runner.Script({WaitForAllHits(), SelectStep(CFindAllDlg::kHitList, 2), CancelStep()});
  view->OnCommand(kCmdFind);
  ASSERT_EQ(runner.runs().size(), 2u);
  const HeadlessControls& list = runner.runs()[0].controls;
  EXPECT_EQ(list.control(CFindAllDlg::kHitList).items.size(), 10u);
  EXPECT_EQ(list.control(CFindAllDlg::kHitList).items[2], u"line 012");
  EXPECT_EQ(list.control(CFindAllDlg::kStatusLabel).text, u"모두 10개");

  // Closing the bar leaves the page at the hit, drawn inverted.
  Paint();
  EXPECT_EQ(view->pagePosition(), kThirdHit);
  EXPECT_EQ(view->engine().highlightBegin, kThirdHit);
  EXPECT_EQ(view->engine().highlightEnd, kThirdHit + kTextUnits);
}

TEST_F(FindAllTest, FindNextGoesOnFromTheHitChosenInTheList) {
  runner.Script({TypeStep(CFindDlg::kTextCombo, kText), ClickStep(CFindDlg::kFindAllButton),
                 ClickStep(CFindDlg::kFindNextButton), CancelStep()});
  runner.Script({WaitForAllHits(), SelectStep(CFindAllDlg::kHitList, 2), CancelStep()});
  view->OnCommand(kCmdFind);
  Paint();
  EXPECT_EQ(view->pagePosition(), kThirdHit + kLineBytes);
  EXPECT_EQ(view->engine().highlightBegin, kThirdHit + kLineBytes);
}

TEST_F(FindAllTest, TheHighlightGoesWithThePage) {
  runner.Script(
      {TypeStep(CFindDlg::kTextCombo, kText), ClickStep(CFindDlg::kFindNextButton), CancelStep()});
  view->OnCommand(kCmdFind);
  Paint();
  EXPECT_EQ(view->pagePosition(), 10 * kLineBytes);
  EXPECT_EQ(view->engine().highlightBegin, 10 * kLineBytes);
  view->OnKeyDown(kVkDown);
  Paint();
  EXPECT_EQ(view->engine().highlightBegin, -1);
}

}  // namespace
}  // namespace lirako::testing

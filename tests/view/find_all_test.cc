#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "tests/view/bar_fixture.h"
#include "view/find_all_model.h"

namespace lirako::testing {
namespace {

// Paragraphs "line 000" to "line 099", nine bytes each with the line feed.
constexpr int kLines = 100;
constexpr int32_t kLineBytes = 9;
// "line 01" is in lines 10 to 19: the third hit starts line 12.
constexpr char16_t kText[] = u"line 01";
constexpr int32_t kThirdHit = 12 * kLineBytes;
constexpr int32_t kTextUnits = 7;

// The bar over a book of kLines lines, its list of every hit kept open until the search
// ends, then moved to hit `row` (none when -1) and closed.
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

  void ListJumpsTo(int row) {
    CFindDlg::Install(*view, runner, [this, row](FindAllModel& list) {
      for (int i = 0; i < 5000 && !list.job().done(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      list.Append(list.Fetch());
      for (size_t r = 0; r < list.size(); ++r)
        shown_.push_back(list.Text(r));
      status_ = list.Status();
      if (row >= 0) list.Jump(static_cast<size_t>(row));
    });
  }

  std::vector<std::u16string> shown_;
  std::u16string status_;
};

TEST_F(FindAllTest, ListsEveryHitAndAClickShowsItHighlighted) {
  ListJumpsTo(2);
  runner.Script(
      {TypeStep(CFindDlg::kTextCombo, kText), ClickStep(CFindDlg::kFindAllButton), CancelStep()});
  view->OnCommand(kCmdFind);
  ASSERT_EQ(shown_.size(), 10u);
  EXPECT_EQ(shown_[2], u"line 012");
  EXPECT_EQ(status_, u"모두 10개");

  // Closing the bar leaves the page at the hit, drawn inverted.
  Paint();
  EXPECT_EQ(view->pagePosition(), kThirdHit);
  EXPECT_EQ(view->engine().highlightBegin, kThirdHit);
  EXPECT_EQ(view->engine().highlightEnd, kThirdHit + kTextUnits);
}

TEST_F(FindAllTest, FindNextGoesOnFromTheHitChosenInTheList) {
  ListJumpsTo(2);
  runner.Script({TypeStep(CFindDlg::kTextCombo, kText), ClickStep(CFindDlg::kFindAllButton),
                 ClickStep(CFindDlg::kFindNextButton), CancelStep()});
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

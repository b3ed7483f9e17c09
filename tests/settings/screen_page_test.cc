#include "settings/screen_page.h"

#include <gtest/gtest.h>

#include "platform/headless_dialogs.h"

namespace lirako {
namespace {

using P = CScreenPage;

// A page handed the default settings' values, initialised on fresh controls.
struct ScreenPageFixture {
  ScreenPageFixture() {
    page.entryNumbers = {6, 5, 1, 2, 1600};
    page.justify = 1;
    page.screenKeys = 1;
    page.barMode = 3;
  }
  HeadlessControls& Init() {
    page.OnInitDialog(controls);
    return controls;
  }
  CScreenPage page;
  HeadlessControls controls{page.spec()};
};

TEST(CScreenPage, InitialisationRestoresEntryValuesAndFillsControls) {
  ScreenPageFixture f;
  f.page.numbers = {99, 99, 99, 99, 99};  // stale working values are replaced
  f.page.landscape = 1;
  HeadlessControls& c = f.Init();
  EXPECT_EQ(f.page.numbers, (P::Numbers{6, 5, 1, 2, 1600}));
  EXPECT_EQ(c.GetText(P::kMarginXEdit), u"6");
  EXPECT_EQ(c.GetText(P::kMarginYEdit), u"5");
  EXPECT_EQ(c.GetText(P::kLineGapEdit), u"1");
  EXPECT_EQ(c.GetText(P::kSharedLinesEdit), u"2");
  EXPECT_EQ(c.GetText(P::kPeriodEdit), u"1600");
  EXPECT_TRUE(c.IsChecked(P::kJustifyCheck));
  EXPECT_TRUE(c.IsChecked(P::kLandscapeCheck));
  EXPECT_TRUE(c.IsChecked(P::kScreenKeysCheck));
  EXPECT_FALSE(c.IsChecked(P::kSmoothCheck));
  const HeadlessControl& bar = c.control(P::kBarCombo);
  EXPECT_EQ(bar.items, (std::vector<std::u16string>{u"바 없음", u"스크롤바", u"위치바"}));
  EXPECT_EQ(bar.itemData, (std::vector<int64_t>{1, 2, 3}));
  EXPECT_EQ(bar.curSel, 2);
  EXPECT_EQ(f.page.spec().caption, u"화면");
}

TEST(CScreenPage, SpinRangesAndStops) {
  ScreenPageFixture f;
  f.page.entryNumbers = {0, 1, 0, 0, 300};
  HeadlessControls& c = f.Init();
  struct Range {
    int spin, low, high;
  };
  for (Range r :
       {Range{P::kMarginXSpin, 0, 20}, Range{P::kMarginYSpin, 1, 20}, Range{P::kLineGapSpin, 0, 20},
        Range{P::kSharedLinesSpin, 0, 5}, Range{P::kPeriodSpin, 300, 3600}}) {
    EXPECT_EQ(c.control(r.spin).minimum, r.low) << r.spin;
    EXPECT_EQ(c.control(r.spin).maximum, r.high) << r.spin;
  }
  c.Spin(f.page, P::kMarginYSpin, -3);
  EXPECT_EQ(f.page.numbers.marginY, 1);
  c.Spin(f.page, P::kMarginYSpin, 30);
  EXPECT_EQ(f.page.numbers.marginY, 20);
  EXPECT_EQ(c.GetText(P::kMarginYEdit), u"20");
  c.Spin(f.page, P::kSharedLinesSpin, 9);
  EXPECT_EQ(f.page.numbers.sharedLines, 5);
  c.Spin(f.page, P::kMarginXSpin, -1);
  EXPECT_EQ(f.page.numbers.marginX, 0);
  c.Spin(f.page, P::kLineGapSpin, 25);
  EXPECT_EQ(f.page.numbers.lineGap, 20);
}

TEST(CScreenPage, PeriodArrowsWriteThousandsSeparatorsAndAreReadBack) {
  ScreenPageFixture f;
  f.page.entryNumbers.refreshInterval = 1399;
  HeadlessControls& c = f.Init();
  c.Spin(f.page, P::kPeriodSpin, 1);
  EXPECT_EQ(c.GetText(P::kPeriodEdit), u"1,400");
  EXPECT_EQ(f.page.numbers.refreshInterval, 1400);
  c.Type(f.page, P::kPeriodEdit, u"3,600");
  EXPECT_EQ(f.page.numbers.refreshInterval, 3600);
  c.Type(f.page, P::kPeriodEdit, u"1,400");
  EXPECT_EQ(f.page.numbers.refreshInterval, 1400);
  // Only the first 12 characters count: the 13th digit is dropped.
  c.Type(f.page, P::kPeriodEdit, u"0000000012345");
  EXPECT_EQ(f.page.numbers.refreshInterval, 1234);
  c.Type(f.page, P::kPeriodEdit, u"1,2,3,4,5,6,7");
  EXPECT_EQ(f.page.numbers.refreshInterval, 123456);
  // The other edits do not skip commas.
  c.Type(f.page, P::kMarginXEdit, u"1,400");
  EXPECT_EQ(f.page.numbers.marginX, 1);
}

TEST(CScreenPage, TypedValuesAreStoredAsTypedAtOnce) {
  ScreenPageFixture f;
  HeadlessControls& c = f.Init();
  c.Type(f.page, P::kMarginXEdit, u"50");
  c.Type(f.page, P::kMarginYEdit, u"  -3");
  c.Type(f.page, P::kLineGapEdit, u"abc");
  c.Type(f.page, P::kSharedLinesEdit, u"5000");
  c.Type(f.page, P::kPeriodEdit, u"10");
  EXPECT_EQ(f.page.numbers, (P::Numbers{50, -3, 0, 5000, 10}));
  EXPECT_EQ(c.GetText(P::kLineGapEdit), u"abc");  // not corrected
  EXPECT_EQ(f.page.entryNumbers, (P::Numbers{6, 5, 1, 2, 1600}));
}

TEST(CScreenPage, CheckBoxesAndBarComboStoreTheirState) {
  ScreenPageFixture f;
  HeadlessControls& c = f.Init();
  c.Click(f.page, P::kJustifyCheck);
  c.Click(f.page, P::kLandscapeCheck);
  c.Click(f.page, P::kScreenKeysCheck);
  c.Click(f.page, P::kSmoothCheck);
  EXPECT_EQ(f.page.justify, 0);
  EXPECT_EQ(f.page.landscape, 1);
  EXPECT_EQ(f.page.screenKeys, 0);
  EXPECT_EQ(f.page.smoothRefresh, 1);
  c.Select(f.page, P::kBarCombo, 1);
  EXPECT_EQ(f.page.barMode, 2);
  c.Select(f.page, P::kBarCombo, 0);
  EXPECT_EQ(f.page.barMode, 1);
}

TEST(CScreenPage, BarModeOutsideTheListSelectsNothingAndStays) {
  ScreenPageFixture f;
  f.page.barMode = 7;
  HeadlessControls& c = f.Init();
  EXPECT_EQ(c.GetCurSel(P::kBarCombo), -1);
  c.Click(f.page, P::kJustifyCheck);
  EXPECT_EQ(f.page.barMode, 7);
}

}  // namespace
}  // namespace lirako

#include "settings/screen_page.h"

#include <gtest/gtest.h>

#include "platform/headless/headless_dialogs.h"

namespace lirako {
namespace {

using P = CScreenPage;

// A page handed the default settings, initialised.
struct ScreenPageFixture {
  ScreenPageFixture(BarMode barMode = BarMode::kPositionBar) {
    page.entryNumbers = {6, 5, 1, 2, 1600};
    page.numbers = {99, 99, 99, 99, 99};  // stale working values are replaced
    page.justify = 1;
    page.barMode = barMode;
    page.OnInitDialog(c);
  }
  CScreenPage page;
  HeadlessControls c{page.dialogSpec()};
};

TEST(CScreenPage, InitialisationRestoresEntryValuesIntoTheControls) {
  ScreenPageFixture f;
  EXPECT_EQ(f.page.numbers, (P::Numbers{6, 5, 1, 2, 1600}));
  EXPECT_EQ(f.c.GetText(P::kMarginYEdit), u"5");
  EXPECT_EQ(f.c.GetText(P::kPeriodEdit), u"1600");
  EXPECT_TRUE(f.c.IsChecked(P::kJustifyCheck));
  EXPECT_FALSE(f.c.IsChecked(P::kLandscapeCheck));
  EXPECT_EQ(f.c.control(P::kBarCombo).items,
            (std::vector<std::u16string>{u"바 없음", u"스크롤바", u"위치바"}));
  EXPECT_EQ(f.c.GetCurSel(P::kBarCombo), 2);
  EXPECT_EQ(f.c.control(P::kMarginYSpin).minimum, 1);
  EXPECT_EQ(f.c.control(P::kSharedLinesSpin).maximum, 5);
  EXPECT_EQ(f.c.control(P::kPeriodSpin).minimum, 300);
  EXPECT_EQ(f.c.control(P::kPeriodSpin).maximum, 3600);

  // A bar mode outside the list selects nothing and is kept.
  ScreenPageFixture odd(BarMode{7});
  EXPECT_EQ(odd.c.GetCurSel(P::kBarCombo), -1);
  odd.c.Click(odd.page, P::kLandscapeCheck);
  EXPECT_EQ(odd.page.barMode, BarMode{7});
  EXPECT_EQ(odd.page.landscape, 1);
}

TEST(CScreenPage, TypesettingBoxesShowAndStoreTheOptions) {
  CScreenPage page;
  page.typography = Typography{.kinsoku = true, .joinLines = true};
  HeadlessControls c{page.dialogSpec()};
  page.OnInitDialog(c);
  EXPECT_EQ(c.control(P::kKinsokuCheck).text, u"줄머리 금칙");
  EXPECT_EQ(c.control(P::kKeepAllCheck).text, u"어절 단위 줄바꿈");
  EXPECT_EQ(c.control(P::kJoinLinesCheck).text, u"줄 이어 읽기");
  EXPECT_TRUE(c.IsChecked(P::kKinsokuCheck));
  EXPECT_FALSE(c.IsChecked(P::kKeepAllCheck));
  EXPECT_TRUE(c.IsChecked(P::kJoinLinesCheck));
  c.Click(page, P::kKinsokuCheck);
  c.Click(page, P::kKeepAllCheck);
  EXPECT_EQ(page.typography, (Typography{.keepAll = true, .joinLines = true}));
}

TEST(CScreenPage, LineLengthSpreadAndIndentShowAndStoreThePageShape) {
  CScreenPage page;
  page.page = PageOptions{.measure = 0, .columns = ColumnMode::kTwo};
  HeadlessControls c{page.dialogSpec()};
  page.OnInitDialog(c);
  EXPECT_EQ(c.GetText(P::kMeasureEdit), u"0");
  EXPECT_EQ(c.control(P::kColumnsCombo).items,
            (std::vector<std::u16string>{u"자동", u"한 쪽", u"두 쪽"}));
  EXPECT_EQ(c.GetCurSel(P::kColumnsCombo), 2);
  // A length below the range is raised to it; 0 stays the whole width.
  c.Type(page, P::kMeasureEdit, u"9");
  EXPECT_EQ(page.page.measure, 20);
  c.Type(page, P::kMeasureEdit, u"44");
  c.Select(page, P::kColumnsCombo, 0);
  EXPECT_EQ(page.page, (PageOptions{.measure = 44, .columns = ColumnMode::kAuto}));
  // The first-line indent goes with the typesetting options, at most three characters.
  c.Type(page, P::kIndentEdit, u"7");
  EXPECT_EQ(page.typography.indent, 3);
  EXPECT_EQ(c.control(P::kCollapseCheck).text, u"빈 줄 정리");
  c.Click(page, P::kCollapseCheck);
  EXPECT_TRUE(page.typography.collapseBlankLines);
  // The paragraph gap, in percent of a line, at most a whole line; the arrows step it.
  c.Type(page, P::kParagraphGapEdit, u"150");
  EXPECT_EQ(page.typography.paragraphGap, 100);
  c.Type(page, P::kParagraphGapEdit, u"30");
  c.Spin(page, P::kParagraphGapSpin, 2);
  EXPECT_EQ(page.typography.paragraphGap, 32);
  // The status line, and whether auto-scroll hides it, go with the page's shape.
  EXPECT_EQ(c.control(P::kStatusCheck).text, u"쪽 정보");
  EXPECT_FALSE(c.IsChecked(P::kStatusAutoScrollCheck));
  c.Click(page, P::kStatusCheck);
  c.Click(page, P::kStatusAutoScrollCheck);
  EXPECT_TRUE(page.page.status);
  EXPECT_FALSE(page.page.statusInAutoScroll);
}

TEST(CScreenPage, PeriodReadsThousandsSeparatorsFromTwelveCharacters) {
  ScreenPageFixture f;
  f.c.Type(f.page, P::kPeriodEdit, u"1399");
  f.c.Spin(f.page, P::kPeriodSpin, 1);
  EXPECT_EQ(f.c.GetText(P::kPeriodEdit), u"1,400");
  EXPECT_EQ(f.page.numbers.refreshInterval, 1400);
  f.c.Spin(f.page, P::kPeriodSpin, 2);  // the arrows step from the number shown
  EXPECT_EQ(f.c.GetText(P::kPeriodEdit), u"1,402");
  EXPECT_EQ(f.page.numbers.refreshInterval, 1402);
  f.c.Type(f.page, P::kPeriodEdit, u"3,600");
  EXPECT_EQ(f.page.numbers.refreshInterval, 3600);
  f.c.Type(f.page, P::kPeriodEdit, u"0000000012345");  // the 13th character is dropped
  EXPECT_EQ(f.page.numbers.refreshInterval, 1234);
  f.c.Type(f.page, P::kMarginXEdit, u"1,400");  // only the period skips commas
  EXPECT_EQ(f.page.numbers.marginX, 1);
}

TEST(CScreenPage, StoresTypedValuesArrowsChecksAndBarAtOnce) {
  ScreenPageFixture f;
  f.c.Type(f.page, P::kMarginYEdit, u"  -3");
  f.c.Type(f.page, P::kLineGapEdit, u"abc");
  f.c.Type(f.page, P::kSharedLinesEdit, u"5000");
  EXPECT_EQ(f.page.numbers, (P::Numbers{6, -3, 0, 5000, 1600}));
  EXPECT_EQ(f.c.GetText(P::kLineGapEdit), u"abc");
  f.c.Spin(f.page, P::kMarginYSpin, -30);
  EXPECT_EQ(f.page.numbers.marginY, 1);
  f.c.Spin(f.page, P::kSharedLinesSpin, 30);
  EXPECT_EQ(f.page.numbers.sharedLines, 5);
  f.c.Click(f.page, P::kJustifyCheck);
  f.c.Click(f.page, P::kSmoothCheck);
  f.c.Select(f.page, P::kBarCombo, 1);
  EXPECT_EQ(f.page.justify, 0);
  EXPECT_EQ(f.page.smoothRefresh, 1);
  EXPECT_EQ(f.page.barMode, BarMode::kScrollBar);
  EXPECT_EQ(f.page.entryNumbers, (P::Numbers{6, 5, 1, 2, 1600}));
}

}  // namespace
}  // namespace lirako

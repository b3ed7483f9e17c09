#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "platform/utf.h"
#include "tests/support/view_internals.h"
#include "tests/view/view_fixture.h"
#include "view/page_options.h"

namespace lirako {
namespace {

using testing::ViewFixture;
using testing::ViewInternals;

// The page's text calls by their left edge, each column's lines top first.
std::map<int, std::vector<SurfaceOp>> Columns(ViewFixture& f) {
  std::map<int, std::vector<SurfaceOp>> columns;
  for (const SurfaceOp& op : f.Paint()->TextOps())
    columns[op.x].push_back(op);
  return columns;
}

// A numbered book in a window `width` wide, lines of 20 full-width characters (240 pixels).
CTirasolView& StartWithMeasure(ViewFixture& f, int width, ColumnMode mode) {
  f.host.SetClientRect(Rect{0, 0, width, 320});
  CTirasolView& view = f.Start(f.NumberedBook("a.txt", 200));
  ViewInternals::Settings(view).justify = 0;  // one text call per line
  ViewInternals::Settings(view).barMode = BarMode::kNone;
  view.SetPageOptions(PageOptions{.measure = 20, .columns = mode});
  return view;
}

TEST(ViewColumns, AWideWindowShowsTwoColumnsThatALineStepRunsThrough) {
  ViewFixture f;
  CTirasolView& view = StartWithMeasure(f, 600, ColumnMode::kAuto);
  // 588 pixels between the margins hold two columns of 240 and a gutter of 24, centred.
  auto columns = Columns(f);
  ASSERT_EQ(columns.size(), 2u);
  const std::vector<SurfaceOp> left = columns.at(48);
  const std::vector<SurfaceOp> right = columns.at(48 + 264);
  ASSERT_EQ(left.size(), right.size());
  EXPECT_EQ(left.front().y, right.front().y);
  EXPECT_EQ(left.front().text, u"line 000");
  const std::u16string rightTop = right.front().text;
  EXPECT_EQ(rightTop, u"line 0" + FromUtf8(std::to_string(left.size())));
  // A line step moves the right column's first line to the left column's foot.
  view.RequestStep(kStepLineForward);
  columns = Columns(f);
  EXPECT_EQ(columns.at(48).front().text, u"line 001");
  EXPECT_EQ(columns.at(48).back().text, rightTop);
  // A page turn shows the next spread, sharing the lines asked for.
  const int32_t before = view.pagePosition();
  view.RequestStep(kStepPageForward);
  Columns(f);
  EXPECT_GT(view.pagePosition(), before + 9 * static_cast<int32_t>(left.size()));
  EXPECT_EQ(view.readerStore().Value("page.measure"), "20");
  EXPECT_EQ(view.readerStore().Value("page.columns"), "auto");
}

TEST(ViewColumns, ANarrowWindowShowsOneCentredColumn) {
  ViewFixture f;
  StartWithMeasure(f, 400, ColumnMode::kAuto);
  auto columns = Columns(f);
  ASSERT_EQ(columns.size(), 1u);
  EXPECT_EQ(columns.begin()->first, 6 + (388 - 240) / 2);
  // Two columns asked for split what the narrow window has.
  ViewFixture two;
  StartWithMeasure(two, 400, ColumnMode::kTwo);
  EXPECT_EQ(Columns(two).size(), 2u);
}

}  // namespace
}  // namespace lirako

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "platform/utf.h"
#include "tests/support/view_internals.h"
#include "tests/view/view_fixture.h"
#include "view/page_geometry.h"
#include "view/reading_pace.h"
#include "view/status_line.h"

namespace lirako {
namespace {

using std::chrono::minutes;
using std::chrono::seconds;
using testing::ViewFixture;
using testing::ViewInternals;

TEST(ReadingPace, TimeLeftLeavesOutAPauseOverTwoMinutes) {
  ReadingPace pace;
  ReadingPace::Clock::time_point now{};
  // A page of 1,000 units every 30 seconds: the first turn starts the clock.
  auto turn = [&](ReadingPace::Clock::duration after) {
    now += after;
    pace.Step(now, 1000);
  };
  turn(seconds(0));
  turn(seconds(30));
  turn(seconds(30));
  EXPECT_FALSE(pace.TimeFor(10000)) << "two turns make no pace yet";
  turn(seconds(30));
  EXPECT_EQ(pace.TimeFor(10000), seconds(300));  // 2,000 units a minute
  // Ten minutes away from the book, then a turn: neither counts.
  turn(minutes(10));
  EXPECT_EQ(pace.TimeFor(10000), seconds(300));
  // Reading goes on more slowly: 4,000 units in 150 seconds.
  turn(seconds(60));
  EXPECT_EQ(pace.TimeFor(8000), seconds(300));

  // 12 minutes to the chapter's end and 185 to the book's, at 2,000 units a minute.
  ReadingPace steady;
  for (int i = 0; i <= 3; ++i)
    steady.Step(ReadingPace::Clock::time_point{} + seconds(30 * i), 1000);
  const StatusText text =
      StatusLine::Compose(u"1권 \u203A 3장", 1000, 371000, false, 25000, steady);
  EXPECT_EQ(text.percent, u"0%");
  EXPECT_EQ(text.timeLeft, u"장 12분 · 책 3시간 5분");
  // Outside a chapter only the book's time is told.
  EXPECT_EQ(StatusLine::Compose(u"", 1000, 371000, false, 25000, steady).timeLeft, u"책 3시간 5분");
  EXPECT_EQ(StatusLine::Compose(u"", 1000, 371000, false, -1, ReadingPace{}).timeLeft, u"");
}

TEST(PageGeometry, TheStatusLineTakesItsBandFromTheTextBlock) {
  constexpr int kPitch = 17;
  const PageShape shape{.measure = 10, .columns = ColumnMode::kTwo};
  PageGeometry plain(shape, 600, 6, 6, 12);
  plain.PlaceRows(320, 5, 5, kPitch, 0);
  PageGeometry withStatus(shape, 600, 6, 6, 12);
  withStatus.PlaceRows(320, 5, 5, kPitch, 16);
  auto lines = [](const PageGeometry& g) { return (320 - g.top() - g.bottom()) / kPitch; };
  EXPECT_EQ(lines(plain), 18);
  // 16 pixels of status line and 8 of gap over it cost two lines.
  EXPECT_EQ(lines(withStatus), 16);
  EXPECT_EQ(plain.StatusBox(0), Rect{});
  const Rect first = withStatus.StatusBox(0);
  const Rect second = withStatus.StatusBox(1);
  EXPECT_GE(first.top, withStatus.top() + 16 * kPitch + 8);
  EXPECT_EQ(first.Height(), 16);
  EXPECT_LE(first.bottom, 320 - 5);
  EXPECT_EQ(first.left, withStatus.ColumnLeft(0));
  EXPECT_EQ(second.left, withStatus.ColumnLeft(1));
  EXPECT_EQ(second.Width(), withStatus.columnWidth());
  EXPECT_EQ(second.top, first.top);
}

TEST(StatusLineView, TheChapterTitleComesWithTheScansEvent) {
  ViewFixture f;
  std::string text;
  for (const char* heading : {"== The Start ==\n", "== The Road ==\n"}) {
    text += heading;
    for (int l = 0; l < 40; ++l)
      text += "The story goes on, line " + std::to_string(l) + ".\n";
  }
  CTirasolView& view = f.Start(f.Book("book.txt", text));
  ViewInternals::Settings(view).justify = 0;
  PageOptions options = view.pageOptions();
  options.status = true;
  view.SetPageOptions(options);
  EXPECT_EQ(view.readerStore().Value("page.status"), "1");
  auto finishScan = [&] {
    for (int i = 0; i < 5000 && view.chapters().state() == ChapterList::State::kScanning; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_EQ(view.chapters().state(), ChapterList::State::kDone);
  };
  finishScan();
  for (int id : f.host.TakeEvents())
    view.OnEvent(id);
  f.Paint();  // no chapter the built-in rules know: no title
  std::string err;
  // A rule that finds the headings: the scan runs again and tells the view when it has them.
  ASSERT_TRUE(view.SetTocRule("^== .* ==$", &err)) << err;
  finishScan();
  const int invalidations = f.host.invalidations();
  const std::vector<int> events = f.host.TakeEvents(std::chrono::seconds(5));
  ASSERT_FALSE(events.empty());
  for (int id : events)
    view.OnEvent(id);
  EXPECT_GT(f.host.invalidations(), invalidations);
  EXPECT_EQ(f.host.title(), u"book.txt - == The Start == — 리라코");
  std::unique_ptr<RecordingSurface> screen = f.Paint();
  const std::vector<SurfaceOp> texts = screen->TextOps();
  ASSERT_GE(texts.size(), 3u);
  // The page's lines, then the title at the left of the foot and the place at its right, in
  // a smaller face.
  const SurfaceOp& title = texts[texts.size() - 1];
  const SurfaceOp& place = texts[texts.size() - 2];
  const SurfaceOp& lastLine = texts[texts.size() - 3];
  EXPECT_EQ(title.text, u"== The Start ==");
  EXPECT_EQ(place.text, u"0%");
  EXPECT_EQ(title.y, place.y);
  EXPECT_GT(title.y, lastLine.y + 16);
  EXPECT_LT(title.font.height, lastLine.font.height);
}

}  // namespace
}  // namespace lirako

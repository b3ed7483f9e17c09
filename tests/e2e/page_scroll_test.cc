// A line step moves the kept page image and draws only the lines that come in, and a page
// turn shows the page drawn ahead; the picture must be the one a whole paint of the same page
// gives, pixel for pixel.
#include <cstdlib>
#include <memory>
#include <string>

#include <gtest/gtest.h>
#include <QImage>

#include "platform/headless/headless_view_host.h"
#include "platform/qt/qt_platform.h"
#include "platform/qt/qt_surface.h"
#include "platform/utf.h"
#include "tests/support/temp_dir.h"
#include "view/main_menu.h"
#include "view/tirasol_view.h"

namespace lirako {
namespace {

// The page surface as the Qt platform gives it, counting the lines' text calls and moves.
class CountingSurface : public Surface {
 public:
  CountingSurface(std::unique_ptr<Surface> inner, int* texts, int* scrolls)
      : inner_(std::move(inner)), texts_(texts), scrolls_(scrolls) {}
  Font* SelectFont(Font* font) override { return inner_->SelectFont(font); }
  Extent MeasureText(std::u16string_view text) override { return inner_->MeasureText(text); }
  void SetTextColor(uint32_t color) override { inner_->SetTextColor(color); }
  void SetBackColor(uint32_t color) override { inner_->SetBackColor(color); }
  void FillSolid(const Rect& rect, uint32_t color) override { inner_->FillSolid(rect, color); }
  void DrawText(int x, int y, std::u16string_view text) override {
    ++*texts_;
    inner_->DrawText(x, y, text);
  }
  void CopyTo(Surface& target, const Rect& rect) override { inner_->CopyTo(target, rect); }
  bool Scroll(const Rect& rect, int dx, int dy) override {
    ++*scrolls_;
    return inner_->Scroll(rect, dx, dy);
  }

 private:
  std::unique_ptr<Surface> inner_;
  int* texts_;
  int* scrolls_;
};

// The Qt platform with its data in a temporary folder; `keep` false makes every page a
// whole paint.
class PagePlatform : public QtPlatform {
 public:
  PagePlatform(const testing::TempDir& dir, bool keep) : dir_(dir), keep_(keep) {}
  std::u16string ProgramPath() override { return FromUtf8(dir_.File("bin/lirako")); }
  std::u16string ConfigHome() override { return FromUtf8(dir_.File("config")); }
  std::u16string DataHome() override { return FromUtf8(dir_.File("data")); }
  std::unique_ptr<Surface> CreatePageSurface(Surface& screen, int width, int height,
                                             bool* kept) override {
    std::unique_ptr<Surface> page = QtPlatform::CreatePageSurface(screen, width, height, kept);
    if (!keep_) *kept = false;
    return std::make_unique<CountingSurface>(std::move(page), &texts, &scrolls);
  }

  int texts = 0;
  int scrolls = 0;

 private:
  const testing::TempDir& dir_;
  bool keep_;
};

// One reader window's page on the sample book, painted into an image.
class Reader {
 public:
  Reader(const testing::TempDir& dir, bool keep, bool landscape, ColumnMode columns)
      : platform(dir, keep), host_(1000, 600, MainMenuItems()), view_(platform, host_) {
    ReaderSettings settings = view_.settings();
    settings.landscape = landscape ? 1 : 0;
    view_.SetSettings(settings);
    view_.SetPageOptions(PageOptions{.measure = 20, .columns = columns});
    EXPECT_TRUE(view_.OpenDocument(FromUtf8(LIRAKO_SOURCE_DIR "/samples/byeolbit.txt")));
    Step(kStepNone);
    Step(kStepPageForward);
  }

  // Paints the page after `step`; the picture.
  QImage Step(int step) {
    platform.texts = platform.scrolls = 0;
    view_.RequestStep(step);
    QtSurface screen(&image_);
    view_.PaintPage(screen);
    return image_;
  }
  void DrawNextTurnAhead() { view_.PrepareTurn(); }

  PagePlatform platform;

 private:
  HeadlessViewHost host_;
  CTirasolView view_;
  QImage image_{1000, 600, QImage::Format_RGB32};
};

TEST(PageScroll, ALineStepMovesThePictureAndMatchesAWholePaint) {
  testing::TempDir dir;
  for (const bool landscape : {false, true}) {
    SCOPED_TRACE(landscape ? "landscape" : "two columns");
    const ColumnMode columns = landscape ? ColumnMode::kOne : ColumnMode::kTwo;
    Reader kept(dir, true, landscape, columns);
    Reader whole(dir, false, landscape, columns);
    const int wholePage = whole.platform.texts;
    for (const int step : {kStepLineForward, kStepLineForward, kStepLineBackward, kStepPageForward,
                           kStepLineForward}) {
      const QImage moved = kept.Step(step);
      EXPECT_TRUE(moved == whole.Step(step)) << "after step " << step;
      if (step == kStepPageForward) continue;
      // One move per column, and the text of one line per column (none for an empty line).
      EXPECT_EQ(kept.platform.scrolls, landscape ? 1 : 2);
      EXPECT_LT(kept.platform.texts * 5, wholePage);
    }
  }
}

TEST(PageScroll, ATurnShowsThePageDrawnAheadOnlyWhenItIsThePageItTurnsTo) {
  testing::TempDir dir;
  for (const bool landscape : {false, true}) {
    SCOPED_TRACE(landscape ? "landscape" : "two columns");
    const ColumnMode columns = landscape ? ColumnMode::kOne : ColumnMode::kTwo;
    Reader ahead(dir, true, landscape, columns);
    Reader whole(dir, false, landscape, columns);
    ahead.DrawNextTurnAhead();
    EXPECT_TRUE(ahead.Step(kStepPageForward) == whole.Step(kStepPageForward));
    EXPECT_EQ(ahead.platform.texts, 0);
    // A line step in between makes the page drawn ahead another than the next turn's.
    ahead.DrawNextTurnAhead();
    EXPECT_TRUE(ahead.Step(kStepLineForward) == whole.Step(kStepLineForward));
    EXPECT_TRUE(ahead.Step(kStepPageForward) == whole.Step(kStepPageForward));
    EXPECT_GT(ahead.platform.texts, 0);
    // After a turn back, the page before is the one drawn ahead.
    EXPECT_TRUE(ahead.Step(kStepPageBackward) == whole.Step(kStepPageBackward));
    ahead.DrawNextTurnAhead();
    EXPECT_TRUE(ahead.Step(kStepPageBackward) == whole.Step(kStepPageBackward));
    EXPECT_EQ(ahead.platform.texts, 0);
  }
}

}  // namespace
}  // namespace lirako

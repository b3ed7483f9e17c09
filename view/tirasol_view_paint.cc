// The reader view's paint, layout and scroll-bar position.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <iterator>
#include <memory>

#include "view/bar_room.h"
#include "view/tirasol_view.h"

namespace lirako {
namespace {

constexpr char16_t kOpenFailedText[] = u"열 수 없습니다";
// How long the chapter scan stays held after the paint of a page turn or line step.
constexpr std::chrono::milliseconds kScanHoldAfterPaint{20};

// A margin as the layout can use it: settings are not clamped on load.
int MarginPixels(int value) {
  return std::clamp(value, -kMaxLayoutPixels, kMaxLayoutPixels);
}

}  // namespace

Rect CTirasolView::BarMargins(int left, int top, int right, int bottom) const {
  left = MarginPixels(left);
  top = MarginPixels(top);
  right = MarginPixels(right);
  bottom = MarginPixels(bottom);
  const Rect room = BarRoom(settings_.barMode, settings_.landscape != 0);
  return Rect{left + room.left, top + room.top, right + room.right, bottom + room.bottom};
}

void CTirasolView::ApplyBarMargins(int extraTop) {
  const int marginY = MarginPixels(settings_.marginY);
  SetEngineLayout(
      BarMargins(settings_.marginX, marginY + MarginPixels(extraTop), settings_.marginX, marginY));
  host_.Invalidate();
}

void CTirasolView::SetEngineLayout(const Rect& margins, int pitch, int roomTop, int roomBottom) {
  // The text block's columns, centred between the margins asked for, and its rows above the
  // status line when it is shown.
  const PageOptions options = pageOptions();
  PageGeometry geometry(options.Shape(), engine_->pageRect.right, margins.left, margins.right,
                        engine_->metricsReady ? engine_->wideGlyphWidth() : 0);
  geometry.PlaceRows(engine_->pageRect.bottom, margins.top, margins.bottom, pitch,
                     options.status ? statusLine_.height() : 0, roomTop, roomBottom);
  engine_->SetLayout(Rect{geometry.left(), geometry.top(), geometry.right(), geometry.bottom()},
                     settings_.lineGap, settings_.sharedLines, settings_.justify != 0);
  engine_->SetColumns(geometry.columns(), geometry.columnStep());
  statusLine_.Place(geometry);
}

void CTirasolView::UpdateLayout() {
  Rect client = host_.ClientRect();
  // A rotated page is the client rectangle with width and height exchanged.
  if (settings_.landscape) {
    engine_->SetPageRect(client.left, client.top, client.bottom, client.right);
  } else {
    engine_->SetPageRect(client.left, client.top, client.right, client.bottom);
  }
  if ((runState_ & kRunKeepMargins) || !engine_->metricsReady) return;
  // Whole lines centred between the margins; the bar's room is added after.
  const int marginX = MarginPixels(settings_.marginX);
  const int marginY = MarginPixels(settings_.marginY);
  const Rect room = BarRoom(settings_.barMode, settings_.landscape != 0);
  SetEngineLayout(Rect{marginX + room.left, marginY, marginX + room.right, marginY},
                  std::max(LinePitch(), 0), room.top, room.bottom);
}

void CTirasolView::PaintPage(Surface& screen) {
  bool rotated = settings_.landscape && !(runState_ & kRunUpright);
  Rect client = host_.ClientRect();
  engine_->BeginPaint(screen, settings_.FontFaceName(), settings_.fontSize,
                      settings_.clearType != 0, settings_.fontBold != 0, rotated);
  const PageColors colors = pageColors();
  engine_->BeginOffscreen(screen, client, colors.text, colors.back);
  const PageOptions options = pageOptions();
  if (HasDocument() && options.status)
    statusLine_.Measure(platform_, screen, StatusLine::FaceOf(PageFace()));
  UpdateLayout();
  // The save notice stays on the page until the first page turn after it was seen.
  if (saveNoticeDrawn_ && pendingStep_ != kStepNone) saveNotice_.clear();
  // A search hit stays highlighted only on the page that shows it.
  if (pendingStep_ != kStepNone && !keepHighlight_) {
    engine_->highlightBegin = engine_->highlightEnd = -1;
  }
  keepHighlight_ = false;
  const int step = pendingStep_;
  const int32_t before = engine_->GetPosition();
  switch (pendingStep_) {
    case kStepPageForward:
      engine_->PageForward();
      lastTurn_ = Turn::kForward;
      break;
    case kStepPageBackward:
      engine_->PageBackward();
      lastTurn_ = Turn::kBackward;
      break;
    case kStepLineForward:
      engine_->LineForward();
      break;
    case kStepLineBackward:
      engine_->LineBackward();
      break;
    default:
      break;
  }
  pendingStep_ = kStepNone;
  // Reading forward teaches the pace; jumps set the place before the step and move nothing here.
  if (step == kStepPageForward || step == kStepLineForward)
    pace_.Step(platform_.Now(), int64_t{engine_->GetPosition()} - before);
  ArmPlaceSave();
  engine_->Render(rotated ? kRenderRotated : 0);
  if (settings_.barMode == BarMode::kPositionBar) engine_->DrawPositionBar(client, rotated);
  engine_->EndOffscreen();
  if (StatusShown(options))
    statusLine_.Draw(platform_, screen, PageStatus(), colors, rotated, engine_->pageRect.right);
  if (!saveNotice_.empty()) DrawSaveNotice(screen, client, rotated);
  DrawNotice(screen, client, rotated);
  engine_->EndPaint(screen);
  if (!HasDocument() && !openFailureName_.empty()) DrawOpenFailure(screen, client);
  if (settings_.barMode == BarMode::kScrollBar) UpdateScrollBar();
  UpdateChapterTitle();
  // The window system puts a turned page on the screen after this paint returns, which on a
  // machine of few processors the scan would slow down: it waits a little longer. A step of
  // auto-scroll, which may come faster than that, lets it go on; other paints leave the
  // hold as it is.
  if (step != kStepNone) {
    chapters_.Hold((runState_ & kRunAutoRefresh) ? std::chrono::milliseconds(0)
                                                 : kScanHoldAfterPaint);
  }
  if (HasDocument() && !(runState_ & kRunAutoRefresh))
    host_.SetTimer(kPrepareTimerId, kPrepareDelayMs);
}

void CTirasolView::PrepareTurn() {
  if (!HasDocument() || (runState_ & kRunAutoRefresh) || pendingStep_ != kStepNone) return;
  std::unique_ptr<Surface> spare = platform_.CreateSpareSurface();
  if (!spare) return;
  const bool rotated = settings_.landscape && !(runState_ & kRunUpright);
  engine_->BeginPaint(*spare, settings_.FontFaceName(), settings_.fontSize,
                      settings_.clearType != 0, settings_.fontBold != 0, rotated);
  const PageColors colors = pageColors();
  engine_->PrepareTurn(lastTurn_, *spare, host_.ClientRect(), colors.text, colors.back,
                       rotated ? kRenderRotated : 0);
  engine_->EndPaint(*spare);
}

void CTirasolView::DrawSaveNotice(Surface& screen, const Rect& client, bool rotated) {
  int height = screen.MeasureText(saveNotice_).height;
  const PageColors colors = pageColors();
  screen.SetTextColor(colors.text);
  screen.SetBackColor(colors.back);
  if (rotated) {
    // Rotated text runs from the bottom upward; the foot of the page is the right edge.
    screen.FillSolid(Rect{client.right - height, client.top, client.right, client.bottom},
                     colors.back);
    screen.DrawText(client.right - height, client.bottom - 1, saveNotice_);
  } else {
    screen.FillSolid(Rect{client.left, client.bottom - height, client.right, client.bottom},
                     colors.back);
    screen.DrawText(client.left, client.bottom - height, saveNotice_);
  }
  saveNoticeDrawn_ = true;
}

void CTirasolView::DrawOpenFailure(Surface& screen, const Rect& client) {
  std::unique_ptr<Font> font = platform_.CreateFont(PageFace());
  Font* previous = screen.SelectFont(font.get());
  const PageColors colors = pageColors();
  screen.SetTextColor(colors.text);
  screen.SetBackColor(colors.back);
  const std::u16string lines[] = {kOpenFailedText, openFailureName_, openFailureReason_};
  Extent extents[std::size(lines)];
  int height = 0;
  for (size_t i = 0; i < std::size(lines); ++i) {
    extents[i] = screen.MeasureText(lines[i]);
    height += extents[i].height;
  }
  int y = client.top + std::max(0, (client.Height() - height) / 2);
  for (size_t i = 0; i < std::size(lines); ++i) {
    // A line wider than the page starts at its left edge.
    int x = client.left + std::max(0, (client.Width() - extents[i].width) / 2);
    screen.DrawText(x, y, lines[i]);
    y += extents[i].height;
  }
  screen.SelectFont(previous);
}

FontSpec CTirasolView::PageFace() const {
  FontSpec fontSpec;
  fontSpec.face = settings_.FontFaceName();
  fontSpec.height = settings_.fontSize;
  fontSpec.weight = settings_.fontBold ? 700 : 400;
  fontSpec.clearType = settings_.clearType != 0;
  return fontSpec;
}

void CTirasolView::UpdateScrollBar() {
  if (!HasDocument()) return;
  int32_t size = engine_->GetSize();
  int32_t position = engine_->GetPosition();
  // 64 bits, so that a book beyond 4 MB cannot overflow the product.
  uint64_t thumb = kScrollRange;
  if (size > 0) {
    thumb =
        static_cast<uint64_t>(std::max(position, 0)) * kScrollRange / static_cast<uint64_t>(size);
  }
  host_.SetScrollPosition(static_cast<int>(std::min<uint64_t>(thumb, kScrollRange)));
}

void CTirasolView::ShowScrollBarForMode() {
  host_.ShowScrollBar(settings_.barMode == BarMode::kScrollBar);
}

}  // namespace lirako

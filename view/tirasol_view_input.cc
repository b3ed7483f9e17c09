// The reader view's dispatch of commands, keys, application buttons, taps, the scroll bar,
// size changes and the auto-refresh timer.
#include <algorithm>
#include <chrono>

#include "view/button_functions.h"
#include "view/tirasol_view.h"

namespace lirako {
namespace {

// Tap zones: the outer quarters of the page turn pages, the middle band toggles full screen.
constexpr int kLowZonePercent = 25;
constexpr int kHighZonePercent = 75;

// Auto-refresh shifts per tick in smooth mode, chosen from the refresh interval.
int SmoothStepFor(int refreshInterval) {
  if (refreshInterval >= 1800) return 2;
  if (refreshInterval >= 1600) return 3;
  if (refreshInterval >= 1200) return 4;
  return 5;
}

}  // namespace

void CTirasolView::OnCommand(int id) {
  if (id >= kCmdRecentFirst && id <= kCmdRecentLast) {
    OpenRecent(id - kCmdRecentFirst);
    return;
  }
  if (id >= kCmdBookmarkFirst && id <= kCmdBookmarkLast) {
    GoToBookmark(id - kCmdBookmarkFirst);
    return;
  }
  switch (id) {
    case kCmdFileOpen:
      OnFileOpen();
      break;
    case kCmdGoStart:
      engine_->GoToStart();
      RequestStep(kStepPageForward);
      break;
    case kCmdGoEnd:
      // The last page is laid out backwards from the end.
      engine_->GoToEnd();
      RequestStep(kStepPageBackward);
      break;
    case kCmdJump:
      OnJump();
      break;
    case kCmdFind:
      OnFind();
      break;
    case kCmdAutoRefresh:
      ToggleAutoRefresh();
      break;
    case kCmdSetBookmark:
      OnSetBookmark();
      break;
    case kCmdSettings:
      OnSettings();
      break;
    case kCmdToc:
      OnToc();
      break;
    case kCmdLibrary:
      OnLibrary();
      break;
    case kCmdNextChapter:
      StepChapter(1);
      break;
    case kCmdPreviousChapter:
      StepChapter(-1);
      break;
    case kCmdNightToggle:
      ToggleNight();
      break;
    case kCmdExit:
      host_.CloseMainWindow();
      break;
    case kCmdEncodingAuto:
      ChooseEncoding(std::nullopt);
      break;
    case kCmdEncodingCp949:
      ChooseEncoding(TextEncoding::kCp949);
      break;
    case kCmdEncodingUtf8:
      ChooseEncoding(TextEncoding::kUtf8);
      break;
    case kCmdEncodingUtf16Le:
      ChooseEncoding(TextEncoding::kUtf16Le);
      break;
    case kCmdEncodingUtf16Be:
      ChooseEncoding(TextEncoding::kUtf16Be);
      break;
    default:
      break;
  }
}

void CTirasolView::RunButtonFunction(int function) {
  switch (function) {
    case kFnPreviousPage:
      RequestStep(kStepPageBackward);
      break;
    case kFnNextPage:
      RequestStep(kStepPageForward);
      break;
    case kFnPreviousLine:
      RequestStep(kStepLineBackward);
      break;
    case kFnNextLine:
      RequestStep(kStepLineForward);
      break;
    case kFnFullScreen:
      host_.ToggleFullScreen();
      RelayoutAtPosition();
      break;
    case kFnSetBookmark:
      OnSetBookmark();
      break;
    case kFnFind:
      OnFind();
      break;
    case kFnJump:
      OnJump();
      break;
    case kFnOpen:
      OnFileOpen();
      break;
    case kFnSettings:
      OnSettings();
      break;
    case kFnLandscape:
      settings_.landscape = !settings_.landscape;
      RelayoutAtPosition();
      break;
    case kFnAutoScroll:
      ToggleAutoRefresh();
      break;
    case kFnQuit:
      host_.CloseMainWindow();
      break;
    default:
      break;
  }
}

void CTirasolView::OnKeyDown(unsigned virtualKey) {
  // The landscape table turns the arrows with the page, unless the device has a dial.
  bool portrait = !settings_.landscape || settings_.dialDevice;
  switch (virtualKey) {
    case kVkLeft:
      RequestStep(portrait ? kStepLineBackward : kStepPageBackward);
      break;
    case kVkUp:
      RequestStep(portrait ? kStepPageBackward : kStepLineForward);
      break;
    case kVkRight:
      RequestStep(portrait ? kStepLineForward : kStepPageForward);
      break;
    case kVkDown:
      RequestStep(portrait ? kStepPageForward : kStepLineBackward);
      break;
    case kVkAction:
      host_.ToggleFullScreen();
      RelayoutAtPosition();
      break;
    default:
      if (virtualKey >= kVkApp1 && virtualKey <= kVkApp5) {
        RunButtonFunction(settings_.buttonFunctions[virtualKey - kVkApp1]);
      }
      break;
  }
}

void CTirasolView::OnHotKey(unsigned modifiers, unsigned virtualKey) {
  if (!(modifiers & kModWin) || virtualKey < kVkApp1 || virtualKey > kVkApp5) return;
  switch (host_.ForegroundWindow()) {
    case Foreground::kMainWindow:
      break;
    case Foreground::kOwnDialog:
      return;
    case Foreground::kOtherProgram:
      host_.BringMainWindowToFront();
      break;
  }
  OnKeyDown(virtualKey);
}

void CTirasolView::OnPenUp(int x, int y) {
  if (!settings_.screenKeys) return;
  Rect client = host_.ClientRect();
  int coordinate = settings_.landscape ? x : y;
  int extent = settings_.landscape ? client.Width() : client.Height();
  if (coordinate > extent * kHighZonePercent / 100) {
    RequestStep(kStepPageForward);
  } else if (coordinate < extent * kLowZonePercent / 100) {
    RequestStep(kStepPageBackward);
  }
}

void CTirasolView::OnDoubleTap(int x, int y) {
  if (!settings_.screenKeys) return;
  Rect client = host_.ClientRect();
  int coordinate = settings_.landscape ? x : y;
  int extent = settings_.landscape ? client.Width() : client.Height();
  if (coordinate > extent * kLowZonePercent / 100 && coordinate < extent * kHighZonePercent / 100) {
    host_.ToggleFullScreen();
    RelayoutAtPosition();
  }
}

void CTirasolView::OnVScroll(int code, int thumbPosition) {
  switch (code) {
    case kSbLineUp:
    case kSbPageUp:
      RequestStep(kStepPageBackward);
      break;
    case kSbLineDown:
    case kSbPageDown:
      RequestStep(kStepPageForward);
      break;
    case kSbThumbPosition:
      engine_->SetFraction(static_cast<float>(thumbPosition * 0.001));
      RequestStep(kStepPageForward);
      host_.SetScrollPosition(thumbPosition);
      break;
    default:
      break;
  }
}

void CTirasolView::OnSize() {
  if (settings_.barMode == BarMode::kScrollBar) {
    Rect client = host_.ClientRect();
    host_.MoveScrollBar(
        Rect{client.right - kScrollBarWidth, client.top, client.right, client.bottom});
    host_.ShowScrollBar(true);
  }
  RelayoutAtPosition();
}

void CTirasolView::OpenRecent(int index) {
  if (index < 0 || static_cast<size_t>(index) >= recentFiles_.size()) return;
  // Opening stores the current file first, which may reorder the list: open from a copy.
  std::u16string path = recentFiles_.entries()[index].path;
  OpenDocument(path);
}

void CTirasolView::GoToBookmark(int index) {
  if (index < 0 || static_cast<size_t>(index) >= currentEntry_.bookmarks.size()) return;
  GoToPosition(currentEntry_.bookmarks[index].position);
}

void CTirasolView::GoToPosition(int32_t position) {
  engine_->SetPosition(position);
  RequestStep(kStepPageForward);
}

void CTirasolView::GoToFraction(float fraction) {
  engine_->SetFraction(fraction);
  RequestStep(kStepPageForward);
}

int32_t CTirasolView::BeginFind() {
  const int32_t start = engine_->GetPosition();
  engine_->SetSearchStart(start);
  return start;
}

void CTirasolView::RememberFindText(const std::u16string& text) {
  findHistory_.erase(std::remove(findHistory_.begin(), findHistory_.end(), text),
                     findHistory_.end());
  findHistory_.insert(findHistory_.begin(), text);
}

int32_t CTirasolView::FindNext(const std::u16string& text, int options, int32_t* index) {
  const int32_t before = engine_->GetPosition();
  const int32_t hit = engine_->FindNext(text, index, options);
  GoToPosition(hit == -1 ? before : hit);
  // The hit's characters are drawn inverted on the page that shows it.
  if (hit != -1) KeepHighlight();
  return hit;
}

void CTirasolView::AddBookmark(int32_t position, const std::u16string& name) {
  currentEntry_.AddBookmark(position, name);
  BuildBookmarkMenu();
  // The open book's entry goes into the list before the save, so that the new bookmark is
  // on disk at once and survives a crash or a kill.
  StoreCurrentPosition();
  SaveRecentFiles();
}

void CTirasolView::RenameBookmark(int32_t position, const std::u16string& name) {
  currentEntry_.RenameBookmark(position, name);
}

void CTirasolView::RemoveBookmark(int32_t position) {
  currentEntry_.RemoveBookmark(position);
}

void CTirasolView::ClearBookmarks() {
  currentEntry_.ClearBookmarks();
}

void CTirasolView::RemoveRecentFile(const std::u16string& path) {
  recentFiles_.Remove(path);
}

void CTirasolView::RemoveAllRecentFiles() {
  recentFiles_.RemoveAll();
}

void CTirasolView::ListOpenBookFirst() {
  recentFiles_.StoreFirst(currentEntry_);
}

void CTirasolView::SetModalHandler(Modal modal, ModalHandler handler) {
  modalHandlers_[static_cast<size_t>(modal)] = std::move(handler);
}

void CTirasolView::RunModal(Modal modal) {
  StopAutoRefresh();
  // Copied, so that a handler may replace itself while it runs.
  ModalHandler handler = modalHandlers_[static_cast<size_t>(modal)];
  if (handler) handler(*this);
}

void CTirasolView::RequestStep(int step) {
  anchorSearch_.Abandon();
  ScheduleStep(step);
}

void CTirasolView::ScheduleStep(int step) {
  pendingStep_ = step;
  keepHighlight_ = false;
  // The chapter scan waits for the page (let go when it is painted, or after this long when
  // no paint comes): on a busy machine it would otherwise slow the turn down.
  chapters_.Hold(std::chrono::milliseconds(50));
  host_.Invalidate();
}

void CTirasolView::RelayoutAtPosition() {
  engine_->SetPosition(engine_->GetPosition());
  ScheduleStep(kStepPageForward);
}

void CTirasolView::StartAnchorSearch(const std::string& anchor) {
  anchorSearch_.Start(platform_, engine_->filePath, engine_->Encoding(), anchor,
                      [this] { host_.PostEvent(kAnchorSearchEventId); });
}

void CTirasolView::OnAnchorSearchDone() {
  const std::optional<int32_t> found = anchorSearch_.TakeFound();
  if (!found || !HasDocument()) return;
  engine_->SetPosition(*found);
  ScheduleStep(kStepPageForward);
}

void CTirasolView::RegisterHotKeys() {
  if (!settings_.hardwareButtons) return;
  for (int i = 0; i < kAppButtonCount; ++i) {
    if (settings_.buttonFunctions[i] == kFnNone) continue;
    hotKeyRegistered_[i] = true;
    host_.RegisterHotKey(kHotKeyIdFirst + i, kModWin, kVkApp1 + i);
  }
}

void CTirasolView::UnregisterHotKeys() {
  for (int i = 0; i < kAppButtonCount; ++i) {
    if (hotKeyRegistered_[i]) host_.UnregisterHotKey(kHotKeyIdFirst + i);
    hotKeyRegistered_[i] = false;
  }
}

void CTirasolView::ToggleAutoRefresh() {
  if (runState_ & kRunAutoRefresh) {
    StopAutoRefresh();
    host_.Invalidate();
    return;
  }
  // The line pitch is known only once a paint has measured the font.
  if (!engine_->metricsReady) return;
  runState_ |= kRunAutoRefresh;
  smoothOffset_ = 0;
  StartAutoRefreshTimer();
}

void CTirasolView::StartAutoRefreshTimer() {
  unsigned interval = static_cast<unsigned>(std::max(settings_.refreshInterval, 0));
  unsigned period = interval;
  if (settings_.smoothRefresh) {
    smoothStep_ = SmoothStepFor(settings_.refreshInterval);
    unsigned pitch = static_cast<unsigned>(std::max(LinePitch(), 1));
    period = interval / pitch * static_cast<unsigned>(smoothStep_);
  }
  host_.SetTimer(kAutoRefreshTimerId, std::max(period, 1u));
}

void CTirasolView::StopAutoRefresh() {
  if (!(runState_ & kRunAutoRefresh)) return;
  runState_ &= ~kRunAutoRefresh;
  host_.KillTimer(kAutoRefreshTimerId);
}

void CTirasolView::OnTimer(int id) {
  if (id == kSavePlaceTimerId) {
    SavePlace();
    return;
  }
  if (id == kRecentlyUsedTimerId) {
    RecordRecentlyUsed();
    return;
  }
  if (id == kBookChangedTimerId) {
    ReopenChangedBook();
    return;
  }
  if (id == kPrepareTimerId) {
    host_.KillTimer(kPrepareTimerId);
    PrepareTurn();
    return;
  }
  if (id == kNoticeTimerId) {
    host_.KillTimer(kNoticeTimerId);
    notice_.clear();
    host_.Invalidate();
    return;
  }
  if (id != kAutoRefreshTimerId) return;
  if (settings_.smoothRefresh) {
    // The top line leaves once the text has moved by its height and the gap below it.
    if (smoothOffset_ >= engine_->TopLineStep()) {
      pendingStep_ = kStepLineForward;
      smoothOffset_ = 0;
    }
    engine_->drawOffset = -smoothOffset_;
    smoothOffset_ += smoothStep_;
  } else {
    pendingStep_ = kStepLineForward;
  }
  host_.Invalidate();
  if (engine_->IsAtEnd()) StopAutoRefresh();
  // Counts as user activity, so the machine stays awake while the text moves.
  host_.SendSilentKeyEvent();
}

}  // namespace lirako

// The reader view's desktop inputs: the keys a desktop user expects, the mouse wheel with
// Ctrl, dropped files, finding the last text again, font size and auto-scroll speed, and the
// brief notice over the page.
#include <algorithm>
#include <cmath>
#include <string>

#include "view/button_functions.h"
#include "view/tirasol_view.h"

namespace lirako {
namespace {

// One font-size step: a tenth of the size, at least one pixel.
int FontStep(int size) {
  return std::max(1, size / 10);
}

// Search option: bit 0 distinguishes case. Finding again folds case, like a fresh find bar.
constexpr int kFoldCase = 0;

// The notice's distance from the page's corner, in pixels.
constexpr int kNoticeInset = 4;

bool IsPlus(unsigned virtualKey) {
  return virtualKey == kVkOemPlus || virtualKey == kVkAdd;
}

bool IsMinus(unsigned virtualKey) {
  return virtualKey == kVkOemMinus || virtualKey == kVkSubtract;
}

std::u16string Decimal(int value) {
  std::string digits = std::to_string(value);
  return std::u16string(digits.begin(), digits.end());
}

}  // namespace

void CTirasolView::OnDesktopKey(unsigned virtualKey, unsigned modifiers) {
  const bool ctrl = (modifiers & kModCtrl) != 0;
  const bool shift = (modifiers & kModShift) != 0;
  if (ctrl) {
    if (IsPlus(virtualKey)) {
      ChangeFontSize(1);
    } else if (IsMinus(virtualKey)) {
      ChangeFontSize(-1);
    } else if (virtualKey == kVkDigit0) {
      ResetFontSize();
    } else if (virtualKey == kVkLetterF) {
      OnFind();
    } else if (virtualKey == kVkLetterG) {
      OnJump();
    } else if (virtualKey == kVkLetterB) {
      OnSetBookmark();
    } else if (virtualKey == kVkOemComma) {
      OnSettings();
    }
    return;
  }
  switch (virtualKey) {
    case kVkNext:
      RequestStep(kStepPageForward);
      break;
    case kVkSpace:
      RequestStep(shift ? kStepPageBackward : kStepPageForward);
      break;
    case kVkPrior:
    case kVkBack:
      RequestStep(kStepPageBackward);
      break;
    case kVkHome:
      OnCommand(kCmdGoStart);
      break;
    case kVkEnd:
      OnCommand(kCmdGoEnd);
      break;
    case kVkF11:
      RunButtonFunction(kFnFullScreen);
      break;
    case kVkEscape:
      if (host_.IsFullScreen()) RunButtonFunction(kFnFullScreen);
      break;
    case kVkF3:
      FindAgain();
      break;
    default:
      if (runState_ & kRunAutoRefresh) {
        if (IsPlus(virtualKey)) ChangeRefreshInterval(-1);
        if (IsMinus(virtualKey)) ChangeRefreshInterval(1);
      }
      break;
  }
}

void CTirasolView::OnWheel(int notches, unsigned modifiers) {
  if (modifiers & kModCtrl) {
    ChangeFontSize(notches);
    return;
  }
  for (int i = 0; i < notches; ++i)
    OnVScroll(kSbLineUp, 0);
  for (int i = 0; i > notches; --i)
    OnVScroll(kSbLineDown, 0);
}

void CTirasolView::OnDropFile(const std::u16string& path) {
  if (!path.empty()) OpenDocument(path);
}

void CTirasolView::FindAgain() {
  if (!HasDocument()) return;
  if (findHistory_.empty()) {
    OnFind();
    return;
  }
  StopAutoRefresh();
  // Go on past the hit on show; anywhere else, start from the page.
  const int32_t position = engine_->GetPosition();
  if (engine_->searchIndex < 0 || engine_->searchPosition != position) {
    engine_->SetSearchStart(position);
  }
  int32_t index = 0;
  const int32_t hit = engine_->FindNext(findHistory_.front(), &index, kFoldCase);
  if (hit == -1) {
    ShowNotice(u"검색 완료");
    engine_->SetPosition(position);
  } else {
    engine_->SetPosition(hit);
  }
  RequestStep(kStepPageForward);
}

void CTirasolView::ChangeFontSize(int steps) {
  int size = std::clamp<int>(settings_.fontSize, kMinFontSize, kMaxFontSize);
  for (int i = 0; i < steps; ++i)
    size += FontStep(size);
  for (int i = 0; i > steps; --i)
    size -= FontStep(size);
  SetFontSize(size);
}

int ScreenFontSize(int logicalDpi) {
  // Points are 1/72 inch; a book's text reads well at about 10.5 of them.
  constexpr double kTextPoints = 10.5;
  constexpr double kPointsPerInch = 72;
  const int pixels = static_cast<int>(std::lround(kTextPoints * logicalDpi / kPointsPerInch));
  return std::clamp(pixels, kMinFontSize, kMaxFontSize);
}

void CTirasolView::ResetFontSize() {
  SetFontSize(ScreenFontSize(platform_.LogicalDpi()));
}

void CTirasolView::SetFontSize(int size) {
  size = std::clamp(size, kMinFontSize, kMaxFontSize);
  if (size == settings_.fontSize) return;
  settings_.fontSize = size;
  KeepTypesetting();
  // The next paint measures the glyphs in the new size and lays the page out from its top.
  engine_->metricsReady = 0;
  RelayoutAtPosition();
}

void CTirasolView::ChangeRefreshInterval(int steps) {
  if (!(runState_ & kRunAutoRefresh)) return;
  settings_.refreshInterval = std::clamp(settings_.refreshInterval + steps * kRefreshIntervalStep,
                                         kMinRefreshInterval, kMaxRefreshInterval);
  StartAutoRefreshTimer();
  ShowNotice(u"자동 스크롤 " + Decimal(settings_.refreshInterval) + u" ms");
}

void CTirasolView::ShowNotice(const std::u16string& text) {
  notice_ = text;
  host_.SetTimer(kNoticeTimerId, kNoticeMs);
  host_.Invalidate();
}

void CTirasolView::DrawNotice(Surface& screen, const Rect& client, bool rotated) {
  if (notice_.empty()) return;
  // In the reverse of the page's colours, so it stands out from the text.
  const PageColors colors = pageColors();
  screen.SetTextColor(colors.back);
  screen.SetBackColor(colors.text);
  const std::u16string text = u" " + notice_ + u" ";
  if (rotated) {
    screen.DrawText(client.left + kNoticeInset, client.bottom - kNoticeInset, text);
  } else {
    screen.DrawText(client.left + kNoticeInset, client.top + kNoticeInset, text);
  }
}

}  // namespace lirako

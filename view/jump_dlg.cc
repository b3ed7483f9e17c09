#include "view/jump_dlg.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "view/tirasol_view.h"

namespace lirako {

namespace {

constexpr unsigned kShellHideTaskBar = 0x2;
constexpr unsigned kShellHideInputButton = 0x8;

std::u16string Format(const char* format, int value) {
  char text[32];
  std::snprintf(text, sizeof text, format, value);
  return std::u16string(text, text + std::char_traits<char>::length(text));
}

}  // namespace

void CJumpDlg::Install(CTirasolView& view, DialogRunner& runner) {
  view.SetModalHandler(CTirasolView::Modal::kJump,
                       [&runner](CTirasolView& v) { RunCommand(v, runner); });
}

void CJumpDlg::RunCommand(CTirasolView& view, DialogRunner& runner) {
  if (!view.HasDocument()) return;
  const int32_t position = view.pagePosition();
  const int32_t size = view.bookSize();
  CJumpDlg bar(view, InitialPercent(position, size), position, size);
  view.SetRunStateBits(kRunBarOpen, true);
  runner.RunModal(bar);
  view.SetRunStateBits(kRunBarOpen, false);
  view.ApplyBarMargins(0);
  view.RelayoutAtPosition();
}

unsigned CJumpDlg::InitialPercent(int32_t position, int32_t size) {
  if (size <= 0) return 100;
  const float percent = static_cast<float>(position) / static_cast<float>(size) * 100.0f;
  return percent <= 0.0f ? 0u : static_cast<unsigned>(percent);
}

int CJumpDlg::LeadingNumber(const std::u16string& text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
    ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
  int64_t value = 0;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    value = std::min<int64_t>(value * 10 + (text[i] - u'0'), 0x7FFFFFFF);
  }
  return static_cast<int>(negative ? -value : value);
}

CJumpDlg::CJumpDlg(CTirasolView& view, unsigned initialPercent, int32_t position, int32_t size)
    : view_(view), initialPercent_(initialPercent), position_(position), size_(size) {}

const DialogSpec& CJumpDlg::dialogSpec() const {
  static const DialogSpec dialogSpec{
      kDialogId,
      u"",
      {
          {kSlider, ControlKind::kSlider, u"", 0, 0, 100, false, false, 0, 0, 4},
          {kLeaveButton, ControlKind::kPushButton, u"나가기", 0, 0, 0, false, false, 0, 4},
          // The two number fields are centred.
          {kPercentEdit, ControlKind::kEdit, u"", 0, 0, 0, false, false, 1, 0, 1, 1, true},
          {kPercentSpin, ControlKind::kUpDown, u"Spin1", kPercentEdit, 0, 100, false, false, 1, 1},
          {kHundredthsEdit, ControlKind::kEdit, u"", 0, 0, 0, false, false, 1, 2, 1, 1, true},
          {kHundredthsSpin, ControlKind::kUpDown, u"Spin2", kHundredthsEdit, 0, 99, false, false, 1,
           3},
          {kGoButton, ControlKind::kPushButton, u"이동", 0, 0, 0, false, false, 1, 4},
      }};
  return dialogSpec;
}

void CJumpDlg::OnInitDialog(Controls& controls) {
  ready_ = false;
  // The text begins below the bar.
  rect_ = controls.WindowRect();
  height_ = rect_.Height();
  width_ = rect_.Width();
  view_.ApplyBarMargins(height_);
  if (view_.host().IsFullScreen())
    controls.MakeFullScreen(kShellHideTaskBar | kShellHideInputButton);
  const int top = controls.OwnerRect().top;
  controls.MoveWindow(Rect{rect_.left, top, rect_.left + width_, top + height_});

  controls.SetRange(kSlider, 0, 100);
  controls.SetPos(kSlider, static_cast<int>(std::min(initialPercent_, 100u)));
  controls.SetRange(kPercentSpin, 0, 100);
  controls.SetRange(kHundredthsSpin, 0, 99);
  if (size_ == 0) {
    controls.SetText(kPercentEdit, u"100");
    controls.SetText(kHundredthsEdit, u"00");
  } else {
    // 64-bit, so that positions past 21 MB do not overflow the product.
    controls.SetText(kPercentEdit,
                     Format("%d", static_cast<int>(int64_t{position_} * 100 / size_)));
    const float q = static_cast<float>(position_) * 100.0f / static_cast<float>(size_);
    const float decimals = (q - std::trunc(q)) * 100.0f;
    controls.SetText(kHundredthsEdit, Format("%02d", static_cast<int>(decimals)));
  }
  controls.SetTimer(kTimerId, kTimerPeriodMs);
  ready_ = true;
}

void CJumpDlg::OnTimer(Controls& controls, int id) {
  if (id != kTimerId) return;
  const std::u16string slider = Format("%d", controls.GetPos(kSlider));
  if (controls.GetText(kPercentEdit) != slider) controls.SetText(kPercentEdit, slider);
}

void CJumpDlg::OnCommand(Controls& controls, int id, int notification) {
  if (id == kPercentEdit && notification == kEditChanged) {
    if (ready_) controls.SetPos(kSlider, LeadingNumber(controls.GetText(kPercentEdit)));
  } else if (id == kGoButton && notification == kClicked) {
    Go(controls);
  }
}

void CJumpDlg::Go(Controls& controls) {
  // The integer part comes from the slider; past 100 % the engine lands at the end.
  fraction_ = static_cast<float>(controls.GetPos(kSlider)) * 0.01f +
              static_cast<float>(LeadingNumber(controls.GetText(kHundredthsEdit))) * 0.0001f;
  view_.GoToFraction(fraction_);
}

}  // namespace lirako

#include "view/find_dlg.h"

#include <cstdio>

#include "view/find_all_model.h"
#include "view/tirasol_view.h"

namespace lirako {

namespace {

constexpr unsigned kShellHideTaskBar = 0x2;
constexpr unsigned kShellHideInputButton = 0x8;

}  // namespace

void CFindDlg::Install(CTirasolView& view, DialogRunner& runner, ListRunner list) {
  view.SetModalHandler(
      CTirasolView::Modal::kFind,
      [&runner, list = std::move(list)](CTirasolView& v) { RunCommand(v, runner, list); });
}

void CFindDlg::RunCommand(CTirasolView& view, DialogRunner& runner, const ListRunner& list) {
  if (!view.HasDocument()) return;
  const int32_t start = view.BeginFind();
  CFindDlg bar(view, start, view.bookSize(), list);
  view.SetRunStateBits(kRunBarOpen, true);
  runner.RunModal(bar);
  view.SetRunStateBits(kRunBarOpen, false);
  if (view.host().IsFullScreen()) view.host().ShellFullScreen(kShellHideInputButton);
  view.host().LowerInputPanel();
  view.ApplyBarMargins(0);
  view.GoToPosition(bar.resultPosition());
  // The page stays at the last hit, which stays highlighted.
  if (view.engine().highlightBegin >= 0) view.KeepHighlight();
}

CFindDlg::CFindDlg(CTirasolView& view, int32_t position, int32_t size, ListRunner list)
    : view_(view), size_(size), resultPosition_(position), list_(std::move(list)) {}

const DialogSpec& CFindDlg::dialogSpec() const {
  static const DialogSpec dialogSpec{
      kDialogId,
      u"",
      {
          {kTextCombo, ControlKind::kComboBox, u"", 0, 0, 0, false, false, 0, 0, 2},
          {kFindNextButton, ControlKind::kPushButton, u"다음 찾기", 0, 0, 0, false, false, 0, 2},
          {kFindAllButton, ControlKind::kPushButton, u"모두 찾기", 0, 0, 0, false, false, 0, 3},
          {kMatchCaseCheck, ControlKind::kCheckBox, u"대소문자 구분", 0, 0, 0, false, false, 1, 0},
          {kPositionLabel, ControlKind::kStatic, u"위치 : 00.00%", 0, 0, 0, false, false, 1, 1},
          {kLeaveButton, ControlKind::kPushButton, u"나가기", 0, 0, 0, false, false, 1, 2},
      }};
  return dialogSpec;
}

std::u16string CFindDlg::PositionLabel(int64_t position, int32_t size) {
  if (size == 0) return u"위치: 100%";
  const float percent = static_cast<float>(position) * 100.0f / static_cast<float>(size);
  char number[48];
  std::snprintf(number, sizeof number, "%3.2f%%", static_cast<double>(percent));
  std::u16string label = u"위치: ";
  for (const char* c = number; *c != '\0'; ++c)
    label += static_cast<char16_t>(*c);
  return label;
}

void CFindDlg::OnInitDialog(Controls& controls) {
  // The text begins below the bar.
  rect_ = controls.WindowRect();
  height_ = rect_.Height();
  width_ = rect_.Width();
  view_.ApplyBarMargins(height_);
  if (view_.host().IsFullScreen())
    controls.MakeFullScreen(kShellHideTaskBar | kShellHideInputButton);
  const int top = controls.OwnerRect().top;
  controls.MoveWindow(Rect{rect_.left, top, rect_.left + width_, top + height_});
  controls.SetText(kPositionLabel, PositionLabel(resultPosition_, size_));
  FillHistory(controls);
}

void CFindDlg::FillHistory(Controls& controls) {
  controls.ResetContent(kTextCombo);
  for (const std::u16string& text : view_.findHistory())
    controls.AddString(kTextCombo, text);
  if (controls.GetCount(kTextCombo) > 0) controls.SetCurSel(kTextCombo, 0);
}

void CFindDlg::OnCommand(Controls& controls, int id, int notification) {
  if (notification != kClicked) return;
  if (id == kMatchCaseCheck) {
    matchCase_ = controls.IsChecked(kMatchCaseCheck);
  } else if (id == kFindNextButton) {
    FindNext(controls);
  } else if (id == kFindAllButton) {
    FindAll(controls);
  }
}

bool CFindDlg::TakeText(Controls& controls) {
  text_ = controls.GetText(kTextCombo);
  if (text_.empty()) return false;
  view_.RememberFindText(text_);
  FillHistory(controls);
  controls.SetText(kTextCombo, text_);
  return true;
}

void CFindDlg::FindAll(Controls& controls) {
  if (!list_ || !TakeText(controls)) return;
  FindAllModel list(view_, text_, matchCase_ ? kFindMatchCase : 0);
  list_(list);
  if (list.jumpedLine() < 0) return;
  resultPosition_ = list.jumpedLine();
  controls.SetText(kPositionLabel,
                   PositionLabel(int64_t{list.jumpedLine()} + list.jumpedIndex(), size_));
}

void CFindDlg::FindNext(Controls& controls) {
  if (!TakeText(controls)) return;

  int32_t index = 0;
  const int32_t hit = view_.FindNext(text_, matchCase_ ? kFindMatchCase : 0, &index);

  if (hit == -1) {
    controls.SetText(kPositionLabel, u"검색 완료");
    return;
  }
  controls.SetText(kPositionLabel, PositionLabel(int64_t{hit} + index, size_));
  resultPosition_ = hit;
}

}  // namespace lirako

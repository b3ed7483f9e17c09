#include "view/toc_dlg.h"

#include <cstdio>

#include "platform/utf.h"
#include "view/tirasol_view.h"

namespace lirako {

void CTocDlg::Install(CTirasolView& view, DialogRunner& runner) {
  view.SetModalHandler(CTirasolView::Modal::kToc,
                       [&runner](CTirasolView& v) { RunCommand(v, runner); });
}

void CTocDlg::RunCommand(CTirasolView& view, DialogRunner& runner) {
  if (!view.HasDocument()) return;
  CTocDlg dialog(view);
  runner.RunModal(dialog);
}

CTocDlg::CTocDlg(CTirasolView& view) : view_(view) {}

const DialogSpec& CTocDlg::dialogSpec() const {
  static const DialogSpec dialogSpec{
      kDialogId,
      u"목차",
      {
          {kStatusLabel, ControlKind::kStatic, u"", 0, 0, 0, false, false, 0, 0, 3},
          {kChapterList, ControlKind::kListBox, u"", 0, 0, 0, false, true, 1, 0, 3},
          {kRuleLabel, ControlKind::kStatic, u"규칙 (정규식)", 0, 0, 0, false, false, 2, 0},
          {kRuleEdit, ControlKind::kEdit, u"", 0, 0, 0, false, true, 2, 1},
          {kApplyRuleButton, ControlKind::kPushButton, u"규칙 적용", 0, 0, 0, false, false, 2, 2},
          {kGoButton, ControlKind::kDefaultButton, u"이동", 0, 0, 0, false, false, 3, 1},
          {kCloseButton, ControlKind::kPushButton, u"닫기", 0, 0, 0, false, false, 3, 2},
      }};
  return dialogSpec;
}

std::u16string CTocDlg::ItemText(int32_t position, int32_t size, const std::string& title) {
  const double percent = size > 0 ? static_cast<double>(position) * 100.0 / size : 100.0;
  char number[32];
  std::snprintf(number, sizeof number, "%6.2f%%  ", percent);
  return FromUtf8(number) + FromUtf8(title);
}

void CTocDlg::OnInitDialog(Controls& controls) {
  controls.SetText(kRuleEdit, FromUtf8(view_.TocRule()));
  Refresh(controls);
  if (view_.chapters().state() == ChapterList::State::kScanning)
    controls.SetTimer(kTimerId, kTimerPeriodMs);
}

void CTocDlg::Refresh(Controls& controls) {
  const ChapterList& chapters = view_.chapters();
  const ChapterList::State state = chapters.state();
  const int32_t size = view_.bookSize();
  for (const Chapter& chapter : chapters.Chapters(shown_)) {
    const int item =
        controls.AddString(kChapterList, ItemText(chapter.position, size, chapter.title));
    controls.SetItemData(kChapterList, item, chapter.position);
    ++shown_;
  }
  // The chapter the page is in, until the user picks another.
  if (!userSelected_) {
    const int current = chapters.IndexAt(view_.pagePosition());
    if (current >= 0 && current < static_cast<int>(shown_))
      controls.SetCurSel(kChapterList, current);
  }
  std::u16string status;
  const std::u16string count = FromUtf8(std::to_string(shown_));
  switch (state) {
    case ChapterList::State::kScanning:
      status = u"찾는 중 " + FromUtf8(std::to_string(chapters.Permille() / 10)) + u"% · " + count +
               u"개";
      break;
    case ChapterList::State::kDone:
      status = shown_ == 0 ? u"장 제목을 찾지 못했습니다" : u"모두 " + count + u"개";
      break;
    case ChapterList::State::kFailed:
      status = u"찾지 못했습니다: " + FromUtf8(chapters.error());
      break;
    case ChapterList::State::kNone:
      break;
  }
  controls.SetText(kStatusLabel, status);
  if (state != ChapterList::State::kScanning) controls.KillTimer(kTimerId);
}

void CTocDlg::OnTimer(Controls& controls, int id) {
  if (id == kTimerId) Refresh(controls);
}

void CTocDlg::OnCommand(Controls& controls, int id, int notification) {
  if (id == kChapterList && notification == kSelChanged) {
    userSelected_ = true;
  } else if (id == kChapterList && notification == kDoubleClicked) {
    if (Jump(controls)) controls.EndDialog(kIdOk);
  } else if (id == kApplyRuleButton && notification == kClicked) {
    ApplyRule(controls);
  }
}

bool CTocDlg::OnOk(Controls& controls) {
  return Jump(controls);
}

bool CTocDlg::Jump(Controls& controls) {
  const int selected = controls.GetCurSel(kChapterList);
  if (selected < 0) return false;
  view_.GoToChapter(static_cast<size_t>(selected));
  return true;
}

void CTocDlg::ApplyRule(Controls& controls) {
  std::string err;
  if (!view_.SetTocRule(ToUtf8(controls.GetText(kRuleEdit)), &err)) {
    controls.SetText(kStatusLabel, u"규칙이 올바르지 않습니다: " + FromUtf8(err));
    return;
  }
  controls.ResetContent(kChapterList);
  shown_ = 0;
  userSelected_ = false;
  Refresh(controls);
  controls.SetTimer(kTimerId, kTimerPeriodMs);
}

}  // namespace lirako

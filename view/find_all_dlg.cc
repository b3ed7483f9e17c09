#include "view/find_all_dlg.h"

#include <algorithm>

#include "platform/utf.h"
#include "view/tirasol_view.h"

namespace lirako {

CFindAllDlg::CFindAllDlg(CTirasolView& view, std::u16string text, int options)
    : view_(view), text_(std::move(text)), options_(options) {}

const DialogSpec& CFindAllDlg::dialogSpec() const {
  static const DialogSpec dialogSpec{
      kDialogId,
      u"모두 찾기",
      {
          {kStatusLabel, ControlKind::kStatic, u"", 0, 0, 0, false, false, 0, 0, 2},
          {kHitList, ControlKind::kListBox, u"", 0, 0, 0, false, true, 1, 0, 2},
          {kGoButton, ControlKind::kDefaultButton, u"이동", 0, 0, 0, false, false, 2, 0},
          {kCloseButton, ControlKind::kPushButton, u"닫기", 0, 0, 0, false, false, 2, 1},
      }};
  return dialogSpec;
}

void CFindAllDlg::OnInitDialog(Controls& controls) {
  const CTextEngine& engine = view_.engine();
  job_ = std::make_unique<SearchAllJob>(view_.platform(), engine.filePath, engine.Encoding(),
                                        engine.typography.joinLines, text_, options_,
                                        SearchAll::kDefaultContextCharacters);
  Refresh(controls);
  controls.SetTimer(kTimerId, kTimerPeriodMs);
}

void CFindAllDlg::Refresh(Controls& controls) {
  const bool done = job_->done();
  for (SearchHit& hit : job_->Hits(shown_, kHitsPerTick)) {
    // One line per hit: the list shows tabs as blanks.
    std::replace(hit.context.begin(), hit.context.end(), u'\t', u' ');
    const int item = controls.AddString(kHitList, hit.context);
    controls.SetItemData(kHitList, item, static_cast<int64_t>(shown_));
    ++shown_;
  }
  const bool complete = done && shown_ == job_->size();
  const std::u16string count = FromUtf8(std::to_string(shown_));
  std::u16string status;
  if (!complete) {
    status =
        u"찾는 중 " + FromUtf8(std::to_string(job_->Permille() / 10)) + u"% · " + count + u"개";
  } else if (job_->capped()) {
    status = u"처음 " + count + u"개만 보입니다";
  } else {
    status = shown_ == 0 ? u"찾지 못했습니다" : u"모두 " + count + u"개";
  }
  controls.SetText(kStatusLabel, status);
  if (complete) controls.KillTimer(kTimerId);
}

void CFindAllDlg::OnTimer(Controls& controls, int id) {
  if (id == kTimerId) Refresh(controls);
}

void CFindAllDlg::OnCommand(Controls& controls, int id, int notification) {
  if (id != kHitList) return;
  if (notification == kSelChanged) {
    Jump(controls);
  } else if (notification == kDoubleClicked && Jump(controls)) {
    controls.EndDialog(kIdOk);
  }
}

bool CFindAllDlg::OnOk(Controls& controls) {
  if (!Jump(controls)) return false;
  job_->Cancel();
  return true;
}

bool CFindAllDlg::Jump(Controls& controls) {
  const int selected = controls.GetCurSel(kHitList);
  if (selected < 0) return false;
  const std::optional<SearchHit> hit =
      job_->At(static_cast<size_t>(controls.GetItemData(kHitList, selected)));
  if (!hit) return false;
  jumpedLine_ = view_.ShowSearchHit(*hit);
  jumpedIndex_ = hit->index;
  return true;
}

}  // namespace lirako

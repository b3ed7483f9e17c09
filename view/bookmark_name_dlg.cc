#include "view/bookmark_name_dlg.h"

#include <cstdio>

#include "engine/text_line.h"
#include "view/tirasol_view.h"

namespace lirako {

namespace {

// The longest part of the top line that goes into a proposed name, in UTF-16 units.
constexpr size_t kNameTextLength = 10;

}  // namespace

void CBookmarkNameDlg::Install(CTirasolView& view, DialogRunner& runner) {
  view.SetModalHandler(CTirasolView::Modal::kSetBookmark,
                       [&runner](CTirasolView& v) { RunCommand(v, runner); });
}

void CBookmarkNameDlg::RunCommand(CTirasolView& view, DialogRunner& runner) {
  if (!view.HasDocument()) return;
  const int32_t position = view.pagePosition();
  if (view.currentEntry().HasBookmark(position)) {
    view.host().MessageBox(u"이미 지정된 지점.", u"에러", kMbOk);
    return;
  }
  std::u16string topText;
  if (const CTextLine* top = view.topLine()) top->GetText(&topText);
  CBookmarkNameDlg dialog(ProposedName(topText, position, view.bookSize()));
  if (runner.RunModal(dialog) != kIdOk) return;
  view.AddBookmark(position, dialog.name());
}

std::u16string CBookmarkNameDlg::ProposedName(const std::u16string& topText, int32_t position,
                                              int32_t size) {
  const float fraction = size == 0 ? 1.0f : static_cast<float>(position) / static_cast<float>(size);
  char percent[48];
  std::snprintf(percent, sizeof percent, "[%2.1f%%]", static_cast<double>(fraction * 100.0f));
  std::u16string name;
  if (!topText.empty()) name = topText.substr(0, kNameTextLength) + u" ";
  for (const char* c = percent; *c != '\0'; ++c)
    name += static_cast<char16_t>(*c);
  return name;
}

const DialogSpec& CBookmarkNameDlg::dialogSpec() const {
  static const DialogSpec dialogSpec{
      kDialogId,
      u"책갈피",
      {
          {kNameEdit, ControlKind::kEdit, u"", 0, 0, 0, false, true, 0, 0, 3},
          {kIdOk, ControlKind::kDefaultButton, u"확인", 0, 0, 0, false, false, 1, 1},
          {kIdCancel, ControlKind::kPushButton, u"취소", 0, 0, 0, false, false, 1, 2},
      }};
  return dialogSpec;
}

void CBookmarkNameDlg::OnInitDialog(Controls& controls) {
  controls.SetText(kNameEdit, name_);
}

bool CBookmarkNameDlg::OnOk(Controls& controls) {
  name_ = controls.GetText(kNameEdit);
  return true;
}

}  // namespace lirako

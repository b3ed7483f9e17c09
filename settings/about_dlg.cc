#include "settings/about_dlg.h"

#include "platform/view_host.h"
#include "settings/control_items.h"

namespace lirako {

namespace {

DialogSpec MakeSpec() {
  DialogSpec dialogSpec{CAboutDlg::kDialogId, u"리라코는...", {}};
  auto add = [&dialogSpec](ControlSpec control) {
    dialogSpec.controls.push_back(std::move(control));
  };
  // The icon beside the text lines, the quotation under both.
  constexpr int kTextLines = 4;
  add(Spanning(Item(kNoId, ControlKind::kIcon, u"", 0), 1, kTextLines));
  add(Item(kNoId, ControlKind::kStatic, u"리라코", 0, 1));
  add(Item(kNoId, ControlKind::kStatic, u"리라코 1.0 - 텍스트 책 읽기 프로그램", 1, 1));
  add(Item(kNoId, ControlKind::kStatic, u"2026년 12월", 2, 1));
  add(Item(kNoId, ControlKind::kStatic, u"의견과 버그는 리라코 저장소의 이슈로 보내 주세요.", 3,
           1));
  // The first stanza of Kim Sowol's "Azaleas" (1925).
  add(Spanning(Bordered(Item(CAboutDlg::kQuotation, ControlKind::kSwatch,
                             u"나 보기가 역겨워\n가실 때에는\n말없이 고이 보내 드리우리다\n"
                             u"- 김소월, 「진달래꽃」",
                             kTextLines)),
               2));
  add(Item(kIdOk, ControlKind::kDefaultButton, u"확인", kTextLines + 1, 1));
  return dialogSpec;
}

}  // namespace

const DialogSpec& CAboutDlg::dialogSpec() const {
  static const DialogSpec dialogSpec = MakeSpec();
  return dialogSpec;
}

void CAboutDlg::OnInitDialog(Controls& controls) {
  quotation_.Attach(controls, kQuotation);
  quotation_.SetTextColor(kQuotationText);
  quotation_.SetBackColor(kQuotationBack);
}

void ShowAboutBox(DialogRunner& runner) {
  CAboutDlg dialog;
  runner.RunModal(dialog);
}

}  // namespace lirako

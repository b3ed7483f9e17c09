#include "settings/system_page.h"

#include <cstdio>
#include <optional>
#include <string>

#include "settings/control_items.h"
#include "store/desktop_association.h"
#include "store/file_association.h"
#include "view/tirasol_view.h"

namespace lirako {

namespace {

constexpr char16_t kErrorCaption[] = u"오류";
constexpr char16_t kDotMessage[] = u"'.'이 포함되어 있어선 안됩니다.";
constexpr char16_t kListedMessage[] = u"이미 등록되어 있는 확장자 입니다.";

DialogSpec MakeSpec() {
  using P = SystemPage;
  DialogSpec dialogSpec{P::kDialogId, u"장치", {}};
  auto add = [&dialogSpec](ControlSpec control) {
    dialogSpec.controls.push_back(std::move(control));
  };
  // Columns of the framed group: the linked list, the arrows at its top, the not-linked list;
  // under the not-linked list, where a new extension goes, its dot, its edit and "등록".
  constexpr int kListRows = 3;
  constexpr int kGroupRows = kListRows + 2;
  constexpr int kUnlinked = 2;
  constexpr int kUnlinkedColumns = 3;
  add(Spanning(Item(kNoId, ControlKind::kGroupBox, u"연결 프로그램으로 지정", 0),
               kUnlinked + kUnlinkedColumns, kGroupRows));
  add(Item(kNoId, ControlKind::kStatic, u"연결된", 0));
  add(Spanning(Item(kNoId, ControlKind::kStatic, u"연결안된", 0, kUnlinked), kUnlinkedColumns));
  add(Spanning(Item(P::kLinkedList, ControlKind::kListBox, u"", 1), 1, kListRows));
  add(Item(P::kLinkButton, ControlKind::kPushButton, u"◀", 1, 1));
  add(Item(P::kUnlinkButton, ControlKind::kPushButton, u"▷", 2, 1));
  add(Spanning(Item(P::kUnlinkedList, ControlKind::kListBox, u"", 1, kUnlinked), kUnlinkedColumns,
               kListRows));
  constexpr int kNewRow = kListRows + 1;
  add(Item(kNoId, ControlKind::kStatic, u".", kNewRow, kUnlinked));
  add(Item(P::kExtensionEdit, ControlKind::kEdit, u"", kNewRow, kUnlinked + 1));
  add(Item(P::kRegisterButton, ControlKind::kPushButton, u"등록", kNewRow, kUnlinked + 2));
  add(Item(P::kTableCheck, ControlKind::kCheckBox, u"Table로  완성형 한글 변환 ", kGroupRows));
  add(Item(P::kDialCheck, ControlKind::kCheckBox, u"상하 다이얼 버튼 장치", kGroupRows + 1));
  return dialogSpec;
}

// The text of the selected item of list `id`, or nothing.
std::optional<std::u16string> Selected(Controls& controls, int id) {
  int index = controls.GetCurSel(id);
  if (index < 0) return std::nullopt;
  return controls.GetItemText(id, index);
}

}  // namespace

const DialogSpec& SystemPage::dialogSpec() const {
  static const DialogSpec dialogSpec = MakeSpec();
  return dialogSpec;
}

void SystemPage::OnInitDialog(Controls& controls) {
  Refill(controls);
  controls.SetChecked(kTableCheck, tableConversion != 0);
  controls.SetChecked(kDialCheck, dialDevice != 0);
}

void SystemPage::OnCommand(Controls& controls, int id, int notification) {
  if (notification != kClicked) return;
  switch (id) {
    case kLinkButton: {
      // The class keys are written on every press, also with nothing selected.
      auto selected = Selected(controls, kUnlinkedList);
      DesktopAssociation desktop = Desktop();
      std::string err;
      bool changed = true;
      ChangeLists([&](FileAssociation& a) { changed = a.LinkSelected(selected, &err); }, &desktop);
      if (!changed) ReportDesktopFailure(err);
      if (selected) Refill(controls);
      break;
    }
    case kUnlinkButton:
      if (auto selected = Selected(controls, kLinkedList)) {
        DesktopAssociation desktop = Desktop();
        std::string err;
        bool changed = true;
        ChangeLists([&](FileAssociation& a) { changed = a.UnlinkSelected(selected, &err); },
                    &desktop);
        if (!changed) ReportDesktopFailure(err);
        Refill(controls);
      }
      break;
    case kRegisterButton:
      RegisterTyped(controls);
      break;
    case kTableCheck:
      tableConversion = controls.IsChecked(kTableCheck) ? 1 : 0;
      break;
    case kDialCheck:
      dialDevice = controls.IsChecked(kDialCheck) ? 1 : 0;
      break;
    default:
      break;
  }
}

void SystemPage::ChangeLists(const std::function<void(FileAssociation&)>& change,
                             DesktopAssociation* desktop) {
  ReaderSettings lists = view_.settings();
  FileAssociation association(view_.platform().registry(), view_.dataFolder(), lists,
                              view_.platform().ProgramPath(), desktop);
  change(association);
  view_.SetExtensionLists(lists);
}

DesktopAssociation SystemPage::Desktop() {
  return DesktopAssociation(view_.platform(), view_.readerStore(), view_.platform().ProgramPath());
}

void SystemPage::ReportDesktopFailure(const std::string& err) {
  // Like the registry's, the desktop's failures do not stop the page; they are only told.
  std::fprintf(stderr, "lirako: the desktop's default application was not changed: %s\n",
               err.c_str());
}

void SystemPage::Refill(Controls& controls) {
  const ReaderSettings& settings = view_.settings();
  controls.ResetContent(kUnlinkedList);
  for (const std::u16string& ext : settings.unlinkedExtensions) {
    controls.AddString(kUnlinkedList, ext);
  }
  controls.ResetContent(kLinkedList);
  for (const std::u16string& ext : settings.linkedExtensions)
    controls.AddString(kLinkedList, ext);
  controls.SetCurSel(kUnlinkedList, -1);
  controls.SetCurSel(kLinkedList, -1);
}

void SystemPage::RegisterTyped(Controls& controls) {
  FileAssociation::NewExtension result = FileAssociation::NewExtension::kEmpty;
  ChangeLists(
      [&](FileAssociation& a) { result = a.RegisterExtension(controls.GetText(kExtensionEdit)); });
  switch (result) {
    case FileAssociation::NewExtension::kAdded:
      Refill(controls);
      break;
    case FileAssociation::NewExtension::kContainsDot:
      view_.host().MessageBox(kDotMessage, kErrorCaption, kMbOk);
      break;
    case FileAssociation::NewExtension::kAlreadyListed:
      view_.host().MessageBox(kListedMessage, kErrorCaption, kMbOk);
      break;
    case FileAssociation::NewExtension::kEmpty:
      break;
  }
}

}  // namespace lirako

#include "settings/button_page.h"

#include <string>

#include "settings/control_items.h"
#include "view/button_functions.h"
#include "view/command_ids.h"

namespace lirako {

namespace {

// The name of function `function`; empty where the label table has none.
std::u16string FunctionName(int32_t function) {
  const auto& labels = ButtonFunctionLabels();
  if (function < 0 || function >= static_cast<int32_t>(labels.size())) return {};
  return labels[static_cast<size_t>(function)];
}

DialogSpec MakeSpec() {
  DialogSpec dialogSpec{CButtonPage::kDialogId, u"버튼", {}};
  auto add = [&dialogSpec](ControlSpec control) {
    dialogSpec.controls.push_back(std::move(control));
  };
  add(Item(CButtonPage::kHardwareCheck, ControlKind::kCheckBox, u"하드웨어 버튼 사용", 0));
  add(Spanning(Item(kNoId, ControlKind::kGroupBox, u"버튼 기능", 1), 2, CButtonPage::kRows));
  const char16_t* captions[] = {u"Button 1", u"Button 2", u"Button 3", u"Button 4", u"Button 5"};
  for (int i = 0; i < CButtonPage::kRows; ++i) {
    add(Item(kNoId, ControlKind::kStatic, captions[i], i + 1));
    // The name and its list share one place; only one of them is shown at a time.
    add(Item(CButtonPage::kNameIds[i], ControlKind::kNameButton, u"<없음>", i + 1, 1));
    add(Item(CButtonPage::kComboIds[i], ControlKind::kDropList, u"", i + 1, 1));
  }
  return dialogSpec;
}

int RowOf(const std::array<int, CButtonPage::kRows>& ids, int id) {
  for (int i = 0; i < CButtonPage::kRows; ++i) {
    if (ids[i] == id) return i;
  }
  return -1;
}

}  // namespace

const DialogSpec& CButtonPage::dialogSpec() const {
  static const DialogSpec dialogSpec = MakeSpec();
  return dialogSpec;
}

void CButtonPage::OnInitDialog(Controls& controls) {
  controls.SetChecked(kHardwareCheck, hardwareButtons != 0);
  for (int id : kNameIds)
    controls.Enable(id, hardwareButtons != 0);
  for (int id : kComboIds) {
    controls.ResetContent(id);
    for (int f = 0; f < kButtonFunctionCount; ++f) {
      int index = controls.AddString(id, ButtonFunctionLabels()[f]);
      controls.SetItemData(id, index, f);
    }
  }
  for (int i = 0; i < kRows; ++i) {
    // A slot outside the table selects nothing and shows an empty name.
    int32_t function = buttonFunctions[i];
    bool listed = function >= 0 && function < kButtonFunctionCount;
    controls.SetCurSel(kComboIds[i], listed ? function : -1);
  }
  for (int i = 0; i < kRows; ++i)
    controls.SetText(kNameIds[i], FunctionName(buttonFunctions[i]));
  for (int id : kComboIds)
    controls.Show(id, false);
}

void CButtonPage::OnCommand(Controls& controls, int id, int notification) {
  if (id == kHardwareCheck && notification == kClicked) {
    hardwareButtons = controls.IsChecked(kHardwareCheck) ? 1 : 0;
    for (int name : kNameIds)
      controls.Enable(name, hardwareButtons != 0);
    return;
  }
  if (int row = RowOf(kNameIds, id); row >= 0 && notification == kClicked) {
    OpenList(controls, row);
    return;
  }
  int row = RowOf(kComboIds, id);
  if (row < 0) return;
  if (notification == kSelChanged) {
    int index = controls.GetCurSel(id);
    if (index < 0) {
      ShowName(controls, row);
      return;
    }
    auto function = static_cast<int32_t>(controls.GetItemData(id, index));
    buttonFunctions[row] = function;
    controls.SetText(kNameIds[row], FunctionName(function));
    ShowName(controls, row);
  } else if (notification == kDropDownClosed) {
    ShowName(controls, row);
  }
}

void CButtonPage::OnKeyDown(Controls& controls, unsigned virtualKey) {
  if (virtualKey < kVkApp1 || virtualKey > kVkApp5) return;
  if (hardwareButtons != 0) OpenList(controls, static_cast<int>(virtualKey - kVkApp1));
}

void CButtonPage::ShowName(Controls& controls, int row) {
  controls.Show(kComboIds[row], false);
  controls.Show(kNameIds[row], true);
}

void CButtonPage::OpenList(Controls& controls, int row) {
  controls.Show(kNameIds[row], false);
  controls.Show(kComboIds[row], true);
  controls.ShowDropDown(kComboIds[row]);
}

}  // namespace lirako

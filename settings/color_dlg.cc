#include "settings/color_dlg.h"

#include "platform/view_host.h"
#include "settings/control_items.h"
#include "settings/decimal_text.h"

namespace lirako {

namespace {

constexpr std::array<uint32_t, CColorDlg::kPresetCount> kPresets = {
    0x00000000, 0x0000FF00, 0x000000FF, 0x00FF0000,  //
    0x00FFFFFF, 0x00C8FFC8, 0x00B4FFB4, 0x00B4FFA0,  //
    0x00C8C8FF, 0x00BEBEF0, 0x00A0A0F0, 0x00BEA0F0,  //
    0x00FFC8C8, 0x00FFB4B4, 0x00FFA0A0, 0x00FFA0B4,
};

DialogSpec MakeSpec() {
  DialogSpec dialogSpec{CColorDlg::kDialogId, u"색상 선택", {}};
  auto add = [&dialogSpec](ControlSpec control) {
    dialogSpec.controls.push_back(std::move(control));
  };
  // Four rows of four presets, in table order.
  for (int n = 0; n < CColorDlg::kPresetCount; ++n) {
    add(Bordered(Item(CColorDlg::kFirstPreset + n, ControlKind::kSwatch, u"C", n / 4, n % 4)));
  }
  add(Spanning(Bordered(Item(CColorDlg::kPreview, ControlKind::kSwatch, u"", 0, 4)), 2));
  const int edits[] = {CColorDlg::kRedEdit, CColorDlg::kGreenEdit, CColorDlg::kBlueEdit};
  const int spins[] = {CColorDlg::kRedSpin, CColorDlg::kGreenSpin, CColorDlg::kBlueSpin};
  for (int i = 0; i < 3; ++i) {
    add(Item(edits[i], ControlKind::kEdit, u"", i + 1, 4));
    add(UpDown(spins[i], edits[i], i + 1, 5));
  }
  add(Item(kIdOk, ControlKind::kDefaultButton, u"선택", 4, 4));
  add(Item(kIdCancel, ControlKind::kPushButton, u"취소", 4, 5));
  return dialogSpec;
}

// Bit offset of the component an edit holds.
int ShiftOf(int edit) {
  return edit == CColorDlg::kRedEdit ? 0 : edit == CColorDlg::kGreenEdit ? 8 : 16;
}

}  // namespace

uint32_t CColorDlg::Preset(int n) {
  return kPresets.at(static_cast<size_t>(n));
}

const DialogSpec& CColorDlg::dialogSpec() const {
  static const DialogSpec dialogSpec = MakeSpec();
  return dialogSpec;
}

void CColorDlg::OnInitDialog(Controls& controls) {
  controls.SetCaption(title);
  currentColor_ = initialColor & 0x00FFFFFF;
  WriteComponents(controls);
  for (int spin : {kRedSpin, kGreenSpin, kBlueSpin})
    controls.SetRange(spin, 0, 255);
  Rect rect = controls.WindowRect();
  controls.MoveWindow({20, 40, 20 + rect.Width(), 40 + rect.Height()});
  for (int n = 0; n < kPresetCount; ++n) {
    presets_[n].Attach(controls, kFirstPreset + n);
    presets_[n].SetTextColor(kPresets[n]);
    presets_[n].SetBackColor(kPresets[n]);
  }
  preview_.Attach(controls, kPreview);
  preview_.SetTextColor(currentColor_);
  preview_.SetBackColor(currentColor_);
  ready_ = true;
}

void CColorDlg::OnCommand(Controls& controls, int id, int notification) {
  if (notification == kClicked && id >= kFirstPreset && id < kFirstPreset + kPresetCount) {
    currentColor_ = kPresets[id - kFirstPreset];
    preview_.SetTextColor(currentColor_);
    preview_.SetBackColor(currentColor_);
    WriteComponents(controls);
  } else if (notification == kEditChanged &&
             (id == kRedEdit || id == kGreenEdit || id == kBlueEdit)) {
    ComponentChanged(controls, id);
  }
}

void CColorDlg::OnScroll(Controls& controls, int id, int position) {
  // The arrows write their position into the buddy edit, which then changes as if typed.
  int edit = id == kRedSpin     ? kRedEdit
             : id == kGreenSpin ? kGreenEdit
             : id == kBlueSpin  ? kBlueEdit
                                : 0;
  if (edit == 0) return;
  controls.SetText(edit, FormatDecimal(position));
  ComponentChanged(controls, edit);
}

void CColorDlg::WriteComponents(Controls& controls) {
  // Writing the edits stores the same components again: the current colour is unchanged.
  controls.SetText(kRedEdit, FormatDecimal(static_cast<int32_t>(currentColor_ & 0xFF)));
  controls.SetText(kGreenEdit, FormatDecimal(static_cast<int32_t>((currentColor_ >> 8) & 0xFF)));
  controls.SetText(kBlueEdit, FormatDecimal(static_cast<int32_t>((currentColor_ >> 16) & 0xFF)));
}

void CColorDlg::ComponentChanged(Controls& controls, int edit) {
  int32_t typed = ReadDecimal(controls.GetText(edit));
  if (typed < 0) controls.SetText(edit, u"0");
  if (typed > 255) controls.SetText(edit, u"255");
  uint32_t v = static_cast<uint32_t>(ReadDecimal(controls.GetText(edit))) & 0xFF;
  int shift = ShiftOf(edit);
  currentColor_ = ((currentColor_ & ~(0xFFu << shift)) | (v << shift)) & 0x00FFFFFF;
  if (ready_) {
    preview_.SetTextColor(currentColor_);
    preview_.SetBackColor(currentColor_);
  }
}

}  // namespace lirako

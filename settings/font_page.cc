#include "settings/font_page.h"

#include "platform/view_host.h"
#include "settings/color_dlg.h"
#include "settings/control_items.h"
#include "settings/decimal_text.h"

namespace lirako {

namespace {

struct ThemeItem {
  const char16_t* text;
  Theme theme;
};
constexpr ThemeItem kThemeItems[] = {{u"종이", Theme::kPaper},
                                     {u"세피아", Theme::kSepia},
                                     {u"밤", Theme::kNight},
                                     {u"사용자 색", Theme::kOwn}};

DialogSpec MakeSpec() {
  DialogSpec dialogSpec{CFontPage::kDialogId, u"글자", {}};
  auto add = [&dialogSpec](ControlSpec control) {
    dialogSpec.controls.push_back(std::move(control));
  };
  // Face, size and weight in the framed "폰트"; the colours and the preview below it.
  constexpr int kGroupRows = 3;
  constexpr int kColumns = 4;
  add(Spanning(Item(kNoId, ControlKind::kGroupBox, u"폰트", 0), kColumns, kGroupRows));
  add(Item(kNoId, ControlKind::kStatic, u"종류", 0));
  add(Spanning(Item(CFontPage::kFaceCombo, ControlKind::kDropList, u"", 0, 1), kColumns - 1));
  add(Item(kNoId, ControlKind::kStatic, u"크기", 1));
  add(Item(CFontPage::kSizeCombo, ControlKind::kDropList, u"", 1, 1));
  add(TextLeft(Item(CFontPage::kBoldCheck, ControlKind::kCheckBox, u" Bold", 2)));
  add(TextLeft(Item(CFontPage::kClearTypeCheck, ControlKind::kCheckBox, u"Clear Type", 2, 1)));
  add(Item(kNoId, ControlKind::kStatic, u"글자색", kGroupRows));
  add(Bordered(Item(CFontPage::kTextSwatch, ControlKind::kSwatch, u"C", kGroupRows, 1)));
  add(Item(kNoId, ControlKind::kStatic, u"배경색", kGroupRows, 2));
  add(Bordered(Item(CFontPage::kBackSwatch, ControlKind::kSwatch, u"C", kGroupRows, 3)));
  add(Item(kNoId, ControlKind::kStatic, u"테마", kGroupRows + 1));
  add(Item(CFontPage::kThemeCombo, ControlKind::kDropList, u"", kGroupRows + 1, 1));
  add(Spanning(
      Bordered(Item(CFontPage::kPreview, ControlKind::kSwatch,
                    u" \"글자 속성 조정\".\n ABCDEFG abcdefg 12345678\n 天地玄黃", kGroupRows + 2)),
      kColumns));
  return dialogSpec;
}

}  // namespace

const std::vector<int32_t>& CFontPage::Sizes() {
  static const std::vector<int32_t> sizes = {8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 20, 22, 24};
  return sizes;
}

const DialogSpec& CFontPage::dialogSpec() const {
  static const DialogSpec dialogSpec = MakeSpec();
  return dialogSpec;
}

void CFontPage::OnInitDialog(Controls& controls) {
  controls.ResetContent(kSizeCombo);
  for (int32_t size : Sizes()) {
    int index = controls.AddString(kSizeCombo, FormatDecimal(size));
    controls.SetItemData(kSizeCombo, index, size);
  }
  // Select the item whose text is exactly the size; 18 and the like select nothing.
  std::u16string sizeText = FormatDecimal(fontSize);
  int selected = -1;
  for (int i = 0; i < controls.GetCount(kSizeCombo); ++i) {
    if (controls.GetItemText(kSizeCombo, i) == sizeText) selected = i;
  }
  controls.SetCurSel(kSizeCombo, selected);
  controls.SetChecked(kBoldCheck, fontBold != 0);
  controls.SetChecked(kClearTypeCheck, clearType != 0);
  controls.ResetContent(kFaceCombo);
  selected = -1;
  int inUse = -1;
  for (const std::u16string& face : faces) {
    int index = controls.AddString(kFaceCombo, face);
    if (face == fontFace) selected = index;  // the last copy of a repeated name wins
    if (face == faceInUse) inUse = index;
  }
  controls.SetCurSel(kFaceCombo, selected >= 0 ? selected : inUse);
  textSwatch_.Attach(controls, kTextSwatch);
  textSwatch_.SetTextColor(textColor);
  textSwatch_.SetBackColor(textColor);
  backSwatch_.Attach(controls, kBackSwatch);
  backSwatch_.SetTextColor(backColor);
  backSwatch_.SetBackColor(backColor);
  controls.ResetContent(kThemeCombo);
  for (const ThemeItem& item : kThemeItems) {
    const int index = controls.AddString(kThemeCombo, item.text);
    controls.SetItemData(kThemeCombo, index, static_cast<int32_t>(item.theme));
    if (item.theme == theme) controls.SetCurSel(kThemeCombo, index);
  }
  preview_.Attach(controls, kPreview);
  UpdatePreviewFont();
  UpdatePreviewColors();
}

void CFontPage::OnCommand(Controls& controls, int id, int notification) {
  if (notification == kSelChanged && id == kFaceCombo) {
    int index = controls.GetCurSel(kFaceCombo);
    if (index < 0) return;
    fontFace = controls.GetItemText(kFaceCombo, index);
    UpdatePreviewFont();
  } else if (notification == kSelChanged && id == kSizeCombo) {
    int index = controls.GetCurSel(kSizeCombo);
    if (index < 0) return;
    fontSize = static_cast<int32_t>(controls.GetItemData(kSizeCombo, index));
    UpdatePreviewFont();
  } else if (notification == kSelChanged && id == kThemeCombo) {
    const int index = controls.GetCurSel(kThemeCombo);
    if (index < 0) return;
    theme = static_cast<Theme>(controls.GetItemData(kThemeCombo, index));
    UpdatePreviewColors();
  } else if (notification == kClicked && id == kBoldCheck) {
    fontBold = controls.IsChecked(kBoldCheck) ? 1 : 0;
    UpdatePreviewFont();
  } else if (notification == kClicked && id == kClearTypeCheck) {
    clearType = controls.IsChecked(kClearTypeCheck) ? 1 : 0;
    UpdatePreviewFont();
  } else if (notification == kClicked && id == kTextSwatch) {
    if (!PickColor(u"글자색", textColor)) return;
    textSwatch_.SetTextColor(textColor);
    textSwatch_.SetBackColor(textColor);
    ChooseOwnColors(controls);
  } else if (notification == kClicked && id == kBackSwatch) {
    if (!PickColor(u"배경색", backColor)) return;
    backSwatch_.SetTextColor(backColor);
    backSwatch_.SetBackColor(backColor);
    ChooseOwnColors(controls);
  }
}

void CFontPage::UpdatePreviewFont() {
  preview_.SetFont(fontFace, fontSize, fontBold != 0, clearType != 0);
}

void CFontPage::UpdatePreviewColors() {
  const PageColors colors = ColorsOf(theme, PageColors{textColor, backColor});
  preview_.SetTextColor(colors.text);
  preview_.SetBackColor(colors.back);
}

void CFontPage::ChooseOwnColors(Controls& controls) {
  theme = Theme::kOwn;
  for (int i = 0; i < controls.GetCount(kThemeCombo); ++i) {
    if (controls.GetItemData(kThemeCombo, i) == static_cast<int32_t>(Theme::kOwn))
      controls.SetCurSel(kThemeCombo, i);
  }
  UpdatePreviewColors();
}

bool CFontPage::PickColor(const std::u16string& title, uint32_t& color) {
  CColorDlg picker;
  picker.title = title;
  picker.initialColor = color;
  if (runner_.RunModal(picker) != kIdOk) return false;
  color = picker.currentColor();
  return true;
}

}  // namespace lirako

#include "settings/screen_page.h"

#include <algorithm>

#include "settings/control_items.h"
#include "settings/decimal_text.h"

namespace lirako {

namespace {

struct SpinRow {
  const char16_t* label;
  int edit;
  int spin;
  int minimum;
  int maximum;
};

// Rows in template order, each label with its edit and the arrows that step it.
constexpr SpinRow kRows[] = {
    {u"좌우", CScreenPage::kMarginXEdit, CScreenPage::kMarginXSpin, 0, 20},
    {u"상하", CScreenPage::kMarginYEdit, CScreenPage::kMarginYSpin, 1, 20},
    {u"줄간", CScreenPage::kLineGapEdit, CScreenPage::kLineGapSpin, 0, 20},
    {u"공유 라인", CScreenPage::kSharedLinesEdit, CScreenPage::kSharedLinesSpin, 0, 5},
    {u"자동갱신 주기 (ms) :", CScreenPage::kPeriodEdit, CScreenPage::kPeriodSpin, 300, 3600},
};

struct BarItem {
  const char16_t* text;
  BarMode mode;
};
// Full-width characters a paragraph's first line may stand in.
constexpr int kMaxIndent = 3;

struct ColumnItem {
  const char16_t* text;
  ColumnMode mode;
};
constexpr ColumnItem kColumnItems[] = {
    {u"자동", ColumnMode::kAuto}, {u"한 쪽", ColumnMode::kOne}, {u"두 쪽", ColumnMode::kTwo}};

constexpr BarItem kBarItems[] = {{u"바 없음", BarMode::kNone},
                                 {u"스크롤바", BarMode::kScrollBar},
                                 {u"위치바", BarMode::kPositionBar}};

DialogSpec MakeSpec() {
  DialogSpec dialogSpec{CScreenPage::kDialogId, u"화면", {}};
  auto add = [&dialogSpec](ControlSpec control) {
    dialogSpec.controls.push_back(std::move(control));
  };
  // The four margins stand two by two in the framed "여백"; the period below it.
  constexpr int kGroupRows = 2;
  constexpr int kGroupColumns = 6;
  add(Spanning(Item(kNoId, ControlKind::kGroupBox, u"여백", 0), kGroupColumns, kGroupRows));
  int index = 0;
  for (const SpinRow& r : kRows) {
    const bool period = r.edit == CScreenPage::kPeriodEdit;
    const int row = period ? kGroupRows : index / 2;
    const int column = period ? 0 : (index % 2) * 3;
    add(Item(kNoId, ControlKind::kStatic, r.label, row, column));
    add(Item(r.edit, ControlKind::kEdit, u"", row, column + 1));
    add(UpDown(r.spin, r.edit, row, column + 2));
    ++index;
  }
  int row = kGroupRows + 1;
  add(Item(CScreenPage::kSmoothCheck, ControlKind::kCheckBox, u"부드러운 갱신", row++));
  add(Item(CScreenPage::kLandscapeCheck, ControlKind::kCheckBox, u"가로보기", row));
  add(Item(CScreenPage::kJustifyCheck, ControlKind::kCheckBox, u" 좌우 정렬", row++, 1));
  add(Item(CScreenPage::kScreenKeysCheck, ControlKind::kCheckBox, u"스크린 키", row));
  add(Item(CScreenPage::kBarCombo, ControlKind::kDropList, u"", row++, 1));
  add(Item(CScreenPage::kKinsokuCheck, ControlKind::kCheckBox, u"줄머리 금칙", row));
  add(Item(CScreenPage::kKeepAllCheck, ControlKind::kCheckBox, u"어절 단위 줄바꿈", row++, 1));
  add(Item(CScreenPage::kJoinLinesCheck, ControlKind::kCheckBox, u"줄 이어 읽기", row++));
  add(Item(kNoId, ControlKind::kStatic, u"줄 길이", row));
  add(Item(CScreenPage::kMeasureEdit, ControlKind::kEdit, u"", row, 1));
  add(UpDown(CScreenPage::kMeasureSpin, CScreenPage::kMeasureEdit, row, 2));
  add(Item(kNoId, ControlKind::kStatic, u"두 쪽 보기", row, 3));
  add(Item(CScreenPage::kColumnsCombo, ControlKind::kDropList, u"", row++, 4));
  add(Item(kNoId, ControlKind::kStatic, u"들여쓰기", row));
  add(Item(CScreenPage::kIndentEdit, ControlKind::kEdit, u"", row, 1));
  add(UpDown(CScreenPage::kIndentSpin, CScreenPage::kIndentEdit, row, 2));
  add(Item(CScreenPage::kCollapseCheck, ControlKind::kCheckBox, u"빈 줄 정리", row++, 3));
  add(Item(kNoId, ControlKind::kStatic, u"문단 간격", row));
  add(Item(CScreenPage::kParagraphGapEdit, ControlKind::kEdit, u"", row, 1));
  add(UpDown(CScreenPage::kParagraphGapSpin, CScreenPage::kParagraphGapEdit, row++, 2));
  add(Item(CScreenPage::kStatusCheck, ControlKind::kCheckBox, u"쪽 정보", row));
  add(Item(CScreenPage::kStatusAutoScrollCheck, ControlKind::kCheckBox, u"자동갱신 중 숨기기",
           row++, 1));
  add(Item(kNoId, ControlKind::kStatic, u"목차 규칙", row));
  add(Spanning(Item(CScreenPage::kTocRuleEdit, ControlKind::kEdit, u"", row, 1),
               kGroupColumns - 1));
  return dialogSpec;
}

}  // namespace

const DialogSpec& CScreenPage::dialogSpec() const {
  static const DialogSpec dialogSpec = MakeSpec();
  return dialogSpec;
}

void CScreenPage::OnInitDialog(Controls& controls) {
  for (const SpinRow& r : kRows)
    controls.SetRange(r.spin, r.minimum, r.maximum);
  numbers = entryNumbers;
  controls.SetText(kMarginXEdit, FormatDecimal(numbers.marginX));
  controls.SetText(kMarginYEdit, FormatDecimal(numbers.marginY));
  controls.SetText(kLineGapEdit, FormatDecimal(numbers.lineGap));
  controls.SetText(kSharedLinesEdit, FormatDecimal(numbers.sharedLines));
  controls.SetText(kPeriodEdit, FormatDecimal(numbers.refreshInterval));
  controls.SetChecked(kJustifyCheck, justify != 0);
  controls.SetChecked(kLandscapeCheck, landscape != 0);
  controls.SetChecked(kScreenKeysCheck, screenKeys != 0);
  controls.SetChecked(kSmoothCheck, smoothRefresh != 0);
  controls.SetChecked(kKinsokuCheck, typography.kinsoku);
  controls.SetChecked(kKeepAllCheck, typography.keepAll);
  controls.SetChecked(kJoinLinesCheck, typography.joinLines);
  controls.SetChecked(kCollapseCheck, typography.collapseBlankLines);
  controls.SetChecked(kStatusCheck, page.status);
  controls.SetChecked(kStatusAutoScrollCheck, !page.statusInAutoScroll);
  controls.SetText(kTocRuleEdit, tocRule);
  controls.SetRange(kMeasureSpin, PageOptions::kMinMeasure, PageOptions::kMaxMeasure);
  controls.SetText(kMeasureEdit, FormatDecimal(page.measure));
  controls.SetRange(kIndentSpin, 0, kMaxIndent);
  controls.SetText(kIndentEdit, FormatDecimal(typography.indent));
  controls.SetRange(kParagraphGapSpin, 0, kMaxParagraphGap);
  controls.SetText(kParagraphGapEdit, FormatDecimal(typography.paragraphGap));
  controls.ResetContent(kColumnsCombo);
  for (const ColumnItem& item : kColumnItems) {
    const int index = controls.AddString(kColumnsCombo, item.text);
    controls.SetItemData(kColumnsCombo, index, static_cast<int32_t>(item.mode));
    if (item.mode == page.columns) controls.SetCurSel(kColumnsCombo, index);
  }
  controls.ResetContent(kBarCombo);
  int selected = -1;
  for (const BarItem& item : kBarItems) {
    int index = controls.AddString(kBarCombo, item.text);
    controls.SetItemData(kBarCombo, index, static_cast<int32_t>(item.mode));
    if (selected < 0 && item.mode == barMode) selected = index;
  }
  controls.SetCurSel(kBarCombo, selected);
}

void CScreenPage::OnCommand(Controls& controls, int id, int notification) {
  if (notification == kEditChanged) {
    EditChanged(controls, id);
    return;
  }
  if (notification == kClicked) {
    int32_t state = controls.IsChecked(id) ? 1 : 0;
    switch (id) {
      case kJustifyCheck:
        justify = state;
        break;
      case kLandscapeCheck:
        landscape = state;
        break;
      case kScreenKeysCheck:
        screenKeys = state;
        break;
      case kSmoothCheck:
        smoothRefresh = state;
        break;
      case kKinsokuCheck:
        typography.kinsoku = state != 0;
        break;
      case kKeepAllCheck:
        typography.keepAll = state != 0;
        break;
      case kJoinLinesCheck:
        typography.joinLines = state != 0;
        break;
      case kCollapseCheck:
        typography.collapseBlankLines = state != 0;
        break;
      case kStatusCheck:
        page.status = state != 0;
        break;
      case kStatusAutoScrollCheck:
        page.statusInAutoScroll = state == 0;
        break;
      default:
        break;
    }
    return;
  }
  if (notification == kSelChanged && id == kBarCombo) {
    int index = controls.GetCurSel(kBarCombo);
    if (index >= 0) barMode = static_cast<BarMode>(controls.GetItemData(kBarCombo, index));
  }
  if (notification == kSelChanged && id == kColumnsCombo) {
    const int index = controls.GetCurSel(kColumnsCombo);
    if (index >= 0)
      page.columns = static_cast<ColumnMode>(controls.GetItemData(kColumnsCombo, index));
  }
}

void CScreenPage::OnScroll(Controls& controls, int id, int position) {
  // The arrows write their position into the buddy edit, with thousands separators, and the
  // edit then changes as if typed.
  for (const SpinRow& r : kRows) {
    if (r.spin != id) continue;
    controls.SetText(r.edit, FormatThousands(position));
    EditChanged(controls, r.edit);
    return;
  }
  if (id == kMeasureSpin || id == kIndentSpin || id == kParagraphGapSpin) {
    const int edit = id == kMeasureSpin  ? kMeasureEdit
                     : id == kIndentSpin ? kIndentEdit
                                         : kParagraphGapEdit;
    controls.SetText(edit, FormatDecimal(position));
    EditChanged(controls, edit);
  }
}

void CScreenPage::EditChanged(Controls& controls, int id) {
  std::u16string text = controls.GetText(id);
  switch (id) {
    case kTocRuleEdit:
      tocRule = text;
      break;
    case kIndentEdit:
      typography.indent = std::clamp<int32_t>(ReadDecimal(text), 0, kMaxIndent);
      break;
    case kParagraphGapEdit:
      typography.paragraphGap = std::clamp<int32_t>(ReadDecimal(text), 0, kMaxParagraphGap);
      break;
    case kMeasureEdit:
      // 0 keeps the whole width; any other length is held within the range.
      page.measure = PageOptions::ClampMeasure(ReadDecimal(text));
      break;
    case kMarginXEdit:
      numbers.marginX = ReadDecimal(text);
      break;
    case kMarginYEdit:
      numbers.marginY = ReadDecimal(text);
      break;
    case kLineGapEdit:
      numbers.lineGap = ReadDecimal(text);
      break;
    case kSharedLinesEdit:
      numbers.sharedLines = ReadDecimal(text);
      break;
    case kPeriodEdit: {
      // The arrows may have written "1,400": read the first 12 characters without commas.
      std::u16string digits;
      for (char16_t c : std::u16string_view(text).substr(0, kPeriodChars)) {
        if (c != u',') digits += c;
      }
      numbers.refreshInterval = ReadDecimal(digits);
      break;
    }
    default:
      break;
  }
}

}  // namespace lirako

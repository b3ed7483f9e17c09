#include "settings/color_dlg.h"

#include <gtest/gtest.h>

#include "platform/headless_dialogs.h"
#include "platform/view_host.h"
#include "settings/color_static.h"

namespace lirako {
namespace {

// The red, green and blue edits as shown.
std::vector<std::u16string> Edits(HeadlessControls& c) {
  return {c.GetText(CColorDlg::kRedEdit), c.GetText(CColorDlg::kGreenEdit),
          c.GetText(CColorDlg::kBlueEdit)};
}

TEST(CColorStatic, ShowsButtonColoursUntilSetAndBuildsItsFont) {
  DialogSpec spec{1, u"", {}};
  ControlSpec swatch;
  swatch.id = 7;
  swatch.kind = ControlKind::kSwatch;
  spec.controls.push_back(swatch);
  HeadlessControls controls(spec);
  CColorStatic colorStatic;
  colorStatic.Attach(controls, 7);
  EXPECT_EQ(controls.control(7).textColor, CColorStatic::kButtonTextColor);
  EXPECT_EQ(controls.control(7).backColor, CColorStatic::kButtonFaceColor);

  colorStatic.SetTextColor(0x00123456);
  colorStatic.SetBackColor(0x00654321);
  EXPECT_EQ(controls.control(7).textColor, 0x00123456u);
  EXPECT_EQ(controls.control(7).backColor, 0x00654321u);
  colorStatic.SetBackColor(CColorStatic::kDefaultColor);
  EXPECT_EQ(controls.control(7).backColor, CColorStatic::kButtonFaceColor);
  EXPECT_EQ(controls.control(7).textColor, 0x00123456u);

  colorStatic.SetFont(u"0123456789012345678901234567890123456789", 17, true, true);
  const FontSpec& font = controls.control(7).font;
  EXPECT_EQ(font.face, u"0123456789012345678901234567890");
  EXPECT_EQ(font.height, 17);
  EXPECT_EQ(font.weight, 700);
  EXPECT_TRUE(font.clearType);
  EXPECT_EQ(font.escapement, 0);
  colorStatic.SetFont(u"Tahoma", 9, false, false);
  EXPECT_EQ(controls.control(7).font, (FontSpec{u"Tahoma", 9, 400, 0, false}));
}

TEST(CColorDlg, InitialisesTitleEditsRangesPlacePresetsAndPreview) {
  CColorDlg dlg;
  dlg.title = u"글자색";
  dlg.initialColor = 0x00332211;
  HeadlessControls c(dlg.spec(), Rect{5, 6, 205, 106});
  EXPECT_EQ(c.caption(), u"색상 선택");
  dlg.OnInitDialog(c);
  EXPECT_EQ(c.caption(), u"글자색");
  EXPECT_EQ(dlg.currentColor(), 0x00332211u);
  EXPECT_EQ(Edits(c), (std::vector<std::u16string>{u"17", u"34", u"51"}));
  for (int spin : {CColorDlg::kRedSpin, CColorDlg::kGreenSpin, CColorDlg::kBlueSpin}) {
    EXPECT_EQ(c.control(spin).minimum, 0);
    EXPECT_EQ(c.control(spin).maximum, 255);
  }
  EXPECT_EQ(c.WindowRect(), (Rect{20, 40, 220, 140}));
  for (int n = 0; n < CColorDlg::kPresetCount; ++n) {
    const HeadlessControl& swatch = c.control(CColorDlg::kFirstPreset + n);
    EXPECT_EQ(swatch.textColor, CColorDlg::Preset(n)) << n;
    EXPECT_EQ(swatch.backColor, CColorDlg::Preset(n)) << n;
  }
  EXPECT_EQ(c.control(CColorDlg::kPreview).backColor, 0x00332211u);
  EXPECT_EQ(c.control(CColorDlg::kPreview).textColor, 0x00332211u);
  EXPECT_EQ(c.control(1).text, u"선택");
  EXPECT_EQ(c.control(2).text, u"취소");
}

TEST(CColorDlg, DefaultsAndBlackStart) {
  CColorDlg dlg;
  EXPECT_EQ(dlg.title, u"색상선택");
  EXPECT_EQ(dlg.initialColor, 0x00C8F0C8u);
  dlg.initialColor = 0x00000000;
  HeadlessControls c(dlg.spec());
  dlg.OnInitDialog(c);
  EXPECT_EQ(Edits(c), (std::vector<std::u16string>{u"0", u"0", u"0"}));
  EXPECT_EQ(c.control(CColorDlg::kPreview).backColor, 0u);
}

TEST(CColorDlg, PresetsAreLaidOutFourByFourInTableOrder) {
  CColorDlg dlg;
  const uint32_t expected[] = {0x00000000, 0x0000FF00, 0x000000FF, 0x00FF0000,
                               0x00FFFFFF, 0x00C8FFC8, 0x00B4FFB4, 0x00B4FFA0,
                               0x00C8C8FF, 0x00BEBEF0, 0x00A0A0F0, 0x00BEA0F0,
                               0x00FFC8C8, 0x00FFB4B4, 0x00FFA0A0, 0x00FFA0B4};
  for (int n = 0; n < 16; ++n)
    EXPECT_EQ(CColorDlg::Preset(n), expected[n]) << n;
  for (const ControlSpec& control : dlg.spec().controls) {
    int n = control.id - CColorDlg::kFirstPreset;
    if (n < 0 || n >= 16) continue;
    EXPECT_EQ(control.row, n / 4);
    EXPECT_EQ(control.column, n % 4);
    EXPECT_EQ(control.text, u"C");
    EXPECT_TRUE(control.bordered);
  }
}

TEST(CColorDlg, TappingAPresetSetsColourPreviewAndEdits) {
  CColorDlg dlg;
  HeadlessControls c(dlg.spec());
  dlg.OnInitDialog(c);
  c.Click(dlg, CColorDlg::kFirstPreset + 8);
  EXPECT_EQ(dlg.currentColor(), 0x00C8C8FFu);
  EXPECT_EQ(Edits(c), (std::vector<std::u16string>{u"255", u"200", u"200"}));
  EXPECT_EQ(c.control(CColorDlg::kPreview).backColor, 0x00C8C8FFu);
  EXPECT_EQ(c.control(CColorDlg::kPreview).textColor, 0x00C8C8FFu);
  c.Click(dlg, CColorDlg::kFirstPreset + 15);
  EXPECT_EQ(dlg.currentColor(), 0x00FFA0B4u);
  EXPECT_EQ(Edits(c), (std::vector<std::u16string>{u"180", u"160", u"255"}));
}

TEST(CColorDlg, ComponentEditsClampAndReplaceOneComponent) {
  CColorDlg dlg;
  dlg.initialColor = 0x00102030;
  HeadlessControls c(dlg.spec());
  dlg.OnInitDialog(c);
  c.Type(dlg, CColorDlg::kRedEdit, u"300");
  EXPECT_EQ(c.GetText(CColorDlg::kRedEdit), u"255");
  EXPECT_EQ(dlg.currentColor(), 0x001020FFu);
  EXPECT_EQ(c.control(CColorDlg::kPreview).backColor, 0x001020FFu);
  c.Type(dlg, CColorDlg::kGreenEdit, u"-5");
  EXPECT_EQ(c.GetText(CColorDlg::kGreenEdit), u"0");
  EXPECT_EQ(dlg.currentColor(), 0x001000FFu);
  c.Type(dlg, CColorDlg::kBlueEdit, u"");
  EXPECT_EQ(c.GetText(CColorDlg::kBlueEdit), u"");
  EXPECT_EQ(dlg.currentColor(), 0x000000FFu);
  // Not a number counts as 0 and stays as typed; leading blanks and digits are read.
  c.Type(dlg, CColorDlg::kRedEdit, u"abc");
  EXPECT_EQ(c.GetText(CColorDlg::kRedEdit), u"abc");
  EXPECT_EQ(dlg.currentColor(), 0x00000000u);
  c.Type(dlg, CColorDlg::kBlueEdit, u"  128x");
  EXPECT_EQ(dlg.currentColor(), 0x00800000u);
  // A huge number clamps to 255 rather than wrapping its low byte.
  c.Type(dlg, CColorDlg::kGreenEdit, u"99999999999");
  EXPECT_EQ(c.GetText(CColorDlg::kGreenEdit), u"255");
  EXPECT_EQ(dlg.currentColor(), 0x0080FF00u);
}

TEST(CColorDlg, SpinArrowsStepAComponentWithinRange) {
  CColorDlg dlg;
  dlg.initialColor = 0x00FF00FE;
  HeadlessControls c(dlg.spec());
  dlg.OnInitDialog(c);
  c.Spin(dlg, CColorDlg::kRedSpin, 3);
  EXPECT_EQ(c.GetText(CColorDlg::kRedEdit), u"255");
  EXPECT_EQ(dlg.currentColor(), 0x00FF00FFu);
  c.Spin(dlg, CColorDlg::kGreenSpin, -2);
  EXPECT_EQ(c.GetText(CColorDlg::kGreenEdit), u"0");
  c.Spin(dlg, CColorDlg::kBlueSpin, -1);
  EXPECT_EQ(dlg.currentColor(), 0x00FE00FFu);
  EXPECT_EQ(c.control(CColorDlg::kPreview).backColor, 0x00FE00FFu);
}

TEST(CColorDlg, RunsModallyAndReportsOkOrCancel) {
  HeadlessDialogRunner runner;
  runner.Script({ClickStep(CColorDlg::kFirstPreset + 2), ClickStep(kIdOk)});
  CColorDlg chosen;
  EXPECT_EQ(runner.RunModal(chosen), kIdOk);
  EXPECT_EQ(chosen.currentColor(), 0x000000FFu);
  EXPECT_EQ(runner.runs().back().id, 138);

  runner.Script({ClickStep(CColorDlg::kFirstPreset + 2), ClickStep(kIdCancel)});
  CColorDlg cancelled;
  EXPECT_EQ(runner.RunModal(cancelled), kIdCancel);
}

}  // namespace
}  // namespace lirako

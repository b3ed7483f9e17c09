#include "settings/color_dlg.h"

#include <gtest/gtest.h>

#include "platform/headless/headless_dialogs.h"

namespace lirako {
namespace {

using D = CColorDlg;

std::vector<std::u16string> Edits(HeadlessControls& c) {
  return {c.GetText(D::kRedEdit), c.GetText(D::kGreenEdit), c.GetText(D::kBlueEdit)};
}

TEST(CColorStatic, ButtonColoursUntilSetAndFontFromFourAttributes) {
  CColorDlg dlg;  // any template with a swatch will do
  HeadlessControls c(dlg.dialogSpec());
  CColorStatic swatch;
  swatch.Attach(c, D::kPreview);
  EXPECT_EQ(c.control(D::kPreview).backColor, CColorStatic::kButtonFaceColor);
  swatch.SetTextColor(0x00123456);
  swatch.SetBackColor(CColorStatic::kDefaultColor);
  EXPECT_EQ(c.control(D::kPreview).textColor, 0x00123456u);
  EXPECT_EQ(c.control(D::kPreview).backColor, CColorStatic::kButtonFaceColor);
  swatch.SetFont(u"0123456789012345678901234567890123456789", 17, true, true);
  EXPECT_EQ(c.control(D::kPreview).font,
            (FontSpec{u"0123456789012345678901234567890", 17, 700, 0, true}));
}

TEST(CColorDlg, InitialisesFromTitleAndInitialColour) {
  CColorDlg dlg;
  EXPECT_EQ(dlg.initialColor, 0x00C8F0C8u);
  dlg.title = u"글자색";
  dlg.initialColor = 0x00332211;
  HeadlessControls c(dlg.dialogSpec(), Rect{5, 6, 205, 106});
  dlg.OnInitDialog(c);
  EXPECT_EQ(c.caption(), u"글자색");
  EXPECT_EQ(Edits(c), (std::vector<std::u16string>{u"17", u"34", u"51"}));
  EXPECT_EQ(c.control(D::kGreenSpin).maximum, 255);
  EXPECT_EQ(c.WindowRect(), (Rect{20, 40, 220, 140}));
  EXPECT_EQ(c.control(D::kFirstPreset + 9).backColor, 0x00BEBEF0u);
  EXPECT_EQ(c.control(D::kPreview).backColor, 0x00332211u);

  CColorDlg black;
  black.initialColor = 0;
  HeadlessControls b(black.dialogSpec());
  black.OnInitDialog(b);
  EXPECT_EQ(Edits(b), (std::vector<std::u16string>{u"0", u"0", u"0"}));
  EXPECT_EQ(b.control(D::kPreview).backColor, 0u);
}

TEST(CColorDlg, PresetsEditsAndSpinsChangeTheColour) {
  CColorDlg dlg;
  HeadlessControls c(dlg.dialogSpec());
  dlg.OnInitDialog(c);
  c.Click(dlg, D::kFirstPreset + 8);
  EXPECT_EQ(dlg.currentColor(), 0x00C8C8FFu);
  EXPECT_EQ(Edits(c), (std::vector<std::u16string>{u"255", u"200", u"200"}));
  EXPECT_EQ(c.control(D::kPreview).textColor, 0x00C8C8FFu);

  c.Type(dlg, D::kRedEdit, u"300");
  EXPECT_EQ(c.GetText(D::kRedEdit), u"255");
  c.Type(dlg, D::kGreenEdit, u"-5");
  EXPECT_EQ(c.GetText(D::kGreenEdit), u"0");
  EXPECT_EQ(dlg.currentColor(), 0x00C800FFu);
  c.Type(dlg, D::kBlueEdit, u"");
  EXPECT_EQ(dlg.currentColor(), 0x000000FFu);
  c.Type(dlg, D::kBlueEdit, u"99999999999");  // clamped, not wrapped
  EXPECT_EQ(dlg.currentColor(), 0x00FF00FFu);
  c.Spin(dlg, D::kGreenSpin, 2);
  EXPECT_EQ(c.GetText(D::kGreenEdit), u"2");
  EXPECT_EQ(dlg.currentColor(), 0x00FF02FFu);
  EXPECT_EQ(c.control(D::kPreview).backColor, 0x00FF02FFu);
}

}  // namespace
}  // namespace lirako

#include "settings/font_page.h"

#include <gtest/gtest.h>

#include "platform/headless_dialogs.h"
#include "platform/view_host.h"
#include "settings/color_dlg.h"

namespace lirako {
namespace {

using P = CFontPage;

struct FontPageFixture {
  FontPageFixture() {
    page.fontFace = u"NanumGothic";
    page.fontSize = 15;
    page.textColor = 0x00FFFFFF;
    page.backColor = 0x00000000;
    page.faces = {u"DejaVu Sans", u"NanumGothic", u"Noto Serif"};
  }
  HeadlessControls& Init() {
    page.OnInitDialog(controls);
    return controls;
  }
  HeadlessDialogRunner runner;
  CFontPage page{runner};
  HeadlessControls controls{page.spec()};
};

TEST(CFontPage, InitialisationFillsSizesFacesChecksSwatchesAndPreview) {
  FontPageFixture f;
  f.page.fontBold = 1;
  HeadlessControls& c = f.Init();
  const HeadlessControl& sizes = c.control(P::kSizeCombo);
  EXPECT_EQ(sizes.items, (std::vector<std::u16string>{u"8", u"9", u"10", u"11", u"12", u"13", u"14",
                                                      u"15", u"16", u"17", u"20", u"22", u"24"}));
  EXPECT_EQ(sizes.itemData,
            (std::vector<int64_t>{8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 20, 22, 24}));
  EXPECT_EQ(sizes.curSel, 7);
  EXPECT_EQ(c.control(P::kFaceCombo).items, f.page.faces);
  EXPECT_EQ(c.GetCurSel(P::kFaceCombo), 1);
  EXPECT_TRUE(c.IsChecked(P::kBoldCheck));
  EXPECT_FALSE(c.IsChecked(P::kClearTypeCheck));
  EXPECT_EQ(c.control(P::kTextSwatch).textColor, 0x00FFFFFFu);
  EXPECT_EQ(c.control(P::kTextSwatch).backColor, 0x00FFFFFFu);
  EXPECT_EQ(c.control(P::kBackSwatch).textColor, 0u);
  EXPECT_EQ(c.control(P::kBackSwatch).backColor, 0u);
  const HeadlessControl& preview = c.control(P::kPreview);
  EXPECT_EQ(preview.font, (FontSpec{u"NanumGothic", 15, 700, 0, false}));
  EXPECT_EQ(preview.textColor, 0x00FFFFFFu);
  EXPECT_EQ(preview.backColor, 0u);
  EXPECT_EQ(preview.text.rfind(u" \"글자 속성 조정\".\n", 0), 0u);
  EXPECT_NE(preview.text.find(u"\n ABCDEFG abcdefg 12345678\n"), std::u16string::npos);
  EXPECT_EQ(f.page.spec().caption, u"글자");
}

TEST(CFontPage, UnofferedSizeSelectsNothingAndStaysUntilPicked) {
  FontPageFixture f;
  f.page.fontSize = 18;
  HeadlessControls& c = f.Init();
  EXPECT_EQ(c.GetCurSel(P::kSizeCombo), -1);
  EXPECT_EQ(c.control(P::kPreview).font.height, 18);
  c.Click(f.page, P::kBoldCheck);
  EXPECT_EQ(f.page.fontSize, 18);
  c.Select(f.page, P::kSizeCombo, 12);
  EXPECT_EQ(f.page.fontSize, 24);
  EXPECT_EQ(c.control(P::kPreview).font.height, 24);
}

TEST(CFontPage, FaceMatchIsExactAndTheLastCopyWins) {
  FontPageFixture f;
  f.page.fontFace = u"nanumgothic";
  EXPECT_EQ(f.Init().GetCurSel(P::kFaceCombo), -1);
  EXPECT_EQ(f.page.fontFace, u"nanumgothic");

  FontPageFixture twice;
  twice.page.faces = {u"A", u"NanumGothic", u"B", u"NanumGothic"};
  EXPECT_EQ(twice.Init().GetCurSel(P::kFaceCombo), 3);
}

TEST(CFontPage, ChangesUpdateValuesAndPreviewFont) {
  FontPageFixture f;
  HeadlessControls& c = f.Init();
  c.Select(f.page, P::kFaceCombo, 2);
  EXPECT_EQ(f.page.fontFace, u"Noto Serif");
  c.Select(f.page, P::kSizeCombo, 0);
  c.Click(f.page, P::kBoldCheck);
  c.Click(f.page, P::kClearTypeCheck);
  EXPECT_EQ(f.page.fontSize, 8);
  EXPECT_EQ(f.page.fontBold, 1);
  EXPECT_EQ(f.page.clearType, 1);
  EXPECT_EQ(c.control(P::kPreview).font, (FontSpec{u"Noto Serif", 8, 700, 0, true}));
  c.Click(f.page, P::kBoldCheck);
  EXPECT_EQ(f.page.fontBold, 0);
  EXPECT_EQ(c.control(P::kPreview).font.weight, 400);
}

TEST(CFontPage, SwatchesRunThePickerAndApplyOnlyOk) {
  FontPageFixture f;
  HeadlessControls& c = f.Init();
  std::u16string openedWith;
  auto look = [&openedWith](HeadlessControls& picker, DialogLogic&) {
    openedWith = picker.GetText(CColorDlg::kRedEdit) + u"," + picker.GetText(CColorDlg::kBlueEdit);
  };
  f.runner.Script({look, ClickStep(CColorDlg::kFirstPreset + 5), ClickStep(kIdOk)});
  c.Click(f.page, P::kTextSwatch);
  ASSERT_EQ(f.runner.runs().size(), 1u);
  EXPECT_EQ(f.runner.runs()[0].controls.caption(), u"글자색");
  EXPECT_EQ(openedWith, u"255,255");  // the picker starts from the text colour, white
  EXPECT_EQ(f.page.textColor, 0x00C8FFC8u);
  EXPECT_EQ(c.control(P::kTextSwatch).backColor, 0x00C8FFC8u);
  EXPECT_EQ(c.control(P::kTextSwatch).textColor, 0x00C8FFC8u);
  EXPECT_EQ(c.control(P::kPreview).textColor, 0x00C8FFC8u);
  EXPECT_EQ(c.control(P::kPreview).backColor, 0u);

  f.runner.Script({look, ClickStep(CColorDlg::kFirstPreset + 4), ClickStep(kIdCancel)});
  c.Click(f.page, P::kBackSwatch);
  EXPECT_EQ(openedWith, u"0,0");
  EXPECT_EQ(f.runner.runs()[1].controls.caption(), u"배경색");
  EXPECT_EQ(f.page.backColor, 0u);
  EXPECT_EQ(c.control(P::kBackSwatch).backColor, 0u);
  EXPECT_EQ(c.control(P::kPreview).backColor, 0u);

  // The background may equal the text colour.
  f.runner.Script({ClickStep(CColorDlg::kFirstPreset + 5), ClickStep(kIdOk)});
  c.Click(f.page, P::kBackSwatch);
  EXPECT_EQ(f.page.backColor, 0x00C8FFC8u);
  EXPECT_EQ(c.control(P::kPreview).backColor, c.control(P::kPreview).textColor);
}

}  // namespace
}  // namespace lirako

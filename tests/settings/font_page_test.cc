#include "settings/font_page.h"

#include <gtest/gtest.h>

#include "platform/headless/headless_dialogs.h"
#include "platform/view_host.h"
#include "settings/color_dlg.h"

namespace lirako {
namespace {

using P = CFontPage;

struct FontPageFixture {
  explicit FontPageFixture(int32_t size = 15, std::u16string face = u"NanumGothic",
                           std::u16string inUse = u"") {
    page.fontFace = std::move(face);
    page.faceInUse = std::move(inUse);
    page.fontSize = size;
    page.textColor = 0x00FFFFFF;
    page.faces = {u"DejaVu Sans", u"NanumGothic", u"Noto Serif", u"NanumGothic"};
    page.OnInitDialog(c);
  }
  HeadlessDialogRunner runner;
  CFontPage page{runner};
  HeadlessControls c{page.dialogSpec()};
};

TEST(CFontPage, InitialisationSelectsExactSizeAndFaceAndShowsThePreview) {
  FontPageFixture f;
  const HeadlessControl& sizes = f.c.control(P::kSizeCombo);
  EXPECT_EQ(sizes.items.size(), 13u);
  EXPECT_EQ(sizes.items[10], u"20");
  EXPECT_EQ(sizes.itemData[12], 24);
  EXPECT_EQ(sizes.curSel, 7);
  EXPECT_EQ(f.c.GetCurSel(P::kFaceCombo), 3);  // the last copy of the name
  EXPECT_EQ(f.c.control(P::kTextSwatch).textColor, 0x00FFFFFFu);
  EXPECT_EQ(f.c.control(P::kBackSwatch).backColor, 0u);
  EXPECT_EQ(f.c.control(P::kPreview).font, (FontSpec{u"NanumGothic", 15, 400, 0, false}));
  EXPECT_EQ(f.c.control(P::kPreview).textColor, 0x00FFFFFFu);

  FontPageFixture odd(18, u"nanumgothic");
  EXPECT_EQ(odd.c.GetCurSel(P::kSizeCombo), -1);
  EXPECT_EQ(odd.c.GetCurSel(P::kFaceCombo), -1);
  odd.c.Click(odd.page, P::kBoldCheck);
  EXPECT_EQ(odd.page.fontSize, 18);
  EXPECT_EQ(odd.c.control(P::kPreview).font, (FontSpec{u"nanumgothic", 18, 700, 0, false}));
  odd.c.Select(odd.page, P::kFaceCombo, 2);
  odd.c.Select(odd.page, P::kSizeCombo, 0);
  odd.c.Click(odd.page, P::kClearTypeCheck);
  EXPECT_EQ(odd.c.control(P::kPreview).font, (FontSpec{u"Noto Serif", 8, 700, 0, true}));
}

TEST(CFontPage, AFaceNotInstalledShowsTheFaceDrawnInItsPlace) {
  constexpr int kNanumGothic = 3;
  FontPageFixture f(15, u"Tahoma", u"NanumGothic");
  EXPECT_EQ(f.c.GetCurSel(P::kFaceCombo), kNanumGothic);
  // The stored face goes back unchanged unless the user picks one.
  EXPECT_EQ(f.page.fontFace, u"Tahoma");
}

TEST(CFontPage, SwatchesApplyThePickedColourOnlyAfterOk) {
  FontPageFixture f;
  std::u16string openedWith;
  auto look = [&openedWith](HeadlessControls& picker, DialogLogic&) {
    openedWith = picker.caption() + u" " + picker.GetText(CColorDlg::kRedEdit);
  };
  f.runner.Script({look, ClickStep(CColorDlg::kFirstPreset + 5), ClickStep(kIdOk)});
  f.c.Click(f.page, P::kTextSwatch);
  EXPECT_EQ(openedWith, u"글자색 255");
  EXPECT_EQ(f.page.textColor, 0x00C8FFC8u);
  EXPECT_EQ(f.c.control(P::kTextSwatch).backColor, 0x00C8FFC8u);
  EXPECT_EQ(f.c.control(P::kPreview).textColor, 0x00C8FFC8u);

  f.runner.Script({look, ClickStep(CColorDlg::kFirstPreset + 4), ClickStep(kIdCancel)});
  f.c.Click(f.page, P::kBackSwatch);
  EXPECT_EQ(openedWith, u"배경색 0");
  EXPECT_EQ(f.page.backColor, 0u);
  EXPECT_EQ(f.c.control(P::kPreview).backColor, 0u);
}

TEST(CFontPage, AThemePaintsThePreviewUntilAColourIsPicked) {
  FontPageFixture f;
  constexpr int kNight = 2;
  EXPECT_EQ(f.c.GetCurSel(P::kThemeCombo), 3);  // the own colours
  f.c.Select(f.page, P::kThemeCombo, kNight);
  EXPECT_EQ(f.page.theme, Theme::kNight);
  EXPECT_EQ(f.c.control(P::kPreview).backColor, ColorsOf(Theme::kNight, {}).back);
  f.runner.Script({ClickStep(CColorDlg::kFirstPreset + 5), ClickStep(kIdOk)});
  f.c.Click(f.page, P::kTextSwatch);
  EXPECT_EQ(f.page.theme, Theme::kOwn);
  EXPECT_EQ(f.c.GetCurSel(P::kThemeCombo), 3);
  EXPECT_EQ(f.c.control(P::kPreview).textColor, 0x00C8FFC8u);
}

}  // namespace
}  // namespace lirako

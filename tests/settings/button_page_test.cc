#include "settings/button_page.h"

#include <gtest/gtest.h>

#include "platform/headless_dialogs.h"
#include "view/button_functions.h"

namespace lirako {
namespace {

using P = CButtonPage;

struct ButtonPageFixture {
  ButtonPageFixture() {
    page.hardwareButtons = 1;
    page.buttonFunctions = {5, 12, 0, 13, 2, 7, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 99};
  }
  HeadlessControls& Init() {
    page.OnInitDialog(controls);
    return controls;
  }
  CButtonPage page;
  HeadlessControls controls{page.spec()};
};

TEST(CButtonPage, InitialisationShowsNamesAndHidesTheLists) {
  ButtonPageFixture f;
  HeadlessControls& c = f.Init();
  EXPECT_TRUE(c.IsChecked(P::kHardwareCheck));
  const std::u16string names[] = {u"전체화면 전환", u"자동 스크롤", u"<없음>", u"리라코 종료",
                                  u"다음쪽"};
  const int selections[] = {5, 12, 0, 13, 2};
  for (int i = 0; i < P::kRows; ++i) {
    const HeadlessControl& name = c.control(P::kNameIds[i]);
    const HeadlessControl& list = c.control(P::kComboIds[i]);
    EXPECT_EQ(name.text, names[i]);
    EXPECT_TRUE(name.enabled);
    EXPECT_TRUE(name.shown);
    EXPECT_FALSE(list.shown);
    ASSERT_EQ(list.items.size(), 14u);
    EXPECT_EQ(list.items[0], u"<없음>");
    EXPECT_EQ(list.items[13], u"리라코 종료");
    EXPECT_EQ(list.itemData[9], 9);
    EXPECT_EQ(list.curSel, selections[i]);
  }
  EXPECT_EQ(f.page.spec().caption, u"버튼");
}

TEST(CButtonPage, TappingANameChoosesAFunctionOrKeepsIt) {
  ButtonPageFixture f;
  HeadlessControls& c = f.Init();
  c.Click(f.page, P::kNameIds[2]);
  EXPECT_FALSE(c.control(P::kNameIds[2]).shown);
  EXPECT_TRUE(c.control(P::kComboIds[2]).shown);
  c.Select(f.page, P::kComboIds[2], 7);
  EXPECT_EQ(f.page.buttonFunctions[2], 7);
  EXPECT_EQ(c.GetText(P::kNameIds[2]), u"찾기");
  EXPECT_TRUE(c.control(P::kNameIds[2]).shown);
  EXPECT_FALSE(c.control(P::kComboIds[2]).shown);

  // Choosing "<없음>" stores 0.
  c.Click(f.page, P::kNameIds[4]);
  c.Select(f.page, P::kComboIds[4], 0);
  EXPECT_EQ(f.page.buttonFunctions[4], 0);
  EXPECT_EQ(c.GetText(P::kNameIds[4]), u"<없음>");

  // Closing the list without a choice changes nothing.
  c.Click(f.page, P::kNameIds[0]);
  f.page.OnCommand(c, P::kComboIds[0], kDropDownClosed);
  EXPECT_EQ(f.page.buttonFunctions[0], 5);
  EXPECT_EQ(c.GetText(P::kNameIds[0]), u"전체화면 전환");
  EXPECT_TRUE(c.control(P::kNameIds[0]).shown);
  EXPECT_FALSE(c.control(P::kComboIds[0]).shown);
  // Slots 5 to 19 are never touched.
  EXPECT_EQ(f.page.buttonFunctions[5], 7);
  EXPECT_EQ(f.page.buttonFunctions[19], 99);
}

TEST(CButtonPage, HardwareButtonsOffGreysTheNamesAtOnce) {
  ButtonPageFixture f;
  f.page.hardwareButtons = 0;
  HeadlessControls& c = f.Init();
  for (int id : P::kNameIds)
    EXPECT_FALSE(c.control(id).enabled);
  c.Click(f.page, P::kNameIds[1]);  // a greyed name cannot be tapped
  EXPECT_FALSE(c.control(P::kComboIds[1]).shown);
  EXPECT_EQ(c.GetText(P::kNameIds[1]), u"자동 스크롤");

  c.Click(f.page, P::kHardwareCheck);
  EXPECT_EQ(f.page.hardwareButtons, 1);
  for (int id : P::kNameIds)
    EXPECT_TRUE(c.control(id).enabled);
  c.Click(f.page, P::kNameIds[1]);
  EXPECT_TRUE(c.control(P::kComboIds[1]).shown);
  c.Click(f.page, P::kHardwareCheck);
  EXPECT_EQ(f.page.hardwareButtons, 0);
}

TEST(CButtonPage, SlotsOutsideTheTableShowNoNameAndSurvive) {
  ButtonPageFixture f;
  f.page.buttonFunctions[0] = 16;
  f.page.buttonFunctions[1] = -3;
  f.page.buttonFunctions[2] = 400;
  HeadlessControls& c = f.Init();
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(c.GetText(P::kNameIds[i]), u"") << i;
    EXPECT_EQ(c.GetCurSel(P::kComboIds[i]), -1) << i;
  }
  c.Click(f.page, P::kNameIds[0]);
  f.page.OnCommand(c, P::kComboIds[0], kDropDownClosed);
  EXPECT_EQ(f.page.buttonFunctions[0], 16);
  EXPECT_EQ(f.page.buttonFunctions[1], -3);
  EXPECT_EQ(f.page.buttonFunctions[2], 400);
}

TEST(CButtonPage, ApplicationButtonPressOpensItsRowWithoutAssigning) {
  ButtonPageFixture f;
  HeadlessControls& c = f.Init();
  f.page.OnKeyDown(c, 0xC4);
  EXPECT_TRUE(c.control(P::kComboIds[3]).shown);
  EXPECT_FALSE(c.control(P::kNameIds[3]).shown);
  EXPECT_EQ(f.page.buttonFunctions[3], 13);
  f.page.OnKeyDown(c, 0x41);  // any other key does nothing here
  for (int i = 0; i < P::kRows; ++i) {
    EXPECT_EQ(c.control(P::kComboIds[i]).shown, i == 3) << i;
  }
  // With the buttons off, a press opens nothing.
  ButtonPageFixture off;
  off.page.hardwareButtons = 0;
  HeadlessControls& oc = off.Init();
  off.page.OnKeyDown(oc, 0xC1);
  EXPECT_FALSE(oc.control(P::kComboIds[0]).shown);
}

}  // namespace
}  // namespace lirako

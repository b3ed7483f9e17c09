#include "settings/button_page.h"

#include <gtest/gtest.h>

#include "platform/headless/headless_dialogs.h"

namespace lirako {
namespace {

using P = CButtonPage;

struct ButtonPageFixture {
  explicit ButtonPageFixture(int32_t hardware = 1) {
    page.hardwareButtons = hardware;
    page.buttonFunctions = {5, 16, 0, 13, 2, 7};
    page.buttonFunctions[19] = 99;
    page.OnInitDialog(c);
  }
  CButtonPage page;
  HeadlessControls c{page.dialogSpec()};
};

TEST(CButtonPage, RowsShowNamesAndSwapInTheirListsToChoose) {
  ButtonPageFixture f;
  EXPECT_EQ(f.c.GetText(P::kNameIds[0]), u"전체화면 전환");
  EXPECT_EQ(f.c.GetText(P::kNameIds[1]), u"");  // outside the table: no name, no item
  EXPECT_EQ(f.c.GetCurSel(P::kComboIds[1]), -1);
  EXPECT_EQ(f.c.GetCurSel(P::kComboIds[3]), 13);
  EXPECT_EQ(f.c.control(P::kComboIds[4]).items.size(), 14u);
  for (int id : P::kComboIds)
    EXPECT_FALSE(f.c.control(id).shown);

  f.c.Click(f.page, P::kNameIds[2]);
  EXPECT_FALSE(f.c.control(P::kNameIds[2]).shown);
  EXPECT_TRUE(f.c.control(P::kComboIds[2]).shown);
  f.c.Select(f.page, P::kComboIds[2], 7);
  EXPECT_EQ(f.page.buttonFunctions[2], 7);
  EXPECT_EQ(f.c.GetText(P::kNameIds[2]), u"찾기");
  EXPECT_TRUE(f.c.control(P::kNameIds[2]).shown);
  EXPECT_FALSE(f.c.control(P::kComboIds[2]).shown);

  // Closing a list without a choice changes nothing.
  f.c.Click(f.page, P::kNameIds[1]);
  f.page.OnCommand(f.c, P::kComboIds[1], kDropDownClosed);
  EXPECT_EQ(f.page.buttonFunctions[1], 16);
  EXPECT_TRUE(f.c.control(P::kNameIds[1]).shown);
  EXPECT_FALSE(f.c.control(P::kComboIds[1]).shown);
  EXPECT_EQ(f.page.buttonFunctions[5], 7);
  EXPECT_EQ(f.page.buttonFunctions[19], 99);
}

TEST(CButtonPage, HardwareSwitchGreysNamesAndGatesKeyPresses) {
  ButtonPageFixture f(0);
  for (int id : P::kNameIds)
    EXPECT_FALSE(f.c.control(id).enabled);
  f.c.Click(f.page, P::kNameIds[1]);
  f.page.OnKeyDown(f.c, 0xC2);
  EXPECT_FALSE(f.c.control(P::kComboIds[1]).shown);

  f.c.Click(f.page, P::kHardwareCheck);
  EXPECT_EQ(f.page.hardwareButtons, 1);
  for (int id : P::kNameIds)
    EXPECT_TRUE(f.c.control(id).enabled);
  // A button pressed on the page opens its own row and assigns nothing.
  f.page.OnKeyDown(f.c, 0xC4);
  for (int i = 0; i < P::kRows; ++i)
    EXPECT_EQ(f.c.control(P::kComboIds[i]).shown, i == 3);
  EXPECT_EQ(f.page.buttonFunctions[3], 13);
}

}  // namespace
}  // namespace lirako

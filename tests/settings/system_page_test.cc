#include "settings/system_page.h"

#include <gtest/gtest.h>

#include "tests/settings/settings_fixture.h"

namespace lirako {
namespace {

using P = SystemPage;
using testing::SettingsFixture;

struct SystemPageFixture {
  SystemPageFixture() { page.OnInitDialog(c); }
  std::u16string ClassOf(const std::u16string& key) {
    RegistryValue value;
    if (!f.platform.registry().QueryValue(RegistryRoot::kClassesRoot, key, u"Default", &value)) {
      return u"<none>";
    }
    return value.text;
  }
  SettingsFixture f;
  CTirasolView& view = f.Start();
  SystemPage page{view};
  HeadlessControls c{page.dialogSpec()};
};

TEST(SystemPage, LinksAndUnlinksAtOnceInTheUsersOrder) {
  SystemPageFixture s;
  const ReaderSettings& st = s.view.settings();
  s.c.Click(s.page, P::kLinkButton);  // nothing selected: only the class keys
  EXPECT_EQ(s.ClassOf(u"lirakofile"), u"Text Only");
  EXPECT_TRUE(st.linkedExtensions.empty());
  s.c.Select(s.page, P::kUnlinkedList, 1);
  s.c.Click(s.page, P::kLinkButton);
  s.c.Select(s.page, P::kUnlinkedList, 0);
  s.c.Click(s.page, P::kLinkButton);
  EXPECT_EQ(st.linkedExtensions, (std::vector<std::u16string>{u".cap", u".txt"}));
  EXPECT_EQ(s.c.control(P::kLinkedList).items, st.linkedExtensions);
  EXPECT_EQ(s.ClassOf(u".cap"), u"lirakofile");
  s.c.Select(s.page, P::kLinkedList, 0);
  s.c.Click(s.page, P::kUnlinkButton);
  EXPECT_EQ(st.unlinkedExtensions, (std::vector<std::u16string>{u".cap"}));
  EXPECT_EQ(s.c.control(P::kUnlinkedList).items, st.unlinkedExtensions);
  EXPECT_EQ(s.ClassOf(u".cap"), u"<none>");
  EXPECT_EQ(s.c.GetCurSel(P::kLinkedList), -1);

  s.c.Click(s.page, P::kTableCheck);
  EXPECT_EQ(s.page.tableConversion, 1);
  EXPECT_EQ(st.tableConversion, 0);  // a copy until the sheet ends with OK
}

TEST(SystemPage, RegisteringRefusesDotsAndListedExtensions) {
  SystemPageFixture s;
  const auto& boxes = s.f.host.messageBoxes();
  s.c.Click(s.page, P::kRegisterButton);  // empty: nothing
  s.c.Type(s.page, P::kExtensionEdit, u"txt");
  s.c.Click(s.page, P::kRegisterButton);
  s.c.Type(s.page, P::kExtensionEdit, u".doc");
  s.c.Click(s.page, P::kRegisterButton);
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text, u"이미 등록되어 있는 확장자 입니다.");
  EXPECT_EQ(boxes[1].text, u"'.'이 포함되어 있어선 안됩니다.");
  EXPECT_EQ(boxes[1].caption, u"오류");
  EXPECT_EQ(boxes[1].flags, static_cast<unsigned>(kMbOk));
  s.c.Type(s.page, P::kExtensionEdit, u"TXT");
  s.c.Click(s.page, P::kRegisterButton);
  EXPECT_EQ(boxes.size(), 2u);
  EXPECT_EQ(s.c.control(P::kUnlinkedList).items,
            (std::vector<std::u16string>{u".txt", u".cap", u".TXT"}));
  EXPECT_EQ(s.ClassOf(u".TXT"), u"<none>");
}

}  // namespace
}  // namespace lirako

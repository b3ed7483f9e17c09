#include "settings/system_page.h"

#include <gtest/gtest.h>

#include "tests/settings/settings_fixture.h"

namespace lirako {
namespace {

using P = SystemPage;
using testing::SettingsFixture;

constexpr char16_t kDotMessage[] = u"'.'이 포함되어 있어선 안됩니다.";
constexpr char16_t kListedMessage[] = u"이미 등록되어 있는 확장자 입니다.";

struct SystemPageFixture {
  SystemPageFixture() {
    page.tableConversion = 1;
    page.OnInitDialog(controls);
  }
  std::u16string ClassOf(const std::u16string& key) {
    RegistryValue value;
    if (!f.platform.registry().QueryValue(RegistryRoot::kClassesRoot, key, u"Default", &value)) {
      return u"<none>";
    }
    return value.text;
  }
  const std::vector<std::u16string>& Items(int id) { return controls.control(id).items; }
  SettingsFixture f;
  CTirasolView& view = f.Start();
  SystemPage page{view};
  HeadlessControls controls{page.spec()};
};

TEST(SystemPage, InitialisationFillsListsAndChecks) {
  SystemPageFixture s;
  EXPECT_EQ(s.Items(P::kUnlinkedList), (std::vector<std::u16string>{u".txt", u".cap"}));
  EXPECT_TRUE(s.Items(P::kLinkedList).empty());
  EXPECT_EQ(s.controls.GetCurSel(P::kUnlinkedList), -1);
  EXPECT_TRUE(s.controls.IsChecked(P::kTableCheck));
  EXPECT_FALSE(s.controls.IsChecked(P::kDialCheck));
  EXPECT_EQ(s.controls.control(P::kTableCheck).text, u"Table로  완성형 한글 변환 ");
  EXPECT_EQ(s.page.spec().caption, u"장치");
  s.controls.Click(s.page, P::kTableCheck);
  s.controls.Click(s.page, P::kDialCheck);
  EXPECT_EQ(s.page.tableConversion, 0);
  EXPECT_EQ(s.page.dialDevice, 1);
  // The flags are the page's copies until the sheet ends with OK.
  EXPECT_EQ(s.view.settings().tableConversion, 0);
  EXPECT_EQ(s.view.settings().dialDevice, 0);
}

TEST(SystemPage, LinkingAndUnlinkingMoveExtensionsAndWriteTheRegistry) {
  SystemPageFixture s;
  ReaderSettings& settings = s.view.settings();
  s.controls.Click(s.page, P::kLinkButton);  // nothing selected: only the class keys
  EXPECT_EQ(s.ClassOf(u"lirakofile"), u"Text Only");
  EXPECT_EQ(settings.unlinkedExtensions, (std::vector<std::u16string>{u".txt", u".cap"}));
  EXPECT_TRUE(settings.linkedExtensions.empty());

  s.controls.Select(s.page, P::kUnlinkedList, 1);
  s.controls.Click(s.page, P::kLinkButton);
  EXPECT_EQ(settings.linkedExtensions, (std::vector<std::u16string>{u".cap"}));
  EXPECT_EQ(s.Items(P::kLinkedList), settings.linkedExtensions);
  EXPECT_EQ(s.Items(P::kUnlinkedList), (std::vector<std::u16string>{u".txt"}));
  EXPECT_EQ(s.ClassOf(u".cap"), u"lirakofile");
  EXPECT_EQ(s.controls.GetCurSel(P::kUnlinkedList), -1);

  s.controls.Select(s.page, P::kUnlinkedList, 0);
  s.controls.Click(s.page, P::kLinkButton);
  EXPECT_EQ(settings.linkedExtensions, (std::vector<std::u16string>{u".cap", u".txt"}));

  s.controls.Click(s.page, P::kUnlinkButton);  // nothing selected: nothing happens
  EXPECT_EQ(settings.linkedExtensions.size(), 2u);
  s.controls.Select(s.page, P::kLinkedList, 0);
  s.controls.Click(s.page, P::kUnlinkButton);
  EXPECT_EQ(settings.unlinkedExtensions, (std::vector<std::u16string>{u".cap"}));
  EXPECT_EQ(settings.linkedExtensions, (std::vector<std::u16string>{u".txt"}));
  EXPECT_EQ(s.Items(P::kUnlinkedList), settings.unlinkedExtensions);
  EXPECT_EQ(s.ClassOf(u".cap"), u"<none>");
  EXPECT_FALSE(s.f.platform.registry().KeyExists(RegistryRoot::kClassesRoot, u".cap"));
}

TEST(SystemPage, RegisteringAnExtensionChecksDotsAndDuplicates) {
  SystemPageFixture s;
  ReaderSettings& settings = s.view.settings();
  const auto& boxes = s.f.host.messageBoxes();
  s.controls.Click(s.page, P::kRegisterButton);  // empty edit: nothing
  EXPECT_TRUE(boxes.empty());

  s.controls.Type(s.page, P::kExtensionEdit, u"txt");
  s.controls.Click(s.page, P::kRegisterButton);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, kListedMessage);
  EXPECT_EQ(boxes[0].caption, u"오류");
  EXPECT_EQ(boxes[0].flags, static_cast<unsigned>(kMbOk));

  s.controls.Type(s.page, P::kExtensionEdit, u".doc");
  s.controls.Click(s.page, P::kRegisterButton);
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[1].text, kDotMessage);
  EXPECT_EQ(boxes[1].caption, u"오류");
  EXPECT_EQ(settings.unlinkedExtensions.size(), 2u);

  s.controls.Type(s.page, P::kExtensionEdit, u"TXT");
  s.controls.Click(s.page, P::kRegisterButton);
  EXPECT_EQ(boxes.size(), 2u);
  EXPECT_EQ(settings.unlinkedExtensions, (std::vector<std::u16string>{u".txt", u".cap", u".TXT"}));
  EXPECT_EQ(s.Items(P::kUnlinkedList), settings.unlinkedExtensions);
  EXPECT_EQ(s.controls.GetText(P::kExtensionEdit), u"TXT");
  EXPECT_FALSE(s.f.platform.registry().KeyExists(RegistryRoot::kClassesRoot, u".TXT"));

  // An extension in the linked list is refused as well.
  s.controls.Select(s.page, P::kUnlinkedList, 1);
  s.controls.Click(s.page, P::kLinkButton);
  s.controls.Type(s.page, P::kExtensionEdit, u"cap");
  s.controls.Click(s.page, P::kRegisterButton);
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_EQ(boxes[2].text, kListedMessage);
}

}  // namespace
}  // namespace lirako

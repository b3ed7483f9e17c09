#include "platform/qt/qt_menu.h"

#include <vector>

#include <gtest/gtest.h>
#include <QAction>
#include <QMenu>

namespace lirako {
namespace {

class QtMenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    menu_ = std::make_unique<QtMenu>(&top_, [this](int id) { commands_.push_back(id); });
    menu_->AddCommand(1, QStringLiteral("열기"));
    QMenu* recent = top_.addMenu(QStringLiteral("열어본"));
    QtMenu(recent, nullptr).AddCommand(57616, QStringLiteral("파일 1"));
    top_.addSeparator();
    menu_->AddCommand(2, QStringLiteral("끝내기"));
  }

  QMenu top_;
  std::unique_ptr<QtMenu> menu_;
  std::vector<int> commands_;
};

TEST_F(QtMenuTest, CountsItemsWithSeparatorsAndFindsPopupsByPosition) {
  EXPECT_EQ(menu_->ItemCount(), 4);
  EXPECT_EQ(menu_->SubMenu(0), nullptr);
  EXPECT_EQ(menu_->SubMenu(2), nullptr);
  EXPECT_EQ(menu_->SubMenu(7), nullptr);
  Menu* recent = menu_->SubMenu(1);
  ASSERT_NE(recent, nullptr);
  EXPECT_EQ(recent, menu_->SubMenu(1));
  EXPECT_EQ(recent->ItemCount(), 1);
}

TEST_F(QtMenuTest, DeletesByCommandAlsoInsidePopups) {
  EXPECT_TRUE(menu_->DeleteItem(57616));
  EXPECT_EQ(menu_->SubMenu(1)->ItemCount(), 0);
  EXPECT_FALSE(menu_->DeleteItem(57616));
  EXPECT_TRUE(menu_->DeleteItem(2));
  EXPECT_EQ(menu_->ItemCount(), 3);
}

TEST_F(QtMenuTest, AppendedItemsCarryTheirTextAndHandTheirIdOnWhenTriggered) {
  Menu* recent = menu_->SubMenu(1);
  recent->AppendItem(57617, u"/books/가.txt");
  QAction* added = top_.actions()[1]->menu()->actions().back();
  EXPECT_EQ(added->text(), QStringLiteral("/books/가.txt"));
  EXPECT_EQ(QtMenu::CommandOf(added), 57617);
  added->trigger();
  top_.actions()[0]->trigger();
  EXPECT_EQ(commands_, (std::vector<int>{57617, 1}));
}

TEST_F(QtMenuTest, ChecksItemsByCommandAlsoInsidePopups) {
  menu_->CheckItem(57616, true);
  menu_->CheckItem(2, false);
  const QAction* inPopup = top_.actions()[1]->menu()->actions().front();
  EXPECT_TRUE(inPopup->isChecked());
  EXPECT_FALSE(top_.actions()[3]->isChecked());
  menu_->CheckItem(57616, false);
  EXPECT_FALSE(inPopup->isChecked());
}

TEST_F(QtMenuTest, EnablesAndGreysByPosition) {
  menu_->EnableItemAt(1, false);
  EXPECT_FALSE(top_.actions()[1]->isEnabled());
  menu_->EnableItemAt(1, true);
  EXPECT_TRUE(top_.actions()[1]->isEnabled());
  menu_->EnableItemAt(9, false);
  EXPECT_EQ(QtMenu::CommandOf(top_.actions()[2]), 0);
}

}  // namespace
}  // namespace lirako

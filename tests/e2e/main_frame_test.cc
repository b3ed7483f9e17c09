#include "app/main_frame.h"

#include <vector>

#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QToolBar>

#include "platform/menu.h"
#include "platform/qt/reader_widget.h"
#include "view/command_ids.h"

namespace lirako {
namespace {

QStringList Texts(const QMenu* menu) {
  QStringList texts;
  for (const QAction* a : menu->actions())
    texts << (a->isSeparator() ? "-" : a->text());
  return texts;
}

TEST(MainFrameTest, MenuBarHoldsTheOneMenu) {
  CMainFrame frame;
  QList<QAction*> top = frame.menuBar()->actions();
  ASSERT_EQ(top.size(), 1);
  EXPECT_EQ(top[0]->text(), QStringLiteral("메뉴"));
  QMenu* menu = top[0]->menu();
  EXPECT_EQ(Texts(menu), (QStringList{"열기", "열어본", "-", "이동", "책갈피", "인코딩", "서재",
                                      "밤/낮 전환", "-", "설정", "이놈은", "끝내기"}));
  EXPECT_EQ(Texts(menu->actions()[3]->menu()),
            (QStringList{"시작", "점프", "끝", "-", "찾기", "목차", "-", "자동갱신"}));
  EXPECT_EQ(frame.windowTitle(), QStringLiteral("리라코"));
  Menu* main = frame.MainMenu();
  ASSERT_NE(main, nullptr);
  EXPECT_NE(main->SubMenu(1), nullptr);
  EXPECT_NE(main->SubMenu(3), nullptr);
  EXPECT_NE(main->SubMenu(4), nullptr);
}

TEST(MainFrameTest, MenuShowsTheShortcutsWithoutTakingThemFromThePage) {
  CMainFrame frame;
  std::vector<int> ids;
  frame.SetCommandHandler([&ids](int id) { ids.push_back(id); });
  QMenu* menu = frame.menuBar()->actions()[0]->menu();
  QStringList shortcuts;
  for (const QAction* a : menu->actions()[3]->menu()->actions()) {
    shortcuts << a->shortcut().toString();
    if (!a->shortcut().isEmpty()) {
      EXPECT_EQ(a->shortcutContext(), Qt::WidgetShortcut);
    }
  }
  EXPECT_EQ(shortcuts, (QStringList{"Home", "Ctrl+G", "End", "", "Ctrl+F", "Ctrl+T", "", ""}));
  for (const QAction* a : menu->actions()) {
    if (a->text() == QStringLiteral("설정")) {
      EXPECT_EQ(a->shortcut().toString(), QStringLiteral("Ctrl+,"));
    }
    if (a->text() == QStringLiteral("밤/낮 전환")) {
      EXPECT_EQ(a->shortcut().toString(), QStringLiteral("Ctrl+Shift+N"));
    }
  }
  // The page's own key handling takes Ctrl+F; the menu item is not triggered by it.
  QKeyEvent press(QEvent::KeyPress, Qt::Key_F, Qt::ControlModifier);
  QApplication::sendEvent(&frame.readerWidget(), &press);
  EXPECT_TRUE(ids.empty());
}

TEST(MainFrameTest, MenuToolBarAndAcceleratorsHandOnCommandIds) {
  CMainFrame frame;
  std::vector<int> ids;
  frame.SetCommandHandler([&ids](int id) { ids.push_back(id); });
  QMenu* menu = frame.menuBar()->actions()[0]->menu();
  menu->actions()[0]->trigger();                        // 열기
  menu->actions()[3]->menu()->actions()[7]->trigger();  // 자동갱신
  menu->actions()[11]->trigger();                       // 끝내기
  std::vector<int> toolIds;
  for (QAction* a : frame.toolBar()->actions()) {
    toolIds.push_back(a->isSeparator() ? 0 : a->data().toInt());
    if (!a->isSeparator()) {
      EXPECT_FALSE(a->toolTip().isEmpty());
    }
  }
  EXPECT_EQ(toolIds, (std::vector<int>{57601, 0, 32776, 32791, 32788, 32785, kCmdToc, 0, 32787}));
  frame.toolBar()->actions()[4]->trigger();  // 찾기
  std::vector<QKeySequence> keys;
  for (QShortcut* s : frame.findChildren<QShortcut*>()) {
    keys.push_back(s->key());
    if (s->key() == QKeySequence(Qt::CTRL | Qt::Key_Q)) emit s->activated();
  }
  EXPECT_EQ(ids, (std::vector<int>{57601, 32776, 57665, 32788, 57665}));
  for (const char* key :
       {"Ctrl+N", "Ctrl+O", "Ctrl+S", "Ctrl+Q", "Ctrl+Z", "Ctrl+X", "Ctrl+C", "Ctrl+V", "Ctrl+T",
        "Ctrl+L", "Ctrl+PgDown", "Ctrl+PgUp", "Ctrl+Shift+N"}) {
    EXPECT_NE(std::find(keys.begin(), keys.end(), QKeySequence(QString::fromLatin1(key))),
              keys.end())
        << key;
  }
}

TEST(MainFrameTest, FullScreenTwiceRestoresTheRectangleOfCreation) {
  CMainFrame frame;
  frame.show();
  QApplication::processEvents();
  QRect created = frame.savedRect();
  EXPECT_EQ(created, frame.geometry());
  frame.resize(created.width() - 40, created.height() - 30);
  QApplication::processEvents();
  frame.ToggleFullScreen();
  QApplication::processEvents();
  EXPECT_TRUE(frame.IsFullScreenMode());
  EXPECT_TRUE(frame.windowState() & Qt::WindowFullScreen);
  EXPECT_FALSE(frame.menuBar()->isVisible());
  EXPECT_FALSE(frame.toolBar()->isVisible());
  frame.ToggleFullScreen();
  QApplication::processEvents();
  EXPECT_FALSE(frame.IsFullScreenMode());
  EXPECT_FALSE(frame.windowState() & Qt::WindowFullScreen);
  EXPECT_TRUE(frame.menuBar()->isVisible());
  EXPECT_TRUE(frame.toolBar()->isVisible());
  EXPECT_EQ(frame.geometry(), created);
}

TEST(MainFrameTest, TheReaderWidgetHasItsSizeBeforeTheFrameIsShown) {
  CMainFrame frame;
  QSize before = frame.readerWidget().size();
  EXPECT_EQ(before.width(), frame.width());
  EXPECT_GT(before.height(), frame.height() / 2);
  EXPECT_LT(before.height(), frame.height());
  frame.show();
  QApplication::processEvents();
  EXPECT_EQ(frame.readerWidget().size(), before);
}

TEST(MainFrameTest, ClosingRunsTheCloseHandler) {
  CMainFrame frame;
  int closes = 0;
  frame.SetCloseHandler([&closes] { ++closes; });
  frame.show();
  frame.close();
  EXPECT_EQ(closes, 1);
}

}  // namespace
}  // namespace lirako

#include <gtest/gtest.h>

#include "platform/utf.h"
#include "tests/view/view_fixture.h"
#include "view/button_functions.h"
#include "view/command_ids.h"
#include "view/main_menu.h"

namespace lirako {
namespace {

using testing::ViewFixture;

TEST(MainMenuData, ItemsPositionsToolBarAndAccelerators) {
  EXPECT_EQ(MainMenuTitle(), u"메뉴");
  HeadlessMenu menu(MainMenuItems());
  ASSERT_EQ(menu.ItemCount(), 12);
  const auto& items = menu.items();
  EXPECT_EQ(items[0].id, kCmdFileOpen);
  EXPECT_EQ(items[0].text, u"열기");
  EXPECT_EQ(items[kMenuPosRecent].text, u"열어본");
  EXPECT_TRUE(items[2].separator);
  EXPECT_EQ(items[kMenuPosMove].text, u"이동");
  EXPECT_EQ(items[kMenuPosBookmark].text, u"책갈피");
  EXPECT_EQ(items[kMenuPosEncoding].text, u"인코딩");
  EXPECT_TRUE(items[8].separator);
  EXPECT_EQ(menu.CommandIds(),
            (std::vector<int>{kCmdFileOpen, kCmdLibrary, kCmdNightToggle, 32787, 57664, 57665}));
  EXPECT_EQ(menu.CommandTexts(), (std::vector<std::u16string>{u"열기", u"서재", u"밤/낮 전환",
                                                              u"설정", u"이놈은", u"끝내기"}));
  EXPECT_EQ(ShortcutText(kCmdNightToggle), u"Ctrl+Shift+N");

  HeadlessMenu* recent = menu.PopupAt(kMenuPosRecent);
  ASSERT_NE(recent, nullptr);
  ASSERT_EQ(recent->ItemCount(), 10);
  EXPECT_EQ(recent->items()[0].id, 57616);
  EXPECT_EQ(recent->items()[9].id, 57625);
  EXPECT_EQ(recent->items()[9].text, u"파일 10");

  HeadlessMenu* move = menu.PopupAt(kMenuPosMove);
  ASSERT_EQ(move->ItemCount(), 8);
  EXPECT_TRUE(move->items()[3].separator);
  EXPECT_TRUE(move->items()[6].separator);
  EXPECT_EQ(move->CommandIds(), (std::vector<int>{32783, 32785, 32784, 32788, kCmdToc, 32776}));
  EXPECT_EQ(move->CommandTexts(),
            (std::vector<std::u16string>{u"시작", u"점프", u"끝", u"찾기", u"목차", u"자동갱신"}));

  HeadlessMenu* bookmarks = menu.PopupAt(kMenuPosBookmark);
  ASSERT_EQ(bookmarks->ItemCount(), 12);
  EXPECT_EQ(bookmarks->items()[0].id, 32791);
  EXPECT_EQ(bookmarks->items()[0].text, u"지정");
  EXPECT_TRUE(bookmarks->items()[1].separator);
  EXPECT_EQ(bookmarks->items()[2].text, u"지점 1");
  EXPECT_EQ(bookmarks->items()[11].id, 32801);
  EXPECT_EQ(menu.PopupAt(0), nullptr);

  HeadlessMenu* encodings = menu.PopupAt(kMenuPosEncoding);
  EXPECT_EQ(encodings->CommandIds(), (std::vector<int>{32810, 32811, 32812, 32813, 32814}));
  EXPECT_EQ(encodings->CommandTexts(),
            (std::vector<std::u16string>{u"자동 감지", u"한국어 (CP949)", u"유니코드 (UTF-8)",
                                         u"유니코드 (UTF-16 LE)", u"유니코드 (UTF-16 BE)"}));

  EXPECT_EQ(ToolBarCommands(),
            (std::vector<int>{57601, 0, 32776, 32791, 32788, 32785, kCmdToc, 0, 32787}));
  std::vector<std::pair<char16_t, int>> accelerators;
  for (const Accelerator& a : AcceleratorTable())
    accelerators.push_back({a.key, a.shift ? -a.id : a.id});
  EXPECT_EQ(accelerators,
            (std::vector<std::pair<char16_t, int>>{{u'N', 57600},
                                                   {u'O', 57601},
                                                   {u'S', 57603},
                                                   {u'Q', 57665},
                                                   {u'Z', 57643},
                                                   {u'X', 57635},
                                                   {u'C', 57634},
                                                   {u'V', 57637},
                                                   {u'T', kCmdToc},
                                                   {u'L', kCmdLibrary},
                                                   {kAccelPageDown, kCmdNextChapter},
                                                   {kAccelPageUp, kCmdPreviousChapter},
                                                   {u'N', -kCmdNightToggle}}));
  EXPECT_EQ(CommandText(kCmdAutoRefresh), u"자동갱신");
  EXPECT_EQ(CommandText(12345), u"");
}

TEST(ButtonFunctionTable, FourteenLabels) {
  const auto& labels = ButtonFunctionLabels();
  std::vector<std::u16string> first(labels.begin(), labels.begin() + kButtonFunctionCount);
  EXPECT_EQ(first, (std::vector<std::u16string>{u"<없음>", u"이전쪽", u"다음쪽", u"이전줄",
                                                u"다음줄", u"전체화면 전환", u"책갈피 지정",
                                                u"찾기", u"점프", u"문서 열기", u"설정",
                                                u"가로보기 전환", u"자동 스크롤", u"리라코 종료"}));
  for (int i = kButtonFunctionCount; i < kButtonFunctionTableSize; ++i) {
    EXPECT_TRUE(labels[i].empty()) << i;
  }
}

TEST(ViewMenus, RecentFilesShowTenMostRecentFirst) {
  ViewFixture f;
  CTirasolView& view = f.Start();
  HeadlessMenu* recent = f.host.menu().PopupAt(kMenuPosRecent);
  EXPECT_EQ(recent->ItemCount(), 0);
  EXPECT_FALSE(f.host.menu().items()[kMenuPosRecent].enabled);

  std::vector<std::u16string> paths;
  for (int i = 0; i < 12; ++i) {
    paths.push_back(f.Book("book" + std::to_string(i) + ".txt", "text\n"));
    ASSERT_TRUE(view.OpenDocument(paths.back()));
    if (i == 0) {
      EXPECT_TRUE(f.host.menu().items()[kMenuPosRecent].enabled);
      EXPECT_EQ(recent->CommandTexts(), (std::vector<std::u16string>{u"book0.txt"}));
    }
  }
  EXPECT_EQ(view.recentFiles().size(), 12u);
  ASSERT_EQ(recent->ItemCount(), 10);
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(recent->items()[i].id, kCmdRecentFirst + i);
    EXPECT_EQ(recent->items()[i].text, FromUtf8("book" + std::to_string(11 - i) + ".txt"));
  }

  // Recent file 3 is book9; opening it moves it first and book11 second.
  view.OnCommand(kCmdRecentFirst + 2);
  EXPECT_EQ(view.engine().filePath, paths[9]);
  EXPECT_EQ(recent->items()[0].text, u"book9.txt");
  EXPECT_EQ(recent->items()[1].text, u"book11.txt");
  // An index past the list does nothing.
  view.RemoveAllRecentFiles();
  view.OnCommand(kCmdRecentLast);
  EXPECT_EQ(view.engine().filePath, paths[9]);

  // Without a menu the rebuilds do nothing.
  f.host.SetMenuAvailable(false);
  view.BuildRecentMenu();
  view.BuildBookmarkMenu();
  view.DisableDocumentMenus();
  EXPECT_EQ(recent->ItemCount(), 10);
}

TEST(ViewMenus, BookmarksOfTheOpenFileUpToTen) {
  ViewFixture f;
  CTirasolView& view = f.Start(f.NumberedBook("a.txt", 200));
  HeadlessMenu* bookmarks = f.host.menu().PopupAt(kMenuPosBookmark);
  EXPECT_EQ(bookmarks->CommandIds(), (std::vector<int>{kCmdSetBookmark}));
  EXPECT_EQ(bookmarks->ItemCount(), 2);
  for (int i = 0; i < 12; ++i) {
    view.AddBookmark(9 * i, FromUtf8("mark " + std::to_string(i)));
  }
  view.BuildBookmarkMenu();
  view.BuildBookmarkMenu();
  ASSERT_EQ(bookmarks->ItemCount(), 12);
  EXPECT_EQ(bookmarks->items()[0].id, kCmdSetBookmark);
  EXPECT_TRUE(bookmarks->items()[1].separator);
  EXPECT_EQ(bookmarks->items()[2].text, u"mark 11");
  EXPECT_EQ(bookmarks->items()[2].id, kCmdBookmarkFirst);
  EXPECT_EQ(bookmarks->items()[11].text, u"mark 2");
  EXPECT_EQ(bookmarks->items()[11].id, kCmdBookmarkLast);

  // Bookmark 2 ("mark 10") is at line 90.
  f.Paint();
  view.OnCommand(kCmdBookmarkFirst + 1);
  f.Paint();
  EXPECT_EQ(view.pagePosition(), 90);
  // A bookmark index the entry lacks does nothing.
  view.ClearBookmarks();
  view.OnCommand(kCmdBookmarkFirst + 1);
  EXPECT_EQ(view.pendingStep(), kStepNone);

  // A file's bookmarks appear as soon as it is opened again.
  view.AddBookmark(18, u"다시");
  std::u16string a = view.engine().filePath;
  view.OpenDocument(f.Book("b.txt", "b\n"));
  EXPECT_EQ(bookmarks->ItemCount(), 2);
  view.OpenDocument(a);
  EXPECT_EQ(bookmarks->CommandTexts(), (std::vector<std::u16string>{u"지정", u"다시"}));
}

}  // namespace
}  // namespace lirako

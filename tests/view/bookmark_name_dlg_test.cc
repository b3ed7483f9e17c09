#include "view/bookmark_name_dlg.h"

#include <gtest/gtest.h>

#include "store/recent_file_list.h"
#include "tests/view/bar_fixture.h"

namespace lirako::testing {
namespace {

constexpr int kName = CBookmarkNameDlg::kNameEdit;

class BookmarkTest : public BarTest {
 protected:
  void SetBookmark() { view->OnCommand(kCmdSetBookmark); }
  // The texts of the "책갈피" pop-up's bookmark items.
  std::vector<std::u16string> BookmarkMenu() {
    std::vector<std::u16string> texts;
    HeadlessMenu* bookmarks = host.menu().PopupAt(kMenuPosBookmark);
    for (const HeadlessMenu::Item& item : bookmarks->items()) {
      if (item.id >= kCmdBookmarkFirst && item.id <= kCmdBookmarkLast) texts.push_back(item.text);
    }
    return texts;
  }
};

TEST(BookmarkName, ProposesTopLineAndPercent) {
  EXPECT_EQ(CBookmarkNameDlg::ProposedName(u"", 1, 8), u"[12.5%]");
  EXPECT_EQ(CBookmarkNameDlg::ProposedName(u"제1장 바다로 가는 길", 1, 8),
            u"제1장 바다로 가는 [12.5%]");
  EXPECT_EQ(CBookmarkNameDlg::ProposedName(u"0123456789", 0, 8), u"0123456789 [0.0%]");
  EXPECT_EQ(CBookmarkNameDlg::ProposedName(u"짧은 줄", 1, 200), u"짧은 줄 [0.5%]");
  EXPECT_EQ(CBookmarkNameDlg::ProposedName(u"", 0, 0), u"[100.0%]");
  EXPECT_EQ(CBookmarkNameDlg::ProposedName(u"끝", 8, 8), u"끝 [100.0%]");
}

TEST_F(BookmarkTest, NewBookmarkIsOnDiskAtOnce) {
  OpenScripted(8, 1, u"/books/sea.txt");
  runner.Script({TypeStep(kName, u"바다"), OkStep()});
  SetBookmark();
  // Read back as after a kill right now: the list on disk holds the new bookmark.
  RecentFileList saved;
  ASSERT_TRUE(saved.Load(platform, view->dataFolder()));
  ASSERT_EQ(saved.size(), 1u);
  EXPECT_EQ(saved.entries()[0].bookmarks, (std::vector<Bookmark>{{u"바다", 1}}));
}

TEST_F(BookmarkTest, AddsEditedNameSavesAndRefusesSamePlace) {
  ScriptedEngine& engine = OpenScripted(8, 1, u"/books/sea.txt");
  engine.topLine.emplace(u"제1장 바다로 가는 길");
  runner.Script({[](HeadlessControls& c, DialogLogic&) {
                   EXPECT_EQ(c.control(kName).text, u"제1장 바다로 가는 [12.5%]");
                   EXPECT_EQ(c.caption(), u"책갈피");
                 },
                 TypeStep(kName, u"바다"), OkStep()});
  SetBookmark();
  EXPECT_EQ(view->currentEntry().bookmarks, (std::vector<Bookmark>{{u"바다", 1}}));
  EXPECT_EQ(BookmarkMenu(), std::vector<std::u16string>{u"바다"});
  // The save writes the recent-file list as it stands.
  RecentFileList saved;
  ASSERT_TRUE(saved.Load(platform, view->dataFolder()));
  ASSERT_EQ(saved.size(), 1u);
  EXPECT_EQ(saved.entries()[0].path, u"/books/sea.txt");

  // Twice at the same place: the message, no dialog, the list unchanged.
  const size_t dialogs = runner.runs().size();
  SetBookmark();
  ASSERT_EQ(host.messageBoxes().size(), 1u);
  EXPECT_EQ(host.messageBoxes()[0].text, u"이미 지정된 지점.");
  EXPECT_EQ(host.messageBoxes()[0].caption, u"에러");
  EXPECT_EQ(host.messageBoxes()[0].flags, kMbOk);
  EXPECT_EQ(runner.runs().size(), dialogs);
  EXPECT_EQ(view->currentEntry().bookmarks.size(), 1u);

  // A line further on, a blank top line and Cancel: nothing is stored. Then OK with an
  // emptied name stores it empty, at the front.
  engine.position = 2;
  engine.topLine.emplace(u"");
  runner.Script({CancelStep()});
  SetBookmark();
  EXPECT_EQ(runner.runs().back().controls.control(kName).text, u"[25.0%]");
  EXPECT_EQ(view->currentEntry().bookmarks.size(), 1u);
  engine.topLine.reset();
  runner.Script({TypeStep(kName, u""), OkStep()});
  SetBookmark();
  EXPECT_EQ(view->currentEntry().bookmarks, (std::vector<Bookmark>{{u"", 2}, {u"바다", 1}}));
  EXPECT_EQ(host.messageBoxes().size(), 1u);

  // An empty book proposes 100 %.
  OpenScripted(0, 0, u"/books/empty.txt");
  runner.Script({OkStep()});
  SetBookmark();
  EXPECT_EQ(view->currentEntry().bookmarks, (std::vector<Bookmark>{{u"[100.0%]", 0}}));
}

TEST_F(BookmarkTest, CommandStopsAutoRefreshAndNeedsDocument) {
  StartScripted();
  SetBookmark();
  EXPECT_TRUE(runner.runs().empty());
  EXPECT_TRUE(host.messageBoxes().empty());

  OpenScripted(100, 5);
  StartAutoRefresh();
  bool timerDuringDialog = true;
  runner.Script({[&](HeadlessControls&, DialogLogic&) {
    timerDuringDialog = host.TimerRunning(kAutoRefreshTimerId);
  }});
  view->RunButtonFunction(6);
  ASSERT_EQ(runner.runs().size(), 1u);
  EXPECT_EQ(runner.runs()[0].id, CBookmarkNameDlg::kDialogId);
  EXPECT_FALSE(timerDuringDialog);
  EXPECT_EQ(view->runState() & kRunAutoRefresh, 0u);
}

TEST_F(BookmarkTest, ElevenBookmarksLeaveTenNewest) {
  ScriptedEngine& engine = OpenScripted(1000, 0, u"/books/long.txt");
  for (int i = 1; i <= 11; ++i) {
    engine.position = i * 10;
    runner.Script({OkStep()});
    SetBookmark();
  }
  EXPECT_EQ(view->currentEntry().bookmarks.size(), 11u);
  const std::vector<std::u16string> menu = BookmarkMenu();
  ASSERT_EQ(menu.size(), 10u);
  EXPECT_EQ(menu.front(), u"[11.0%]");
  EXPECT_EQ(menu.back(), u"[2.0%]");

  // The program ends and starts again.
  view.reset();
  RecentFileList loaded;
  ASSERT_TRUE(loaded.Load(platform, FromUtf8(dir.path())));
  ASSERT_EQ(loaded.size(), 1u);
  const std::vector<Bookmark>& kept = loaded.entries()[0].bookmarks;
  ASSERT_EQ(kept.size(), 10u);
  for (size_t i = 0; i < kept.size(); ++i) {
    EXPECT_EQ(kept[i].position, static_cast<int32_t>(110 - 10 * i));
  }
}

TEST_F(BookmarkTest, ProposesTopLineOfRealPage) {
  std::string book = "Chapter one: the sea road\r\nsecond line\r\n";
  for (int i = 0; i < 100; ++i)
    book += "more text " + std::to_string(i) + "\r\n";
  StartReal(dir.Write("book.txt", book));
  runner.Script({OkStep()});
  SetBookmark();
  EXPECT_EQ(view->currentEntry().bookmarks, (std::vector<Bookmark>{{u"Chapter on [0.0%]", 0}}));
}

}  // namespace
}  // namespace lirako::testing

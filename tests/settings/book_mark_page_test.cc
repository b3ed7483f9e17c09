#include "settings/book_mark_page.h"

#include <gtest/gtest.h>

#include "tests/settings/settings_fixture.h"

namespace lirako {
namespace {

using P = CBookMarkPage;
using testing::SettingsFixture;

constexpr char16_t kQuestion[] = u"현제 열려진 파일. 목록에서 지우겠습니까? (자동 닫힘)";

// A view with book a.txt open, bookmarked at 10 ("first") and 40 ("second"), and the recent
// files b.txt and c.txt listed after it.
struct OpenBook {
  OpenBook() { page.OnInitDialog(controls); }
  CTirasolView& Setup() {
    CTirasolView& v = f.Start(book);
    v.currentEntry().AddBookmark(40, u"second");
    v.currentEntry().AddBookmark(10, u"first");
    RecentFileEntry entry;
    entry.path = other2;
    v.recentFiles().StoreFirst(entry);
    entry.path = other1;
    v.recentFiles().StoreFirst(entry);
    v.recentFiles().StoreFirst(v.currentEntry());
    return v;
  }
  std::vector<std::u16string> RecentPaths() {
    std::vector<std::u16string> paths;
    for (const RecentFileEntry& e : f.view().recentFiles().entries())
      paths.push_back(e.path);
    return paths;
  }
  // The edit state after any action: nothing selected, the edit disabled and empty.
  void ExpectReset() {
    EXPECT_EQ(controls.GetCurSel(P::kBookmarkList), -1);
    EXPECT_EQ(controls.GetCurSel(P::kRecentList), -1);
    EXPECT_FALSE(controls.control(P::kNameEdit).enabled);
    EXPECT_EQ(controls.GetText(P::kNameEdit), u"");
    EXPECT_FALSE(controls.control(P::kDeleteBookmark).enabled);
    EXPECT_FALSE(controls.control(P::kRename).enabled);
    EXPECT_FALSE(controls.control(P::kDeleteRecent).enabled);
  }
  SettingsFixture f;
  std::u16string other1 = f.Book("b.txt");
  std::u16string other2 = f.Book("c.txt");
  std::u16string book = f.Book("a.txt");
  CTirasolView& view = Setup();
  CBookMarkPage page{view};
  HeadlessControls controls{page.spec()};
};

TEST(CBookMarkPage, ListsBookmarksAndRecentFilesWithTheEditReset) {
  OpenBook o;
  const HeadlessControl& marks = o.controls.control(P::kBookmarkList);
  EXPECT_EQ(marks.items, (std::vector<std::u16string>{u"first", u"second"}));
  EXPECT_EQ(marks.itemData, (std::vector<int64_t>{10, 40}));
  EXPECT_EQ(o.controls.control(P::kRecentList).items, o.RecentPaths());
  EXPECT_EQ(o.controls.control(P::kRecentList).items.size(), 3u);
  o.ExpectReset();
  EXPECT_TRUE(o.controls.control(P::kClearBookmarks).enabled);
  EXPECT_TRUE(o.controls.control(P::kClearRecent).enabled);
  EXPECT_EQ(o.page.spec().caption, u"책갈피");
}

TEST(CBookMarkPage, SelectingRenamingAndDeletingBookmarks) {
  OpenBook o;
  HeadlessControls& c = o.controls;
  RecentFileEntry& entry = o.f.view().currentEntry();
  c.Select(o.page, P::kBookmarkList, 1);
  EXPECT_TRUE(c.control(P::kNameEdit).enabled);
  EXPECT_EQ(c.GetText(P::kNameEdit), u"second");
  EXPECT_TRUE(c.control(P::kDeleteBookmark).enabled);
  EXPECT_TRUE(c.control(P::kRename).enabled);
  EXPECT_FALSE(c.control(P::kDeleteRecent).enabled);

  // An empty name keeps the old one but clears the selection.
  c.Type(o.page, P::kNameEdit, u"");
  c.Click(o.page, P::kRename);
  EXPECT_EQ(entry.bookmarks[1].name, u"second");
  o.ExpectReset();

  c.Select(o.page, P::kBookmarkList, 1);
  c.Type(o.page, P::kNameEdit, u"두번째");
  c.Click(o.page, P::kRename);
  EXPECT_EQ(entry.bookmarks[1].name, u"두번째");
  EXPECT_EQ(c.control(P::kBookmarkList).items[1], u"두번째");
  o.ExpectReset();

  c.Select(o.page, P::kBookmarkList, 0);
  c.Click(o.page, P::kDeleteBookmark);
  ASSERT_EQ(entry.bookmarks.size(), 1u);
  EXPECT_EQ(entry.bookmarks[0].position, 40);
  EXPECT_EQ(c.control(P::kBookmarkList).items, (std::vector<std::u16string>{u"두번째"}));
  o.ExpectReset();

  c.Click(o.page, P::kClearBookmarks);
  EXPECT_TRUE(entry.bookmarks.empty());
  EXPECT_TRUE(c.control(P::kBookmarkList).items.empty());
  o.ExpectReset();
  EXPECT_TRUE(o.f.host.messageBoxes().empty());
}

TEST(CBookMarkPage, DeletingOtherRecentFilesNeedsNoConfirmation) {
  OpenBook o;
  HeadlessControls& c = o.controls;
  c.Select(o.page, P::kRecentList, 1);
  EXPECT_TRUE(c.control(P::kDeleteRecent).enabled);
  c.Click(o.page, P::kDeleteRecent);
  EXPECT_EQ(o.RecentPaths(), (std::vector<std::u16string>{o.book, o.other2}));
  EXPECT_EQ(c.control(P::kRecentList).items, o.RecentPaths());
  EXPECT_TRUE(o.f.host.messageBoxes().empty());
  EXPECT_TRUE(o.f.view().HasDocument());
  o.ExpectReset();
}

TEST(CBookMarkPage, DeletingTheOpenBookAsksAndClosesOnlyOnOk) {
  OpenBook o;
  HeadlessControls& c = o.controls;
  o.f.host.QueueMessageBoxAnswer(kIdCancel);
  c.Select(o.page, P::kRecentList, 0);
  c.Click(o.page, P::kDeleteRecent);
  ASSERT_EQ(o.f.host.messageBoxes().size(), 1u);
  const auto& box = o.f.host.messageBoxes()[0];
  EXPECT_EQ(box.text, u"\"" + o.book + u"\"\n\r" + kQuestion);
  EXPECT_EQ(box.caption, u"주의");
  EXPECT_EQ(box.flags, static_cast<unsigned>(kMbOkCancel));
  EXPECT_TRUE(o.f.view().HasDocument());
  EXPECT_EQ(o.RecentPaths().size(), 3u);
  EXPECT_EQ(c.control(P::kBookmarkList).items.size(), 2u);
  o.ExpectReset();

  o.f.host.QueueMessageBoxAnswer(kIdOk);
  c.Select(o.page, P::kRecentList, 0);
  c.Click(o.page, P::kDeleteRecent);
  EXPECT_EQ(o.f.host.messageBoxes().size(), 2u);
  EXPECT_FALSE(o.f.view().HasDocument());
  EXPECT_EQ(o.RecentPaths(), (std::vector<std::u16string>{o.other1, o.other2}));
  EXPECT_TRUE(c.control(P::kBookmarkList).items.empty());
  EXPECT_EQ(c.control(P::kRecentList).items, o.RecentPaths());
  o.ExpectReset();
}

TEST(CBookMarkPage, ClearingRecentFilesKeepsOrClosesTheOpenBook) {
  OpenBook kept;
  kept.f.view().currentEntry().position = 77;  // last stored position of the open book
  RecentFileEntry before = kept.f.view().currentEntry();
  kept.f.host.QueueMessageBoxAnswer(kIdCancel);
  kept.controls.Click(kept.page, P::kClearRecent);
  ASSERT_EQ(kept.f.view().recentFiles().size(), 1u);
  EXPECT_EQ(kept.f.view().recentFiles().entries()[0], before);
  EXPECT_TRUE(kept.f.view().HasDocument());
  EXPECT_EQ(kept.f.host.messageBoxes().at(0).caption, u"주의");
  kept.ExpectReset();

  OpenBook closed;
  closed.f.host.QueueMessageBoxAnswer(kIdOk);
  closed.controls.Click(closed.page, P::kClearRecent);
  EXPECT_EQ(closed.f.view().recentFiles().size(), 0u);
  EXPECT_FALSE(closed.f.view().HasDocument());
  EXPECT_TRUE(closed.controls.control(P::kRecentList).items.empty());
  EXPECT_TRUE(closed.controls.control(P::kBookmarkList).items.empty());
}

TEST(CBookMarkPage, WithoutABookNothingAsksAndNoBookmarksShow) {
  SettingsFixture f;
  std::u16string gone = u"/nowhere/missing.txt";
  CTirasolView& view = f.Start();
  RecentFileEntry entry;
  entry.path = gone;
  entry.bookmarks.push_back({u"stale", 5});
  view.recentFiles().StoreFirst(entry);
  view.currentEntry() = entry;  // a recent file that failed to open
  CBookMarkPage page(view);
  HeadlessControls c(page.spec());
  page.OnInitDialog(c);
  EXPECT_TRUE(c.control(P::kBookmarkList).items.empty());
  c.Click(page, P::kClearBookmarks);
  EXPECT_TRUE(c.control(P::kBookmarkList).items.empty());
  c.Select(page, P::kRecentList, 0);
  c.Click(page, P::kDeleteRecent);
  EXPECT_EQ(view.recentFiles().size(), 0u);
  EXPECT_TRUE(f.host.messageBoxes().empty());
  // "지우기" of the recent list acts only on a selection.
  c.Click(page, P::kDeleteRecent);
  EXPECT_TRUE(f.host.messageBoxes().empty());
}

}  // namespace
}  // namespace lirako

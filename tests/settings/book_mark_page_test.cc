#include "settings/book_mark_page.h"

#include <gtest/gtest.h>

#include "tests/settings/settings_fixture.h"

namespace lirako {
namespace {

using P = CBookMarkPage;
using testing::SettingsFixture;

// A position past the first line of a book made by SettingsFixture::Book.
constexpr int32_t kLaterPosition = 400;

// Book a.txt open, after b.txt, with bookmarks "first" (10) and "second" (40); recent files
// a, b.
struct OpenBook {
  OpenBook() { page.OnInitDialog(c); }
  CTirasolView& Setup() {
    CTirasolView& v = f.Start(other);
    v.OpenDocument(book);
    v.AddBookmark(40, u"second");
    v.AddBookmark(10, u"first");
    return v;
  }
  size_t Recent() { return view.recentFiles().size(); }
  // After any action nothing is selected and the edit is disabled and empty.
  void ExpectReset() {
    EXPECT_EQ(c.GetCurSel(P::kBookmarkList), -1);
    EXPECT_EQ(c.GetCurSel(P::kRecentList), -1);
    EXPECT_FALSE(c.control(P::kNameEdit).enabled);
    EXPECT_EQ(c.GetText(P::kNameEdit), u"");
    EXPECT_FALSE(c.control(P::kRename).enabled);
    EXPECT_FALSE(c.control(P::kDeleteRecent).enabled);
  }
  SettingsFixture f;
  std::u16string other = f.Book("b.txt");
  std::u16string book = f.Book("a.txt");
  CTirasolView& view = Setup();
  CBookMarkPage page{view};
  HeadlessControls c{page.dialogSpec()};
};

TEST(CBookMarkPage, RenamesAndDeletesBookmarksAtOnce) {
  OpenBook o;
  const RecentFileEntry& entry = o.view.currentEntry();
  EXPECT_EQ(o.c.control(P::kBookmarkList).itemData, (std::vector<int64_t>{10, 40}));
  EXPECT_EQ(o.c.control(P::kRecentList).items, (std::vector<std::u16string>{o.book, o.other}));
  o.ExpectReset();
  o.c.Select(o.page, P::kBookmarkList, 1);
  EXPECT_EQ(o.c.GetText(P::kNameEdit), u"second");
  EXPECT_TRUE(o.c.control(P::kRename).enabled);
  o.c.Type(o.page, P::kNameEdit, u"");
  o.c.Click(o.page, P::kRename);  // an empty name keeps the old one
  EXPECT_EQ(entry.bookmarks[1].name, u"second");
  o.ExpectReset();
  o.c.Select(o.page, P::kBookmarkList, 1);
  o.c.Type(o.page, P::kNameEdit, u"두번째");
  o.c.Click(o.page, P::kRename);
  EXPECT_EQ(entry.bookmarks[1].name, u"두번째");
  o.c.Select(o.page, P::kBookmarkList, 0);
  o.c.Click(o.page, P::kDeleteBookmark);
  EXPECT_EQ(o.c.control(P::kBookmarkList).items, (std::vector<std::u16string>{u"두번째"}));
  o.ExpectReset();
  o.c.Click(o.page, P::kClearBookmarks);
  EXPECT_TRUE(entry.bookmarks.empty());
  // Another book's entry goes without a question.
  o.c.Select(o.page, P::kRecentList, 1);
  o.c.Click(o.page, P::kDeleteRecent);
  EXPECT_EQ(o.Recent(), 1u);
  EXPECT_TRUE(o.f.host.messageBoxes().empty());
  o.ExpectReset();
}

TEST(CBookMarkPage, DeletingTheOpenBooksEntryAsksAndClosesOnOk) {
  OpenBook o;
  o.f.host.QueueMessageBoxAnswer(kIdCancel);
  o.c.Select(o.page, P::kRecentList, 0);
  o.c.Click(o.page, P::kDeleteRecent);
  ASSERT_EQ(o.f.host.messageBoxes().size(), 1u);
  EXPECT_EQ(o.f.host.messageBoxes()[0].text,
            u"\"" + o.book + u"\"\n\r현제 열려진 파일. 목록에서 지우겠습니까? (자동 닫힘)");
  EXPECT_EQ(o.f.host.messageBoxes()[0].caption, u"주의");
  EXPECT_EQ(o.f.host.messageBoxes()[0].flags, static_cast<unsigned>(kMbOkCancel));
  EXPECT_TRUE(o.view.HasDocument());
  EXPECT_EQ(o.Recent(), 2u);
  o.ExpectReset();

  o.f.host.QueueMessageBoxAnswer(kIdOk);
  o.c.Select(o.page, P::kRecentList, 0);
  o.c.Click(o.page, P::kDeleteRecent);
  EXPECT_FALSE(o.view.HasDocument());
  EXPECT_EQ(o.c.control(P::kRecentList).items, (std::vector<std::u16string>{o.other}));
  EXPECT_TRUE(o.c.control(P::kBookmarkList).items.empty());
}

TEST(CBookMarkPage, ClearingRecentFilesKeepsTheOpenBookOnCancel) {
  OpenBook kept;
  RecentFileEntry before = kept.view.currentEntry();
  kept.view.GoToPosition(kLaterPosition);
  ASSERT_NE(kept.view.pagePosition(), before.position);
  kept.f.host.QueueMessageBoxAnswer(kIdCancel);
  kept.c.Click(kept.page, P::kClearRecent);
  ASSERT_EQ(kept.Recent(), 1u);
  EXPECT_EQ(kept.view.recentFiles().entries()[0], before);
  EXPECT_TRUE(kept.view.HasDocument());

  OpenBook closed;
  closed.f.host.QueueMessageBoxAnswer(kIdOk);
  closed.c.Click(closed.page, P::kClearRecent);
  EXPECT_EQ(closed.Recent(), 0u);
  EXPECT_FALSE(closed.view.HasDocument());

  // Without a book no bookmark shows and nothing asks.
  closed.c.Click(closed.page, P::kClearRecent);
  EXPECT_EQ(closed.f.host.messageBoxes().size(), 1u);
  EXPECT_TRUE(closed.c.control(P::kBookmarkList).items.empty());
}

}  // namespace
}  // namespace lirako

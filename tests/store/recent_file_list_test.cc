#include "store/recent_file_list.h"

#include <gtest/gtest.h>

#include "platform/headless/headless_platform.h"
#include "platform/headless/memory_platform.h"
#include "store/data_folder.h"
#include "tests/store/store_test_support.h"
#include "tests/support/temp_dir.h"

namespace lirako {
namespace {

using testing::FileSizeLimit;
using testing::Header;
using testing::kMemoryFolder;
using testing::Le32;
using testing::PutFile;
using testing::ReadFileBytes;
using testing::Str16;
using testing::TempDir;
using testing::U16;

RecentFileEntry Entry(std::u16string path, int32_t position = 0) {
  RecentFileEntry e;
  e.path = std::move(path);
  e.position = position;
  return e;
}

std::vector<std::u16string> Paths(const RecentFileList& list) {
  std::vector<std::u16string> paths;
  for (const RecentFileEntry& e : list.entries())
    paths.push_back(e.path);
  return paths;
}

// The recent list's file in kMemoryFolder.
const std::u16string kRecentFile = std::u16string(kMemoryFolder) + u"/ResentFiles.Dat";

TEST(RecentFileList, SavesByteForByte) {
  MemoryPlatform platform;
  RecentFileList list;
  ASSERT_TRUE(list.Save(platform, kMemoryFolder));
  EXPECT_EQ(platform.files[kRecentFile], Header(0) + Le32(0));
  EXPECT_EQ(platform.files[kRecentFile].size(), 136u);

  list.StoreFirst(Entry(u"\\a.txt"));
  ASSERT_TRUE(list.Save(platform, kMemoryFolder));
  std::string expected = Header(0) + Le32(1) + Le32(7) +
                         std::string("\\\0a\0.\0t\0x\0t\0\0\0", 14) + Le32(0) + Le32(0);
  EXPECT_EQ(expected.size(), 162u);
  EXPECT_EQ(platform.files[kRecentFile], expected);

  RecentFileEntry withMarks = Entry(u"/b/책.txt", 4096);
  withMarks.AddBookmark(10, u"첫째");
  withMarks.AddBookmark(20, u"");
  list.StoreFirst(withMarks);
  ASSERT_TRUE(list.Save(platform, kMemoryFolder));
  expected = Header(0) + Le32(2) + Str16(u"/b/책.txt") + Le32(4096) + Le32(2) + Str16(u"") +
             Le32(20) + Str16(u"첫째") + Le32(10) + Str16(u"\\a.txt") + Le32(0) + Le32(0);
  EXPECT_EQ(platform.files[kRecentFile], expected);

  RecentFileList loaded;
  EXPECT_TRUE(loaded.Load(platform, kMemoryFolder));
  EXPECT_EQ(loaded.entries(), list.entries());
}

TEST(RecentFileList, KeepsTheMostRecentFirstWithoutDuplicates) {
  RecentFileList list;
  RecentFileEntry out = Entry(u"untouched", 7);
  EXPECT_FALSE(list.CopyMostRecent(&out));
  EXPECT_EQ(out, Entry(u"untouched", 7));

  list.StoreFirst(Entry(u"A", 100));
  list.StoreFirst(Entry(u"B", 200));
  list.StoreFirst(Entry(u"C", 300));
  EXPECT_EQ(Paths(list), (std::vector<std::u16string>{u"C", u"B", u"A"}));

  // Reopening A: its saved position comes back and it moves to the front.
  ASSERT_TRUE(list.Contains(u"A"));
  RecentFileEntry current;
  ASSERT_TRUE(list.CopyEntry(u"A", &current));
  EXPECT_EQ(current.position, 100);
  current.position = 150;
  list.StoreFirst(current);
  EXPECT_EQ(Paths(list), (std::vector<std::u16string>{u"A", u"C", u"B"}));
  EXPECT_EQ(list.entries()[0].position, 150);

  // Storing the first entry again refreshes it in place.
  current.AddBookmark(5, u"m");
  list.StoreFirst(list.entries()[0]);
  list.StoreFirst(current);
  EXPECT_EQ(Paths(list), (std::vector<std::u16string>{u"A", u"C", u"B"}));
  EXPECT_EQ(list.entries()[0].bookmarks.size(), 1u);

  // A copy is deep: changing currentEntry does not reach the list.
  current.AddBookmark(6, u"n");
  EXPECT_EQ(list.entries()[0].bookmarks.size(), 1u);

  // Case matters.
  list.StoreFirst(Entry(u"a"));
  EXPECT_EQ(Paths(list), (std::vector<std::u16string>{u"a", u"A", u"C", u"B"}));
  EXPECT_FALSE(list.Contains(u"c"));
  EXPECT_FALSE(list.CopyEntry(u"c", &current));

  EXPECT_TRUE(list.Remove(u"C"));
  EXPECT_FALSE(list.Remove(u"C"));
  EXPECT_EQ(Paths(list), (std::vector<std::u16string>{u"a", u"A", u"B"}));
  ASSERT_TRUE(list.CopyMostRecent(&out));
  EXPECT_EQ(out.path, u"a");
  list.RemoveAll();
  EXPECT_EQ(list.size(), 0u);
}

TEST(RecentFileList, TheFileKeepsTenEntriesWithTenBookmarksEach) {
  MemoryPlatform platform;
  RecentFileList list;
  for (int i = 1; i <= 12; ++i) {
    list.StoreFirst(Entry(u"/books/" + U16(std::to_string(i)) + u".txt", i * 10));
  }
  EXPECT_EQ(list.size(), 12u);
  RecentFileEntry marked;
  ASSERT_TRUE(list.CopyEntry(u"/books/12.txt", &marked));
  for (int32_t b = 1; b <= 12; ++b)
    marked.AddBookmark(b * 100, U16("mark " + std::to_string(b)));
  list.StoreFirst(marked);
  ASSERT_TRUE(list.Save(platform, kMemoryFolder));

  RecentFileList loaded;
  ASSERT_TRUE(loaded.Load(platform, kMemoryFolder));
  ASSERT_EQ(loaded.size(), 10u);
  EXPECT_EQ(loaded.entries()[0].path, u"/books/12.txt");
  EXPECT_EQ(loaded.entries()[9].path, u"/books/3.txt");
  EXPECT_EQ(loaded.entries()[9].position, 30);
  const std::vector<Bookmark>& marks = loaded.entries()[0].bookmarks;
  ASSERT_EQ(marks.size(), 10u);
  EXPECT_EQ(marks.front(), (Bookmark{u"mark 12", 1200}));  // the ten newest
  EXPECT_EQ(marks.back(), (Bookmark{u"mark 3", 300}));

  // A missing file or another version gives an empty list.
  EXPECT_FALSE(loaded.Load(platform, std::u16string(kMemoryFolder) + u"/none"));
  EXPECT_EQ(loaded.size(), 0u);
  ASSERT_TRUE(loaded.Load(platform, kMemoryFolder));
  std::u16string path =
      PutFile(platform, u"other.dat", Header(1) + Le32(1) + Str16(u"x") + Le32(0) + Le32(0));
  EXPECT_EQ(loaded.LoadFile(platform, path), LoadState::kDamaged);
  EXPECT_EQ(loaded.size(), 0u);
}

TEST(RecentFileList, KeepsTheEntriesBeforeDamageWithTheirBookmarks) {
  MemoryPlatform platform;
  std::string good = Str16(u"/a") + Le32(1) + Le32(1) + Str16(u"m") + Le32(2);
  const std::vector<Bookmark> goodMarks = {{u"m", 2}};
  struct Damaged {
    std::string body;
    size_t intact;  // entries before the damage
  };
  const Damaged damaged[] = {
      {Le32(2) + good + Le32(0), 1},  // path length 0
      {Le32(1) + Le32(261) + std::string(522, 'a') + Le32(0) + Le32(0), 0},
      {Le32(1) + Le32(2) + std::string("/\0a\0", 4) + Le32(0) + Le32(0), 0},  // no NUL
      {Le32(0x7FFFFFFF) + good, 0},                              // count beyond the file
      {Le32(1) + Str16(u"/b") + Le32(0) + Le32(0xFFFFFFFF), 0},  // negative bookmark count
      {Le32(2) + good + Str16(u"/b") + Le32(0) + Le32(1) + Le32(0x80000000) + Le32(0), 1},
      {Le32(1) + good + "x", 1},  // bytes after the last entry
  };
  for (const Damaged& d : damaged) {
    RecentFileList list;
    list.StoreFirst(Entry(u"before"));
    std::string err;
    EXPECT_EQ(list.LoadFile(platform, PutFile(platform, u"r.dat", Header(0) + d.body), &err),
              LoadState::kDamaged);
    ASSERT_EQ(list.size(), d.intact);
    if (d.intact) {
      EXPECT_EQ(list.entries()[0].bookmarks, goodMarks);
    }
    EXPECT_FALSE(err.empty());
  }

  // Ending inside the second entry keeps the first.
  std::string cut = Le32(2) + good + Str16(u"/b") + Le32(5) + Le32(1) + Str16(u"n");
  RecentFileList list;
  EXPECT_EQ(list.LoadFile(platform, PutFile(platform, u"r.dat", Header(0) + cut)),
            LoadState::kDamaged);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list.entries()[0].path, u"/a");
  EXPECT_EQ(list.entries()[0].bookmarks, goodMarks);
  // An empty file reads as version 0 without entries.
  EXPECT_EQ(list.LoadFile(platform, PutFile(platform, u"e.dat", "")), LoadState::kDamaged);
  EXPECT_EQ(list.size(), 0u);
  EXPECT_EQ(list.LoadFile(platform, PutFile(platform, u"c.dat", Header(0) + Le32(1) + good)),
            LoadState::kClean);
}

TEST(RecentFileList, SavesOnlyWhatLoadsBackAndKeepsTheOldFileOnFailure) {
  TempDir dir;
  HeadlessPlatform platform;
  RecentFileList list;
  list.StoreFirst(Entry(u"/short"));
  list.StoreFirst(Entry(u"/" + std::u16string(300, u'p')));
  RecentFileEntry named = Entry(u"/named");
  named.AddBookmark(1, std::u16string(258, u'n') + u"\U0001F600");
  list.StoreFirst(named);
  ASSERT_TRUE(list.Save(platform, U16(dir.path())));
  RecentFileList loaded;
  ASSERT_TRUE(loaded.Load(platform, U16(dir.path())));
  EXPECT_EQ(Paths(loaded), (std::vector<std::u16string>{u"/named", u"/short"}));
  EXPECT_EQ(loaded.entries()[0].bookmarks[0].name, std::u16string(258, u'n'));

  std::string before = ReadFileBytes(dir.File("ResentFiles.Dat"));
  {
    FileSizeLimit limit(140);
    EXPECT_FALSE(list.Save(platform, U16(dir.path())));
  }
  EXPECT_EQ(ReadFileBytes(dir.File("ResentFiles.Dat")), before);
}

TEST(RecentFileList, SaysWhyAFileWasNotUsed) {
  MemoryPlatform platform;
  platform.files[u"/version1.dat"] = Header(1);
  RecentFileList list;
  std::string err;
  EXPECT_EQ(list.LoadFile(platform, u"/missing.dat", &err), LoadState::kMissing);
  EXPECT_EQ(err, "the file is missing or cannot be opened");
  EXPECT_EQ(list.LoadFile(platform, u"/version1.dat", &err), LoadState::kDamaged);
  EXPECT_EQ(err, "version 1, not 0");
}

TEST(RecentFileEntry, FindsBookmarksByPosition) {
  RecentFileEntry e;
  e.AddBookmark(10, u"ten");
  e.AddBookmark(20, u"twenty");
  e.AddBookmark(10, u"again");  // the command refuses this; the first in order wins here
  EXPECT_EQ(e.bookmarks.front().name, u"again");
  EXPECT_TRUE(e.HasBookmark(20));
  EXPECT_FALSE(e.HasBookmark(30));
  std::u16string name = u"keep";
  EXPECT_FALSE(e.GetBookmarkName(30, &name));
  EXPECT_EQ(name, u"keep");
  ASSERT_TRUE(e.GetBookmarkName(10, &name));
  EXPECT_EQ(name, u"again");
  EXPECT_TRUE(e.RenameBookmark(20, u"스물"));
  EXPECT_FALSE(e.RenameBookmark(30, u"x"));
  EXPECT_TRUE(e.RemoveBookmark(10));
  EXPECT_EQ(e.bookmarks, (std::vector<Bookmark>{{u"스물", 20}, {u"ten", 10}}));
  EXPECT_FALSE(e.RemoveBookmark(30));
  e.ClearBookmarks();
  EXPECT_TRUE(e.bookmarks.empty());
  EXPECT_EQ(FileNameOf(u"/home/me/books/책.txt"), u"책.txt");
  EXPECT_EQ(FileNameOf(u"plain.txt"), u"plain.txt");
  EXPECT_EQ(FileNameOf(u"/dir/"), u"");
}

}  // namespace
}  // namespace lirako

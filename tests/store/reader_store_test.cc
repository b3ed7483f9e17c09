#include "store/reader_store.h"

#include <gtest/gtest.h>

#include "platform/headless/headless_platform.h"
#include "platform/headless/memory_platform.h"
#include "tests/store/store_test_support.h"
#include "tests/support/temp_dir.h"

namespace lirako {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;
using testing::U16;

const std::u16string kKoreanBook = u"/home/me/책/별빛\n[book].txt";
const std::u16string kStoreFile = std::u16string(testing::kMemoryFolder) + u"/lirako.ini";

TEST(ReaderStore, SavedValuesComeBackAfterARestart) {
  MemoryPlatform platform;
  const std::u16string& path = kStoreFile;
  ReaderStore store;
  store.SetValue("window.geometry", "10,20,600,900");
  store.SetBookValue(kKoreanBook, "encoding", "utf-8");
  store.SetBookValue(u"/b.txt", "note", "a\\b\nc\rd=e");
  std::string err;
  ASSERT_TRUE(store.Save(platform, path, &err)) << err;

  ReaderStore reread;
  ASSERT_TRUE(reread.Load(platform, path, &err)) << err;
  EXPECT_EQ(reread.Value("window.geometry"), "10,20,600,900");
  EXPECT_EQ(reread.BookValue(kKoreanBook, "encoding"), "utf-8");
  EXPECT_EQ(reread.BookValue(u"/b.txt", "note"), "a\\b\nc\rd=e");
  EXPECT_EQ(reread.ToText(), store.ToText());
}

TEST(ReaderStore, ADamagedFileKeepsWhatItCanRead) {
  MemoryPlatform platform;
  const std::string damaged =
      "garbage without equals\n"
      "[lirako]\nversion=99\nBad Key=x\nfont.size=12\n"
      "[book]\nencoding=cp949\n"  // a value before any path belongs to no book
      "[book]\npath=/a.txt\nencoding=utf-16le\n"
      "[strange]\nencoding=lost\n"
      "[book]\npath=/a.txt\nencoding=cp949\n"  // a second record of a book is ignored
      "[book]\npath=\nencoding=utf-8\n"
      "[book]\npath=/c.txt\r\nencoding=utf-8\r\n"
      "\xff\xfe[book\n";
  platform.files[kStoreFile] = damaged;
  ReaderStore store;
  std::string err;
  ASSERT_TRUE(store.Load(platform, kStoreFile, &err));
  EXPECT_EQ(store.Value("font.size"), "12");
  EXPECT_FALSE(store.Value("Bad Key"));
  EXPECT_EQ(store.bookCount(), 2u);
  EXPECT_EQ(store.BookValue(u"/a.txt", "encoding"), "utf-16le");
  EXPECT_EQ(store.BookValue(u"/c.txt", "encoding"), "utf-8");
}

TEST(ReaderStore, ARecordWhosePathCannotBeReadIsDroppedWhole) {
  MemoryPlatform platform;
  platform.files[kStoreFile] =
      "[book]\npath=/a.txt\nencoding=cp949\n"
      "[book]\npa\xffh=/b.txt\nencoding=utf-16le\nnote=b\n"
      "[book]\npath\nencoding=utf-16be\n"
      "[book]\npath=/c.txt\nencoding=utf-8\n";
  ReaderStore store;
  std::string err;
  ASSERT_TRUE(store.Load(platform, kStoreFile, &err)) << err;
  EXPECT_EQ(store.BooksWith("encoding"), (std::vector<std::u16string>{u"/a.txt", u"/c.txt"}));
  EXPECT_EQ(store.BookValue(u"/a.txt", "encoding"), "cp949");
  EXPECT_FALSE(store.BookValue(u"/a.txt", "note"));
}

TEST(ReaderStore, AnOversizedFileIsKeptAsItsDamagedCopyAndItsHeadIsRead) {
  MemoryPlatform platform;
  ReaderStore store;
  std::string err;
  EXPECT_TRUE(store.Load(platform, kStoreFile, &err));
  EXPECT_EQ(store.bookCount(), 0u);

  const std::string oversized = "[lirako]\ntoc.rule=^Chapter\n[book]\npath=/x\nencoding=cp949\n" +
                                std::string(ReaderStore::kMaxFileBytes, ';') + "\n";
  platform.files[kStoreFile] = oversized;
  EXPECT_FALSE(store.Load(platform, kStoreFile, &err));
  EXPECT_NE(err.find("larger"), std::string::npos) << err;
  EXPECT_EQ(store.Value("toc.rule"), "^Chapter");
  EXPECT_EQ(store.BookValue(u"/x", "encoding"), "cp949");
  store.SetValue("window.geometry", "1,2,3,4");
  ASSERT_TRUE(store.Save(platform, kStoreFile, &err)) << err;
  EXPECT_TRUE(platform.files[kStoreFile + u".damaged"] == oversized);
  ReaderStore reread;
  ASSERT_TRUE(reread.Load(platform, kStoreFile, &err)) << err;
  EXPECT_EQ(reread.Value("toc.rule"), "^Chapter");
  EXPECT_EQ(reread.Value("window.geometry"), "1,2,3,4");
  EXPECT_EQ(reread.BookValue(u"/x", "encoding"), "cp949");
}

TEST(ReaderStore, TwoWindowsSavingInTurnKeepEachOnesChanges) {
  MemoryPlatform platform;
  platform.files[kStoreFile] =
      "[lirako]\nwindow.geometry=0,0,10,10\ntypography.keep-all=1\ntoc.rule=old\n";
  std::string err;
  ReaderStore first;
  ReaderStore second;
  ASSERT_TRUE(first.Load(platform, kStoreFile, &err));
  ASSERT_TRUE(second.Load(platform, kStoreFile, &err));
  first.SetValue("toc.rule", "^Chapter");
  first.RemoveValue("typography.keep-all");
  first.SetBookValue(u"/a.txt", "encoding", "cp949");
  first.SetValue("window.geometry", "1,1,10,10");
  ASSERT_TRUE(first.Save(platform, kStoreFile, &err)) << err;
  second.SetValue("window.geometry", "2,2,10,10");
  second.SetBookValue(u"/b.txt", "encoding", "utf-8");
  ASSERT_TRUE(second.Save(platform, kStoreFile, &err)) << err;

  ReaderStore reread;
  ASSERT_TRUE(reread.Load(platform, kStoreFile, &err));
  EXPECT_EQ(reread.Value("toc.rule"), "^Chapter");
  EXPECT_FALSE(reread.Value("typography.keep-all"));
  EXPECT_EQ(reread.Value("window.geometry"), "2,2,10,10");  // the last window's change wins
  EXPECT_EQ(reread.BooksWith("encoding"), (std::vector<std::u16string>{u"/b.txt", u"/a.txt"}));
  EXPECT_EQ(reread.BookValue(u"/a.txt", "encoding"), "cp949");
  // The second window now holds what the first saved.
  EXPECT_EQ(second.Value("toc.rule"), "^Chapter");
}

TEST(ReaderStore, TheLeastRecentlyOpenedBookIsDroppedBeyondTheLimit) {
  ReaderStore store;
  for (size_t i = 0; i <= ReaderStore::kMaxBooks; ++i)
    store.SetBookValue(u"/book" + U16(std::to_string(i)), "encoding", "utf-8");
  EXPECT_EQ(store.bookCount(), ReaderStore::kMaxBooks);
  EXPECT_FALSE(store.BookValue(u"/book0", "encoding"));
  // Touching the oldest remaining book keeps it when the next one arrives.
  store.SetBookValue(u"/book1", "encoding", "cp949");
  store.SetBookValue(u"/new", "encoding", "utf-8");
  EXPECT_EQ(store.BookValue(u"/book1", "encoding"), "cp949");
  EXPECT_FALSE(store.BookValue(u"/book2", "encoding"));
}

TEST(ReaderStore, AFailedSaveLeavesTheOldFile) {
  TempDir dir;
  HeadlessPlatform platform;
  const std::string old = "[lirako]\nfont.size=9\n";
  const std::string path = dir.Write("lirako.ini", old);
  ReaderStore store;
  store.SetValue("font.size", std::string(4096, '7'));
  std::string err;
  {
    testing::FileSizeLimit limit(1024);
    EXPECT_FALSE(store.Save(platform, U16(path), &err));
  }
  EXPECT_FALSE(err.empty());
  EXPECT_EQ(ReadFileBytes(path), old);
}

}  // namespace
}  // namespace lirako

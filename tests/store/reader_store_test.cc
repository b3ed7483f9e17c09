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

TEST(ReaderStore, AMissingFileIsAnEmptyStoreAndAnOversizedOneIsRefused) {
  MemoryPlatform platform;
  ReaderStore store;
  std::string err;
  EXPECT_TRUE(store.Load(platform, kStoreFile, &err));
  EXPECT_EQ(store.bookCount(), 0u);

  platform.files[kStoreFile] = "[book]\npath=/x\n" + std::string(ReaderStore::kMaxFileBytes, 'a');
  EXPECT_FALSE(store.Load(platform, kStoreFile, &err));
  EXPECT_FALSE(err.empty());
  EXPECT_EQ(store.bookCount(), 0u);
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

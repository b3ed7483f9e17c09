#include "store/library.h"

#include <gtest/gtest.h>

#include <thread>

#include "platform/utf.h"
#include "store/reader_store.h"
#include "tests/support/temp_dir.h"

namespace lirako {
namespace {

using testing::TempDir;

LibraryBook BookAt(const std::u16string& path, int32_t position, int64_t lastRead) {
  LibraryBook book;
  book.path = path;
  book.position = position;
  book.lastRead = lastRead;
  book.bookmarks = {Bookmark{u"첫째\n줄", position + 1}};
  return book;
}

TEST(Library, TwoWindowsSavingAtOnceLoseNothing) {
  TempDir dir;
  const std::string path = dir.File("library.sqlite3");
  Library first;
  Library second;
  ASSERT_EQ(first.Open(path, nullptr), Library::Opened::kCreated);
  ASSERT_EQ(second.Open(path, nullptr), Library::Opened::kExisting);
  constexpr int kEach = 200;
  auto save = [](Library& library, const std::u16string& prefix) {
    for (int i = 0; i < kEach; ++i) {
      std::string err;
      EXPECT_TRUE(library.Save(BookAt(prefix + FromUtf8(std::to_string(i)), i, i), &err)) << err;
      library.SetBookValue(prefix + FromUtf8(std::to_string(i)), "encoding", "utf-8");
    }
  };
  std::thread a([&] { save(first, u"/a/"); });
  std::thread b([&] { save(second, u"/b/"); });
  a.join();
  b.join();
  EXPECT_EQ(first.Count(), 2u * kEach);
  EXPECT_EQ(second.BooksWith("encoding").size(), 2u * kEach);
  const std::optional<LibraryBook> book = second.Find(u"/a/7");
  ASSERT_TRUE(book);
  EXPECT_EQ(book->position, 7);
  EXPECT_EQ(book->bookmarks, (std::vector<Bookmark>{{u"첫째\n줄", 8}}));

  // A copy takes the record with its values; a move leaves none behind; forgetting drops both.
  ASSERT_TRUE(first.Carry(u"/a/7", u"/c/7", true, nullptr));
  ASSERT_TRUE(first.Carry(u"/a/8", u"/c/8", false, nullptr));
  EXPECT_EQ(first.BookValue(u"/c/7", "encoding"), "utf-8");
  EXPECT_TRUE(first.Find(u"/a/7"));
  EXPECT_FALSE(first.Find(u"/a/8"));
  EXPECT_EQ(first.Find(u"/c/8")->position, 8);
  ASSERT_TRUE(first.Forget(u"/c/7", nullptr));
  EXPECT_FALSE(first.BookValue(u"/c/7", "encoding"));
  EXPECT_EQ(first.All().front().position, kEach - 1);
}

TEST(Library, TakesTheValuesOfBooksFromTheSettingsFileOnce) {
  TempDir dir;
  ReaderStore store;
  store.FromText(
      "[lirako]\nwindow.geometry=1,2,3,4\n[book]\npath=/books/별빛.txt\nencoding=utf-8\n"
      "toc.rule=^제\n[book]\npath=/books/old.txt\nencoding=cp949\n");
  Library library;
  ASSERT_EQ(library.Open(dir.File("library.sqlite3"), nullptr), Library::Opened::kCreated);
  // A value the library holds already is newer than the file's.
  library.SetBookValue(u"/books/old.txt", "encoding", "utf-16le");
  EXPECT_TRUE(store.SetBookValues(&library));

  EXPECT_EQ(library.BookValue(u"/books/별빛.txt", "toc.rule"), "^제");
  EXPECT_EQ(library.BookValue(u"/books/old.txt", "encoding"), "utf-16le");
  EXPECT_EQ(store.BookValue(u"/books/별빛.txt", "encoding"), "utf-8");
  store.SetBookValue(u"/books/new.txt", "encoding", "utf-8");
  EXPECT_EQ(library.BookValue(u"/books/new.txt", "encoding"), "utf-8");
  // The file keeps program settings only.
  EXPECT_EQ(store.ToText().find("[book]"), std::string::npos);
  EXPECT_NE(store.ToText().find("window.geometry=1,2,3,4"), std::string::npos);
  EXPECT_FALSE(store.SetBookValues(&library));
}

TEST(Library, ADamagedDatabaseIsKeptBesideAndANewOneStarted) {
  TempDir dir;
  const std::string path = dir.File("library.sqlite3");
  {
    Library library;
    ASSERT_EQ(library.Open(path, nullptr), Library::Opened::kCreated);
    for (int i = 0; i < 300; ++i)
      ASSERT_TRUE(library.Save(BookAt(FromUtf8("/b/" + std::to_string(i)), i, i), nullptr));
  }
  // Its pages after the first overwritten with noise.
  std::string bytes = testing::ReadFileBytes(path);
  ASSERT_GT(bytes.size(), 8192u);
  for (size_t i = 4096; i < bytes.size(); ++i)
    bytes[i] = static_cast<char>(i * 7);
  dir.Write("library.sqlite3", bytes);

  Library library;
  std::string err;
  ASSERT_EQ(library.Open(path, &err), Library::Opened::kReplacedDamaged) << err;
  EXPECT_EQ(testing::ReadFileBytes(path + Library::kDamagedSuffix), bytes);
  EXPECT_EQ(library.Count(), 0u);
  EXPECT_TRUE(library.Save(BookAt(u"/new.txt", 5, 1), nullptr));
  EXPECT_EQ(library.Find(u"/new.txt")->position, 5);
}

}  // namespace
}  // namespace lirako

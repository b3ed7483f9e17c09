#include "store/library.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
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

  // The start reads the schema only; the damage shows when a page is used.
  Library library;
  std::string err;
  ASSERT_EQ(library.Open(path, &err), Library::Opened::kExisting) << err;
  EXPECT_FALSE(library.damaged());
  library.Count();
  ASSERT_TRUE(library.damaged());
  ASSERT_EQ(library.Open(path, &err, Library::Check::kEveryPage), Library::Opened::kReplacedDamaged)
      << err;
  EXPECT_FALSE(library.damaged());
  EXPECT_EQ(testing::ReadFileBytes(path + Library::kDamagedSuffix), bytes);
  EXPECT_EQ(library.Count(), 0u);
  EXPECT_TRUE(library.Save(BookAt(u"/new.txt", 5, 1), nullptr));
  EXPECT_EQ(library.Find(u"/new.txt")->position, 5);
}

}  // namespace
}  // namespace lirako

namespace lirako {
namespace {

// The result of SQLite's full integrity check of the database at `path`.
std::string IntegrityCheck(const std::string& path) {
  sqlite3* db = nullptr;
  std::string result;
  if (sqlite3_open(path.c_str(), &db) == SQLITE_OK) {
    sqlite3_exec(
        db, "PRAGMA integrity_check",
        [](void* out, int, char** values, char**) {
          *static_cast<std::string*>(out) += values[0] ? values[0] : "";
          return 0;
        },
        &result, nullptr);
  }
  sqlite3_close(db);
  return result;
}

TEST(Library, WaitsForAWindowHoldingTheLockSurvivesAKillAndAFullDisk) {
  TempDir dir;
  const std::string path = dir.File("library.sqlite3");
  Library library;
  ASSERT_EQ(library.Open(path, nullptr), Library::Opened::kCreated);

  // Another window holds the write lock for a second: the save waits for it.
  Library other;
  ASSERT_EQ(other.Open(path, nullptr), Library::Opened::kExisting);
  sqlite3* holder = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &holder), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(holder, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
  std::thread release([holder] {
    std::this_thread::sleep_for(std::chrono::seconds(1));
    sqlite3_exec(holder, "COMMIT", nullptr, nullptr, nullptr);
  });
  std::string err;
  EXPECT_TRUE(other.Save(BookAt(u"/locked.txt", 3, 1), &err)) << err;
  release.join();
  sqlite3_close(holder);

  // A writer killed at any moment: every save it finished is there, the database is whole.
  int report[2];
  ASSERT_EQ(::pipe(report), 0);
  const pid_t child = ::fork();
  if (child == 0) {
    Library writer;
    writer.Open(path, nullptr);
    for (int i = 0;; ++i) {
      if (!writer.Save(BookAt(FromUtf8("/k/" + std::to_string(i)), i, i), nullptr)) _exit(1);
      if (::write(report[1], &i, sizeof i) != sizeof i) _exit(1);
    }
  }
  ::close(report[1]);
  int saved = -1;
  for (int i; saved < 300 && ::read(report[0], &i, sizeof i) == sizeof i;)
    saved = i;
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  ::close(report[0]);
  ASSERT_GE(saved, 300);
  EXPECT_EQ(IntegrityCheck(path), "ok");
  Library after;
  ASSERT_EQ(after.Open(path, nullptr), Library::Opened::kExisting);
  for (int i = 0; i <= saved; ++i)
    ASSERT_TRUE(after.Find(FromUtf8("/k/" + std::to_string(i)))) << i;
  EXPECT_TRUE(after.Find(u"/locked.txt"));

  // A full disk: the save fails with its reason, what was saved before stays.
  const pid_t full = ::fork();
  if (full == 0) {
    Library writer;
    writer.Open(path, nullptr);
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{1 << 16, 1 << 16};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    LibraryBook big = BookAt(u"/big.txt", 1, 1);
    big.anchor.assign(1 << 20, 'x');
    std::string reason;
    _exit(!writer.Save(big, &reason) && !reason.empty() ? 0 : 1);
  }
  int status = -1;
  ::waitpid(full, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(IntegrityCheck(path), "ok");
  EXPECT_FALSE(after.Find(u"/big.txt"));
  EXPECT_TRUE(after.Find(u"/k/0"));
}

}  // namespace
}  // namespace lirako

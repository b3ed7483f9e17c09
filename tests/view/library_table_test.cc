#include "view/library_table.h"

#include <gtest/gtest.h>

#include "platform/headless/headless_platform.h"
#include "platform/utf.h"
#include "tests/support/temp_dir.h"

namespace lirako {
namespace {

using testing::TempDir;

// A library of three books read one after the other; the middle one's file is gone.
struct ThreeBooks {
  TempDir dir;
  HeadlessPlatform platform;
  Library library;
  std::u16string apple = FromUtf8(dir.Write("Apple.txt", "a"));
  std::u16string gone = FromUtf8(dir.File("gone/별빛.txt"));
  std::u16string cherry = FromUtf8(dir.Write("cherry.txt", "c"));

  ThreeBooks() {
    library.Open(dir.File("library.sqlite3"), nullptr);
    Add(apple, 0.5, 1000, 3700);
    Add(gone, 0.25, 2000, 60);
    Add(cherry, 1.0, 3000, 0);
  }
  void Add(const std::u16string& path, double progress, int64_t lastRead, int64_t seconds) {
    LibraryBook book;
    book.path = path;
    book.progress = progress;
    book.lastRead = lastRead;
    book.readingSeconds = seconds;
    book.encoding = "utf-8";
    library.Save(book, nullptr);
  }
};

std::vector<std::u16string> Names(const LibraryTable& table) {
  std::vector<std::u16string> names;
  for (size_t row = 0; row < table.RowCount(); ++row)
    names.push_back(table.Text(row, LibraryTable::kName));
  return names;
}

TEST(LibraryTable, SortsFiltersForgetsAndFindsAMissingBookAgain) {
  ThreeBooks books;
  LibraryTable table(books.platform, books.library);
  table.Reload();
  // Most recently read first; the missing book is marked.
  EXPECT_EQ(Names(table), (std::vector<std::u16string>{u"cherry.txt", u"별빛.txt", u"Apple.txt"}));
  EXPECT_TRUE(table.Missing(1));
  EXPECT_FALSE(table.Missing(0));
  EXPECT_EQ(table.Text(2, LibraryTable::kProgress), u"50%");
  EXPECT_EQ(table.Text(2, LibraryTable::kReadingTime), u"1:01");
  EXPECT_EQ(table.Text(1, LibraryTable::kFolder), FromUtf8(books.dir.File("gone")));

  table.Sort(LibraryTable::kProgress, true);
  EXPECT_EQ(Names(table), (std::vector<std::u16string>{u"별빛.txt", u"Apple.txt", u"cherry.txt"}));
  table.Sort(LibraryTable::kName, false);
  EXPECT_EQ(Names(table), (std::vector<std::u16string>{u"별빛.txt", u"cherry.txt", u"Apple.txt"}));
  // Letters folded; the filter and the sort outlive a reload.
  table.SetFilter(u"APP");
  table.Reload();
  EXPECT_EQ(Names(table), std::vector<std::u16string>{u"Apple.txt"});
  table.SetFilter(u"");

  // The missing book pointed at its new place: its record follows, it is no longer missing.
  const std::u16string found = FromUtf8(books.dir.Write("새곳.txt", "b"));
  ASSERT_TRUE(table.Relocate(0, found, nullptr));
  EXPECT_FALSE(table.Missing(0));
  EXPECT_TRUE(books.library.Find(found));
  EXPECT_FALSE(books.library.Find(books.gone));

  ASSERT_TRUE(table.Forget(1, nullptr));
  EXPECT_EQ(Names(table), (std::vector<std::u16string>{u"새곳.txt", u"Apple.txt"}));
  EXPECT_FALSE(books.library.Find(books.cherry));
}

}  // namespace
}  // namespace lirako

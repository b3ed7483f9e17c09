#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/utf.h"
#include "store/library.h"
#include "store/reader_store.h"
#include "tests/support/view_internals.h"
#include "tests/view/view_fixture.h"
#include "view/command_ids.h"

namespace lirako {
namespace {

using testing::ViewInternals;

using testing::ViewFixture;

// "별빛 line NNN\n" in UTF-8: 16 bytes a line, 별 in its first three.
constexpr int32_t kLineBytes = 16;
constexpr int kLines = 200;

std::string KoreanLines() {
  std::string text;
  for (int i = 0; i < kLines; ++i) {
    std::string number = std::to_string(1000 + i).substr(1);
    text += "\xEB\xB3\x84\xEB\xB9\x9B line " + number + "\n";
  }
  return text;
}

// The command ids of the checked items of the "인코딩" menu.
std::vector<int> CheckedEncodings(ViewFixture& f) {
  std::vector<int> checked;
  for (const auto& item : f.host.menu().PopupAt(kMenuPosEncoding)->items()) {
    if (item.checked) checked.push_back(item.id);
  }
  return checked;
}

TEST(ViewEncoding, ChoosingReopensAtTheSameByteAndChecksTheChoice) {
  ViewFixture f;
  std::u16string book = f.Book("k.txt", KoreanLines());
  CTirasolView& view = f.Start(book);
  EXPECT_EQ(view.openEncoding(), TextEncoding::kUtf8);
  EXPECT_EQ(CheckedEncodings(f), std::vector<int>{kCmdEncodingAuto});
  constexpr int32_t kLine20 = 20 * kLineBytes;
  ViewInternals::Engine(view).SetPosition(kLine20);
  ViewInternals::CurrentEntry(view).AddBookmark(kLine20, u"mark");

  view.OnCommand(kCmdEncodingCp949);
  EXPECT_EQ(view.openEncoding(), TextEncoding::kCp949);
  EXPECT_EQ(view.pagePosition(), kLine20);
  EXPECT_EQ(view.readerStore().BookValue(book, "encoding"), "cp949");
  EXPECT_EQ(CheckedEncodings(f), std::vector<int>{kCmdEncodingCp949});

  view.OnCommand(kCmdEncodingUtf16Le);
  EXPECT_EQ(view.pagePosition(), kLine20 / 2);
  EXPECT_EQ(view.currentEntry().bookmarks.front().position, kLine20 / 2);
  // The library holds the place in the new units at once.
  const std::optional<LibraryBook> record = view.library().Find(book);
  ASSERT_TRUE(record);
  EXPECT_EQ(record->encoding, "utf-16le");
  EXPECT_EQ(record->position, kLine20 / 2);

  // A 16-bit unit whose byte lies inside 별: back to its first byte.
  constexpr int32_t kInsideByeol = (kLine20 + 2) / 2;
  ViewInternals::Engine(view).SetPosition(kInsideByeol);
  view.OnCommand(kCmdEncodingUtf8);
  EXPECT_EQ(view.pagePosition(), kLine20);

  view.OnCommand(kCmdEncodingAuto);
  EXPECT_EQ(view.readerStore().BookValue(book, "encoding"), std::nullopt);
  EXPECT_EQ(CheckedEncodings(f), std::vector<int>{kCmdEncodingAuto});
  EXPECT_EQ(view.openEncoding(), TextEncoding::kUtf8);
}

TEST(ViewEncoding, ChoiceSurvivesARestartAndADamagedStoreFile) {
  ViewFixture f;
  std::u16string book = f.Book("k.txt", KoreanLines());
  f.Start(book).OnCommand(kCmdEncodingUtf16Be);
  f.Stop();
  CTirasolView& again = f.Start();
  EXPECT_EQ(again.openEncoding(), TextEncoding::kUtf16Be);
  EXPECT_EQ(CheckedEncodings(f), std::vector<int>{kCmdEncodingUtf16Be});
  f.Stop();
  // Renamed: the choice follows the book.
  const std::u16string renamed = FromUtf8(f.dir.File("renamed.txt"));
  ASSERT_EQ(std::rename(f.dir.File("k.txt").c_str(), ToUtf8(renamed).c_str()), 0);
  EXPECT_EQ(f.Start(renamed).openEncoding(), TextEncoding::kUtf16Be);
  f.Stop();
  ASSERT_EQ(std::rename(ToUtf8(renamed).c_str(), f.dir.File("k.txt").c_str()), 0);

  // An older lirako.ini whose book records move into a new library: junk around the record,
  // and another book's unknown encoding that counts as none.
  for (const char* name : {"library.sqlite3", "library.sqlite3-wal", "library.sqlite3-shm"})
    std::remove(f.dir.File(name).c_str());
  std::u16string other = f.Book("o.txt", KoreanLines());
  f.dir.Write("lirako.ini", std::string("\x01\xFF garbage\n[book\n[book]\npath=") +
                                f.dir.File("o.txt") + "\nencoding=klingon\n[book]\npath=" +
                                f.dir.File("k.txt") + "\n=\nencoding=utf-16le\n\xC0zz\n");
  CTirasolView& damaged = f.Start(other);
  EXPECT_EQ(damaged.openEncoding(), TextEncoding::kUtf8);
  EXPECT_EQ(CheckedEncodings(f), std::vector<int>{kCmdEncodingAuto});
  damaged.OpenDocument(book);
  EXPECT_EQ(damaged.openEncoding(), TextEncoding::kUtf16Le);
}

}  // namespace
}  // namespace lirako

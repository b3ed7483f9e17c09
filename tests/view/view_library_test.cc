#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>

#include "platform/utf.h"
#include "store/library.h"
#include "tests/view/view_fixture.h"

namespace lirako {
namespace {

using testing::ViewFixture;

std::string HangulBook() {
  std::string text;
  for (int i = 0; i < 400; ++i)
    text += "제" + std::to_string(i) + "문단 별빛이 내리는 밤에\n";
  return text;
}

std::string Utf16Le(const std::string& utf8) {
  std::string out = "\xFF\xFE";
  for (char16_t c : FromUtf8(utf8)) {
    out.push_back(static_cast<char>(c & 0xFF));
    out.push_back(static_cast<char>(c >> 8));
  }
  return out;
}

// What `lirakotool ARGS --data` the fixture's data folder prints; empty when the tool is not
// built.
std::string Tool(ViewFixture& f, const std::string& args) {
  const std::string tool = std::string(LIRAKO_BINARY_DIR) + "/tools/lirakotool";
  if (!std::filesystem::exists(tool)) return {};
  std::string out;
  FILE* pipe = ::popen((tool + " " + args + " --data " + f.dir.path() + " 2>&1").c_str(), "r");
  char buffer[4096];
  size_t n;
  while (pipe && (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
    out.append(buffer, n);
  if (pipe) ::pclose(pipe);
  return out;
}

// The first text the next paint draws.
std::u16string TopText(ViewFixture& f) {
  return f.Paint()->TextOps().at(0).text;
}

struct ReadPlace {
  int32_t position;
  std::u16string top;  // the text of the page's top line
};

// Opens `book`, turns three pages and tells where the reader is; the book stays open.
ReadPlace ReadThreePagesIn(ViewFixture& f, const std::u16string& book) {
  CTirasolView& view = f.Start(book);
  f.Paint();
  for (int i = 0; i < 3; ++i) {
    view.OnKeyDown(kVkDown);
    f.Paint();
  }
  return ReadPlace{view.pagePosition(), TopText(f)};
}

TEST(ViewLibrary, ABookOpensAtItsPlaceMovedReencodedEditedAndAfterFourteenOthers) {
  ViewFixture f;
  const std::string text = HangulBook();
  const std::u16string book = f.Book("별빛.txt", text);
  const ReadPlace read = ReadThreePagesIn(f, book);
  const int32_t place = read.position;
  const std::u16string top = read.top;
  ASSERT_GT(place, 0);
  f.Stop();

  // Renamed and moved to another folder: found by its bytes.
  std::filesystem::create_directory(f.dir.File("moved"));
  const std::u16string moved = FromUtf8(f.dir.File("moved/다른이름.txt"));
  ASSERT_EQ(std::rename(ToUtf8(book).c_str(), ToUtf8(moved).c_str()), 0);
  EXPECT_EQ(Tool(f, "place " + ToUtf8(moved)), "{\"file\": \"" + ToUtf8(moved) +
                                                   "\", \"position\": " + std::to_string(place) +
                                                   ", \"matched\": \"content\"}\n");
  f.Start(moved);
  EXPECT_EQ(f.view().pagePosition(), place);
  f.Stop();

  // A UTF-16 copy: found by its text, the place carried by the text.
  const std::u16string copy = FromUtf8(f.dir.Write("utf16.txt", Utf16Le(text)));
  EXPECT_NE(Tool(f, "place " + ToUtf8(copy)).find("\"matched\": \"text\""), std::string::npos);
  f.Start(copy);
  EXPECT_EQ(TopText(f), top);
  f.Stop();

  // A paragraph inserted before the place: the place follows its text.
  const std::string inserted = "새로 넣은 문단\n";
  f.dir.Write("moved/다른이름.txt", inserted + text);
  EXPECT_EQ(Tool(f, "place " + ToUtf8(moved)),
            "{\"file\": \"" + ToUtf8(moved) + "\", \"position\": " +
                std::to_string(place + static_cast<int32_t>(inserted.size())) +
                ", \"matched\": \"path\"}\n");
  f.Start(moved);
  EXPECT_EQ(f.view().pagePosition(), place + static_cast<int32_t>(inserted.size()));
  EXPECT_EQ(TopText(f), top);

  // Fourteen other books read after it: the recent list forgot it, the library did not.
  for (int i = 0; i < 14; ++i)
    ASSERT_TRUE(f.view().OpenDocument(f.NumberedBook("other" + std::to_string(i) + ".txt", 50)));
  f.Stop();
  f.Start();
  ASSERT_FALSE(f.view().recentFiles().Contains(moved));
  ASSERT_TRUE(f.view().OpenDocument(moved));
  EXPECT_EQ(TopText(f), top);
  // The moved book kept one record, the copy has its own.
  EXPECT_EQ(f.view().library().Count(), 16u);
  const std::string listed = Tool(f, "library");
  if (!listed.empty()) {
    EXPECT_EQ(std::count(listed.begin(), listed.end(), '\n'), 16);
    EXPECT_EQ(listed.find("{\"file\": \"" + ToUtf8(moved) +
                          "\", \"size\": " + std::to_string(inserted.size() + text.size()) +
                          ", \"encoding\": \"utf-8\", \"position\": "),
              0u)
        << listed;
  }
}

// `kib` KiB of other paragraphs, to put before a book's text.
std::string Preface(size_t kib) {
  std::string text;
  while (text.size() < kib * 1024)
    text += "앞에 더한 머리말 " + std::to_string(text.size()) + "\n";
  return text;
}

// Hands the view what was posted to it until the search for the book's place has ended.
bool DeliverEventsUntilThePlaceSearchEnds(ViewFixture& f) {
  for (int round = 0; round < 40; ++round) {
    bool ended = false;
    for (int id : f.host.TakeEvents(std::chrono::milliseconds(500))) {
      f.view().OnEvent(id);
      ended = ended || id == kAnchorSearchEventId;
    }
    if (ended) return true;
  }
  return false;
}

TEST(ViewLibrary, ABookEditedFarBeforeItsPlaceOpensAtOnceAndGoesToItsTextFoundInTheBackground) {
  ViewFixture f;
  const std::string text = HangulBook();
  const std::u16string book = f.Book("별빛.txt", text);
  const ReadPlace read = ReadThreePagesIn(f, book);
  const int32_t place = read.position;
  const std::u16string top = read.top;
  f.Stop();

  // Far more text put before the place than is looked through near it.
  const std::string preface = Preface(200);
  f.dir.Write("별빛.txt", preface + text);
  const int32_t moved = place + static_cast<int32_t>(preface.size());
  // The tool waits for the search through the whole book.
  const std::string tool = Tool(f, "place " + ToUtf8(book));
  if (!tool.empty()) {
    EXPECT_NE(tool.find("\"position\": " + std::to_string(moved)), std::string::npos) << tool;
  }
  f.Start(book);
  EXPECT_NE(TopText(f), top);  // the old offset, shown at once
  ASSERT_TRUE(DeliverEventsUntilThePlaceSearchEnds(f));
  EXPECT_EQ(TopText(f), top);
  EXPECT_EQ(f.view().pagePosition(), moved);
  f.Stop();

  // Edited again; the reader turns a page before the text is found: the page stays his.
  f.dir.Write("별빛.txt", Preface(400) + text);
  f.Start(book);
  f.Paint();
  f.view().OnKeyDown(kVkDown);
  const std::u16string turned = TopText(f);
  ASSERT_TRUE(DeliverEventsUntilThePlaceSearchEnds(f));
  EXPECT_EQ(TopText(f), turned);
}

TEST(ViewLibrary, ADamagedLibraryStartsAgainFromTheRecentFiles) {
  ViewFixture f;
  const std::u16string book = f.NumberedBook("a.txt", 200);
  CTirasolView& view = f.Start(book);
  f.Paint();
  view.OnKeyDown(kVkDown);
  f.Paint();
  const int32_t place = view.pagePosition();
  f.Stop();
  // Every page but the first (the schema) overwritten with noise: the start reads the schema
  // only, the damage shows when the book is looked up.
  std::string bytes = testing::ReadFileBytes(f.dir.File("library.sqlite3"));
  ASSERT_GT(bytes.size(), 4096u);
  for (size_t i = 4096; i < bytes.size(); ++i)
    bytes[i] = static_cast<char>(i * 7);
  f.dir.Write("library.sqlite3", bytes);

  f.Start();
  EXPECT_TRUE(std::filesystem::exists(f.dir.File("library.sqlite3.damaged")));
  const std::optional<LibraryBook> record = f.view().library().Find(book);
  ASSERT_TRUE(record);
  EXPECT_EQ(record->position, place);
}

}  // namespace
}  // namespace lirako

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>

#include "tests/view/bar_fixture.h"
#include "view/chapter_cache.h"
#include "view/toc_model.h"
#include "view/toc_rules_model.h"

namespace lirako::testing {
namespace {

constexpr int kChapters = 4;
// Lines of prose after each heading: more than a page of 240 x 320 holds.
constexpr int kLinesPerChapter = 40;

// A view with the real engines and the table of contents installed, over a book of
// kChapters chapters "Chapter 1" .. with prose between them.
class TocTest : public BarTest {
 protected:
  void SetUp() override {
    std::string text = "Prologue\n";
    for (int c = 1; c <= kChapters; ++c) {
      headingPositions_.push_back(static_cast<int32_t>(text.size()));
      text += "Chapter " + std::to_string(c) + "\n";
      for (int l = 0; l < kLinesPerChapter; ++l)
        text += "Chapter " + std::to_string(c) + " goes on, line " + std::to_string(l) + ".\n";
    }
    bookPath_ = dir.Write("book.txt", text);
  }

  void Open() {
    view = std::make_unique<CTirasolView>(platform, host);
    InstallBars();
    view->OnInitialUpdate(FromUtf8(bookPath_));
    WaitForChapters();
    Paint();
  }

  void WaitForChapters() {
    for (int i = 0; i < 5000 && view->chapters().state() == ChapterList::State::kScanning; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_EQ(view->chapters().state(), ChapterList::State::kDone);
  }

  // Shows every chapter found so far in `toc`.
  static void ShowAll(TocModel& toc) {
    if (toc.Fetch() == TocModel::Change::kReset) return toc.Reset();
    while (toc.Append()) {
    }
  }

  std::u16string CacheFile() const {
    return ChapterCache::PathFor(view->dataFolder(), FromUtf8(bookPath_));
  }

  std::string bookPath_;
  std::vector<int32_t> headingPositions_;
};

TEST_F(TocTest, AHeldScanWaitsUntilAShorterHoldAndStopsWhileHeld) {
  constexpr auto kLongHold = std::chrono::hours(1);
  ChapterList held;
  held.Hold(kLongHold);
  held.Start(platform, FromUtf8(bookPath_), TextEncoding::kCp949, "", "", u"");
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(held.state(), ChapterList::State::kScanning);
  held.Hold(std::chrono::milliseconds(0));
  for (int i = 0; i < 5000 && held.state() == ChapterList::State::kScanning; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  EXPECT_EQ(held.state(), ChapterList::State::kDone);
  EXPECT_EQ(held.size(), size_t{kChapters + 1});

  // Stopping a held scan does not wait for the hold to end.
  held.Hold(kLongHold);
  held.Start(platform, FromUtf8(bookPath_), TextEncoding::kCp949, "", "", u"");
  held.Stop();
  EXPECT_EQ(held.state(), ChapterList::State::kNone);
}

TEST_F(TocTest, AViewWithoutADataFolderKeepsNoCacheInTheWorkingFolder) {
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  view = std::make_unique<CTirasolView>(platform, host);
  ASSERT_TRUE(view->OpenDocument(FromUtf8(bookPath_)));
  WaitForChapters();
  view.reset();
  std::filesystem::current_path(before);
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    if (entry.path().filename() == "CMakeCache.txt") continue;  // the fixture's build tree
    EXPECT_EQ(entry.path().filename(), "book.txt");
    ++files;
  }
  EXPECT_EQ(files, 1);
}

TEST_F(TocTest, ListsTheChaptersWithTheCurrentOneAndJumps) {
  Open();
  view->OnCommand(kCmdNextChapter);
  view->OnCommand(kCmdNextChapter);
  Paint();
  TocModel toc(*view);
  ShowAll(toc);
  ASSERT_EQ(toc.ChildCount(-1), kChapters + 1);
  EXPECT_EQ(toc.Title(1), u"Chapter 1");
  EXPECT_EQ(toc.Status(), u"모두 5개");
  // Prologue, then chapters 1 and 2: the page is at chapter 2, node 2.
  EXPECT_EQ(toc.Current(), 2);
  toc.Jump(toc.Child(-1, 4));
  Paint();
  EXPECT_EQ(view->pagePosition(), headingPositions_[3]);
  EXPECT_EQ(view->topLine()->Text(), u"Chapter 4");
  EXPECT_EQ(host.title(), u"book.txt - Chapter 4 — 리라코");
}

TEST_F(TocTest, ChapterStepsGoBackAndForthAndTheTitleFollows) {
  Open();
  EXPECT_EQ(host.title(), u"book.txt - Prologue — 리라코");
  view->OnCommand(kCmdNextChapter);
  Paint();
  EXPECT_EQ(view->pagePosition(), headingPositions_[0]);
  EXPECT_EQ(host.title(), u"book.txt - Chapter 1 — 리라코");
  view->OnCommand(kCmdPreviousChapter);
  Paint();
  EXPECT_EQ(view->pagePosition(), 0);
  view->OnCommand(kCmdPreviousChapter);
  Paint();
  EXPECT_EQ(view->pagePosition(), 0);
}

TEST_F(TocTest, TheTitleNamesTheVolumeAndTheChapter) {
  std::string text;
  for (const char* part : {"Part One\n", "Part Two\n"}) {
    text += part;
    text += "Chapter 1\n";
    for (int l = 0; l < kLinesPerChapter; ++l)
      text += "The part goes on.\n";
  }
  bookPath_ = dir.Write("book.txt", text);
  Open();
  view->OnCommand(kCmdNextChapter);
  Paint();
  EXPECT_EQ(host.title(), u"book.txt - Part One \u203A Chapter 1 — 리라코");
  view->OnCommand(kCmdNextChapter);
  view->OnCommand(kCmdNextChapter);
  Paint();
  EXPECT_EQ(host.title(), u"book.txt - Part Two \u203A Chapter 1 — 리라코");
  // The list is a tree: each part holds its chapter.
  TocModel toc(*view);
  ShowAll(toc);
  ASSERT_EQ(toc.ChildCount(-1), 2);
  EXPECT_EQ(toc.Title(toc.Child(-1, 1)), u"Part Two");
  EXPECT_EQ(toc.ChildCount(toc.Child(-1, 1)), 1);
  EXPECT_EQ(toc.Parent(3), 2);
}

TEST_F(TocTest, CorrectionsAreKeptForTheBookThroughARestartAndARescan) {
  Open();
  view->GoToPosition(headingPositions_[1] + 30);
  Paint();
  const std::string topLine = ToUtf8(view->topLine()->Text());
  {
    TocModel toc(*view);
    ShowAll(toc);
    toc.AddHere();
    ShowAll(toc);
    toc.Rename(1, u"  첫 장 ");
    ShowAll(toc);
    toc.Remove(0);
  }
  const std::vector<std::string> corrected = {"첫 장", "Chapter 2", topLine, "Chapter 3",
                                              "Chapter 4"};
  auto titles = [this] {
    std::vector<std::string> all;
    for (const Chapter& chapter : view->chapters().Chapters())
      all.push_back(chapter.title);
    return all;
  };
  EXPECT_EQ(titles(), corrected);
  view.reset();
  Open();
  EXPECT_TRUE(view->chapters().fromCache());
  EXPECT_EQ(titles(), corrected);
  std::string err;
  ASSERT_TRUE(view->SetTocRule("^no such heading$", &err));
  WaitForChapters();
  EXPECT_FALSE(view->chapters().fromCache());
  EXPECT_EQ(titles(), corrected);
}

TEST_F(TocTest, ASecondOpenTakesTheChaptersFromTheCache) {
  Open();
  EXPECT_FALSE(view->chapters().fromCache());
  const std::vector<Chapter> scanned = view->chapters().Chapters();
  view->OpenDocument(FromUtf8(bookPath_));
  WaitForChapters();
  EXPECT_TRUE(view->chapters().fromCache());
  EXPECT_EQ(view->chapters().Chapters(), scanned);
}

TEST_F(TocTest, AChangedBookIsScannedAgain) {
  Open();
  // One more heading at the end; the size (and the time) differ from the cached ones.
  std::string text = ReadFileBytes(bookPath_) + "Epilogue\n";
  dir.Write("book.txt", text);
  view->OpenDocument(FromUtf8(bookPath_));
  WaitForChapters();
  EXPECT_FALSE(view->chapters().fromCache());
  EXPECT_EQ(view->chapters().size(), size_t{kChapters + 2});
}

TEST_F(TocTest, ADamagedCacheIsScannedAgain) {
  Open();
  std::string cache = ReadFileBytes(ToUtf8(CacheFile()));
  ASSERT_FALSE(cache.empty());
  // Cut before the last line, "end".
  dir.Write(ToUtf8(CacheFile()).substr(dir.path().size() + 1), cache.substr(0, cache.size() - 6));
  view->OpenDocument(FromUtf8(bookPath_));
  WaitForChapters();
  EXPECT_FALSE(view->chapters().fromCache());
  EXPECT_EQ(view->chapters().size(), size_t{kChapters + 1});
}

TEST(ChapterCacheTest, ChaptersTheScanCouldNotHaveFoundAreNotTrusted) {
  TempDir dir;
  HeadlessPlatform platform;
  const std::u16string file = FromUtf8(dir.File("toc.cache"));
  const ChapterCacheKey key{u"/books/big.txt", 1'000'000, 1, TextEncoding::kUtf16Le, "", ""};
  auto trusted = [&](const std::vector<Chapter>& chapters) {
    std::string err;
    EXPECT_TRUE(ChapterCache::Save(platform, file, key, chapters, &err)) << err;
    std::vector<Chapter> loaded;
    return ChapterCache::Load(platform, file, key, &loaded) && loaded == chapters;
  };
  // As many as the scan keeps, in book order, inside the book's 500,000 units.
  std::vector<Chapter> chapters;
  for (int32_t i = 0; i < static_cast<int32_t>(ChapterScanner::kMaxChapters); ++i)
    chapters.push_back(Chapter{i * 20, "Chapter " + std::to_string(i), "Chapter N"});
  EXPECT_TRUE(trusted(chapters));
  std::vector<Chapter> tooMany = chapters;
  tooMany.push_back(Chapter{499'999, "Chapter last", "Chapter N"});
  EXPECT_FALSE(trusted(tooMany));
  EXPECT_FALSE(trusted({Chapter{500'000, "Chapter 1", "Chapter N"}}));
  EXPECT_FALSE(trusted({Chapter{40, "Chapter 2", "Chapter N"}, Chapter{20, "Chapter 1", "x"}}));
  EXPECT_FALSE(trusted({Chapter{20, "Chapter 1", "x"}, Chapter{20, "Chapter 1", "x"}}));
  EXPECT_FALSE(trusted({Chapter{20, std::string(41, 'a'), "user"}}));
  EXPECT_TRUE(trusted({Chapter{20, std::string(40, 'a'), "user"}}));
}

TEST_F(TocTest, ACacheOfChaptersPastTheBooksEndIsScannedAgain) {
  Open();
  std::unique_ptr<File> book = platform.OpenForReading(FromUtf8(bookPath_));
  ASSERT_TRUE(book);
  const ChapterCacheKey key{FromUtf8(bookPath_),  book->Size(), book->ModifiedTime(),
                            view->openEncoding(), "",           ""};
  std::string err;
  ASSERT_TRUE(ChapterCache::Save(platform, CacheFile(), key,
                                 {Chapter{0, "Prologue", "Prologue"},
                                  Chapter{static_cast<int32_t>(key.size), "Chapter 9", "x"}},
                                 &err))
      << err;
  view->OpenDocument(FromUtf8(bookPath_));
  WaitForChapters();
  EXPECT_FALSE(view->chapters().fromCache());
  EXPECT_EQ(view->chapters().size(), size_t{kChapters + 1});
}

// Waits for the news of `rules`' count (at most 10 s) and takes the counts.
void WaitForCounts(TocRulesModel& rules) {
  std::mutex mutex;
  std::condition_variable arrived;
  bool news = false;
  rules.Listen([&] {
    std::lock_guard<std::mutex> lock(mutex);
    news = true;
    arrived.notify_all();
  });
  {
    std::unique_lock<std::mutex> lock(mutex);
    ASSERT_TRUE(arrived.wait_for(lock, std::chrono::seconds(10), [&] { return news; }));
  }
  rules.Listen(nullptr);
  rules.Acknowledge();
  ASSERT_TRUE(rules.Fetch());
}

// The row of `rules` whose label starts with `name`, or -1.
int RowOf(const TocRulesModel& rules, const std::u16string& name) {
  for (int row = 0; row < rules.size(); ++row) {
    if (rules.Label(row).rfind(name + u" · ", 0) == 0) return row;
  }
  return -1;
}

TEST_F(TocTest, EachRuleIsCountedAndTheBooksChoiceOutlivesARestartAndBeatsTheDefault) {
  Open();
  {
    TocRulesModel rules(*view);
    EXPECT_EQ(rules.Label(0), u"모든 규칙 (기본) · 세는 중");
    WaitForCounts(rules);
    EXPECT_EQ(rules.Label(0), u"모든 규칙 (기본) · 5개");
    EXPECT_EQ(rules.Label(1), u"Chapter N · 4개");
    EXPECT_EQ(rules.Label(2), u"Prologue · 1개");
    EXPECT_EQ(rules.Current(), 0);
    rules.Choose(1);
    WaitForChapters();
    EXPECT_EQ(view->chapters().size(), size_t{kChapters});
    EXPECT_EQ(rules.Current(), 1);
  }
  // A pattern for every book now, which a book without a choice takes.
  std::string err;
  ASSERT_TRUE(view->SetTocRule("line 7\\.$", &err));
  // Another book (the library knows a copy of a book by its first words).
  const std::string other = dir.Write("other.txt", "Another book.\n" + ReadFileBytes(bookPath_));
  view.reset();
  Open();
  EXPECT_EQ(view->BookTocChoice(), "Chapter N");
  EXPECT_EQ(view->chapters().size(), size_t{kChapters});
  EXPECT_EQ(view->chapters().At(0)->title, "Chapter 1");
  // Back to every rule: the chapters kept for the one rule are not taken for them.
  ASSERT_TRUE(view->SetBookToc("", "", &err));
  WaitForChapters();
  EXPECT_FALSE(view->chapters().fromCache());
  EXPECT_EQ(view->chapters().size(), size_t{kChapters * 2 + 1});
  view->OpenDocument(FromUtf8(other));
  WaitForChapters();
  EXPECT_EQ(view->chapters().size(), size_t{kChapters * 2 + 1});
}

TEST_F(TocTest, ABooksOwnPatternIsCheckedKeptForItAloneAndCountedAgain) {
  Open();
  TocModel toc(*view);
  ShowAll(toc);
  TocRulesModel rules(*view);
  WaitForCounts(rules);
  EXPECT_FALSE(rules.ApplyRule(u"Chapter (2"));
  EXPECT_EQ(rules.Status().rfind(u"규칙이 올바르지 않습니다: ", 0), 0u);
  EXPECT_EQ(view->BookTocRule(), "");
  EXPECT_EQ(view->chapters().size(), size_t{kChapters + 1});

  std::atomic<int> news{0};
  toc.Listen([&news] { ++news; });
  ASSERT_TRUE(rules.ApplyRule(u"line 7\\.$"));
  WaitForChapters();
  WaitForCounts(rules);
  EXPECT_GE(news.load(), 1);
  EXPECT_EQ(view->TocRule(), "");
  EXPECT_EQ(view->BookTocChoice(), "user");
  const int own = RowOf(rules, u"내 규칙");
  EXPECT_EQ(rules.Label(own), u"내 규칙 · 4개");
  EXPECT_EQ(rules.Current(), own);
  // The new list is no continuation of the shown one: it replaces it.
  EXPECT_EQ(toc.Fetch(), TocModel::Change::kReset);
  toc.Reset();
  EXPECT_EQ(toc.size(), size_t{kChapters});

  // A pattern that a hand edited store holds is not used: nothing is scanned.
  view->readerStore().SetValue("toc.rule", "(");
  view->readerStore().RemoveBookValue(FromUtf8(bookPath_), "toc.rule");
  view->OpenDocument(FromUtf8(bookPath_));
  EXPECT_EQ(view->chapters().state(), ChapterList::State::kFailed);
  EXPECT_NE(view->chapters().error(), "");
}

}  // namespace
}  // namespace lirako::testing

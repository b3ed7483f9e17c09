#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/mbcs_text_engine.h"
#include "engine/unicode_text_engine.h"
#include "engine/utf8_text_engine.h"
#include "tests/engine/engine_test_util.h"
#include "tests/support/temp_dir.h"

namespace lirako {
namespace {

using testing::LineInfo;
using testing::PageOf;
using testing::TempDir;
using testing::Utf16File;

// Paragraphs "p00 xxxxx", "p01 xxxxx", ... one line each on a 240-pixel page.
std::string NumberedParagraphs(int count, const std::string& brk = "\r\n") {
  std::string text;
  for (int i = 0; i < count; ++i) {
    text += "p" + std::string(i < 10 ? "0" : "") + std::to_string(i) + " xxxxx";
    if (i + 1 < count) text += brk;
  }
  return text;
}

std::u16string Widen(const std::string& s) {
  return std::u16string(s.begin(), s.end());
}

template <typename Engine>
class Book {
 public:
  // A page of `lines` lines: 16-pixel lines with gap 1 and margins 5 above and below.
  explicit Book(const std::string& fileBytes, int lines = 4, int shared = 0) : engine_(platform_) {
    path_ = dir_.Write("book.txt", fileBytes);
    EXPECT_TRUE(engine_.Load(FromUtf8(path_)));
    testing::PrepareEngine(engine_, platform_, 240, 10 + 17 * lines + 1, Rect{6, 5, 6, 5}, 1,
                           shared, true);
    engine_.GoToStart();
  }
  std::vector<LineInfo> Page() const { return PageOf(engine_); }
  std::vector<std::u16string> Texts() const {
    std::vector<std::u16string> out;
    for (const LineInfo& line : Page())
      out.push_back(line.units);
    return out;
  }
  Engine& operator*() { return engine_; }
  Engine* operator->() { return &engine_; }

 private:
  TempDir dir_;
  HeadlessPlatform platform_;
  std::string path_;
  Engine engine_;
};

std::vector<std::u16string> P(std::initializer_list<int> numbers) {
  std::vector<std::u16string> out;
  for (int i : numbers) {
    out.push_back(Widen("p" + std::string(i < 10 ? "0" : "") + std::to_string(i) + " xxxxx"));
  }
  return out;
}

TEST(PageModel, HoldsTheLinesThatFitAboveTheBottomMargin) {
  Book<CMbcsTextEngine> book(NumberedParagraphs(40), 4);
  EXPECT_EQ(book->PageCapacity(), 4);
  book->SetPageRect(0, 0, 240, 320);  // 310 pixels between the margins, pitch 17
  EXPECT_EQ(book->PageCapacity(), 18);
  book->SetPageRect(0, 0, 240, 10 + 17 * 18);  // exactly 18 pitches: the last does not fit
  EXPECT_EQ(book->PageCapacity(), 17);
  book->SetPageRect(0, 0, 240, 12);  // too small for one line: still one
  EXPECT_EQ(book->PageCapacity(), 1);
  book->SetLayout(Rect{6, 5, 6, 5}, -16, 0, true);  // pitch 0
  EXPECT_EQ(book->PageCapacity(), 1);
  book->PageForward();
  EXPECT_EQ(book.Texts(), P({0}));
  book->PageForward();
  EXPECT_EQ(book.Texts(), P({1}));
  EXPECT_EQ(book->usedHeight, 0);
}

TEST(PageModel, TurnsPagesWithSharedLines) {
  Book<CMbcsTextEngine> book(NumberedParagraphs(20), 5, 2);
  book->PageForward();
  EXPECT_EQ(book.Texts(), P({0, 1, 2, 3, 4}));
  EXPECT_EQ(book->GetPosition(), 0);
  book->PageForward();
  EXPECT_EQ(book.Texts(), P({3, 4, 5, 6, 7}));
  book->PageForward();
  EXPECT_EQ(book.Texts(), P({6, 7, 8, 9, 10}));
  book->PageBackward();  // the top two lines become the bottom two
  EXPECT_EQ(book.Texts(), P({3, 4, 5, 6, 7}));
  EXPECT_EQ(book->GetBottomPosition(), book.Page().back().offset);
  book->PageForward();  // goes on exactly below the bottom line, sharing two lines
  EXPECT_EQ(book.Texts(), P({6, 7, 8, 9, 10}));

  Book<CUnicodeTextEngine> wide(Utf16File(Widen(NumberedParagraphs(20))), 5, 2);
  wide->PageForward();
  wide->PageForward();
  wide->PageForward();
  wide->PageBackward();
  EXPECT_EQ(wide.Texts(), P({3, 4, 5, 6, 7}));
  wide->PageForward();
  EXPECT_EQ(wide.Texts(), P({6, 7, 8, 9, 10}));

  // With as many shared lines as the page holds a turn still moves on.
  Book<CMbcsTextEngine> all(NumberedParagraphs(20), 3, 3);
  all->PageForward();
  all->PageForward();
  EXPECT_EQ(all.Texts(), P({1, 2, 3}));
  all->PageBackward();
  EXPECT_EQ(all.Texts(), P({0, 1, 2}));
  all->PageBackward();
  EXPECT_EQ(all->GetPosition(), 0);
  EXPECT_EQ(all.Texts().front(), P({0})[0]);
}

TEST(PageModel, StaysOnTheFirstAndLastPages) {
  Book<CMbcsTextEngine> book(NumberedParagraphs(6), 4);
  book->PageForward();
  auto first = book.Page();
  book->PageBackward();
  EXPECT_EQ(book.Page(), first);
  book->LineBackward();
  EXPECT_EQ(book.Page(), first);
  book->PageForward();
  EXPECT_EQ(book.Texts(), P({4, 5}));
  EXPECT_TRUE(book->IsAtEnd());
  auto last = book.Page();
  book->PageForward();
  EXPECT_EQ(book.Page(), last);
  book->LineForward();
  EXPECT_EQ(book.Page(), last);
}

TEST(PageModel, PageBackwardNearTheStartLaysOutFromZero) {
  for (const char* brk : {"\r\n", "\n", "\r", "\n\r"}) {
    Book<CMbcsTextEngine> book(NumberedParagraphs(10, brk), 4);
    book->PageForward();
    auto first = book.Page();
    book->SetPosition(first[2].offset);
    EXPECT_EQ(book->GetPosition(), first[2].offset);
    book->PageForward();
    EXPECT_EQ(book.Texts(), P({2, 3, 4, 5}));
    book->PageBackward();
    EXPECT_EQ(book.Page(), first) << brk;
    EXPECT_EQ(book->GetPosition(), 0);
  }
}

TEST(PageModel, EndThenBackwardShowsTheLastPage) {
  {
    Book<CMbcsTextEngine> book(NumberedParagraphs(10), 4);
    book->GoToEnd();
    EXPECT_TRUE(book->IsAtEnd());
    book->PageForward();  // nothing to read forward at the end
    EXPECT_TRUE(book.Page().empty());
    book->PageBackward();
    EXPECT_EQ(book.Texts(), P({6, 7, 8, 9}));
    EXPECT_TRUE(book->IsAtEnd());
  }
  {
    // A final line break ends the last line: no empty line stands for it.
    Book<CMbcsTextEngine> book(NumberedParagraphs(10) + "\r\n", 4);
    book->GoToEnd();
    book->PageBackward();
    EXPECT_EQ(book.Texts(), P({6, 7, 8, 9}));
    auto last = book.Page();
    book->PageForward();
    EXPECT_EQ(book.Page(), last);
  }
  for (const char* tail : {"", "\r\n"}) {
    Book<CUnicodeTextEngine> book(Utf16File(Widen(NumberedParagraphs(10) + tail)), 4);
    book->GoToEnd();
    book->PageBackward();
    EXPECT_EQ(book.Texts(), P({6, 7, 8, 9})) << tail;
    EXPECT_TRUE(book->IsAtEnd());
  }
}

TEST(PageModel, LineStepsOnOneLinePagesAndGrowingPages) {
  Book<CMbcsTextEngine> book(NumberedParagraphs(5), 1);
  book->PageForward();
  EXPECT_EQ(book.Texts(), P({0}));
  book->LineForward();
  EXPECT_EQ(book.Texts(), P({1}));
  book->LineForward();
  EXPECT_EQ(book.Texts(), P({2}));
  book->LineBackward();
  auto up = book.Texts();
  ASSERT_EQ(up.size(), 1u);
  book->LineBackward();
  book->LineBackward();
  book->LineBackward();
  EXPECT_EQ(book->GetPosition(), 0);
  for (int i = 0; i < 10; ++i)
    book->LineForward();
  EXPECT_EQ(book.Texts(), P({4}));
  EXPECT_TRUE(book->IsAtEnd());

  // A one-line page on a page with room grows at the next line step.
  Book<CMbcsTextEngine> grow(NumberedParagraphs(8), 1);
  grow->PageForward();
  grow->PageForward();
  grow->SetPageRect(0, 0, 240, 10 + 17 * 3 + 1);
  grow->LineForward();
  EXPECT_EQ(grow.Texts(), P({1, 2, 3}));
  grow->LineForward();
  EXPECT_EQ(grow.Texts(), P({2, 3, 4}));
  grow->LineBackward();
  EXPECT_EQ(grow.Texts().back(), P({3})[0]);
}

TEST(PageModel, LineStepsAfterTurnsContinueExactly) {
  Book<CMbcsTextEngine> book(NumberedParagraphs(12, "\n\r"), 3);
  book->PageForward();
  book->PageForward();
  EXPECT_EQ(book.Texts(), P({3, 4, 5}));
  book->LineBackward();
  EXPECT_EQ(book.Texts().back(), P({4})[0]);
  book->LineForward();
  EXPECT_EQ(book.Texts(), P({3, 4, 5}));
  book->LineForward();
  EXPECT_EQ(book.Texts(), P({4, 5, 6}));
  book->GoToEnd();
  book->PageBackward();
  EXPECT_EQ(book.Texts(), P({9, 10, 11}));
  book->LineBackward();
  EXPECT_EQ(book.Texts(), P({8, 9, 10}));
  book->LineForward();
  EXPECT_EQ(book.Texts(), P({9, 10, 11}));
}

TEST(PageModel, FractionsAndPositions) {
  Book<CMbcsTextEngine> book(NumberedParagraphs(10), 4);
  book->SetFraction(0.0f);
  EXPECT_EQ(book->GetPosition(), 0);
  book->PageForward();
  EXPECT_EQ(book.Texts(), P({0, 1, 2, 3}));
  book->SetFraction(0.55f);
  int32_t at = book->GetPosition();
  book->PageForward();
  // The page starts at the break before the paragraph holding the fraction.
  auto texts = book.Texts();
  ASSERT_FALSE(texts.empty());
  EXPECT_EQ(texts[0], u"");
  EXPECT_EQ(texts[1], P({5})[0]);
  EXPECT_EQ(book->GetPosition(), at);
  book->SetPosition(100000);  // beyond the end
  EXPECT_EQ(book->GetPosition(), 0);
  EXPECT_EQ(book->GetTopLine(), nullptr);
  book->PageForward();
  ASSERT_NE(book->GetTopLine(), nullptr);
  EXPECT_EQ(book->GetTopLine()->Text(), P({0})[0]);
}

// Every page reached by line steps up and Page Up equals the page that reading forward shows at
// the same top line: paragraphs that start a page, empty lines, lines that end in a blank.
template <typename Engine>
void ExpectStepsUpShowTheForwardPages(const std::string& fileBytes) {
  Book<Engine> book(fileBytes, 4, 1);
  std::map<int32_t, std::vector<LineInfo>> forward;
  book->PageForward();
  while (forward.emplace(book->GetPosition(), book.Page()).second)
    book->LineForward();
  auto expectForwardPage = [&](const char* step, int32_t from) {
    const auto page = forward.find(book->GetPosition());
    ASSERT_NE(page, forward.end()) << step << " from " << from;
    EXPECT_EQ(book.Page(), page->second) << step << " from " << from;
  };
  std::vector<int32_t> tops;
  for (const auto& [top, page] : forward)
    tops.push_back(top);
  for (int32_t top : tops) {
    book->SetPosition(top);
    book->PageForward();
    book->LineForward();
    book->LineBackward();
    expectForwardPage("line up", top);
    book->LineBackward();
    expectForwardPage("second line up", top);
    book->SetPosition(top);
    book->PageForward();
    book->PageForward();
    book->PageBackward();
    expectForwardPage("page up", top);
  }
}

TEST(PageModel, StepsUpShowTheLinesOfReadingForward) {
  const std::string text =
      "Title\r\n\r\nfirst words of a paragraph long enough to wrap over several lines of the "
      "page \r\n\r\n\r\nshort one\r\nanother paragraph that runs on past the width of one "
      "line and ends in blanks    \r\nlast";
  ExpectStepsUpShowTheForwardPages<CMbcsTextEngine>(text);
  ExpectStepsUpShowTheForwardPages<CUtf8TextEngine>(text);
  ExpectStepsUpShowTheForwardPages<CUnicodeTextEngine>(Utf16File(Widen(text)));
}

}  // namespace
}  // namespace lirako

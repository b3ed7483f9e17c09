#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "engine/char_classes.h"
#include "engine/mbcs_text_engine.h"
#include "engine/unicode_text_engine.h"
#include "tests/engine/engine_test_util.h"
#include "tests/support/temp_dir.h"

namespace lirako {
namespace {

using testing::LineInfo;
using testing::PageOf;
using testing::TempDir;

// A seeded book of paragraphs of Hangul and Latin words, numbers, tabs and blank runs, with
// blank lines and every kind of line break. Byte books use code page 949 (Wansung, extended
// Hangul and the C6 41..C6 52 syllables); UTF-16 books Hangul syllables and Latin-1.
template <typename Unit>
std::basic_string<Unit> GenerateBook(uint32_t seed, size_t units) {
  std::mt19937 rng(seed);
  auto pick = [&rng](uint32_t n) { return static_cast<uint32_t>(rng() % n); };
  const char* breaks[] = {"\r", "\n", "\r\n", "\n\r", "\r\r", "\n\n"};
  std::basic_string<Unit> out;
  auto add = [&out](const std::string& s) {
    for (char c : s)
      out.push_back(static_cast<Unit>(static_cast<unsigned char>(c)));
  };
  auto syllable = [&]() {
    if constexpr (sizeof(Unit) == 1) {
      switch (pick(8)) {
        case 0:
          out.push_back(static_cast<Unit>(0x81 + pick(0x45)));
          out.push_back(static_cast<Unit>(0x41 + pick(0x60)));
          break;
        case 1:
          out.push_back(0xC6);
          out.push_back(static_cast<Unit>(0x41 + pick(0x12)));
          break;
        default:
          out.push_back(static_cast<Unit>(0xB0 + pick(0x19)));
          out.push_back(static_cast<Unit>(0xA1 + pick(0x5E)));
      }
    } else {
      out.push_back(pick(10) == 0 ? static_cast<Unit>(0xC0 + pick(0x40))
                                  : static_cast<Unit>(0xAC00 + pick(11172)));
    }
  };
  add("Start");
  while (out.size() < units) {
    uint32_t words = pick(5) == 0 ? 0 : pick(70);
    if (pick(4) == 0) add(std::string(pick(4), ' '));
    for (uint32_t w = 0; w < words; ++w) {
      uint32_t kind = pick(10);
      if (kind < 5) {
        for (uint32_t i = 1 + pick(6); i > 0; --i)
          syllable();
      } else if (kind < 8) {
        uint32_t letters = pick(30) == 0 ? 45 : 1 + pick(11);
        for (uint32_t i = 0; i < letters; ++i)
          add(std::string(1, static_cast<char>('a' + pick(26))));
      } else if (kind == 8) {
        add(std::to_string(pick(100000)));
      } else {
        add("\t");
      }
      add(pick(6) == 0 ? "  " : pick(12) == 0 ? "\t" : " ");
    }
    add(breaks[pick(6)]);
    if (pick(6) == 0) add(breaks[pick(6)]);
  }
  return out;
}

bool IsGapUnit(char16_t u) {
  return IsBlank(u) || IsLineBreak(u);
}

template <typename Engine>
class WholeBook {
 public:
  using Unit = typename Engine::Reader::UnitType;

  WholeBook(const std::basic_string<Unit>& text, int sharedLines) : engine_(platform_) {
    std::string bytes;
    if constexpr (sizeof(Unit) == 1) {
      bytes.assign(text.begin(), text.end());
      units_.assign(text.begin(), text.end());
    } else {
      bytes = testing::Utf16File(text);
      units_ = u" " + std::u16string(text.begin(), text.end());  // the mark reads as a blank
    }
    EXPECT_TRUE(engine_.Load(FromUtf8(dir_.Write("book.txt", bytes))));
    testing::PrepareEngine(engine_, platform_, 240, 320, Rect{6, 5, 6, 5}, 1, sharedLines, true);
  }

  std::string Dump(const LineInfo& line) const {
    std::string out = std::to_string(line.offset) + "+" + std::to_string(line.length) + " end " +
                      std::to_string(line.end) + " text " + std::to_string(line.units.size()) +
                      " [";
    for (int32_t i = std::max(0, line.offset - 4); i < line.offset + line.length + 4; ++i) {
      out += std::to_string(static_cast<int>(units_[static_cast<size_t>(i)])) + " ";
    }
    return out + "]";
  }
  // Units [from, to) hold only blanks and line breaks.
  bool OnlyGap(int32_t from, int32_t to) const {
    for (int32_t i = std::max(from, 0); i < to && i < static_cast<int32_t>(units_.size()); ++i) {
      if (!IsGapUnit(units_[static_cast<size_t>(i)])) return false;
    }
    return true;
  }
  // The line's text is the file's text at its offset.
  bool Matches(const LineInfo& line) const {
    return units_.compare(static_cast<size_t>(line.offset), line.units.size(), line.units) == 0;
  }
  // The line of the forward layout that follows a line ending at `end`.
  const LineInfo* Successor(int32_t end) const {
    for (const LineInfo& line : reference_) {
      if (line.offset >= end) return &line;
    }
    return nullptr;
  }

  // Pages forward from the start to the end and checks that no text repeats or is skipped.
  void PageThroughForward() {
    engine_.GoToStart();
    engine_.PageForward();
    reference_.clear();
    int32_t lastTop = -1;
    for (int guard = 0; guard < 100000; ++guard) {
      auto page = PageOf(engine_);
      ASSERT_FALSE(page.empty());
      ASSERT_GT(page.front().offset, lastTop);
      lastTop = page.front().offset;
      // Shared lines repeat the bottom of the page before.
      for (const LineInfo& line : page) {
        if (reference_.empty() || line.offset > reference_.back().offset) {
          reference_.push_back(line);
        }
      }
      if (engine_.IsAtEnd()) break;
      engine_.PageForward();
    }
    ASSERT_TRUE(engine_.IsAtEnd());
    auto last = PageOf(engine_);
    engine_.PageForward();
    EXPECT_EQ(PageOf(engine_), last);
    ASSERT_FALSE(reference_.empty());
    EXPECT_TRUE(OnlyGap(0, reference_.front().offset));
    for (size_t i = 0; i < reference_.size(); ++i) {
      const LineInfo& line = reference_[i];
      ASSERT_TRUE(Matches(line)) << line.offset;
      int32_t next = i + 1 < reference_.size() ? reference_[i + 1].offset
                                               : static_cast<int32_t>(units_.size());
      if (i + 1 < reference_.size()) {
        ASSERT_LT(line.offset, next);
      }
      ASSERT_LE(line.offset + line.length, next) << line.offset;
      ASSERT_TRUE(OnlyGap(line.offset + line.length, next)) << line.offset;
      ASSERT_EQ(line.end, std::max(line.offset + line.length, line.end));
    }
  }

  // Pages backward from the end to the first page and checks that no text is skipped.
  void PageThroughBackward() {
    engine_.GoToEnd();
    engine_.PageBackward();
    std::vector<LineInfo> later;
    for (int guard = 0; guard < 100000; ++guard) {
      auto page = PageOf(engine_);
      ASSERT_FALSE(page.empty());
      for (const LineInfo& line : page)
        ASSERT_TRUE(Matches(line)) << line.offset;
      // Backward reading may pair the break characters of a run differently from forward
      // reading, so lines are compared by their text: nothing but blanks and breaks between.
      auto textEnd = [](const LineInfo& line) {
        return line.offset + static_cast<int32_t>(line.units.size());
      };
      for (size_t i = 0; i + 1 < page.size(); ++i) {
        ASSERT_LE(textEnd(page[i]), page[i + 1].offset) << Dump(page[i]);
        ASSERT_TRUE(OnlyGap(textEnd(page[i]), page[i + 1].offset)) << Dump(page[i]);
      }
      const bool firstPage = page.front().offset == reference_.front().offset;
      if (!later.empty()) {
        // Only the first page, laid out from 0 forward, may overlap the page after it.
        if (!firstPage) {
          ASSERT_LT(page.back().offset, later.front().offset);
        }
        ASSERT_TRUE(OnlyGap(textEnd(page.back()), later.front().offset)) << Dump(page.back());
      } else {
        EXPECT_TRUE(OnlyGap(textEnd(page.back()), static_cast<int32_t>(units_.size())));
      }
      if (firstPage) break;
      later = page;
      engine_.PageBackward();
    }
    // The last turn shows the first page as laid out from offset 0.
    auto first = PageOf(engine_);
    ASSERT_LE(first.size(), reference_.size());
    EXPECT_TRUE(std::equal(first.begin(), first.end(), reference_.begin()));
  }

  // Random steps; every forward step goes on exactly below the previous bottom line.
  void RandomWalk(uint32_t seed, int steps, int sharedLines) {
    std::mt19937 rng(seed);
    engine_.SetFraction(0.5f);
    engine_.PageForward();
    for (int step = 0; step < steps; ++step) {
      auto before = PageOf(engine_);
      bool atEnd = engine_.IsAtEnd();
      uint32_t op = rng() % 10;
      if (op < 3) {
        engine_.PageForward();
      } else if (op < 5) {
        engine_.LineForward();
      } else if (op < 7) {
        engine_.PageBackward();
      } else if (op < 9) {
        engine_.LineBackward();
      } else {
        engine_.GoToEnd();
        engine_.PageBackward();
        continue;
      }
      auto after = PageOf(engine_);
      ASSERT_FALSE(after.empty());
      for (const LineInfo& line : after)
        ASSERT_TRUE(Matches(line)) << line.offset;
      if (op >= 5 || before.empty()) continue;
      if (atEnd) {
        ASSERT_EQ(after, before);
        continue;
      }
      const LineInfo* next = Successor(before.back().end);
      ASSERT_NE(next, nullptr);
      size_t fresh = op < 3 ? std::min<size_t>({static_cast<size_t>(sharedLines), before.size(),
                                                static_cast<size_t>(engine_.PageCapacity() - 1)})
                            : after.size() - 1;
      if (op >= 3 && after.size() < before.size()) continue;
      ASSERT_LT(fresh, after.size());
      EXPECT_EQ(after[fresh].offset, next->offset) << "step " << step << " op " << op;
      EXPECT_EQ(after[fresh].units, next->units) << "step " << step << " op " << op;
    }
  }

 private:
  TempDir dir_;
  HeadlessPlatform platform_;
  Engine engine_;
  std::u16string units_;
  std::vector<LineInfo> reference_;
};

TEST(WholeBook, ByteBookPagesThroughWithoutLossOrRepeats) {
  auto text = GenerateBook<uint8_t>(20261207, 1200000);
  WholeBook<CMbcsTextEngine> book(text, 0);
  ASSERT_NO_FATAL_FAILURE(book.PageThroughForward());
  ASSERT_NO_FATAL_FAILURE(book.PageThroughBackward());
  ASSERT_NO_FATAL_FAILURE(book.RandomWalk(7, 3000, 0));
  WholeBook<CMbcsTextEngine> shared(text, 2);
  ASSERT_NO_FATAL_FAILURE(shared.PageThroughForward());
  ASSERT_NO_FATAL_FAILURE(shared.RandomWalk(8, 3000, 2));
}

TEST(WholeBook, Utf16BookPagesThroughWithoutLossOrRepeats) {
  auto text = GenerateBook<char16_t>(4242, 600000);
  WholeBook<CUnicodeTextEngine> book(text, 0);
  ASSERT_NO_FATAL_FAILURE(book.PageThroughForward());
  ASSERT_NO_FATAL_FAILURE(book.PageThroughBackward());
  ASSERT_NO_FATAL_FAILURE(book.RandomWalk(9, 3000, 0));
  WholeBook<CUnicodeTextEngine> shared(text, 2);
  ASSERT_NO_FATAL_FAILURE(shared.PageThroughForward());
  ASSERT_NO_FATAL_FAILURE(shared.RandomWalk(10, 3000, 2));
}

}  // namespace
}  // namespace lirako

#include "engine/search_all.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "engine/basic_text_reader.h"
#include "engine/code_table.h"
#include "engine/glyph_metrics.h"
#include "engine/mbcs_text_engine.h"
#include "engine/typography.h"
#include "tests/engine/engine_test_util.h"
#include "tests/support/temp_dir.h"

namespace lirako {
namespace {

using testing::TempDir;

// Short split span, so that long runs are cut every few dozen units.
constexpr int32_t kSpan = 64;
// Fewer characters than a piece holds, so that the context never needs two pieces back.
constexpr int kContext = 12;

struct Found {
  int32_t begin;
  std::u16string context;
  bool operator==(const Found&) const = default;
};

void PrintTo(const Found& f, std::ostream* os) {
  *os << "{" << f.begin << ", \"" << ToUtf8(f.context) << "\"}";
}

// A book's characters with the file position of each, as the display conversion gives them.
struct Decoded {
  std::u16string text;
  std::vector<int32_t> positions;  // one per unit of `text`, and the end
};

Decoded DecodeCp949(Platform& platform, const std::string& bytes) {
  Decoded out;
  const auto* b = reinterpret_cast<const uint8_t*>(bytes.data());
  const auto n = static_cast<int32_t>(bytes.size());
  for (int32_t i = 0; i < n;) {
    const int length = GlyphMetrics::CharLength(b, n, i);
    out.text += ToDisplayText(platform, bytes.substr(static_cast<size_t>(i), length));
    out.positions.push_back(i);
    i += length;
  }
  out.positions.push_back(n);
  return out;
}

// Every occurrence, overlapping ones too, of `needle` inside one paragraph (text between line
// breaks), with `kContext` characters either side within the paragraph.
std::vector<Found> BruteForce(const Decoded& book, const std::u16string& needle, bool fold) {
  std::u16string text = book.text;
  std::u16string folded = needle;
  if (fold) {
    for (std::u16string* s : {&text, &folded}) {
      for (char16_t& c : *s) {
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
      }
    }
  }
  std::vector<Found> found;
  size_t paragraph = 0;
  for (size_t i = 0; i + folded.size() <= text.size(); ++i) {
    if (text[i] == u'\r' || text[i] == u'\n') paragraph = i + 1;
    if (text.compare(i, folded.size(), folded) != 0) continue;
    size_t end = book.text.find_first_of(u"\r\n", i);
    if (end == std::u16string::npos) end = book.text.size();
    if (i + folded.size() > end) continue;
    const size_t from = i - std::min<size_t>(i - paragraph, kContext);
    const size_t to = std::min(end, i + folded.size() + kContext);
    found.push_back({book.positions[i], book.text.substr(from, to - from)});
  }
  return found;
}

std::vector<Found> SearchEverything(HeadlessPlatform& platform, const std::string& path,
                                    TextEncoding encoding, const std::u16string& needle,
                                    int options) {
  SearchAll search(platform, encoding);
  search.SetSplitSpan(kSpan);
  std::vector<Found> found;
  SearchAll::Callbacks callbacks;
  callbacks.found = [&found](SearchHit&& hit) { found.push_back({hit.begin, hit.context}); };
  std::string err;
  EXPECT_TRUE(search.Run(FromUtf8(path), needle, options, kContext, callbacks, &err)) << err;
  return found;
}

// Runs of Hangul and Latin words without a line break for thousands of units (cut into
// pieces every kSpan units, read in chunks of 2048), between ordinary paragraphs; "별빛"
// and "Star" occur everywhere, cuts and chunk borders included.
std::u16string MixedBook() {
  std::u16string book;
  static const char16_t* const kWords[] = {u"별빛 ", u"우체국", u"Star",   u"star ",
                                           u"별",    u"빛 ",    u"STARS ", u"편지를 "};
  for (int paragraph = 0; paragraph < 12; ++paragraph) {
    const int words = paragraph % 3 == 0 ? 1500 : 7 + paragraph;
    for (int w = 0; w < words; ++w)
      book += kWords[(w * 7 + paragraph) % 8];
    book += paragraph % 2 ? u"\r\n" : u"\n";
  }
  return book;
}

TEST(SearchAll, FindsWhatABruteForceSearchFindsInCodePage949) {
  TempDir dir;
  HeadlessPlatform platform;
  // The book's Hangul syllables all lie in the Wansung rows B0..C8.
  std::map<char16_t, std::string> pairs;
  for (int lead = 0xB0; lead <= 0xC8; ++lead) {
    for (int trail = 0xA1; trail <= 0xFE; ++trail) {
      const std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
      pairs[ToDisplayText(platform, pair)[0]] = pair;
    }
  }
  std::string bytes;
  for (char16_t c : MixedBook())
    bytes += c < 0x80 ? std::string(1, static_cast<char>(c)) : pairs.at(c);
  const std::string path = dir.Write("book.txt", bytes);
  const Decoded book = DecodeCp949(platform, bytes);
  for (const std::u16string& needle : {std::u16string(u"별빛"), std::u16string(u"빛 별")}) {
    EXPECT_EQ(SearchEverything(platform, path, TextEncoding::kCp949, needle, 1),
              BruteForce(book, needle, false));
  }
  EXPECT_EQ(SearchEverything(platform, path, TextEncoding::kCp949, u"star", 0),
            BruteForce(book, u"star", true));
}

TEST(SearchAll, FindsWhatABruteForceSearchFindsInUtf16) {
  TempDir dir;
  HeadlessPlatform platform;
  const std::u16string text = MixedBook();
  const std::string path = dir.Write("book.txt", testing::Utf16File(text, true));
  // The byte-order mark reads as a blank at unit 0.
  Decoded book{u" " + text, {}};
  for (int32_t i = 0; i <= static_cast<int32_t>(book.text.size()); ++i)
    book.positions.push_back(i);
  EXPECT_EQ(SearchEverything(platform, path, TextEncoding::kUtf16Be, u"Star", 1),
            BruteForce(book, u"Star", false));
  EXPECT_EQ(SearchEverything(platform, path, TextEncoding::kUtf16Be, u"sTaR", 0),
            BruteForce(book, u"star", true));
}

TEST(SearchAll, FoldedLettersMatchAcrossTheBorderOfAScanBlock) {
  TempDir dir;
  HeadlessPlatform platform;
  // An extended syllable whose trail byte is the code of 'A', then letters of mixed case.
  const std::string syllable = "\xC6\x41";
  const std::u16string needle = ToDisplayText(platform, syllable) + u"star";
  // The scan for later paragraphs starts after the first one; its first block ends inside
  // the first hit.
  const std::string first = "x\n";
  const size_t blockEnd = first.size() + BasicTextReader<uint8_t>::kScanUnits;
  std::string bytes = first + std::string(blockEnd - first.size() - 3, '.');
  bytes += syllable + "sTaR\n" + syllable + "STAR.\n";
  const std::string path = dir.Write("book.txt", bytes);
  const auto expected = BruteForce(DecodeCp949(platform, bytes), needle, true);
  ASSERT_EQ(expected.size(), 2u);
  EXPECT_EQ(SearchEverything(platform, path, TextEncoding::kCp949, needle, 0), expected);
}

// Every hit of `needle` as (display line, index): from a search for every hit, reading as
// the engine does, and from FindNext step by step.
using Hits = std::vector<std::pair<int32_t, int32_t>>;
void HitsBothWays(const std::string& book, const std::u16string& needle, bool joinLines, Hits* all,
                  Hits* stepwise) {
  TempDir dir;
  HeadlessPlatform platform;
  const std::string path = dir.Write("book.txt", book);
  CMbcsTextEngine engine(platform);
  ASSERT_TRUE(engine.Load(FromUtf8(path)));
  engine.SetTypography(Typography{.joinLines = joinLines});
  testing::PrepareEngine(engine, platform, 30, 100);
  SearchAll search(platform, TextEncoding::kCp949);
  search.SetJoinLines(joinLines);
  SearchAll::Callbacks callbacks;
  callbacks.found = [&](SearchHit&& hit) {
    all->emplace_back(engine.LineAt(hit.pieceStart, hit.begin), hit.index);
  };
  ASSERT_TRUE(search.Run(FromUtf8(path), needle, 0, kContext, callbacks, nullptr));
  int32_t index = 0;
  for (int32_t at = engine.FindNext(needle, &index, 0); at != -1;
       at = engine.FindNext(needle, &index, 0)) {
    stepwise->emplace_back(at, index);
  }
}

TEST(SearchAll, HitsComeInTheOrderFindNextGivesThem) {
  Hits all, stepwise;
  HitsBothWays("abab aba\nxaba\n", u"aba", false, &all, &stepwise);
  EXPECT_EQ(all, stepwise);
  EXPECT_EQ(all.size(), 3u);
}

TEST(SearchAll, WithLinesJoinedAHitMayTakeTheBlankOfALineBreak) {
  // Joined: "abab aba", then "xab aba" after the empty line.
  Hits all, stepwise;
  HitsBothWays("abab\naba\n\nxab\naba\n", u"b a", true, &all, &stepwise);
  EXPECT_EQ(all, stepwise);
  EXPECT_EQ(all.size(), 2u);
}

TEST(SearchAll, StopsWhenCancelled) {
  TempDir dir;
  HeadlessPlatform platform;
  const std::string path = dir.Write("book.txt", std::string(5000, 'a'));
  SearchAll search(platform, TextEncoding::kCp949);
  std::atomic<bool> cancel{false};
  int found = 0;
  SearchAll::Callbacks callbacks;
  callbacks.found = [&](SearchHit&&) { cancel = ++found == 10; };
  callbacks.cancel = &cancel;
  EXPECT_FALSE(search.Run(FromUtf8(path), u"a", 0, kContext, callbacks, nullptr));
  EXPECT_EQ(found, 10);
}

}  // namespace
}  // namespace lirako

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "engine/code_table.h"
#include "engine/mbcs_text_engine.h"
#include "engine/unicode_text_engine.h"
#include "tests/engine/engine_test_util.h"
#include "tests/support/temp_dir.h"

namespace lirako {
namespace {

using testing::LineInfo;
using testing::PageOf;
using testing::TempDir;

// Random steps, paints and searches on `engine` over the file `units` (as the engine reads
// them); every page line must be text of the file, inside it.
template <typename Engine>
void Exercise(Engine& engine, HeadlessPlatform& platform, const std::u16string& units,
              uint32_t seed) {
  std::mt19937 rng(seed);
  auto screen = platform.CreateScreen(120, 90);
  for (int step = 0; step < 400; ++step) {
    switch (rng() % 12) {
      case 0:
        engine.PageForward();
        break;
      case 1:
        engine.PageBackward();
        break;
      case 2:
        engine.LineForward();
        break;
      case 3:
        engine.LineBackward();
        break;
      case 4:
        engine.GoToEnd();
        engine.PageBackward();
        break;
      case 5:
        engine.SetFraction(static_cast<float>(rng() % 1001) / 1000.0f);
        break;
      case 6:
        engine.SetPosition(static_cast<int32_t>(rng() % (units.size() + 3)));
        break;
      case 7: {
        int32_t index = 0;
        std::u16string needle(1, units.empty() ? u'a' : units[rng() % units.size()]);
        int32_t at = engine.FindNext(needle, &index, static_cast<int>(rng() % 2));
        ASSERT_GE(at, -1);
        ASSERT_LE(at, static_cast<int32_t>(units.size()));
        break;
      }
      case 8:
        engine.SetLayout(Rect{static_cast<int>(rng() % 70), 2, 3, 2}, static_cast<int>(rng() % 3),
                         static_cast<int>(rng() % 4), rng() % 2 == 0);
        break;
      default: {
        bool rotated = rng() % 2 == 0;
        engine.BeginPaint(*screen, u"Face", 16, false, false, rotated);
        engine.BeginOffscreen(*screen, Rect{0, 0, 120, 90}, 0, 0x00FFFFFF);
        engine.Render(rotated ? kRenderRotated : 0);
        engine.DrawPositionBar(Rect{0, 0, 120, 90}, rotated);
        engine.EndOffscreen();
        engine.EndPaint(*screen);
      }
    }
    for (const LineInfo& line : PageOf(engine)) {
      ASSERT_GE(line.offset, 0);
      ASSERT_LE(line.offset + static_cast<int32_t>(line.units.size()),
                static_cast<int32_t>(units.size()));
      ASSERT_EQ(units.compare(static_cast<size_t>(line.offset), line.units.size(), line.units), 0)
          << "step " << step;
      ASSERT_LE(line.width, 120);
    }
  }
}

TEST(HostileInput, RandomBytesNeverReadOutOfBounds) {
  for (uint32_t seed = 1; seed <= 4; ++seed) {
    TempDir dir;
    HeadlessPlatform platform;
    platform.SetCodePage949(seed % 2 == 0);
    std::mt19937 rng(seed);
    // Zero bytes, broken and extended pairs, stray lead bytes and breaks of every kind.
    const char pieces[][3] = {"\0",       "\r",   "\n",   " ",    "\t",   "a", "\xB0\xA1",
                              "\xC6\x41", "\x81", "\xFF", "\xA1", "\xC6", "Z"};
    std::string bytes;
    for (int i = 0; i < 6000; ++i) {
      size_t k = rng() % 13;
      bytes.append(pieces[k], k == 0 ? 1 : std::char_traits<char>::length(pieces[k]));
    }
    CMbcsTextEngine engine(platform);
    ASSERT_TRUE(engine.Load(FromUtf8(dir.Write("h.txt", bytes))));
    testing::PrepareEngine(engine, platform, 120, 90, Rect{2, 2, 2, 2}, 1, 1, true);
    std::u16string units;
    for (char c : bytes)
      units.push_back(static_cast<unsigned char>(c));
    if (seed == 3) {
      std::string table(kCodeTableBytes, '\x01');
      ASSERT_TRUE(LoadCodeTable(platform, FromUtf8(dir.Write("t.dat", table))));
    }
    Exercise(engine, platform, units, seed);
    ReleaseCodeTable();
  }
}

TEST(HostileInput, RandomUtf16UnitsNeverReadOutOfBounds) {
  for (uint32_t seed = 1; seed <= 4; ++seed) {
    TempDir dir;
    HeadlessPlatform platform;
    std::mt19937 rng(seed);
    // Zero units, lone surrogates, breaks, and an odd byte at the end of some files.
    const char16_t pieces[] = {0, 13, 10, 32, 9, u'a', 0xD800, 0xDC00, 0xFFFF, 0xAC00, 0x00E9};
    std::u16string text;
    for (int i = 0; i < 5000; ++i)
      text.push_back(pieces[rng() % 11]);
    bool big = seed % 2 == 0;
    std::string bytes = testing::Utf16File(text, big);
    if (seed > 2) bytes.push_back('\x7F');
    CUnicodeTextEngine engine(platform);
    ASSERT_TRUE(engine.Load(FromUtf8(dir.Write("h.txt", bytes))));
    EXPECT_EQ(engine.GetSize(), static_cast<int32_t>(text.size()) + 1);
    testing::PrepareEngine(engine, platform, 120, 90, Rect{2, 2, 2, 2}, 1, 1, true);
    Exercise(engine, platform, u" " + text, seed);
  }
}

}  // namespace
}  // namespace lirako

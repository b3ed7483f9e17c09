#include <gtest/gtest.h>

#include "engine/char_classes.h"
#include "engine/mbcs_text_engine.h"
#include "engine/unicode_text_engine.h"
#include "tests/engine/engine_test_util.h"

namespace lirako {
namespace {

TEST(CharClasses, ClassifiesDoubleBytePairsBlanksAndAscii) {
  const uint8_t text[] = {0xB0, 0xA1, 0x81, 0x41, 0xC6, 0x41, 0xA1, 0x20, 0xC6, 0x53, 0xB0};
  const int32_t n = sizeof text;
  EXPECT_TRUE(IsDoubleByte(text, n, 0));    // Wansung
  EXPECT_TRUE(IsDoubleByte(text, n, 2));    // extended Hangul
  EXPECT_TRUE(IsDoubleByte(text, n, 4));    // the extended syllables C6 41..C6 52
  EXPECT_FALSE(IsDoubleByte(text, n, 6));   // A1 before a blank
  EXPECT_FALSE(IsDoubleByte(text, n, 8));   // C6 53 is beyond the extended syllables
  EXPECT_FALSE(IsDoubleByte(text, n, 10));  // a lead byte at the end stands alone
  const uint8_t zero[] = {0xB0, 0x00};
  EXPECT_FALSE(IsDoubleByte(zero, 2, 0));
  EXPECT_TRUE(IsBlank(' '));
  EXPECT_TRUE(IsBlank('\t'));
  EXPECT_FALSE(IsBlank(0xA0));
  EXPECT_TRUE(IsAscii(0x7F));
  EXPECT_FALSE(IsAscii(0xE9));
}

TEST(TextEngine, MeasuresGlyphsInTheSelectedFont) {
  HeadlessPlatform platform;
  platform.metrics().narrow = 5;
  platform.metrics().wide = 11;
  platform.metrics().lineHeight = 15;
  CMbcsTextEngine engine(platform);
  EXPECT_EQ(engine.metricsReady, 0);
  EXPECT_EQ(engine.lineHeight, 0);
  testing::PrepareEngine(engine, platform, 100, 100);
  EXPECT_EQ(engine.metricsReady, 1);
  EXPECT_EQ(engine.lineHeight, 15);
  EXPECT_EQ(engine.wideGlyphWidth(), 11);
  EXPECT_EQ(engine.GlyphWidth('a'), 5);
  EXPECT_EQ(engine.GlyphWidth(0), 0);
  EXPECT_EQ(engine.GlyphWidth('\t'), 20);
  EXPECT_EQ(engine.GlyphWidth(0xA1), 5);  // measured as U+00A1
  EXPECT_EQ(engine.UnitWidth(0xE9), 11);  // non-ASCII units are wide
  EXPECT_EQ(engine.UnitWidth('z'), 5);

  // Metrics stay until they are cleared; the next paint measures the new font.
  platform.metrics().narrow = 7;
  testing::PrepareEngine(engine, platform, 100, 100);
  EXPECT_EQ(engine.GlyphWidth('a'), 5);
  engine.metricsReady = 0;
  testing::PrepareEngine(engine, platform, 100, 100);
  EXPECT_EQ(engine.GlyphWidth('a'), 7);
  EXPECT_EQ(engine.GlyphWidth('\t'), 28);
}

}  // namespace
}  // namespace lirako

#include <gtest/gtest.h>

#include "engine/code_table.h"
#include "platform/headless/memory_platform.h"
#include "tests/engine/engine_test_util.h"
#include "tests/support/temp_dir.h"

namespace lirako {
namespace {

using testing::TempDir;

// A table whose entry i holds the unit 0x1000 + i.
std::string NumberedTable(size_t bytes) {
  std::string out;
  for (size_t i = 0; out.size() < bytes; ++i) {
    uint16_t v = static_cast<uint16_t>(0x1000 + i);
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>(v >> 8));
  }
  out.resize(bytes);
  return out;
}

class CodeTableTest : public ::testing::Test {
 protected:
  void TearDown() override { ReleaseCodeTable(); }
  TempDir dir_;
  HeadlessPlatform platform_;
};

TEST_F(CodeTableTest, ConvertsPairsThroughBothTables) {
  EXPECT_EQ(kCodeTableBytes, 36936u);
  ASSERT_TRUE(LoadCodeTable(platform_, FromUtf8(dir_.Write("hantable.dat", NumberedTable(36936)))));
  EXPECT_TRUE(IsCodeTableActive());
  EXPECT_EQ(ToDisplayText(platform_, "\xB0\xA1"), std::u16string(1, char16_t(0x1000 + 4418)));
  EXPECT_EQ(ToDisplayText(platform_, "\x81\x41"), std::u16string(1, char16_t(0x1000 + 11844)));
  EXPECT_EQ(ToDisplayText(platform_, "\xC5\xA0"),
            std::u16string(1, char16_t(0x1000 + 11844 + 6623)));
  EXPECT_EQ(ToDisplayText(platform_, "A\xB0\xA1"), (std::u16string{u'A', char16_t(0x1000 + 4418)}));
  // A lone lead byte at the end converts as a single byte; a zero byte ends the text.
  EXPECT_EQ(ToDisplayText(platform_, "a\xB0"), u"a\u00B0");
  EXPECT_EQ(ToDisplayText(platform_, std::string_view("ab\0cd", 5)), u"ab");
  // The extended syllables outside both regions convert through the platform.
  EXPECT_EQ(ToDisplayText(platform_, "\xC6\x41"), platform_.Cp949ToUtf16("\xC6\x41"));
  EXPECT_EQ(ToDisplayText(platform_, "\xC6\x41").size(), 1u);
  EXPECT_EQ(ToDisplayText(platform_, ""), u"");
}

TEST_F(CodeTableTest, RejectsShortOrMissingFilesAndFallsBackToThePlatform) {
  ASSERT_TRUE(LoadCodeTable(platform_, FromUtf8(dir_.Write("ok.dat", NumberedTable(36936)))));
  EXPECT_FALSE(LoadCodeTable(platform_, FromUtf8(dir_.Write("short.dat", NumberedTable(36935)))));
  EXPECT_FALSE(IsCodeTableActive());
  EXPECT_FALSE(LoadCodeTable(platform_, FromUtf8(dir_.File("missing.dat"))));
  EXPECT_FALSE(IsCodeTableActive());
  ASSERT_TRUE(platform_.HasCodePage949());
  EXPECT_EQ(ToDisplayText(platform_, "\xB0\xA1"), u"\uAC00");
  ASSERT_TRUE(LoadCodeTable(platform_, FromUtf8(dir_.File("ok.dat"))));
  ReleaseCodeTable();
  EXPECT_FALSE(IsCodeTableActive());
  EXPECT_EQ(ToDisplayTextWide(std::u16string_view(u"ab\0c", 4)), u"ab");
}

TEST(CodeTable, SaysWhyATableWasNotLoaded) {
  MemoryPlatform platform;
  platform.files[u"/short.dat"] = std::string(10, '\0');
  std::string err;
  EXPECT_FALSE(LoadCodeTable(platform, u"/missing.dat", &err));
  EXPECT_EQ(err, "the file is missing or cannot be opened");
  EXPECT_FALSE(LoadCodeTable(platform, u"/short.dat", &err));
  EXPECT_EQ(err, "the file is shorter than " + std::to_string(kCodeTableBytes) + " bytes");
  EXPECT_FALSE(IsCodeTableActive());
}

}  // namespace
}  // namespace lirako

#include <gtest/gtest.h>

#include <filesystem>

#include "engine/mbcs_text_engine.h"
#include "engine/unicode_text_engine.h"
#include "platform/headless/memory_platform.h"
#include "platform/open_reasons.h"
#include "tests/engine/engine_test_util.h"
#include "tests/support/temp_dir.h"

namespace lirako {
namespace {

using testing::TempDir;
using testing::Utf16File;

TEST(ProbeTextKind, RecognisesByteOrderMarks) {
  TempDir dir;
  HeadlessPlatform platform;
  int order = -1;
  EXPECT_TRUE(ProbeTextKind(platform,
                            FromUtf8(dir.Write("le.txt",
                                               "\xFF\xFE"
                                               "a")),
                            &order));
  EXPECT_EQ(order, 1);
  EXPECT_TRUE(ProbeTextKind(platform, FromUtf8(dir.Write("be.txt", "\xFE\xFF")), &order));
  EXPECT_EQ(order, 0);
  EXPECT_FALSE(ProbeTextKind(platform, FromUtf8(dir.Write("one.txt", "\xFF")), &order));
  EXPECT_FALSE(ProbeTextKind(platform, FromUtf8(dir.Write("ab.txt", "ab")), &order));
  EXPECT_FALSE(ProbeTextKind(platform, FromUtf8(dir.File("missing")), &order));

  auto wide = CreateTextEngine(platform, FromUtf8(dir.File("be.txt")));
  EXPECT_NE(dynamic_cast<CUnicodeTextEngine*>(wide.get()), nullptr);
  auto bytes = CreateTextEngine(platform, FromUtf8(dir.File("one.txt")));
  EXPECT_NE(dynamic_cast<CMbcsTextEngine*>(bytes.get()), nullptr);
}

TEST(TextEngine, LoadsClosesAndReloads) {
  TempDir dir;
  HeadlessPlatform platform;
  CMbcsTextEngine engine(platform);
  EXPECT_EQ(engine.isOpen, 0);
  EXPECT_EQ(engine.searchIndex, -1);
  std::u16string path = FromUtf8(dir.Write("a.txt", "hello\nworld"));
  ASSERT_TRUE(engine.Load(path));
  EXPECT_EQ(engine.isOpen, 1);
  EXPECT_EQ(engine.filePath, path);
  EXPECT_EQ(engine.GetSize(), 11);
  testing::PrepareEngine(engine, platform, 240, 320);
  engine.GoToStart();
  engine.PageForward();
  EXPECT_EQ(engine.pageLines().size(), 2u);
  engine.SetSearchStart(7);
  engine.Close();
  EXPECT_EQ(engine.isOpen, 0);
  EXPECT_TRUE(engine.filePath.empty());
  EXPECT_EQ(engine.GetPosition(), 0);
  EXPECT_EQ(engine.searchPosition, 0);
  EXPECT_EQ(engine.searchIndex, -1);
  EXPECT_TRUE(engine.pageLines().empty());

  // A failed load after a successful one leaves the engine closed.
  ASSERT_TRUE(engine.Load(path));
  EXPECT_FALSE(engine.Load(FromUtf8(dir.File("missing.txt"))));
  EXPECT_EQ(engine.isOpen, 0);
  EXPECT_TRUE(engine.filePath.empty());
}

TEST(TextEngine, UnicodeEngineCountsUnitsAndNeedsTheMark) {
  MemoryPlatform platform;
  platform.files[u"/plain.txt"] = "abcd";
  platform.files[u"/u.txt"] = Utf16File(u"abc") + "x";
  CUnicodeTextEngine engine(platform);
  EXPECT_FALSE(engine.Load(u"/plain.txt"));
  EXPECT_EQ(engine.isOpen, 0);
  ASSERT_TRUE(engine.Load(u"/u.txt"));
  EXPECT_EQ(engine.GetSize(), 4);  // the mark and three units; the odd byte is no unit
}

TEST(TextEngine, LoadSaysWhyABookCannotBeOpened) {
  MemoryPlatform platform;
  platform.files[u"/plain.txt"] = "abcd";
  std::string err;
  CMbcsTextEngine bytes(platform);
  EXPECT_FALSE(bytes.Load(u"/missing.txt", &err));
  EXPECT_EQ(err, kReasonNotFound);
  CUnicodeTextEngine wide(platform);
  EXPECT_FALSE(wide.Load(u"/plain.txt", &err));
  EXPECT_EQ(err, kReasonNoByteOrderMark);
}

TEST(TextEngine, EmptyFileLoadsAndShowsNothing) {
  MemoryPlatform platform;
  platform.files[u"/e.txt"] = "";
  CMbcsTextEngine engine(platform);
  ASSERT_TRUE(engine.Load(u"/e.txt"));
  testing::PrepareEngine(engine, platform, 240, 320);
  engine.GoToStart();
  engine.PageForward();
  EXPECT_TRUE(engine.pageLines().empty());
  EXPECT_EQ(engine.GetPosition(), 0);
  EXPECT_TRUE(engine.IsAtEnd());
  engine.GoToEnd();
  engine.PageBackward();
  engine.LineBackward();
  engine.LineForward();
  engine.SetFraction(0.5f);
  EXPECT_TRUE(engine.pageLines().empty());
  EXPECT_EQ(engine.GetSize(), 0);
  int index = 7;
  EXPECT_EQ(engine.FindNext(u"a", &index, 0), -1);
}

TEST(TextEngine, RefusesFilesLongerThanAPositionCanAddress) {
  TempDir dir;
  HeadlessPlatform platform;
  // Sparse files: nothing is written.
  std::string big = dir.Write("big.txt", "");
  std::filesystem::resize_file(big, int64_t{1} << 31);
  CMbcsTextEngine bytes(platform);
  std::string err;
  EXPECT_FALSE(bytes.Load(FromUtf8(big), &err));
  EXPECT_EQ(err, kReasonTooLarge);
  EXPECT_EQ(bytes.isOpen, 0);
  std::string wide = dir.Write("wide.txt", "\xFF\xFE");
  std::filesystem::resize_file(wide, int64_t{1} << 31);
  CUnicodeTextEngine units(platform);
  ASSERT_TRUE(units.Load(FromUtf8(wide)));
  EXPECT_EQ(units.GetSize(), int32_t{1} << 30);
  std::filesystem::resize_file(wide, (int64_t{1} << 32) + 2);
  EXPECT_FALSE(units.Load(FromUtf8(wide)));
}

TEST(TextEngine, ShrinkingOrVanishingFileDoesNotCrash) {
  TempDir dir;
  HeadlessPlatform platform;
  std::string text;
  for (int i = 0; i < 400; ++i)
    text += "line number " + std::to_string(i) + "\n";
  std::string path = dir.Write("s.txt", text);
  CMbcsTextEngine engine(platform);
  ASSERT_TRUE(engine.Load(FromUtf8(path)));
  testing::PrepareEngine(engine, platform, 240, 100);
  engine.GoToStart();
  engine.PageForward();
  dir.Write("s.txt", "short\n");
  for (int i = 0; i < 50; ++i)
    engine.PageForward();
  engine.GoToEnd();
  engine.PageBackward();
  engine.LineBackward();
  engine.SetFraction(0.7f);
  engine.PageForward();
  std::filesystem::remove(path);
  engine.GoToEnd();
  for (int i = 0; i < 5; ++i)
    engine.PageBackward();
  for (const auto& line : engine.pageLines())
    EXPECT_LE(line.offset, engine.GetSize());
  int index = 0;
  EXPECT_EQ(engine.FindNext(u"zzz", &index, 0), -1);
}

}  // namespace
}  // namespace lirako

#include "store/dat_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/headless/headless_platform.h"
#include "platform/headless/memory_platform.h"
#include "tests/store/store_test_support.h"
#include "tests/support/temp_dir.h"

namespace lirako {
namespace {

using testing::FileSizeLimit;
using testing::Header;
using testing::kMemoryFolder;
using testing::Le32;
using testing::PutFile;
using testing::ReadFileBytes;
using testing::TempDir;
using testing::U16;

TEST(CDatFile, WritesHeaderAndLittleEndianValues) {
  MemoryPlatform platform;
  // Longer than the new file.
  const std::u16string path = PutFile(platform, u"r.dat", std::string(500, 'x'));
  {
    CDatFile file(platform);
    file.SetHeader("default", 538);
    ASSERT_TRUE(file.Open(CDatFile::kWrite, path));
    EXPECT_EQ(file.dataStart(), 132);
    EXPECT_TRUE(file.WriteInt32(-2));
    EXPECT_TRUE(file.WriteInt16(0x1234));
    EXPECT_TRUE(file.WriteInt64(0x0102030405060708));
    EXPECT_TRUE(file.WriteByte(0xAB));
    EXPECT_TRUE(file.WriteBytes("hi", 2));
    EXPECT_EQ(platform.files[path], std::string(500, 'x'));  // replaced only on Close
    EXPECT_TRUE(file.Close());
  }
  std::string expected = Header(538) + "\xFE\xFF\xFF\xFF" + "\x34\x12" +
                         "\x08\x07\x06\x05\x04\x03\x02\x01" + "\xAB" + "hi";
  EXPECT_EQ(platform.files[path], expected);

  CDatFile file(platform);
  ASSERT_TRUE(file.Open(CDatFile::kRead, path));
  std::string name;
  int32_t version = 0;
  file.GetHeader(&name, &version);
  EXPECT_EQ(name, "default");
  EXPECT_EQ(version, 538);
  int32_t i32 = 0;
  int16_t i16 = 0;
  int64_t i64 = 0;
  uint8_t byte = 0;
  char two[2] = {};
  EXPECT_TRUE(file.ReadInt32(&i32));
  EXPECT_TRUE(file.ReadInt16(&i16));
  EXPECT_TRUE(file.ReadInt64(&i64));
  EXPECT_TRUE(file.ReadByte(&byte));
  EXPECT_EQ(file.BytesLeft(), 2);
  EXPECT_TRUE(file.ReadBytes(two, 2));
  EXPECT_EQ(i32, -2);
  EXPECT_EQ(i16, 0x1234);
  EXPECT_EQ(i64, 0x0102030405060708);
  EXPECT_EQ(byte, 0xAB);
  EXPECT_EQ(std::string(two, 2), "hi");
  // At the end nothing is transferred and the destination keeps its value.
  EXPECT_FALSE(file.ReadInt32(&i32));
  EXPECT_EQ(i32, -2);
}

TEST(CDatFile, ShortFilesKeepTheUnreadHeaderAndShortReadsTransferNothing) {
  MemoryPlatform platform;
  CDatFile file(platform);
  file.SetHeader("other", 7);
  ASSERT_TRUE(file.Open(CDatFile::kRead, PutFile(platform, u"empty.dat", "")));
  std::string name;
  int32_t version = 0;
  file.GetHeader(&name, &version);
  EXPECT_EQ(name, "other");
  EXPECT_EQ(version, 7);
  int32_t value = 99;
  EXPECT_FALSE(file.ReadInt32(&value));
  EXPECT_EQ(value, 99);

  // A name but no version; then two bytes where four are asked for.
  std::string shortHeader = std::string("named") + std::string(123, '\0') + "\x01\x02";
  CDatFile other(platform);
  ASSERT_TRUE(other.Open(CDatFile::kRead, PutFile(platform, u"short.dat", shortHeader)));
  other.GetHeader(&name, &version);
  EXPECT_EQ(name, "named");
  EXPECT_EQ(version, 0);
  uint8_t block[4] = {9, 9, 9, 9};
  EXPECT_FALSE(other.ReadBytes(block, 4));
  EXPECT_EQ(block[0], 9);

  EXPECT_FALSE(file.Open(CDatFile::kRead, std::u16string(kMemoryFolder) + u"/missing.dat"));
  EXPECT_FALSE(file.isOpen());
}

TEST(CDatFile, AFailedSaveReportsAndKeepsTheOldFile) {
  TempDir dir;
  HeadlessPlatform platform;
  std::string old = Header(0) + Le32(0);
  std::string path = dir.Write("r.dat", old);
  {
    FileSizeLimit limit(100);
    CDatFile file(platform);
    ASSERT_TRUE(file.Open(CDatFile::kWrite, U16(path)));
    EXPECT_FALSE(file.WriteInt32(1));  // the header already passed the limit
    EXPECT_FALSE(file.Close());
  }
  EXPECT_EQ(ReadFileBytes(path), old);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                          std::filesystem::directory_iterator()),
            1);
  EXPECT_FALSE(CDatFile(platform).Open(CDatFile::kWrite, U16(dir.File("no/such/folder.dat"))));
}

}  // namespace
}  // namespace lirako

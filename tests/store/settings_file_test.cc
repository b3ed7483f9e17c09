#include "store/settings_file.h"

#include <gtest/gtest.h>

#include "platform/headless/headless_platform.h"
#include "platform/headless/memory_platform.h"
#include "store/dat_file.h"
#include "store/set_param_format.h"
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
using testing::Str16;
using testing::TempDir;
using testing::U16;

// Fields 1 to 21 of a freshly constructed reader, as stored.
std::string DefaultFixedFields() {
  std::string s = Le32(0) + Le32(6) + Le32(5) + Le32(1) + Le32(2) + Le32(15) + Le32(0) +
                  Le32(0x00FFFFFF) + Le32(0) + Le32(0) + Le32(0) + Le32(3) + Le32(1) + Le32(1);
  s += std::string("T\0a\0h\0o\0m\0a\0", 12) + std::string(52, '\0');
  s += Le32(0);
  for (uint32_t f : {5u, 12u, 0u, 13u, 2u})
    s += Le32(f);
  s += std::string(15 * 4, '\0');
  return s + Le32(0) + Le32(1600) + Le32(0) + Le32(0);
}

// The settings file in kMemoryFolder.
const std::u16string kSettingsFile = std::u16string(kMemoryFolder) + u"/SetParam.Dat";

std::string DefaultFile() {
  return Header(538) + DefaultFixedFields() + Le32(2) + Str16(u".txt") + Str16(u".cap") + Le32(0) +
         Le32(0);
}

TEST(SettingsFile, WritesTheDefaultsAndEmptyListsByteForByte) {
  MemoryPlatform platform;
  ReaderSettings settings;
  ASSERT_TRUE(SaveSettings(platform, kMemoryFolder, settings));
  std::string bytes = platform.files[kSettingsFile];
  EXPECT_EQ(bytes.size(), 392u);
  EXPECT_EQ(bytes, DefaultFile());

  settings.unlinkedExtensions.clear();
  ASSERT_TRUE(SaveSettings(platform, kMemoryFolder, settings));
  bytes = platform.files[kSettingsFile];
  EXPECT_EQ(bytes.size(), 364u);
  EXPECT_EQ(bytes, Header(538) + DefaultFixedFields() + Le32(0) + Le32(0) + Le32(0));
}

TEST(SettingsFile, FixedFieldsFollowEachOtherUpToTheLists) {
  ReaderSettings s;
  int64_t end = CDatFile::kHeaderSize;
  set_param::ForEachFixedField(s, [&](int64_t offset, const auto& field) {
    EXPECT_EQ(offset, end);
    end = offset + static_cast<int64_t>(sizeof field);
  });
  EXPECT_EQ(end, set_param::kLists);
}

TEST(SettingsFile, SaysWhyAFileWasNotUsed) {
  MemoryPlatform platform;
  ReaderSettings settings;
  std::string err;
  EXPECT_FALSE(LoadSettings(platform, u"/data", settings, &err));
  EXPECT_EQ(err, "the file is missing or cannot be opened");
  platform.files[u"/data/SetParam.Dat"] = Header(537) + DefaultFixedFields();
  EXPECT_FALSE(LoadSettings(platform, u"/data", settings, &err));
  EXPECT_EQ(err, "version 537, not 538");
  platform.files[u"/data/SetParam.Dat"] = Header(538) + DefaultFixedFields() + Le32(0x7FFFFFFF);
  // The fields before a damaged list are used; the reason is still given.
  SettingsFileStatus status = ReadSettingsFile(platform, u"/data/SetParam.Dat", settings);
  EXPECT_TRUE(status.used);
  EXPECT_EQ(status.state, LoadState::kDamaged);
  EXPECT_EQ(status.error, "a list holds a count or a string outside the format");
  EXPECT_EQ(settings, ReaderSettings());
}

TEST(SettingsFile, StoresEachFieldAtItsOffset) {
  MemoryPlatform platform;
  ReaderSettings s;
  s.marginX = 11;
  s.refreshInterval = 300;
  s.dialDevice = 1;
  s.textColor = 0x00123456;
  s.SetFontFaceName(u"나눔고딕");
  ASSERT_TRUE(SaveSettings(platform, kMemoryFolder, s));
  std::string b = platform.files[kSettingsFile];
  ASSERT_GE(b.size(), static_cast<size_t>(set_param::kLists));
  EXPECT_EQ(b.substr(set_param::kMarginX, 4), Le32(11));
  EXPECT_EQ(b.substr(set_param::kRefreshInterval, 4), Le32(300));
  EXPECT_EQ(b.substr(set_param::kDialDevice, 4), Le32(1));
  EXPECT_EQ(b.substr(set_param::kTextColor, 4), Le32(0x00123456));
  EXPECT_EQ(b.substr(set_param::kFontFace, 10),
            std::string("\x98\xB0\x14\xB2\xE0\xAC\x15\xB5\0\0", 10));
  EXPECT_EQ(b.substr(set_param::kButtonFunctions + 12, 4), Le32(13));
}

TEST(SettingsFile, LoadsAWholeFileAndKeepsUnusedButtonEntries) {
  MemoryPlatform platform;
  ReaderSettings s;
  s.stateFlags = ReaderSettings::kCodePageAsked;
  s.marginX = 0;
  s.marginY = 20;
  s.barMode = BarMode::kScrollBar;
  s.landscape = 1;
  s.backColor = 0x00FF8000;
  s.SetFontFaceName(u"Nanum");
  s.fontFace[20] = u'Z';  // units after the NUL travel with the name
  for (size_t i = 5; i < 20; ++i)
    s.buttonFunctions[i] = static_cast<int32_t>(100 + i);
  s.unlinkedExtensions = {u".cap", u".TXT"};
  s.linkedExtensions = {u".txt"};
  s.savedFileClasses = {{u".txt", u"txtfile"}, {u".log", u""}};
  ASSERT_TRUE(SaveSettings(platform, kMemoryFolder, s));

  ReaderSettings loaded;
  EXPECT_TRUE(LoadSettings(platform, kMemoryFolder, loaded));
  EXPECT_EQ(loaded, s);
  EXPECT_EQ(loaded.FontFaceName(), u"Nanum");
  EXPECT_EQ(loaded.buttonFunctions[19], 119);
  // Written back unchanged.
  std::string first = platform.files[kSettingsFile];
  ASSERT_TRUE(SaveSettings(platform, kMemoryFolder, loaded));
  EXPECT_EQ(platform.files[kSettingsFile], first);
}

TEST(SettingsFile, IgnoresOtherVersionsAndMissingFiles) {
  MemoryPlatform platform;
  for (uint32_t version : {537u, 539u, 0u}) {
    std::string body = DefaultFixedFields();
    body.replace(4, 4, Le32(19));  // marginX
    PutFile(platform, u"SetParam.Dat", Header(version) + body + Le32(0) + Le32(0) + Le32(0));
    ReaderSettings s;
    SettingsFileStatus status = ReadSettingsFile(platform, kSettingsFile, s);
    EXPECT_TRUE(status.opened);
    EXPECT_EQ(status.version, static_cast<int32_t>(version));
    EXPECT_FALSE(status.used);
    EXPECT_EQ(s, ReaderSettings());
  }
  ReaderSettings s;
  EXPECT_FALSE(LoadSettings(platform, std::u16string(kMemoryFolder) + u"/nowhere", s));
  EXPECT_EQ(s, ReaderSettings());
  EXPECT_EQ(s.unlinkedExtensions, (std::vector<std::u16string>{u".txt", u".cap"}));
  EXPECT_EQ(s.textColor, 0x00FFFFFFu);
  EXPECT_EQ(s.FontFaceName(), u"Tahoma");
}

TEST(SettingsFile, ATruncatedFileKeepsDefaultsForWhatItLacks) {
  MemoryPlatform platform;
  std::string fields = DefaultFixedFields();
  fields.replace(4, 4, Le32(9));   // marginX
  fields.replace(8, 4, Le32(8));   // marginY
  fields.replace(40, 4, Le32(1));  // landscape
  std::u16string path = PutFile(platform, u"SetParam.Dat", Header(538) + fields.substr(0, 42));
  ReaderSettings s;
  s.refreshInterval = 999;  // the value held before loading is what stays
  ASSERT_TRUE(ReadSettingsFile(platform, path, s).used);
  EXPECT_EQ(s.marginX, 9);
  EXPECT_EQ(s.marginY, 8);
  EXPECT_EQ(s.landscape, 0);  // cut inside the field: nothing transferred
  EXPECT_EQ(s.barMode, BarMode::kPositionBar);
  EXPECT_EQ(s.refreshInterval, 999);
  EXPECT_EQ(s.FontFaceName(), u"Tahoma");
  // The lists are replaced by what the file holds: nothing.
  EXPECT_TRUE(s.unlinkedExtensions.empty());

  // Ending inside the second list keeps the first whole and the strings read whole.
  std::string lists = Le32(1) + Str16(u".cap") + Le32(3) + Str16(u".txt") + Str16(u".lo");
  path =
      PutFile(platform, u"SetParam.Dat", Header(538) + fields + lists.substr(0, lists.size() - 3));
  ReaderSettings t;
  t.savedFileClasses = {{u".a", u"b"}};
  ASSERT_TRUE(ReadSettingsFile(platform, path, t).used);
  EXPECT_EQ(t.landscape, 1);
  EXPECT_EQ(t.unlinkedExtensions, std::vector<std::u16string>{u".cap"});
  EXPECT_EQ(t.linkedExtensions, std::vector<std::u16string>{u".txt"});
  EXPECT_TRUE(t.savedFileClasses.empty());
}

TEST(SettingsFile, ADamagedListKeepsTheFieldsAndListsBeforeIt) {
  MemoryPlatform platform;
  std::string fields = DefaultFixedFields();
  fields.replace(4, 4, Le32(17));
  std::string tail = Le32(0) + Le32(0);
  std::string noNul = Le32(2) + std::string(".\0t\0", 4);
  std::string longest = Str16(std::u16string(259, u'x'));
  const std::string refused[] = {
      Le32(1) + Le32(0) + tail,                            // length below 1
      Le32(1) + Le32(261) + std::string(522, 'a') + tail,  // length above 260
      Le32(1) + noNul + tail,                              // no terminating NUL
      Le32(0xFFFFFFFF) + tail,                             // negative count
      Le32(1000) + Str16(u".txt") + tail,                  // count beyond the bytes left
      Le32(0) + Le32(0) + Le32(1) + Str16(u".txt") +
          Le32(0xFFFFFFFB),  // a class of negative length
  };
  for (const std::string& lists : refused) {
    std::u16string path = PutFile(platform, u"SetParam.Dat", Header(538) + fields + lists);
    ReaderSettings s;
    SettingsFileStatus status = ReadSettingsFile(platform, path, s);
    EXPECT_EQ(status.state, LoadState::kDamaged);
    EXPECT_EQ(s.marginX, 17);
  }
  // The damage in the last list keeps the two before it.
  std::u16string path = PutFile(
      platform, u"SetParam.Dat",
      Header(538) + fields + Le32(1) + Str16(u".a") + Le32(1) + Str16(u".b") + Le32(1) + Le32(0));
  ReaderSettings kept;
  EXPECT_EQ(ReadSettingsFile(platform, path, kept).state, LoadState::kDamaged);
  EXPECT_EQ(kept.unlinkedExtensions, std::vector<std::u16string>{u".a"});
  EXPECT_EQ(kept.linkedExtensions, std::vector<std::u16string>{u".b"});
  EXPECT_TRUE(kept.savedFileClasses.empty());
  // The longest string the format holds is accepted; text after an inner NUL is dropped.
  std::string inner = Le32(4) + std::string(".\0\0\0a\0\0\0", 8);
  path =
      PutFile(platform, u"SetParam.Dat", Header(538) + fields + Le32(2) + longest + inner + tail);
  ReaderSettings s;
  ASSERT_EQ(ReadSettingsFile(platform, path, s).state, LoadState::kClean);
  EXPECT_EQ(s.marginX, 17);
  ASSERT_EQ(s.unlinkedExtensions.size(), 2u);
  EXPECT_EQ(s.unlinkedExtensions[0].size(), 259u);
  EXPECT_EQ(s.unlinkedExtensions[1], u".");
}

TEST(SettingsFile, AFailedSaveKeepsTheOldFileAndTooLongStringsAreLeftOut) {
  TempDir dir;
  HeadlessPlatform platform;
  ReaderSettings s;
  s.linkedExtensions = {u"." + std::u16string(259, u'e'), u".ok"};
  s.savedFileClasses = {{u".ok", std::u16string(300, u'c')}};
  ASSERT_TRUE(SaveSettings(platform, U16(dir.path()), s));
  ReaderSettings loaded;
  ASSERT_TRUE(LoadSettings(platform, U16(dir.path()), loaded));
  EXPECT_EQ(loaded.linkedExtensions, std::vector<std::u16string>{u".ok"});
  EXPECT_TRUE(loaded.savedFileClasses.empty());

  std::string before = ReadFileBytes(dir.File("SetParam.Dat"));
  s.marginX = 3;
  {
    FileSizeLimit limit(200);
    EXPECT_FALSE(SaveSettings(platform, U16(dir.path()), s));
  }
  EXPECT_EQ(ReadFileBytes(dir.File("SetParam.Dat")), before);
  EXPECT_FALSE(SaveSettings(platform, U16(dir.File("no/such")), s));
}

}  // namespace
}  // namespace lirako

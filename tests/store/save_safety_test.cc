// Saves over files that are damaged, unreadable, read-only, linked or shared with another
// window: nothing the user had is destroyed.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <functional>

#include "platform/headless/headless_platform.h"
#include "platform/save_calls.h"
#include "store/damaged_copy.h"
#include "store/data_folder.h"
#include "store/recent_file_list.h"
#include "store/set_param_format.h"
#include "store/settings_file.h"
#include "tests/store/store_test_support.h"
#include "tests/support/temp_dir.h"

namespace lirako {
namespace {

using testing::Header;
using testing::Le32;
using testing::ReadFileBytes;
using testing::Str16;
using testing::TempDir;
using testing::U16;

constexpr char kSettingsName[] = "SetParam.Dat";
constexpr char kRecentName[] = "ResentFiles.Dat";

mode_t ModeOf(const std::string& path) {
  struct stat st {};
  ::stat(path.c_str(), &st);
  return st.st_mode & 07777;
}

// A settings file whose first list has a length of 0: the fields before it are intact.
std::string SettingsWithDamagedList(const std::string& dir, TempDir& temp) {
  HeadlessPlatform platform;
  ReaderSettings s;
  s.marginX = 17;
  SaveSettings(platform, U16(dir), s);
  std::string bytes = ReadFileBytes(temp.File(kSettingsName));
  bytes.resize(set_param::kLists);
  return temp.Write(kSettingsName, bytes + Le32(1) + Le32(0));
}

// A recent-file record of `intact` whole entries, then an entry whose path length is 0.
std::string RecentWithDamagedEntry(int intact) {
  std::string body = Le32(static_cast<uint32_t>(intact + 1));
  for (int i = 0; i < intact; ++i)
    body += Str16(U16("/book" + std::to_string(i))) + Le32(10) + Le32(1) + Str16(u"m") + Le32(5);
  return Header(0) + body + Le32(0);
}

TEST(SaveSafety, ASaveOverAFileThatDidNotLoadCleanlyKeepsTheOriginalBeside) {
  TempDir dir;
  HeadlessPlatform platform;
  std::string settingsPath = SettingsWithDamagedList(dir.path(), dir);
  std::string damagedSettings = ReadFileBytes(settingsPath);
  ReaderSettings s;
  EXPECT_EQ(ReadSettingsFile(platform, U16(settingsPath), s).state, LoadState::kDamaged);
  EXPECT_EQ(s.marginX, 17);
  ASSERT_TRUE(SaveSettings(platform, U16(dir.path()), s));
  EXPECT_EQ(ReadFileBytes(settingsPath + ".damaged"), damagedSettings);

  std::string damagedRecent = RecentWithDamagedEntry(9);
  dir.Write(kRecentName, damagedRecent);
  RecentFileList list;
  EXPECT_FALSE(list.Load(platform, U16(dir.path())));
  EXPECT_EQ(list.size(), 9u);
  ASSERT_TRUE(list.Save(platform, U16(dir.path())));
  EXPECT_EQ(ReadFileBytes(dir.File(kRecentName) + ".damaged"), damagedRecent);
  // One generation: a save over the now clean file leaves the copy as it is.
  ASSERT_TRUE(list.Save(platform, U16(dir.path())));
  ASSERT_TRUE(SaveSettings(platform, U16(dir.path()), s));
  EXPECT_EQ(ReadFileBytes(dir.File(kRecentName) + ".damaged"), damagedRecent);
  EXPECT_EQ(ReadFileBytes(settingsPath + ".damaged"), damagedSettings);
  EXPECT_TRUE(list.Load(platform, U16(dir.path())));
  EXPECT_EQ(list.size(), 9u);
}

TEST(SaveSafety, UnreadableAndReadOnlyFilesAreNeverReplaced) {
  TempDir dir;
  HeadlessPlatform platform;
  ReaderSettings s;
  ASSERT_TRUE(SaveSettings(platform, U16(dir.path()), s));
  std::string path = dir.File(kSettingsName);
  std::string before = ReadFileBytes(path);
  s.marginX = 3;
  for (mode_t mode : {0000, 0444}) {
    ASSERT_EQ(::chmod(path.c_str(), mode), 0);
    std::string err;
    EXPECT_FALSE(SaveSettings(platform, U16(dir.path()), s, &err));
    EXPECT_NE(err.find(path), std::string::npos) << err;
    EXPECT_EQ(ModeOf(path), mode);
    ASSERT_EQ(::chmod(path.c_str(), 0644), 0);
    EXPECT_EQ(ReadFileBytes(path), before);
  }
  EXPECT_EQ(platform.CheckWriteAccess(U16(path)), WriteAccess::kWritable);
  EXPECT_EQ(platform.CheckWriteAccess(U16(dir.path())), WriteAccess::kNotAFile);
}

TEST(SaveSafety, ALinkedFileHasItsTargetReplacedWithItsMode) {
  TempDir dir;
  HeadlessPlatform platform;
  std::filesystem::create_directory(dir.File("real"));
  std::string target = dir.Write("real/SetParam.target", "old");
  ASSERT_EQ(::chmod(target.c_str(), 0600), 0);
  ASSERT_EQ(::symlink("real/SetParam.target", dir.File(kSettingsName).c_str()), 0);
  ReaderSettings s;
  s.marginX = 11;
  std::string err;
  ASSERT_TRUE(SaveSettings(platform, U16(dir.path()), s, &err)) << err;
  EXPECT_TRUE(std::filesystem::is_symlink(dir.File(kSettingsName)));
  EXPECT_EQ(ModeOf(target), 0600u);
  ReaderSettings loaded;
  ASSERT_TRUE(LoadSettings(platform, U16(dir.path()), loaded));
  EXPECT_EQ(loaded.marginX, 11);
  // The old contents did not load: they are kept beside the link.
  EXPECT_EQ(ReadFileBytes(dir.File(kSettingsName) + ".damaged"), "old");
}

// Replaces one save call by one that fails with EIO while it lives.
class FailingCall {
 public:
  template <typename Call>
  FailingCall(Call SaveCalls::*member, Call failing)
      : restore_(
            [member, saved = ActiveSaveCalls().*member] { ActiveSaveCalls().*member = saved; }) {
    ActiveSaveCalls().*member = failing;
  }
  ~FailingCall() { restore_(); }

 private:
  std::function<void()> restore_;
};

TEST(SaveSafety, AFailingCloseOrFchmodFailsTheSaveWithItsReason) {
  TempDir dir;
  HeadlessPlatform platform;
  ReaderSettings s;
  ASSERT_TRUE(SaveSettings(platform, U16(dir.path()), s));
  std::string before = ReadFileBytes(dir.File(kSettingsName));
  s.marginX = 2;
  {
    FailingCall close(
        &SaveCalls::close, +[](int fd) {
          ::close(fd);
          errno = EIO;
          return -1;
        });
    std::string err;
    EXPECT_FALSE(SaveSettings(platform, U16(dir.path()), s, &err));
    EXPECT_NE(err.find("close"), std::string::npos) << err;
  }
  {
    FailingCall fchmod(
        &SaveCalls::fchmod, +[](int, mode_t) {
          errno = EPERM;
          return -1;
        });
    std::string err;
    EXPECT_FALSE(SaveSettings(platform, U16(dir.path()), s, &err));
    EXPECT_NE(err.find("fchmod"), std::string::npos) << err;
  }
  EXPECT_EQ(ReadFileBytes(dir.File(kSettingsName)), before);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                          std::filesystem::directory_iterator()),
            2);  // the file and the lock file: no temporary left
}

TEST(SaveSafety, StaleTemporariesOfOurFilesAreRemoved) {
  TempDir dir;
  HeadlessPlatform platform;
  dir.Write("SetParam.Dat.a1B2c3", "killed before its rename");
  dir.Write("ResentFiles.Dat.Zz9988", "");
  std::string foreign = dir.Write("notes.txt.a1B2c3", "not ours");
  std::string longer = dir.Write("SetParam.Dat.backup", "not a temporary");
  RemoveStaleTemporaries(platform, U16(dir.path()));
  EXPECT_FALSE(std::filesystem::exists(dir.File("SetParam.Dat.a1B2c3")));
  EXPECT_FALSE(std::filesystem::exists(dir.File("ResentFiles.Dat.Zz9988")));
  EXPECT_TRUE(std::filesystem::exists(foreign));
  EXPECT_TRUE(std::filesystem::exists(longer));
}

RecentFileEntry Entry(std::u16string path, int32_t position) {
  RecentFileEntry e;
  e.path = std::move(path);
  e.position = position;
  return e;
}

TEST(SaveSafety, TheRecentListPutsItsOwnChangesOverWhatAnotherWindowSaved) {
  TempDir dir;
  HeadlessPlatform platform;
  RecentFileList start;
  start.StoreFirst(Entry(u"/gone", 1));
  start.StoreFirst(Entry(u"/shared", 2));
  ASSERT_TRUE(start.Save(platform, U16(dir.path())));

  RecentFileList mine;
  RecentFileList theirs;
  ASSERT_TRUE(mine.Load(platform, U16(dir.path())));
  ASSERT_TRUE(theirs.Load(platform, U16(dir.path())));
  theirs.StoreFirst(Entry(u"/theirs", 30));
  ASSERT_TRUE(theirs.Save(platform, U16(dir.path())));
  mine.StoreFirst(Entry(u"/mine", 40));
  mine.Remove(u"/gone");
  ASSERT_TRUE(mine.Save(platform, U16(dir.path())));

  RecentFileList saved;
  ASSERT_TRUE(saved.Load(platform, U16(dir.path())));
  std::vector<RecentFileEntry> expected = {Entry(u"/mine", 40), Entry(u"/theirs", 30),
                                           Entry(u"/shared", 2)};
  EXPECT_EQ(saved.entries(), expected);
  EXPECT_EQ(mine.entries(), expected);
}

TEST(SaveSafety, AnInstalledCopyReadsTheProgramFolderUntilItsOwnHasTheFile) {
  TempDir program;
  TempDir user;
  HeadlessPlatform platform;
  program.Write(kSettingsName, "x");
  EXPECT_EQ(FolderHolding(platform, U16(user.path()), U16(program.path()), U16(kSettingsName)),
            U16(program.path()));
  EXPECT_EQ(FolderHolding(platform, U16(user.path()), U16(program.path()), U16(kRecentName)),
            U16(user.path()));
  user.Write(kSettingsName, "y");
  EXPECT_EQ(FolderHolding(platform, U16(user.path()), U16(program.path()), U16(kSettingsName)),
            U16(user.path()));
  EXPECT_EQ(FolderHolding(platform, U16(user.path()), u"", U16(kRecentName)), U16(user.path()));
}

}  // namespace
}  // namespace lirako

// Fails each system call of a quit's saves in turn, and kills the process just before and just
// after each: the data files are always the old or the new complete version, and the next
// start clears what the interrupted save left and works.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <set>

#include "platform/headless/headless_platform.h"
#include "platform/save_calls.h"
#include "store/data_folder.h"
#include "store/recent_file_list.h"
#include "store/settings_file.h"
#include "tests/store/store_test_support.h"
#include "tests/support/temp_dir.h"

namespace lirako {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;
using testing::U16;

enum class Call { kWrite, kFchmod, kFsync, kClose, kRename, kFsyncFolder };
enum class Fault { kFail, kKillBefore, kKillAfter };

// The fault planned for this process: the `nth` call of `call`.
struct Plan {
  Call call = Call::kWrite;
  int nth = 0;
  Fault fault = Fault::kFail;
};
Plan plan;
int seen = 0;

// The child's exit code when its saves never reached the planned call.
constexpr int kNotReached = 3;

template <Call kCall, auto kReal, typename R, typename... Args>
R Faulty(Args... args) {
  bool hit = kCall == plan.call && ++seen == plan.nth;
  if (hit && plan.fault == Fault::kFail) {
    errno = EIO;
    return static_cast<R>(-1);
  }
  if (hit && plan.fault == Fault::kKillBefore) ::raise(SIGKILL);
  R result = kReal(args...);
  if (hit) ::raise(SIGKILL);
  return result;
}

void InstallFaults() {
  SaveCalls& calls = ActiveSaveCalls();
  calls.write = Faulty<Call::kWrite, ::write, ssize_t, int, const void*, size_t>;
  calls.fchmod = Faulty<Call::kFchmod, ::fchmod, int, int, mode_t>;
  calls.fsync = Faulty<Call::kFsync, ::fsync, int, int>;
  calls.close = Faulty<Call::kClose, ::close, int, int>;
  calls.rename = Faulty<Call::kRename, std::rename, int, const char*, const char*>;
  calls.fsyncFolder = Faulty<Call::kFsyncFolder, ::fsync, int, int>;
}

// The first run's files: settings with margin 1, one recent book.
void WriteOldFiles(Platform& platform, const std::u16string& folder) {
  ReaderSettings settings;
  settings.marginX = 1;
  SaveSettings(platform, folder, settings);
  RecentFileList list;
  RecentFileEntry old;
  old.path = u"/books/old.txt";
  list.StoreFirst(old);
  list.Save(platform, folder);
}

// What quitting the second run saves: a new book first, new settings.
void Quit(Platform& platform, const std::u16string& folder) {
  RecentFileList list;
  list.Load(platform, folder);
  RecentFileEntry book;
  book.path = u"/books/new.txt";
  book.position = 4096;
  book.AddBookmark(100, u"책갈피");
  list.StoreFirst(book);
  list.Save(platform, folder);
  ReaderSettings settings;
  settings.marginX = 9;
  settings.linkedExtensions = {u".txt"};
  SaveSettings(platform, folder, settings);
}

struct Versions {
  std::string settings;
  std::string recent;
};

Versions Read(const TempDir& dir) {
  return {ReadFileBytes(dir.File("SetParam.Dat")), ReadFileBytes(dir.File("ResentFiles.Dat"))};
}

std::set<std::string> Names(const TempDir& dir) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
    names.insert(entry.path().filename().string());
  return names;
}

// Runs Quit in a child process with `faulty` planned; false when the saves never reached it.
bool QuitWithFault(const TempDir& dir, Plan faulty) {
  pid_t child = ::fork();
  if (child == 0) {
    HeadlessPlatform platform;
    plan = faulty;
    InstallFaults();
    Quit(platform, U16(dir.path()));
    ::_exit(seen >= plan.nth ? 0 : kNotReached);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return !(WIFEXITED(status) && WEXITSTATUS(status) == kNotReached);
}

TEST(SaveFaults, EveryFailedOrKilledSaveLeavesOldOrNewFilesAndTheNextStartWorks) {
  HeadlessPlatform platform;
  TempDir reference;
  WriteOldFiles(platform, U16(reference.path()));
  const Versions old = Read(reference);
  Quit(platform, U16(reference.path()));
  const Versions fresh = Read(reference);
  ASSERT_NE(old.settings, fresh.settings);
  ASSERT_NE(old.recent, fresh.recent);
  const std::set<std::string> kDataFiles = {"SetParam.Dat", "ResentFiles.Dat", "lirako.lock"};

  int runs = 0;
  for (Call call : {Call::kWrite, Call::kFchmod, Call::kFsync, Call::kClose, Call::kRename,
                    Call::kFsyncFolder}) {
    for (Fault fault : {Fault::kFail, Fault::kKillBefore, Fault::kKillAfter}) {
      for (int nth = 1;; ++nth) {
        SCOPED_TRACE(::testing::Message() << "call " << static_cast<int>(call) << " fault "
                                          << static_cast<int>(fault) << " nth " << nth);
        TempDir dir;
        dir.Write("SetParam.Dat", old.settings);
        dir.Write("ResentFiles.Dat", old.recent);
        if (!QuitWithFault(dir, Plan{call, nth, fault})) break;
        ++runs;
        Versions after = Read(dir);
        EXPECT_TRUE(after.settings == old.settings || after.settings == fresh.settings);
        EXPECT_TRUE(after.recent == old.recent || after.recent == fresh.recent);

        // The next start: stale temporaries go, both files load cleanly, a save works.
        RemoveStaleTemporaries(platform, U16(dir.path()));
        EXPECT_EQ(Names(dir), kDataFiles);
        ReaderSettings settings;
        EXPECT_EQ(ReadSettingsFile(platform, U16(dir.File("SetParam.Dat")), settings).state,
                  LoadState::kClean);
        RecentFileList list;
        EXPECT_TRUE(list.Load(platform, U16(dir.path())));
        Quit(platform, U16(dir.path()));
        EXPECT_EQ(Read(dir).settings, fresh.settings);
        EXPECT_EQ(Read(dir).recent, fresh.recent);
      }
    }
  }
  // Every kind of call was reached at least once by each fault, the writes many times.
  EXPECT_GT(runs, 6 * 3);
  std::printf("fault runs: %d\n", runs);
}

}  // namespace
}  // namespace lirako

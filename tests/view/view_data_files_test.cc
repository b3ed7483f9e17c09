// The view's data files: shared by two windows, read-only, left over by a killed save.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "platform/utf.h"
#include "store/recent_file_list.h"
#include "store/settings_file.h"
#include "tests/support/view_internals.h"
#include "tests/view/view_fixture.h"
#include "view/main_menu.h"

namespace lirako {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;
using testing::ViewFixture;
using testing::ViewInternals;

constexpr int kClientWidth = 240;
constexpr int kClientHeight = 320;

// One reader window in its own process on the data folder `folder`: it opens `book`, turns a
// page and sets a bookmark, says so on `ready`, and quits when `go` says so.
pid_t StartWindow(const std::string& folder, const std::u16string& book, int ready, int go) {
  pid_t child = ::fork();
  if (child != 0) return child;
  {
    HeadlessPlatform platform;
    platform.SetProgramPath(FromUtf8(folder + "/lirako"));
    HeadlessViewHost host(kClientWidth, kClientHeight, MainMenuItems());
    CTirasolView view(platform, host);
    view.OnInitialUpdate(book);
    auto screen = platform.CreateScreen(kClientWidth, kClientHeight);
    view.PaintPage(*screen);
    view.RequestStep(kStepPageForward);
    view.PaintPage(*screen);
    // Bookmarked without the save that the command makes: the end's save is the one under test.
    ViewInternals::CurrentEntry(view).AddBookmark(view.pagePosition(), u"여기");
    char byte = 1;
    if (::write(ready, &byte, 1) != 1 || ::read(go, &byte, 1) != 1) ::_exit(2);
  }  // the view's destruction saves
  ::_exit(0);
}

TEST(ViewDataFiles, TwoWindowsQuittingInTurnKeepBothBooks) {
  ViewFixture f;
  std::u16string first = f.NumberedBook("first.txt", 200);
  std::u16string second = f.NumberedBook("second.txt", 200);
  int ready[2];
  int go[2][2];
  ASSERT_EQ(::pipe(ready), 0);
  ASSERT_EQ(::pipe(go[0]), 0);
  ASSERT_EQ(::pipe(go[1]), 0);
  pid_t windows[2] = {StartWindow(f.dir.path(), first, ready[1], go[0][0]),
                      StartWindow(f.dir.path(), second, ready[1], go[1][0])};
  char byte = 0;
  // Both have read the files before either saves.
  ASSERT_EQ(::read(ready[0], &byte, 1), 1);
  ASSERT_EQ(::read(ready[0], &byte, 1), 1);
  for (int i = 0; i < 2; ++i) {
    ASSERT_EQ(::write(go[i][1], &byte, 1), 1);
    int status = 0;
    ::waitpid(windows[i], &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }

  RecentFileList saved;
  ASSERT_TRUE(saved.Load(f.platform, FromUtf8(f.dir.path())));
  ASSERT_EQ(saved.size(), 2u);
  EXPECT_EQ(saved.entries()[0].path, second);  // the window that quit last is first
  const RecentFileEntry& kept = saved.entries()[1];
  EXPECT_EQ(kept.path, first);
  EXPECT_GT(kept.position, 0);
  ASSERT_EQ(kept.bookmarks.size(), 1u);
  EXPECT_EQ(kept.bookmarks[0].position, kept.position);
}

TEST(ViewDataFiles, AReadOnlySettingsFileIsKeptAndThePageSaysSoOnce) {
  ViewFixture f;
  ReaderSettings settings;
  settings.marginX = 4;
  ASSERT_TRUE(SaveSettings(f.platform, FromUtf8(f.dir.path()), settings));
  std::string path = f.dir.File("SetParam.Dat");
  std::string before = ReadFileBytes(path);
  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);

  CTirasolView& view = f.Start(f.NumberedBook("book.txt", 200));
  ASSERT_NE(view.saveNotice().find(u"읽기 전용"), std::u16string::npos);
  std::u16string notice = view.saveNotice();
  auto shown = [&](const RecordingSurface& screen) {
    for (const SurfaceOp& op : screen.TextOps()) {
      if (op.text == notice) return true;
    }
    return false;
  };
  EXPECT_TRUE(shown(*f.Paint()));
  view.RequestStep(kStepPageForward);
  EXPECT_FALSE(shown(*f.Paint()));
  EXPECT_TRUE(view.saveNotice().empty());

  ViewInternals::Settings(view).marginX = 12;
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(view.SaveSettingsFile());
  std::string log = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(log.find("not saved: " + path + ": the file is read-only"), std::string::npos) << log;
  EXPECT_TRUE(view.saveNotice().empty());  // said once
  f.Stop();
  EXPECT_EQ(ReadFileBytes(path), before);
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0444u);
}

TEST(ViewDataFiles, StartRemovesWhatAKilledSaveLeft) {
  ViewFixture f;
  std::string stale = f.dir.Write("ResentFiles.Dat.k1LLed", "half a save");
  f.Start();
  EXPECT_FALSE(std::filesystem::exists(stale));
}

TEST(ViewDataFiles, ABookWithAPathTooLongForTheRecordKeepsItsPlaceAndBookmarks) {
  ViewFixture f;
  // Two folders of 150 units: the path is beyond the 260 a record string holds.
  const std::string longFolder = std::string(150, 'd') + "/" + std::string(150, 'e');
  std::filesystem::create_directories(f.dir.File(longFolder));
  std::u16string longBook = f.NumberedBook(longFolder + "/long.txt", 200);
  std::u16string shortBook = f.NumberedBook("short.txt", 200);
  CTirasolView& view = f.Start(shortBook);
  ASSERT_TRUE(view.OpenDocument(longBook));
  f.Paint();
  view.RequestStep(kStepPageForward);
  f.Paint();
  int32_t position = view.pagePosition();
  ASSERT_GT(position, 0);
  view.AddBookmark(position, u"긴 경로");
  f.Stop();

  CTirasolView& again = f.Start();
  ASSERT_TRUE(again.HasDocument());
  EXPECT_EQ(again.engine().filePath, longBook);
  EXPECT_EQ(again.currentEntry().position, position);
  ASSERT_EQ(again.currentEntry().bookmarks.size(), 1u);
  EXPECT_EQ(again.currentEntry().bookmarks[0].name, u"긴 경로");
  ASSERT_EQ(again.recentFiles().size(), 2u);
  EXPECT_EQ(again.recentFiles().entries()[1].path, shortBook);
}

// An installed copy: the program's folder refuses new files; the user's folder may too.
class InstalledPlatform : public HeadlessPlatform {
 public:
  std::u16string programFolder;
  std::u16string userFolder;
  bool userFolderWritable = true;
  bool IsWritableFolder(const std::u16string& folder) override {
    if (folder == programFolder) return false;
    if (folder == userFolder) return userFolderWritable;
    return HeadlessPlatform::IsWritableFolder(folder);
  }
  std::u16string UserDataFolder() override { return userFolder; }
};

TEST(ViewDataFiles, AnInstalledCopyReadsItsFilesBesideTheProgramAndSavesInTheUserFolder) {
  TempDir program;
  TempDir user;
  ViewFixture books;
  std::u16string book = books.NumberedBook("book.txt", 200);
  RecentFileList earlier;
  RecentFileEntry entry;
  entry.path = book;
  entry.position = 27;
  earlier.StoreFirst(entry);
  ASSERT_TRUE(earlier.Save(books.platform, FromUtf8(program.path())));
  std::string programFile = ReadFileBytes(program.File("ResentFiles.Dat"));

  InstalledPlatform platform;
  platform.programFolder = FromUtf8(program.path());
  platform.userFolder = FromUtf8(user.path());
  platform.SetProgramPath(FromUtf8(program.File("lirako")));
  HeadlessViewHost host(kClientWidth, kClientHeight, MainMenuItems());
  {
    CTirasolView view(platform, host);
    view.OnInitialUpdate(u"");
    ASSERT_TRUE(view.HasDocument());
    EXPECT_EQ(view.currentEntry().position, 27);
    EXPECT_TRUE(view.saveNotice().empty());
  }
  RecentFileList saved;
  ASSERT_TRUE(saved.Load(platform, FromUtf8(user.path())));
  ASSERT_EQ(saved.size(), 1u);
  EXPECT_EQ(saved.entries()[0].path, book);
  EXPECT_EQ(ReadFileBytes(program.File("ResentFiles.Dat")), programFile);

  platform.userFolderWritable = false;
  CTirasolView view(platform, host);
  view.OnInitialUpdate(u"");
  EXPECT_NE(view.saveNotice().find(u"데이터 폴더"), std::u16string::npos);
}

// A copy installed under ~/.local, whose user data folder is ~/.local/share/lirako.
class LocalInstallPlatform : public HeadlessPlatform {
 public:
  explicit LocalInstallPlatform(const std::string& home)
      : bin(home + "/.local/bin"), user(home + "/.local/share/lirako") {
    SetProgramPath(FromUtf8(bin + "/lirako"));
    MakeFolder(FromUtf8(bin));
  }
  std::u16string UserDataFolder() override {
    MakeFolder(FromUtf8(user));
    return FromUtf8(user);
  }
  std::string bin;
  std::string user;
};

TEST(ViewDataFiles, ALocalInstallMovesTheFilesAnEarlierVersionLeftBesideItAndAddsNone) {
  ViewFixture books;
  std::u16string book = books.NumberedBook("book.txt", 200);
  TempDir home;
  LocalInstallPlatform platform(home.path());
  // What an earlier version kept beside the program.
  RecentFileList earlier;
  RecentFileEntry entry;
  entry.path = book;
  entry.position = 27;
  earlier.StoreFirst(entry);
  ASSERT_TRUE(earlier.Save(platform, FromUtf8(platform.bin)));
  const std::string cache = "lirako-toc-00000000000000ab.cache";
  home.Write(".local/bin/" + cache, "cache");
  home.Write(".local/bin/lirako.lock", "");
  home.Write(".local/bin/other-program", "#!/bin/sh\n");
  HeadlessViewHost host(kClientWidth, kClientHeight, MainMenuItems());
  {
    CTirasolView view(platform, host);
    view.OnInitialUpdate(u"");
    ASSERT_TRUE(view.HasDocument());
    EXPECT_EQ(view.currentEntry().position, 27);
  }
  std::vector<std::string> left;
  for (const auto& file : std::filesystem::directory_iterator(platform.bin))
    left.push_back(file.path().filename());
  EXPECT_EQ(left, std::vector<std::string>{"other-program"});
  EXPECT_EQ(ReadFileBytes(platform.user + "/" + cache), "cache");
  RecentFileList saved;
  ASSERT_TRUE(saved.Load(platform, FromUtf8(platform.user)));
  EXPECT_EQ(saved.entries().at(0).path, book);
  EXPECT_TRUE(std::filesystem::exists(platform.user + "/SetParam.Dat"));
}

}  // namespace
}  // namespace lirako

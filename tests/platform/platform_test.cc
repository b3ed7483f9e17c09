#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <thread>

#include "platform/background_thread.h"
#include "platform/cp949_converter.h"
#include "platform/headless/headless_platform.h"
#include "platform/inotify_watch.h"
#include "platform/open_reasons.h"
#include "platform/posix_file.h"
#include "platform/readable_path.h"
#include "platform/registry_store.h"
#include "platform/utf.h"
#include "tests/support/fifo_watchdog.h"
#include "tests/support/temp_dir.h"

namespace lirako {
namespace {

using testing::FifoWatchdog;
using testing::ReadFileBytes;
using testing::TempDir;

TEST(Utf, RoundTripsAndReplacesMalformedInput) {
  std::u16string text = u"리라코 abc \U0001F600";
  EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
  EXPECT_EQ(ToUtf8(u"\xD800x"), "\xEF\xBF\xBDx");
  EXPECT_EQ(FromUtf8("a\xC3"), u"a\uFFFD");
  EXPECT_EQ(FromUtf8("\xE0\x80\x80"), u"\uFFFD\uFFFD\uFFFD");  // overlong
  EXPECT_EQ(FromUtf8("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");  // encoded surrogate
}

TEST(Utf, APathKeepsEveryByteAndReadsAsWellAsItCan) {
  // Well-formed UTF-8, code page 949 ("가"), a lone byte, a cut sequence, an encoded surrogate.
  for (const std::string bytes :
       {"/책/a.txt", "/\xB0\xA1.txt", "/\xFF", "/a\xEA\xB0", "/\xED\xA0\x80"}) {
    EXPECT_EQ(PathToBytes(PathFromBytes(bytes)), bytes);
  }
  EXPECT_EQ(PathFromBytes("/책"), u"/책");
  EXPECT_FALSE(HasUndecodedBytes(PathFromBytes("/책")));
  EXPECT_TRUE(HasUndecodedBytes(PathFromBytes("/\xB0\xA1")));
  HeadlessPlatform platform;
  EXPECT_EQ(ReadablePath(platform, PathFromBytes("/책/\xB0\xA1.txt")), u"/책/가.txt");
  EXPECT_EQ(ReadablePath(platform, PathFromBytes("/\xFF" "a")), u"/\\xFFa");
}

TEST(File, WatchesAFileThroughItsFolder) {
  TempDir dir;
  const std::string book = dir.Write("book.txt", "one");
  std::unique_ptr<InotifyWatch> watch = InotifyWatch::Create(book);
  ASSERT_TRUE(watch);
  EXPECT_FALSE(watch->Drain());
  dir.Write("other.txt", "not the book");
  EXPECT_FALSE(watch->Drain());
  dir.Write("book.txt", "two");
  EXPECT_TRUE(watch->Drain());
  // Replaced by a rename, as editors save, and removed.
  dir.Write("book.txt.new", "three");
  std::filesystem::rename(dir.File("book.txt.new"), book);
  EXPECT_TRUE(watch->Drain());
  std::filesystem::remove(book);
  EXPECT_TRUE(watch->Drain());
}

TEST(File, ReadsSeeksAndReportsShortTransfers) {
  TempDir dir;
  HeadlessPlatform platform;
  std::string path = dir.Write("a.bin", "0123456789");
  auto file = platform.OpenForReading(FromUtf8(path));
  ASSERT_TRUE(file);
  EXPECT_EQ(file->Size(), 10);
  char buf[16] = {};
  EXPECT_EQ(file->Seek(-3, SeekOrigin::kEnd), 7);
  EXPECT_EQ(file->Read(buf, sizeof buf), 3u);
  EXPECT_EQ(std::string(buf, 3), "789");
  EXPECT_EQ(file->Read(buf, 1), 0u);
  EXPECT_EQ(file->Seek(1, SeekOrigin::kStart), 1);
  EXPECT_EQ(file->ReadItems(buf, 4, 3), 2u);  // 9 bytes left: two whole items
  EXPECT_EQ(platform.OpenForReading(FromUtf8(dir.File("missing"))), nullptr);
  EXPECT_EQ(platform.OpenForReading(FromUtf8(dir.path())), nullptr);
}

// A book that is not a regular file is refused at once with the reason the page shows.
TEST(File, RefusesWhatIsNotARegularFileWithoutWaiting) {
  TempDir dir;
  HeadlessPlatform platform;
  FifoWatchdog fifo(dir.File("book.fifo"));
  std::string reason;
  EXPECT_EQ(platform.OpenForReading(FromUtf8(fifo.path()), &reason), nullptr);
  EXPECT_FALSE(fifo.fired()) << "opening a FIFO waited for a writer";
  EXPECT_EQ(reason, kReasonNotRegularFile);

  EXPECT_EQ(platform.OpenForReading(FromUtf8(dir.File("missing")), &reason), nullptr);
  EXPECT_EQ(reason, kReasonNotFound);
  EXPECT_EQ(platform.OpenForReading(FromUtf8(dir.path()), &reason), nullptr);
  EXPECT_EQ(reason, kReasonFolder);
  EXPECT_EQ(platform.OpenForReading(u"/dev/null", &reason), nullptr);
  EXPECT_EQ(reason, kReasonNotRegularFile);
  // Files that report size 0 but yield bytes open as empty ones.
  auto status = platform.OpenForReading(u"/proc/self/status", &reason);
  ASSERT_TRUE(status);
  EXPECT_EQ(status->Size(), 0);

  if (::geteuid() == 0) return;  // the superuser reads every file
  std::string locked = dir.Write("locked.txt", "text");
  ::chmod(locked.c_str(), 0);
  EXPECT_EQ(platform.OpenForReading(FromUtf8(locked), &reason), nullptr);
  EXPECT_EQ(reason, kReasonNoPermission);
}

TEST(File, WritesReplaceTheTargetOnlyWhenClosed) {
  TempDir dir;
  HeadlessPlatform platform;
  std::string path = dir.Write("s.dat", "old contents that are long");
  auto file = platform.CreateForWriting(FromUtf8(path), nullptr);
  ASSERT_TRUE(file);
  EXPECT_EQ(file->Write("new", 3), 3u);
  EXPECT_EQ(ReadFileBytes(path), "old contents that are long");
  EXPECT_TRUE(file->Close());
  EXPECT_EQ(ReadFileBytes(path), "new");
  // No temporary file is left behind.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                          std::filesystem::directory_iterator()),
            1);
  EXPECT_EQ(platform.CreateForWriting(FromUtf8(dir.File("no/such/folder/x")), nullptr), nullptr);
}

TEST(SystemPlatform, TheFolderOfInstalledProgramsIsNeverWritable) {
  HeadlessPlatform platform;
  TempDir dir;
  EXPECT_TRUE(platform.IsWritableFolder(FromUtf8(dir.path())));
  // Even for root, who may write there: the reader's files would land among the programs.
  EXPECT_FALSE(platform.IsWritableFolder(u"/usr/bin"));
}

TEST(SystemPlatform, MovingAFileNeverReplacesOneAndCrossesFileSystems) {
  HeadlessPlatform platform;
  TempDir dir;
  const std::u16string from = FromUtf8(dir.Write("a", "old"));
  const std::u16string to = FromUtf8(dir.Write("b", "kept"));
  std::string err;
  EXPECT_FALSE(platform.MoveFile(from, to, &err));
  EXPECT_EQ(ReadFileBytes(dir.File("b")), "kept");
  EXPECT_TRUE(platform.MoveFile(from, FromUtf8(dir.File("c")), &err)) << err;
  EXPECT_EQ(ReadFileBytes(dir.File("c")), "old");
  EXPECT_FALSE(platform.PathExists(from));
  // /dev/shm is a file system of its own on most machines: the move copies.
  struct stat shm;
  struct stat tmp;
  if (::stat("/dev/shm", &shm) != 0 || ::stat(dir.path().c_str(), &tmp) != 0 ||
      shm.st_dev == tmp.st_dev || !platform.IsWritableFolder(u"/dev/shm")) {
    GTEST_SKIP() << "no second file system to move across";
  }
  const std::string elsewhere = "/dev/shm/lirako-move-" + std::to_string(::getpid());
  ASSERT_TRUE(platform.MoveFile(FromUtf8(dir.File("c")), FromUtf8(elsewhere), &err)) << err;
  EXPECT_EQ(ReadFileBytes(elsewhere), "old");
  EXPECT_FALSE(platform.PathExists(FromUtf8(dir.File("c"))));
  ::unlink(elsewhere.c_str());
}

TEST(BackgroundThread, LowersThePriorityOfTheCallingThreadAlone) {
  const int before = ::getpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()));
  int inside = before;
  std::thread worker([&inside] {
    YieldToForeground();
    inside = ::getpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()));
  });
  worker.join();
  EXPECT_GT(inside, before);
  EXPECT_EQ(::getpriority(PRIO_PROCESS, static_cast<id_t>(::gettid())), before);
}

TEST(Cp949, ConvertsOneUnitPerCharacter) {
  const Cp949Converter& cp = Cp949Converter::Instance();
  ASSERT_TRUE(cp.available());
  EXPECT_EQ(cp.Convert("\xC7\xD1\xB1\xDB"), u"한글");
  EXPECT_EQ(cp.Convert("A\xB0\xA1"), u"A가");
  EXPECT_EQ(cp.Convert("\x81\x41"), u"갂");       // extended region
  EXPECT_EQ(cp.Convert("\xC6\x41").size(), 1u);   // the 18 extra syllables are pairs
  EXPECT_EQ(cp.Convert("\xB0"), u"\uFFFD");       // lone lead at the end
  EXPECT_EQ(cp.Convert("\xA1\x20"), u"\uFFFD ");  // lead without a trail
  HeadlessPlatform platform;
  platform.SetCodePage949(false);
  EXPECT_FALSE(platform.HasCodePage949());
  EXPECT_EQ(platform.Cp949ToUtf16("\xB0\xA1"), u"\u00B0\u00A1");
}

TEST(Platform, FoldsAsciiAndFindsText) {
  HeadlessPlatform platform;
  std::u16string s = u"AbC 한글 Z";
  platform.FoldCase(s);
  EXPECT_EQ(s, u"abc 한글 z");
  EXPECT_EQ(platform.FindText(u"abcabc", u"bc", 0), 1);
  EXPECT_EQ(platform.FindText(u"abcabc", u"bc", 2), 4);
  EXPECT_EQ(platform.FindText(u"abcabc", u"bc", 5), -1);
  EXPECT_EQ(platform.FindText(u"abc", u"a", 9), -1);
}

TEST(HeadlessMetrics, MeasuresNarrowWideAndZero) {
  HeadlessPlatform platform;
  auto screen = platform.CreateScreen(100, 100);
  EXPECT_EQ(screen->MeasureText(u"한").width, 12);
  EXPECT_EQ(screen->MeasureText(u" ").width, 6);
  EXPECT_EQ(screen->MeasureText(u" ").height, 16);
  EXPECT_EQ(screen->MeasureText(std::u16string(1, u'\0')).width, 0);
  EXPECT_EQ(screen->MeasureText(u"\u00FF\u0100").width, 18);
  platform.metrics().narrow = 5;
  EXPECT_EQ(screen->MeasureText(u"ab").width, 10);
}

TEST(RecordingSurface, RecordsDrawingAndCopiesPixels) {
  HeadlessPlatform platform;
  auto screen = platform.CreateScreen(40, 30);
  auto memory = platform.CreateMemorySurface(*screen, 40, 30);
  memory->FillSolid({0, 0, 40, 30}, 0x00112233);
  memory->SetBackColor(0x000000FF);
  memory->DrawText(2, 3, u"ab");
  memory->CopyTo(*screen, {0, 0, 40, 30});
  EXPECT_EQ(screen->Pixel(0, 0), 0x00112233u);
  EXPECT_EQ(screen->Pixel(2, 3), 0x000000FFu);
  EXPECT_EQ(screen->Pixel(13, 18), 0x000000FFu);
  EXPECT_EQ(screen->Pixel(14, 3), 0x00112233u);
  auto texts = screen->TextOps();
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].text, u"ab");
}

TEST(RegistryStore, KeepsTypedValuesAndSurvivesARoundTrip) {
  TempDir dir;
  std::string path = dir.File("cfg/lirako/registry");
  {
    RegistryStore store(path);
    EXPECT_FALSE(store.SetString(RegistryRoot::kClassesRoot, u".txt", u"Default", u"x"));
    EXPECT_TRUE(store.CreateKey(RegistryRoot::kClassesRoot, u"lirakofile\\Shell\\Open\\Command"));
    EXPECT_TRUE(store.KeyExists(RegistryRoot::kClassesRoot, u"lirakofile\\Shell"));
    EXPECT_FALSE(store.KeyExists(RegistryRoot::kCurrentUser, u"lirakofile"));
    EXPECT_TRUE(store.SetString(RegistryRoot::kClassesRoot, u"lirakofile\\Shell\\Open\\Command",
                                u"Default", u"\"/opt/lirako\" \"%1\" 한"));
    EXPECT_TRUE(store.SetNumber(RegistryRoot::kClassesRoot, u"LIRAKOFILE", u"EditFlags", 65536));
    EXPECT_TRUE(store.CreateKey(RegistryRoot::kCurrentUser, u"Software\\Lirako"));
    EXPECT_TRUE(store.SetString(RegistryRoot::kCurrentUser, u"Software\\Lirako", u"Default Path",
                                u"/data", kRegExpandString));
  }
  RegistryStore store(path);
  RegistryValue v;
  ASSERT_TRUE(store.QueryValue(RegistryRoot::kClassesRoot, u"lirakofile\\shell\\open\\command",
                               u"default", &v));
  EXPECT_EQ(v.type, kRegString);
  EXPECT_EQ(v.text, u"\"/opt/lirako\" \"%1\" 한");
  ASSERT_TRUE(store.QueryValue(RegistryRoot::kClassesRoot, u"lirakofile", u"EditFlags", &v));
  EXPECT_EQ(v.type, kRegNumber);
  EXPECT_EQ(v.number, 65536u);
  ASSERT_TRUE(
      store.QueryValue(RegistryRoot::kCurrentUser, u"Software\\Lirako", u"Default Path", &v));
  EXPECT_EQ(v.type, kRegExpandString);
  EXPECT_TRUE(store.DeleteValue(RegistryRoot::kClassesRoot, u"lirakofile", u"EditFlags"));
  EXPECT_FALSE(store.DeleteValue(RegistryRoot::kClassesRoot, u"lirakofile", u"EditFlags"));
  EXPECT_TRUE(store.DeleteKey(RegistryRoot::kClassesRoot, u"lirakofile"));
  EXPECT_FALSE(store.KeyExists(RegistryRoot::kClassesRoot, u"lirakofile\\Shell\\Open\\Command"));
  EXPECT_TRUE(store.KeyExists(RegistryRoot::kCurrentUser, u"Software\\Lirako"));
}

TEST(RegistryStore, DamagedFileReadsAsEmpty) {
  TempDir dir;
  const char* damaged[] = {
      "",
      "garbage\n",
      "lirako-registry 1\nkey HKEY_NOWHERE \"a\"\n",
      "lirako-registry 1\nkey HKEY_CLASSES_ROOT \"a\"\nvalue \"v\" number 99999999999\n",
      "lirako-registry 1\nkey HKEY_CLASSES_ROOT \"a\nvalue \"v\" string \"x\"\n",
      "lirako-registry 1\nvalue \"v\" string \"x\"\n",
      "lirako-registry 1\nkey HKEY_CLASSES_ROOT \"a\"\nvalue \"v\" string \"x\\q\"\n"};
  for (const char* text : damaged) {
    std::string path = dir.Write("registry", text);
    RegistryStore store(path);
    EXPECT_EQ(store.Serialize(), "lirako-registry 1\n") << text;
  }
  RegistryStore good;
  good.CreateKey(RegistryRoot::kClassesRoot, u".txt");
  good.SetString(RegistryRoot::kClassesRoot, u".txt", u"Default", u"a \"b\" \\c\nd");
  RegistryStore copy;
  EXPECT_TRUE(copy.Parse(good.Serialize()));
  EXPECT_EQ(copy.Serialize(), good.Serialize());
}

}  // namespace
}  // namespace lirako

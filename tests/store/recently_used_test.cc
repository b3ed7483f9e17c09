#include "store/recently_used.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "platform/headless/headless_platform.h"
#include "platform/utf.h"
#include "tests/support/temp_dir.h"

namespace lirako {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;

// 2026-12-07 17:30:05 UTC and a day later.
const auto kFirstOpen = std::chrono::system_clock::from_time_t(1796664605);
const auto kNextDay = kFirstOpen + std::chrono::hours(24);

// Another program's entry, and one for the same book with only the other program.
constexpr char kOtherEntry[] =
    "  <bookmark href=\"file:///home/me/notes.txt\" added=\"2026-01-01T00:00:00Z\" "
    "modified=\"2026-01-01T00:00:00Z\" visited=\"2026-01-01T00:00:00Z\">\n"
    "    <info><metadata owner=\"http://freedesktop.org\"><mime:mime-type type=\"text/plain\"/>"
    "<bookmark:applications><bookmark:application name=\"gedit\" exec=\"&apos;gedit %u&apos;\" "
    "modified=\"2026-01-01T00:00:00Z\" count=\"3\"/></bookmark:applications></metadata></info>\n"
    "  </bookmark>\n";

class RecentlyUsedFixture {
 public:
  RecentlyUsedFixture() {
    platform.SetDesktopHomes(FromUtf8(dir.File("config")), FromUtf8(dir.File("data")));
    platform.MakeFolder(FromUtf8(dir.File("data")));
  }
  std::string Xbel() { return ReadFileBytes(dir.File("data/recently-used.xbel")); }
  // True when python3's XML parser reads the file.
  bool WellFormed() {
    std::string cmd =
        "python3 -c 'import sys, xml.dom.minidom; xml.dom.minidom.parse(sys.argv[1])' " +
        dir.File("data/recently-used.xbel") + " 2>/dev/null";
    return std::system(cmd.c_str()) == 0;
  }
  TempDir dir;
  HeadlessPlatform platform;
};

TEST(RecentlyUsed, AMissingListIsCreatedWithTheBook) {
  RecentlyUsedFixture f;
  ASSERT_TRUE(AddRecentlyUsed(f.platform, u"/books/별 빛.txt", kFirstOpen, nullptr));
  const std::string xbel = f.Xbel();
  EXPECT_NE(xbel.find("<bookmark href=\"file:///books/%EB%B3%84%20%EB%B9%9B.txt\" "
                      "added=\"2026-12-07T17:30:05.000000Z\""),
            std::string::npos);
  EXPECT_NE(xbel.find("name=\"lirako\" exec=\"&apos;lirako %u&apos;\""), std::string::npos);
  EXPECT_TRUE(f.WellFormed());
}

TEST(RecentlyUsed, OtherProgramsEntriesStayAndOpeningAgainCounts) {
  RecentlyUsedFixture f;
  const std::string sameBook =
      std::string(kOtherEntry)
          .replace(std::string(kOtherEntry).find("/home/me/notes.txt"),
                   std::string("/home/me/notes.txt").size(), "/books/a.txt");
  f.dir.Write(
      "data/recently-used.xbel",
      std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<xbel version=\"1.0\" "
                  "xmlns:bookmark=\"http://www.freedesktop.org/standards/desktop-bookmarks\" "
                  "xmlns:mime=\"http://www.freedesktop.org/standards/shared-mime-info\">\n") +
          kOtherEntry + sameBook + "</xbel>\n");
  ASSERT_TRUE(AddRecentlyUsed(f.platform, u"/books/a.txt", kFirstOpen, nullptr));
  ASSERT_TRUE(AddRecentlyUsed(f.platform, u"/books/a.txt", kNextDay, nullptr));
  const std::string xbel = f.Xbel();
  EXPECT_NE(xbel.find(kOtherEntry), std::string::npos);
  // The book's entry keeps the other program and gains the reader, counted twice.
  EXPECT_NE(
      xbel.find("<bookmark href=\"file:///books/a.txt\" added=\"2026-01-01T00:00:00Z\" "
                "modified=\"2026-12-08T17:30:05.000000Z\" visited=\"2026-12-08T17:30:05.000000Z\""),
      std::string::npos);
  EXPECT_NE(xbel.find("name=\"gedit\""), std::string::npos);
  EXPECT_NE(xbel.find("modified=\"2026-12-08T17:30:05.000000Z\" count=\"2\"/>"), std::string::npos);
  EXPECT_EQ(xbel.find("/books/a.txt", xbel.find("/books/a.txt") + 1), std::string::npos);
  EXPECT_TRUE(f.WellFormed());
}

TEST(RecentlyUsed, AFileThatIsNotXbelIsLeftAlone) {
  RecentlyUsedFixture f;
  f.dir.Write("data/recently-used.xbel", "<xbel><bookmark href=\"file:///cut");
  std::string err;
  EXPECT_FALSE(AddRecentlyUsed(f.platform, u"/books/a.txt", kFirstOpen, &err));
  EXPECT_NE(err.find("<xbel>"), std::string::npos);
  EXPECT_EQ(f.Xbel(), "<xbel><bookmark href=\"file:///cut");
}

}  // namespace
}  // namespace lirako

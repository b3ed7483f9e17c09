#include <glib.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "platform/headless/headless_platform.h"
#include "platform/utf.h"
#include "tests/support/temp_dir.h"

namespace lirako {
namespace {

using testing::TempDir;

// 2026-12-07 17:30:05 UTC.
const auto kOpened = std::chrono::system_clock::from_time_t(1796664605);

constexpr char kHead[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<xbel version=\"1.0\" "
    "xmlns:bookmark=\"http://www.freedesktop.org/standards/desktop-bookmarks\" "
    "xmlns:mime=\"http://www.freedesktop.org/standards/shared-mime-info\">\n";
constexpr char kStamps[] =
    "added=\"2026-01-01T00:00:00Z\" modified=\"2026-01-01T00:00:00Z\" "
    "visited=\"2026-01-01T00:00:00Z\"";
constexpr char kGeditInfo[] =
    "<info><metadata owner=\"http://freedesktop.org\"><mime:mime-type type=\"text/plain\"/>"
    "<bookmark:applications><bookmark:application name=\"gedit\" exec=\"&apos;gedit %u&apos;\" "
    "modified=\"2026-01-01T00:00:00Z\" count=\"3\"/></bookmark:applications></metadata></info>";

std::string Uri(const std::string& path) {
  gchar* uri = g_filename_to_uri(path.c_str(), nullptr, nullptr);
  std::string text = uri ? uri : "";
  g_free(uri);
  return text;
}

// What GLib reads from an XBEL file: each entry's URI and whether the reader is one of its
// applications; empty, with GLib's reason in `err`, when it refuses the file.
struct Entry {
  std::string uri;
  bool ours;
};
std::vector<Entry> GLibEntries(const std::string& path, std::string* err) {
  GBookmarkFile* file = g_bookmark_file_new();
  GError* error = nullptr;
  std::vector<Entry> entries;
  if (g_bookmark_file_load_from_file(file, path.c_str(), &error)) {
    gchar** uris = g_bookmark_file_get_uris(file, nullptr);
    for (gchar** uri = uris; *uri; ++uri)
      entries.push_back(
          {*uri, g_bookmark_file_has_application(file, *uri, "lirako", nullptr) != 0});
    g_strfreev(uris);
  } else {
    *err = error->message;
    g_error_free(error);
  }
  g_bookmark_file_free(file);
  return entries;
}

class RecentlyUsedFixture {
 public:
  RecentlyUsedFixture() {
    platform.SetDesktopHomes(FromUtf8(dir.File("config")), FromUtf8(dir.File("data")));
    platform.MakeFolder(FromUtf8(dir.File("data")));
  }
  std::string XbelPath() { return dir.File("data/recently-used.xbel"); }
  bool Record(const std::string& book) {
    std::string err;
    bool recorded = platform.AddRecentlyUsed(PathFromBytes(book), kOpened, &err);
    EXPECT_TRUE(recorded) << err;
    return recorded;
  }
  // True when GLib reads the file with `book` listed once, the reader among its
  // applications, and the reader in no other entry.
  ::testing::AssertionResult ListedOnceAsOurs(const std::string& book) {
    std::string err;
    std::vector<Entry> entries = GLibEntries(XbelPath(), &err);
    if (!err.empty()) return ::testing::AssertionFailure() << "GLib refuses the file: " << err;
    const std::string uri = Uri(book);
    for (const Entry& entry : entries) {
      if (entry.ours != (entry.uri == uri)) {
        return ::testing::AssertionFailure()
               << entry.uri << (entry.ours ? " is" : " is not") << " ours in\n"
               << testing::ReadFileBytes(XbelPath());
      }
    }
    auto n =
        std::count_if(entries.begin(), entries.end(), [&](const Entry& e) { return e.uri == uri; });
    if (n != 1) return ::testing::AssertionFailure() << uri << " is listed " << n << " times";
    return ::testing::AssertionSuccess();
  }
  TempDir dir;
  HeadlessPlatform platform;
};

TEST(RecentlyUsed, EntriesAsOtherProgramsWriteThemAreUpdatedNotDuplicated) {
  const std::string book = "/books/a.txt";
  const std::string other = std::string("<bookmark href=\"file:///books/b.txt\" ") + kStamps + ">" +
                            kGeditInfo + "</bookmark>\n";
  const std::vector<std::string> files = {
      // "href" after another attribute, in single quotes, after two blanks.
      std::string(kHead) +
          "<bookmark added=\"2026-01-01T00:00:00Z\" href=\"file:///books/a.txt\">" + kGeditInfo +
          "</bookmark>\n" + other + "</xbel>\n",
      std::string(kHead) + "<bookmark href='file:///books/a.txt' " + kStamps + ">" + kGeditInfo +
          "</bookmark>\n" + other + "</xbel>\n",
      std::string(kHead) + "<bookmark  href=\"file:///books/a.txt\" " + kStamps + ">" + kGeditInfo +
          "</bookmark>\n" + other + "</xbel>\n",
      // An entry without applications, as a self-closing element, before another one.
      std::string(kHead) + "<bookmark href=\"file:///books/a.txt\" " + kStamps + "/>\n" + other +
          "</xbel>\n",
      // The book not listed yet, and a comment after the end of the element.
      std::string(kHead) + other + "</xbel>\n<!-- </xbel> -->\n",
  };
  for (const std::string& file : files) {
    RecentlyUsedFixture f;
    f.dir.Write("data/recently-used.xbel", file);
    ASSERT_TRUE(f.Record(book));
    EXPECT_TRUE(f.ListedOnceAsOurs(book)) << "in a file that was\n" << file;
  }
}

TEST(RecentlyUsed, ANameGLibLeavesUnescapedKeepsItsOneEntry) {
  RecentlyUsedFixture f;
  const std::string book = "/books/a (1) 'b' & c+d=e@f,g.txt";
  // The book as a GTK program records it.
  GBookmarkFile* file = g_bookmark_file_new();
  g_bookmark_file_add_application(file, Uri(book).c_str(), "gedit", "gedit %u");
  ASSERT_TRUE(g_bookmark_file_to_file(file, f.XbelPath().c_str(), nullptr));
  g_bookmark_file_free(file);
  ASSERT_TRUE(f.Record(book));
  ASSERT_TRUE(f.Record(book));
  EXPECT_TRUE(f.ListedOnceAsOurs(book));
  // Opened twice: counted twice, and the other program stays.
  file = g_bookmark_file_new();
  ASSERT_TRUE(g_bookmark_file_load_from_file(file, f.XbelPath().c_str(), nullptr));
  guint count = 0;
  EXPECT_TRUE(g_bookmark_file_get_application_info(file, Uri(book).c_str(), "lirako", nullptr,
                                                   &count, nullptr, nullptr));
  EXPECT_EQ(count, 2u);
  EXPECT_TRUE(g_bookmark_file_has_application(file, Uri(book).c_str(), "gedit", nullptr));
  g_bookmark_file_free(file);
}

TEST(RecentlyUsed, ANameInCodePage949BytesIsListedByThoseBytes) {
  RecentlyUsedFixture f;
  const std::string book = "/books/\xb0\xa1.txt";
  ASSERT_TRUE(f.Record(book));
  EXPECT_TRUE(f.ListedOnceAsOurs(book));
}

TEST(RecentlyUsed, AFileGLibCannotReadIsLeftAlone) {
  RecentlyUsedFixture f;
  f.dir.Write("data/recently-used.xbel", "<xbel><bookmark href=\"file:///cut");
  std::string err;
  EXPECT_FALSE(f.platform.AddRecentlyUsed(u"/books/a.txt", kOpened, &err));
  EXPECT_NE(err, "");
  EXPECT_EQ(testing::ReadFileBytes(f.XbelPath()), "<xbel><bookmark href=\"file:///cut");
}

TEST(RecentlyUsed, TwoWritersAtOnceLoseNoEntry) {
  RecentlyUsedFixture f;
  constexpr int kWriters = 2;
  constexpr int kBooks = 25;
  std::vector<pid_t> children;
  for (int w = 0; w < kWriters; ++w) {
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      bool all = true;
      for (int b = 0; b < kBooks; ++b) {
        std::string err;
        all = f.platform.AddRecentlyUsed(
                  FromUtf8("/books/" + std::to_string(w) + "-" + std::to_string(b) + ".txt"),
                  kOpened, &err) &&
              all;
      }
      ::_exit(all ? 0 : 1);
    }
    children.push_back(child);
  }
  for (pid_t child : children) {
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  std::string err;
  std::vector<Entry> entries = GLibEntries(f.XbelPath(), &err);
  EXPECT_EQ(err, "");
  EXPECT_EQ(entries.size(), size_t{kWriters * kBooks});
}

}  // namespace
}  // namespace lirako

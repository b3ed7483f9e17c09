// Writes a library of many remembered books, as a reader that has opened that many would have
// it, and times what the dialog "서재" and the opening of a book ask of it:
//   library_writer DIR COUNT
// makes DIR/library.sqlite3 with COUNT books (an existing library there is replaced) and
// prints "library COUNT write_ms open_ms reload_ms filter_ms find_ms": writing it, opening
// it again as the reader does at start, reading every book into the dialog's list, narrowing
// the list by a text, and looking a book up by path and by fingerprint (the work of every
// open). Times are CPU time of the process in milliseconds.
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/headless/headless_platform.h"
#include "platform/utf.h"
#include "store/library.h"
#include "view/library_table.h"

namespace {

// CPU time of the process, as engine_bench measures: on a shared machine other processes take
// the CPU in slices that wall-clock figures would count.
struct Clock {
  using time_point = double;
  static double now() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
  }
};

double MsSince(double start) {
  return Clock::now() - start;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace lirako;
  if (argc != 3 || std::atoi(argv[2]) <= 0) {
    std::fprintf(stderr, "usage: library_writer DIR COUNT\n");
    return 2;
  }
  const std::string path = std::string(argv[1]) + "/library.sqlite3";
  for (const char* suffix : {"", "-wal", "-shm"})
    std::remove((path + suffix).c_str());
  const int count = std::atoi(argv[2]);
  Library library;
  std::string err;
  if (library.Open(path, &err) == Library::Opened::kFailed) {
    std::fprintf(stderr, "library_writer: %s\n", err.c_str());
    return 1;
  }
  auto start = Clock::now();
  for (int i = 0; i < count; ++i) {
    LibraryBook book;
    const std::string n = std::to_string(i);
    book.path = FromUtf8("/home/reader/책/" + std::to_string(i % 97) + "/소설 " + n + ".txt");
    book.size = 100000 + i * 37;
    book.fingerprint = std::to_string(book.size) + ":" + n;
    book.textFingerprint = "t2048:" + n;
    book.encoding = i % 3 ? "cp949" : "utf-8";
    book.position = i * 11;
    book.anchor = "별빛이 내리는 밤에 " + n;
    book.progress = (i % 100) / 100.0;
    book.bookmarks = {Bookmark{u"책갈피", i}};
    book.firstRead = 1700000000000LL + i * 1000LL;
    book.lastRead = book.firstRead + 500;
    book.readingSeconds = i % 5000;
    if (!library.Save(book, &err)) {
      std::fprintf(stderr, "library_writer: %s\n", err.c_str());
      return 1;
    }
  }
  const double writeMs = MsSince(start);
  library.Close();
  start = Clock::now();
  if (library.Open(path, &err) != Library::Opened::kExisting) {
    std::fprintf(stderr, "library_writer: %s\n", err.c_str());
    return 1;
  }
  const double openMs = MsSince(start);

  HeadlessPlatform platform;
  LibraryTable table(platform, library);
  start = Clock::now();
  table.Reload();
  const double reloadMs = MsSince(start);
  start = Clock::now();
  table.SetFilter(u"소설 12");
  const double filterMs = MsSince(start);
  start = Clock::now();
  const int lookups = 100;
  for (int i = 0; i < lookups; ++i) {
    const int n = i * (count / lookups);
    library.Find(FromUtf8("/home/reader/책/" + std::to_string(n % 97) + "/소설 " +
                          std::to_string(n) + ".txt"));
    library.FindByFingerprint("0:none");
  }
  const double findMs = MsSince(start) / lookups;
  std::printf("library %d %.1f %.2f %.1f %.1f %.3f\n", count, writeMs, openMs, reloadMs, filterMs,
              findMs);
  return table.RowCount() > 0 ? 0 : 1;
}

// Measures the text engine on generated books: opening, page and line turns, jumps,
// reading through, searching (against grep -F on the same file) and peak memory; and the
// reader's workers over the whole book: the chapter scan and the search for every hit, each
// in a fresh process of its own, for its speed and the memory it adds to the reader.
//
//   engine_bench [--books DIR] [--smoke] [--wall] [--unbroken]
//
// Books are generated into DIR (default bench/books) and reused when present with the right
// size. Times are CPU time of the process (--wall: wall-clock time). --smoke runs every measurement
// briefly on two tiny books in a temporary folder and fails when one of them goes wrong; it keeps
// the program building and running in the tests. --unbroken measures books without a single
// line break, which the reader cuts into pieces. (The program runs itself with --scan or
// --find-all, then BOOK TEXT OPTIONS, for one worker.)

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "bench/support/book_generator.h"
#include "engine/chapter_scanner.h"
#include "engine/encoding_detection.h"
#include "engine/search_all.h"
#include "engine/text_engine.h"
#include "engine/typography.h"
#include "platform/headless/headless_platform.h"
#include "platform/utf.h"
#include "view/chapter_list.h"
#include "view/search_all_job.h"

namespace lirako::bench {
namespace {

// Times are CPU seconds of this process (of grep for grep) unless --wall asks for wall-clock
// seconds: on a shared machine other processes take the CPU in 4 ms slices, which wall-clock
// throughputs and tail latencies would count as the engine's.
bool wallClock = false;

double Now() {
  if (wallClock) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

constexpr int kPageWidth = 480;
constexpr int kPageHeight = 800;
constexpr int64_t kMegabyte = 1 << 20;

struct BookSpec {
  BookEncoding encoding;
  BookShape shape;
  int64_t size;
  std::string path;
  std::string label;
};

struct Settings {
  bool smoke = false;
  BookShape shape = BookShape::kParagraphs;
  std::string folder = "bench/books";
  int warmups = 3;
  int openRepeats = 11;
  int steps = 3000;
  int jumps = 100;
  int readRepeats = 3;
  int searchRepeats = 3;
};

// Everything measured on one book; negative values were not measured.
struct Figures {
  double openUs = -1;
  double pageForwardUs = -1, pageForwardP99 = -1;
  double pageBackwardUs = -1, pageBackwardP99 = -1;
  double lineForwardUs = -1, lineForwardP99 = -1;
  double lineBackwardUs = -1, lineBackwardP99 = -1;
  // With the line-edge rules, word-keeping wrap and joined lines all on.
  double typesetForwardUs = -1, typesetForwardP99 = -1;
  double typesetBackwardUs = -1, typesetBackwardP99 = -1;
  double jumpUs = -1, jumpP99 = -1;
  double readMBs = -1;
  double searchMBs = -1, searchFoldMBs = -1, grepMBs = -1;
  double peakRssMB = -1;
  double detectionKiB = -1;
  // The workers, each in a process of its own (see Worker).
  double scanMBs = -1, chapters = -1, scanAddedMB = -1;
  double findAllMBs = -1, findAllFoldMBs = -1, findAllGrepMBs = -1;
  double cappedHits = -1, findAllAddedMB = -1;
};

int failures = 0;

void Fail(const std::string& what) {
  std::fprintf(stderr, "engine_bench: %s\n", what.c_str());
  ++failures;
}

double Seconds(double from, double to) {
  return to - from;
}

double Median(std::vector<double> v) {
  if (v.empty()) return -1;
  std::sort(v.begin(), v.end());
  size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

double Percentile99(std::vector<double> v) {
  if (v.empty()) return -1;
  std::sort(v.begin(), v.end());
  size_t i = static_cast<size_t>(std::ceil(0.99 * static_cast<double>(v.size()))) - 1;
  return v[std::min(i, v.size() - 1)];
}

// Peak resident set of this process in MB, from /proc/self/status (VmHWM), else getrusage.
double PeakRssMB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::atof(line.c_str() + 6) / 1024.0;
  }
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// Reads the whole file once so that every measurement runs on a warm page cache.
void WarmPageCache(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return;
  char block[64 * 1024];
  while (std::fread(block, 1, sizeof block, f) == sizeof block) {
  }
  std::fclose(f);
}

// Generates the missing books in a child process, so that the generator's memory never
// counts in this process's peak.
bool EnsureBooks(const std::vector<BookSpec>& books) {
  std::fflush(nullptr);
  pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) {
    uint64_t seed = 1;
    for (const BookSpec& b : books) {
      if (!EnsureBook(b.path, b.size, b.encoding, seed++, b.shape)) _exit(1);
    }
    _exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Seconds that `grep -c -F` takes to look for `pattern` in `path`, or -1.
double GrepSeconds(const std::string& pattern, const std::string& path) {
  std::fflush(nullptr);
  double start = Now();
  pid_t child = fork();
  if (child < 0) return -1;
  if (child == 0) {
    int null = ::open("/dev/null", O_WRONLY);
    if (null >= 0) dup2(null, STDOUT_FILENO);
    setenv("LC_ALL", "C", 1);
    execlp("grep", "grep", "-c", "-F", "--", pattern.c_str(), path.c_str(),
           static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  double end = Now();
  // grep exits 1 when nothing matched, which is what the absent text must give.
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 1) return -1;
  if (wallClock) return Seconds(start, end);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

// One open book with its engine, laid out on the benchmark page.
class Session {
 public:
  Session(HeadlessPlatform& platform, RecordingSurface& screen, const std::string& path)
      : engine_(CreateTextEngine(platform, FromUtf8(path))) {
    ok_ = engine_->Load(FromUtf8(path));
    engine_->SetLayout(Rect{5, 5, 5, 5}, 2, 1, true);
    engine_->SetPageRect(0, 0, kPageWidth, kPageHeight);
    engine_->BeginPaint(screen, u"NanumGothic", 16, false, false, false);
    engine_->EndPaint(screen);
    engine_->GoToStart();
    engine_->PageForward();
  }
  bool ok() const { return ok_; }
  CTextEngine& operator*() { return *engine_; }
  CTextEngine* operator->() { return engine_.get(); }

 private:
  std::unique_ptr<CTextEngine> engine_;
  bool ok_ = false;
};

// Times `count` consecutive calls of `step`. A step that leaves the position unchanged has
// hit the edge of the book: `restart` moves back into the book untimed and the sample is
// dropped.
std::vector<double> TimeSteps(CTextEngine& engine, int count, int warmups,
                              const std::function<void()>& step,
                              const std::function<void()>& restart) {
  std::vector<double> samples;
  samples.reserve(static_cast<size_t>(count));
  int edges = 0;
  for (int i = 0; i < warmups + count; ++i) {
    int32_t before = engine.GetPosition();
    double start = Now();
    step();
    double end = Now();
    if (engine.GetPosition() == before) {
      if (++edges > count) {
        Fail("a step stays on the same page again and again");
        break;
      }
      restart();
      continue;
    }
    if (i >= warmups) samples.push_back(Seconds(start, end) * 1e6);
  }
  return samples;
}

void MeasureOpen(HeadlessPlatform& platform, RecordingSurface& screen, const BookSpec& book,
                 const Settings& s, Figures& f) {
  std::vector<double> samples;
  for (int i = 0; i < s.warmups + s.openRepeats; ++i) {
    double start = Now();
    auto session = std::make_unique<Session>(platform, screen, book.path);
    double end = Now();
    if (!session->ok() || (*session)->GetSize() <= 0) {
      Fail("cannot open " + book.path);
      return;
    }
    if (i >= s.warmups) samples.push_back(Seconds(start, end) * 1e6);
  }
  f.openUs = Median(samples);
}

void MeasureSteps(Session& session, const Settings& s, Figures& f) {
  CTextEngine& e = *session;
  auto startPage = [&e](float fraction) {
    e.SetFraction(fraction);
    e.PageForward();
  };
  auto endPage = [&e] {
    e.GoToEnd();
    e.PageBackward();
  };
  startPage(0.0f);
  std::vector<double> v = TimeSteps(
      e, s.steps, s.warmups * 10, [&e] { e.PageForward(); }, [&] { startPage(0.0f); });
  f.pageForwardUs = Median(v);
  f.pageForwardP99 = Percentile99(v);

  endPage();
  v = TimeSteps(
      e, s.steps, s.warmups * 10, [&e] { e.PageBackward(); }, endPage);
  f.pageBackwardUs = Median(v);
  f.pageBackwardP99 = Percentile99(v);

  startPage(0.25f);
  v = TimeSteps(
      e, s.steps, s.warmups * 10, [&e] { e.LineForward(); }, [&] { startPage(0.0f); });
  f.lineForwardUs = Median(v);
  f.lineForwardP99 = Percentile99(v);

  startPage(0.75f);
  v = TimeSteps(
      e, s.steps, s.warmups * 10, [&e] { e.LineBackward(); }, endPage);
  f.lineBackwardUs = Median(v);
  f.lineBackwardP99 = Percentile99(v);
}

// Page turns with every typesetting option on. Joining the lines of these books makes
// paragraphs as long as the reader lets them grow: every line break between two lines of text
// joins, only empty lines and the cuts near each split span end a paragraph.
void MeasureTypesetPages(Session& session, const Settings& s, Figures& f) {
  CTextEngine& e = *session;
  e.SetTypography(Typography{.kinsoku = true, .keepAll = true, .joinLines = true});
  auto startPage = [&e] {
    e.GoToStart();
    e.PageForward();
  };
  auto endPage = [&e] {
    e.GoToEnd();
    e.PageBackward();
  };
  startPage();
  std::vector<double> v = TimeSteps(
      e, s.steps, s.warmups * 10, [&e] { e.PageForward(); }, startPage);
  f.typesetForwardUs = Median(v);
  f.typesetForwardP99 = Percentile99(v);
  endPage();
  v = TimeSteps(
      e, s.steps, s.warmups * 10, [&e] { e.PageBackward(); }, endPage);
  f.typesetBackwardUs = Median(v);
  f.typesetBackwardP99 = Percentile99(v);
  e.SetTypography(Typography{});
  startPage();
}

void MeasureJumps(Session& session, const Settings& s, Figures& f) {
  CTextEngine& e = *session;
  std::mt19937 random(7);
  std::uniform_real_distribution<float> fraction(0.0f, 1.0f);
  std::vector<double> samples;
  for (int i = 0; i < s.warmups + s.jumps; ++i) {
    float at = fraction(random);
    double start = Now();
    e.SetFraction(at);
    e.PageForward();
    double end = Now();
    int32_t pos = e.GetPosition();
    if (pos < 0 || pos > e.GetSize()) Fail("a jump lands outside the book");
    if (i >= s.warmups) samples.push_back(Seconds(start, end) * 1e6);
  }
  f.jumpUs = Median(samples);
  f.jumpP99 = Percentile99(samples);
}

void MeasureReadThrough(Session& session, const BookSpec& book, const Settings& s, Figures& f) {
  CTextEngine& e = *session;
  std::vector<double> rates;
  for (int r = 0; r < s.readRepeats; ++r) {
    e.GoToStart();
    double start = Now();
    int32_t last = -1;
    int64_t pages = 0;
    e.PageForward();
    while (e.GetPosition() != last) {
      last = e.GetPosition();
      e.PageForward();
      if (++pages > book.size) break;
    }
    double end = Now();
    if (!e.IsAtEnd()) {
      Fail("reading through " + book.path + " stops before the end");
      return;
    }
    rates.push_back(static_cast<double>(book.size) / kMegabyte / Seconds(start, end));
  }
  f.readMBs = Median(rates);
}

void MeasureSearch(Session& session, const BookSpec& book, const Settings& s, Figures& f) {
  CTextEngine& e = *session;
  const std::u16string needle = AbsentText();
  const double megabytes = static_cast<double>(book.size) / kMegabyte;
  int repeats = book.size > 100 * kMegabyte ? 1 : s.searchRepeats;
  for (int options : {1, 0}) {
    std::vector<double> rates;
    for (int r = 0; r < repeats; ++r) {
      e.SetSearchStart(0);
      int32_t index = 0;
      double start = Now();
      int32_t found = e.FindNext(needle, &index, options);
      double end = Now();
      if (found != -1) {
        Fail("the absent text is found in " + book.path);
        return;
      }
      rates.push_back(megabytes / Seconds(start, end));
    }
    (options ? f.searchMBs : f.searchFoldMBs) = Median(rates);
  }
  std::vector<double> grep;
  for (int r = 0; r < repeats; ++r) {
    double seconds = GrepSeconds(AbsentTextBytes(book.encoding), book.path);
    if (seconds <= 0) {
      Fail("grep -c -F did not run, or found the absent text in " + book.path);
      return;
    }
    grep.push_back(megabytes / seconds);
  }
  f.grepMBs = Median(grep);
}

// The workers run in a fresh process each (this program started again with --scan or
// --find-all), so that no memory this process freed before is reused and its peak is the
// worker's own.
constexpr char kSelf[] = "/proc/self/exe";

enum class WorkerKind { kChapterScan, kSearchAll };

struct WorkerFigures {
  double seconds = -1;
  double found = -1;    // chapters, or hits kept
  double addedMB = -1;  // peak resident memory over that of the reader with the book open
};

// The worker's side: opens the book in a reader as the view does, then runs the worker to
// its end and prints "seconds found addedMB".
int RunWorker(const std::string& kind, const std::string& path, const std::string& text,
              int options) {
  HeadlessPlatform platform;
  std::unique_ptr<RecordingSurface> screen = platform.CreateScreen(kPageWidth, kPageHeight);
  Session session(platform, *screen, path);
  if (!session.ok()) return 1;
  const TextEncoding encoding = session->Encoding();
  const double idle = PeakRssMB();
  const std::u16string book = FromUtf8(path);
  auto wait = [](const std::function<bool()>& done) {
    while (!done()) {
      timespec pause{0, 2'000'000};
      nanosleep(&pause, nullptr);
    }
  };
  double found = -1;
  double start = Now();
  if (kind == "--scan") {
    const std::string cache = path + ".bench-toc.cache";
    std::remove(cache.c_str());
    ChapterList list;
    list.Start(platform, book, encoding, "", "", FromUtf8(cache));
    wait([&list] { return list.state() != ChapterList::State::kScanning; });
    if (list.state() != ChapterList::State::kDone || list.fromCache()) return 1;
    found = static_cast<double>(list.size());
    std::remove(cache.c_str());
  } else {
    SearchAllJob job(platform, book, encoding, false, FromUtf8(text), options,
                     SearchAll::kDefaultContextCharacters);
    wait([&job] { return job.done(); });
    found = static_cast<double>(job.size());
  }
  const double end = Now();
  std::printf("%.6f %.0f %.3f\n", Seconds(start, end), found, PeakRssMB() - idle);
  return 0;
}

// Runs one worker in a fresh process; `text` and `options` are the search's.
WorkerFigures Worker(WorkerKind kind, const std::string& path, const std::u16string& text = {},
                     int options = 0) {
  WorkerFigures figures;
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return figures;
  std::fflush(nullptr);
  const std::string kindName = kind == WorkerKind::kChapterScan ? "--scan" : "--find-all";
  const std::string needle = ToUtf8(text);
  const std::string optionText = std::to_string(options);
  std::vector<const char*> args = {kSelf};
  if (wallClock) args.push_back("--wall");
  for (const std::string* a : {&kindName, &path, &needle, &optionText})
    args.push_back(a->c_str());
  args.push_back(nullptr);
  pid_t child = fork();
  if (child < 0) return figures;
  if (child == 0) {
    close(pipeEnds[0]);
    dup2(pipeEnds[1], STDOUT_FILENO);
    execv(kSelf, const_cast<char* const*>(args.data()));
    _exit(127);
  }
  close(pipeEnds[1]);
  std::string out;
  char buffer[256];
  for (ssize_t n; (n = read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
    out.append(buffer, static_cast<size_t>(n));
  close(pipeEnds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 ||
      std::sscanf(out.c_str(), "%lf %lf %lf", &figures.seconds, &figures.found, &figures.addedMB) !=
          3) {
    Fail("the " + kindName + " worker failed on " + path);
    return WorkerFigures{};
  }
  return figures;
}

// The chapter scan, and the search for every hit of a word no book holds (the rate against
// grep -c -F looking for the same bytes; UTF-16 books have none for grep's command line), in
// each case; then one for a syllable every book holds often, whose hits reach the cap.
void MeasureWorkers(const BookSpec& book, Figures& f) {
  const double megabytes = static_cast<double>(book.size) / kMegabyte;
  const WorkerFigures scan = Worker(WorkerKind::kChapterScan, book.path);
  if (scan.seconds > 0) {
    f.scanMBs = megabytes / scan.seconds;
    f.chapters = scan.found;
    f.scanAddedMB = scan.addedMB;
  }
  const std::u16string word = AbsentWord();
  for (int options : {int{kFindMatchCase}, 0}) {
    const WorkerFigures all = Worker(WorkerKind::kSearchAll, book.path, word, options);
    if (all.found > 0) Fail("the absent word is found in " + book.path);
    if (all.seconds > 0) (options ? f.findAllMBs : f.findAllFoldMBs) = megabytes / all.seconds;
  }
  if (book.encoding != BookEncoding::kUtf16Le) {
    const double seconds = GrepSeconds(ToUtf8(word), book.path);
    if (seconds > 0) {
      f.findAllGrepMBs = megabytes / seconds;
    } else {
      Fail("grep -c -F did not run, or found the absent word in " + book.path);
    }
  }
  const WorkerFigures capped = Worker(WorkerKind::kSearchAll, book.path, FrequentText(), 0);
  f.cappedHits = capped.found;
  f.findAllAddedMB = capped.addedMB;
}

Figures MeasureBook(HeadlessPlatform& platform, RecordingSurface& screen, const BookSpec& book,
                    const Settings& s, bool readThrough) {
  Figures f;
  WarmPageCache(book.path);
  MeasureOpen(platform, screen, book, s, f);
  EncodingGuess guess;
  if (DetectTextEncoding(platform, FromUtf8(book.path), &guess, nullptr)) {
    f.detectionKiB = static_cast<double>(guess.examined) / 1024.0;
  }
  Session session(platform, screen, book.path);
  if (!session.ok()) return f;
  MeasureSteps(session, s, f);
  MeasureTypesetPages(session, s, f);
  MeasureJumps(session, s, f);
  if (readThrough) MeasureReadThrough(session, book, s, f);
  MeasureSearch(session, book, s, f);
  f.peakRssMB = PeakRssMB();
  MeasureWorkers(book, f);
  return f;
}

std::string Cell(double value, const char* format) {
  if (value < 0) return "-";
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

std::string Ratio(double a, double b) {
  if (a < 0 || b <= 0) return "-";
  return Cell(a / b, "%.2f");
}

void PrintRow(const char* name, const std::vector<std::string>& cells, const char* target) {
  std::printf("| %-30s |", name);
  for (const std::string& c : cells)
    std::printf(" %14s |", c.c_str());
  std::printf(" %-18s |\n", target);
}

using Field = double Figures::*;

std::vector<std::string> Cells(const std::vector<Figures>& all, Field field, const char* format) {
  std::vector<std::string> cells;
  for (const Figures& f : all)
    cells.push_back(Cell(f.*field, format));
  return cells;
}

void PrintTable(const std::vector<BookSpec>& books, const std::vector<Figures>& all) {
  std::vector<std::string> heads;
  for (const BookSpec& b : books)
    heads.push_back(b.label);
  PrintRow("", heads, "target");
  std::printf("|%s|", std::string(32, '-').c_str());
  for (size_t i = 0; i < books.size(); ++i)
    std::printf("%s|", std::string(16, '-').c_str());
  std::printf("%s|\n", std::string(20, '-').c_str());
  PrintRow("open, median (us)", Cells(all, &Figures::openUs, "%.1f"), "1 GB <= 2x 10 MB");
  PrintRow("PageForward median (us)", Cells(all, &Figures::pageForwardUs, "%.2f"), "< 50");
  PrintRow("PageForward p99 (us)", Cells(all, &Figures::pageForwardP99, "%.2f"), "");
  PrintRow("PageBackward median (us)", Cells(all, &Figures::pageBackwardUs, "%.2f"), "< 50");
  PrintRow("PageBackward p99 (us)", Cells(all, &Figures::pageBackwardP99, "%.2f"), "");
  PrintRow("LineForward median (us)", Cells(all, &Figures::lineForwardUs, "%.2f"), "< 50");
  PrintRow("LineForward p99 (us)", Cells(all, &Figures::lineForwardP99, "%.2f"), "");
  PrintRow("LineBackward median (us)", Cells(all, &Figures::lineBackwardUs, "%.2f"), "< 50");
  PrintRow("LineBackward p99 (us)", Cells(all, &Figures::lineBackwardP99, "%.2f"), "");
  PrintRow("PageForward typeset, med (us)", Cells(all, &Figures::typesetForwardUs, "%.2f"), "< 50");
  PrintRow("PageForward typeset, p99 (us)", Cells(all, &Figures::typesetForwardP99, "%.2f"), "");
  PrintRow("PageBackward typeset, med (us)", Cells(all, &Figures::typesetBackwardUs, "%.2f"),
           "< 50");
  PrintRow("PageBackward typeset, p99 (us)", Cells(all, &Figures::typesetBackwardP99, "%.2f"), "");
  PrintRow("jump + page, median (us)", Cells(all, &Figures::jumpUs, "%.1f"), "1 GB <= 2x 10 MB");
  PrintRow("jump + page, p99 (us)", Cells(all, &Figures::jumpP99, "%.1f"), "");
  PrintRow("read-through (MB/s)", Cells(all, &Figures::readMBs, "%.1f"), ">= 100");
  PrintRow("search, match case (MB/s)", Cells(all, &Figures::searchMBs, "%.1f"), "");
  PrintRow("search, fold case (MB/s)", Cells(all, &Figures::searchFoldMBs, "%.1f"), "");
  PrintRow("grep -c -F (MB/s)", Cells(all, &Figures::grepMBs, "%.1f"), "");
  std::vector<std::string> ratios;
  for (const Figures& f : all)
    ratios.push_back(Ratio(f.searchMBs, f.grepMBs));
  PrintRow("search / grep -F", ratios, ">= 0.33");
  PrintRow("peak RSS after book (MB)", Cells(all, &Figures::peakRssMB, "%.1f"), "1 GB adds < 2 MB");
  PrintRow("open: detection reads (KiB)", Cells(all, &Figures::detectionKiB, "%.0f"), "bounded");
  PrintRow("chapter scan (MB/s)", Cells(all, &Figures::scanMBs, "%.1f"), ">= 300");
  const std::string chapterCap = "cap " + std::to_string(ChapterScanner::kMaxChapters);
  PrintRow("chapter scan: chapters", Cells(all, &Figures::chapters, "%.0f"), chapterCap.c_str());
  PrintRow("find-all, match case (MB/s)", Cells(all, &Figures::findAllMBs, "%.1f"), "");
  PrintRow("find-all, fold case (MB/s)", Cells(all, &Figures::findAllFoldMBs, "%.1f"), "");
  PrintRow("grep -c -F, the word (MB/s)", Cells(all, &Figures::findAllGrepMBs, "%.1f"), "");
  std::vector<std::string> matchRatios;
  std::vector<std::string> foldRatios;
  for (const Figures& f : all) {
    matchRatios.push_back(Ratio(f.findAllMBs, f.findAllGrepMBs));
    foldRatios.push_back(Ratio(f.findAllFoldMBs, f.findAllGrepMBs));
  }
  PrintRow("find-all match / grep -F", matchRatios, ">= 0.33");
  PrintRow("find-all fold / grep -F", foldRatios, ">= 0.33");
  PrintRow("chapter scan adds RSS (MB)", Cells(all, &Figures::scanAddedMB, "%.1f"), "<= 16");
  const std::string hitCap = "cap " + std::to_string(SearchAll::kMaxHits);
  PrintRow("find-all of a syllable: hits", Cells(all, &Figures::cappedHits, "%.0f"),
           hitCap.c_str());
  PrintRow("find-all adds RSS (MB)", Cells(all, &Figures::findAllAddedMB, "%.1f"), "<= 16");
}

// The 1 GB figures against the 10 MB ones of the same encoding (books come in pairs).
void PrintScaling(const std::vector<BookSpec>& books, const std::vector<Figures>& all) {
  for (size_t i = 0; i + 1 < books.size(); i += 2) {
    const Figures& small = all[i];
    const Figures& large = all[i + 1];
    std::printf("%s: open %sx, jump %sx, peak RSS +%s MB (%s over %s)\n",
                books[i].label.substr(0, books[i].label.find(' ')).c_str(),
                Ratio(large.openUs, small.openUs).c_str(),
                Ratio(large.jumpUs, small.jumpUs).c_str(),
                Cell(large.peakRssMB - small.peakRssMB, "%.2f").c_str(), books[i + 1].label.c_str(),
                books[i].label.c_str());
  }
}

std::string SizeLabel(int64_t size) {
  if (size >= 1024 * kMegabyte) return std::to_string(size / (1024 * kMegabyte)) + " GB";
  if (size >= kMegabyte) return std::to_string(size / kMegabyte) + " MB";
  return std::to_string(size / 1024) + " KB";
}

int Run(Settings s) {
  std::string tempFolder;
  std::vector<int64_t> sizes = {10 * kMegabyte, 1024 * kMegabyte};
  if (s.smoke) {
    char pattern[] = "/tmp/lirako-bench-XXXXXX";
    if (!mkdtemp(pattern)) return 1;
    tempFolder = s.folder = pattern;
    sizes = {96 * 1024, 192 * 1024};
    s.warmups = 1;
    s.openRepeats = 3;
    s.steps = 200;
    s.jumps = 20;
    s.readRepeats = 1;
    s.searchRepeats = 1;
  }
  std::filesystem::create_directories(s.folder);
  // The 10 MB books come first, so that the peak after them does not include the 1 GB ones.
  std::vector<BookSpec> order;
  struct Kind {
    BookEncoding encoding;
    const char* file;
    const char* label;
  };
  constexpr Kind kKinds[] = {{BookEncoding::kCp949, "cp949-", "CP949 "},
                             {BookEncoding::kUtf16Le, "utf16-", "UTF-16 "},
                             {BookEncoding::kUtf8, "utf8-", "UTF-8 "}};
  constexpr size_t kKindCount = std::size(kKinds);
  for (int64_t size : sizes) {
    for (const Kind& kind : kKinds) {
      const bool unbroken = s.shape == BookShape::kUnbroken;
      std::string name =
          std::string(kind.file) + (unbroken ? "unbroken-" : "") + std::to_string(size) + ".txt";
      order.push_back({kind.encoding, s.shape, size, s.folder + "/" + name,
                       std::string(kind.label) + SizeLabel(size)});
    }
  }
  if (!EnsureBooks(order)) {
    std::fprintf(stderr, "engine_bench: cannot write the books into %s\n", s.folder.c_str());
    return 1;
  }

  HeadlessPlatform platform;
  std::unique_ptr<RecordingSurface> screen = platform.CreateScreen(kPageWidth, kPageHeight);
  std::vector<Figures> measured;
  for (const BookSpec& book : order) {
    std::fprintf(stderr, "engine_bench: measuring %s\n", book.label.c_str());
    measured.push_back(MeasureBook(platform, *screen, book, s, book.size == sizes.front()));
  }

  // Shown by encoding: each encoding's small book, then its large one.
  std::vector<BookSpec> books;
  std::vector<Figures> figures;
  for (size_t k = 0; k < kKindCount; ++k) {
    for (size_t at : {k, kKindCount + k}) {
      books.push_back(order[at]);
      figures.push_back(measured[at]);
    }
  }
  double load[3] = {};
  getloadavg(load, 3);
  std::printf(
      "Page %d x %d, headless metrics (narrow 6, wide 12, line 16), warm page cache;\n"
      "times in %s seconds; load average %.1f at the end.\n\n",
      kPageWidth, kPageHeight, wallClock ? "wall-clock" : "CPU", load[0]);
  PrintTable(books, figures);
  std::printf("\n");
  PrintScaling(books, figures);
  if (!tempFolder.empty()) std::filesystem::remove_all(tempFolder);
  return failures == 0 ? 0 : 1;
}

}  // namespace
}  // namespace lirako::bench

int main(int argc, char** argv) {
  lirako::bench::Settings settings;
  for (int i = 1; i < argc; ++i) {
    if ((std::strcmp(argv[i], "--scan") == 0 || std::strcmp(argv[i], "--find-all") == 0) &&
        i + 3 < argc) {
      return lirako::bench::RunWorker(argv[i], argv[i + 1], argv[i + 2], std::atoi(argv[i + 3]));
    } else if (std::strcmp(argv[i], "--smoke") == 0) {
      settings.smoke = true;
    } else if (std::strcmp(argv[i], "--wall") == 0) {
      lirako::bench::wallClock = true;
    } else if (std::strcmp(argv[i], "--unbroken") == 0) {
      settings.shape = lirako::bench::BookShape::kUnbroken;
    } else if (std::strcmp(argv[i], "--books") == 0 && i + 1 < argc) {
      settings.folder = argv[++i];
    } else {
      std::fprintf(stderr, "usage: engine_bench [--books DIR] [--smoke] [--wall] [--unbroken]\n");
      return 2;
    }
  }
  return lirako::bench::Run(settings);
}

// Soaks the text engine: pages, steps lines, jumps, searches and changes the layout at random
// through a generated 100 MB book, for a given time, and checks the page after every step
// against the file itself:
//   - the size and every position lie inside the book;
//   - every line's text is exactly the file's units at the line's offset, holds no line
//     break, and is no longer than the units the line covers;
//   - consecutive lines of a page, and the line where a step continues the page (after the
//     bottom line going forward, before the top line going back), are contiguous in the
//     file: between them lie only blanks and at most one line break, and nothing repeats;
//   - a step forward on the last page and a step back on the first page change nothing;
//   - a search result is the offset of the display line that holds the match.
// It prints the number of steps done and exits non-zero at the first violation; with
// LIRAKO_SOAK_TRACE set it also prints every step and the position it leads to.
// --unbroken soaks a book without a single line break, which the reader cuts into pieces;
// --split-span sets the length of those pieces, so that small ones cut the long paragraphs of
// an ordinary book too.
//
//   engine_soak [--seconds N] [--encoding cp949|utf16|utf-8|all] [--books DIR] [--seed S]
//               [--size MB] [--unbroken 0|1] [--split-span UNITS]

#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <type_traits>
#include <vector>

#include "bench/support/book_generator.h"
#include "engine/basic_text_engine.h"
#include "engine/char_classes.h"
#include "engine/text_engine.h"
#include "platform/headless/headless_platform.h"
#include "platform/utf.h"

namespace lirako::bench {
namespace {

constexpr int64_t kMegabyte = 1 << 20;
constexpr unsigned kStepSeconds = 60;

const char* currentStep = "open";

void OnAlarm(int) {
  static const char kMessage[] = "engine_soak: a step did not finish within a minute\n";
  ssize_t ignored = write(STDERR_FILENO, kMessage, sizeof kMessage - 1);
  (void)ignored;
  std::abort();
}

struct Geometry {
  int width;
  int height;
  int margin;
  int gap;
  int shared;
  bool justify;
};

// The ordinary page first; then narrow, short and odd pages.
constexpr Geometry kGeometries[] = {
    {480, 800, 5, 2, 1, false}, {480, 800, 5, 2, 2, true}, {240, 320, 3, 0, 0, true},
    {100, 800, 0, 0, 1, false}, {30, 200, 2, 1, 0, false}, {11, 100, 0, 0, 0, true},
    {480, 33, 0, 0, 1, false},  {480, 17, 0, 0, 0, true},  {13, 17, 0, 0, 2, false},
};

// The book mapped into memory, read as the engine's units.
template <typename Unit>
class Mirror {
 public:
  explicit Mirror(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0) return;
    struct stat st {};
    fstat(fd, &st);
    bytes_ = static_cast<size_t>(st.st_size);
    void* map = mmap(nullptr, bytes_, PROT_READ, MAP_PRIVATE, fd, 0);
    ::close(fd);
    if (map == MAP_FAILED) return;
    data_ = static_cast<const Unit*>(map);
    size_ = static_cast<int32_t>(bytes_ / sizeof(Unit));
  }
  ~Mirror() {
    if (data_) munmap(const_cast<Unit*>(data_), bytes_);
  }
  bool ok() const { return data_ != nullptr; }
  int32_t size() const { return size_; }
  // The unit at `pos` as the engine reads it: the byte-order mark of UTF-16 reads as a blank.
  Unit operator[](int32_t pos) const {
    if constexpr (sizeof(Unit) == 2) {
      if (pos == 0) return Unit{32};
    }
    return data_[pos];
  }

 private:
  const Unit* data_ = nullptr;
  size_t bytes_ = 0;
  int32_t size_ = 0;
};

bool IsBreakUnit(uint32_t u) {
  return u == 10 || u == 13;
}
bool IsBlankUnit(uint32_t u) {
  return u == 32 || u == 9;
}

struct LineView {
  int32_t offset;
  int32_t length;
  int continued;
  int width;
  int32_t textLength;
  bool operator==(const LineView&) const = default;
};

template <typename Unit>
class Soak {
 public:
  using Engine = BasicTextEngine<Unit>;
  using Line = BasicTextLine<Unit>;

  Soak(const std::string& path, uint64_t seed, int32_t splitSpan)
      : path_(FromUtf8(path)),
        mirror_(path),
        random_(seed),
        splitSpan_(splitSpan),
        trace_(std::getenv("LIRAKO_SOAK_TRACE") != nullptr) {}

  // Runs for `seconds`; returns the steps done, or -1 after a violation.
  int64_t Run(double seconds) {
    if (!mirror_.ok()) return Violation("cannot map the book");
    std::unique_ptr<CTextEngine> created = CreateTextEngine(platform_, path_);
    engine_ = dynamic_cast<Engine*>(created.get());
    if (!engine_) return Violation("the book opens in the other engine");
    if (!engine_->Load(path_)) return Violation("the book does not load");
    if (splitSpan_ > 0) engine_->reader().SetSplitSpan(splitSpan_);
    if (engine_->GetSize() != mirror_.size()) return Violation("the size is not the book's");
    screen_ = platform_.CreateScreen(480, 800);
    SetGeometry(kGeometries[0]);
    engine_->GoToStart();
    engine_->PageForward();
    if (!CheckPage()) return -1;

    auto start = std::chrono::steady_clock::now();
    auto deadline = start + std::chrono::duration<double>(seconds);
    int64_t steps = 0;
    while (std::chrono::steady_clock::now() < deadline) {
      for (int i = 0; i < 64; ++i, ++steps) {
        alarm(kStepSeconds);
        bool ok = Step();
        alarm(0);
        if (trace_) {
          std::fprintf(stderr, "%s -> %d (geometry %d)\n", currentStep, engine_->GetPosition(),
                       geometry_);
        }
        if (!ok) {
          std::fprintf(stderr, "engine_soak: violation at step %lld (%s)\n",
                       static_cast<long long>(steps), currentStep);
          return -1;
        }
      }
    }
    created.reset();
    return steps;
  }

 private:
  int64_t Violation(const std::string& what) {
    std::fprintf(stderr, "engine_soak: %s\n", what.c_str());
    return -1;
  }

  bool Fail(const std::string& what) {
    std::fprintf(stderr, "engine_soak: %s: %s; page:\n", currentStep, what.c_str());
    for (const Line& line : engine_->pageLines()) {
      std::fprintf(stderr, "  offset %d length %d text %d continued %d end %d\n", line.offset,
                   line.length, line.textLength(), line.continued, line.end);
    }
    return false;
  }

  void SetGeometry(const Geometry& g) {
    engine_->SetLayout(Rect{g.margin, g.margin, g.margin, g.margin}, g.gap, g.shared, g.justify);
    engine_->SetPageRect(0, 0, g.width, g.height);
    engine_->BeginPaint(*screen_, u"NanumGothic", 16, false, false, false);
    engine_->EndPaint(*screen_);
  }

  std::vector<LineView> Page() const {
    std::vector<LineView> page;
    for (const Line& l : engine_->pageLines()) {
      page.push_back({l.offset, l.length, l.continued, l.width, l.textLength()});
    }
    return page;
  }

  int Pick(int n) { return static_cast<int>(random_() % static_cast<uint64_t>(n)); }

  bool Step() {
    std::vector<LineView> before = Page();
    bool atEnd = engine_->IsAtEnd();
    int roll = Pick(1000);
    if (roll < 300) {
      currentStep = "PageForward";
      engine_->PageForward();
      return CheckPage() && CheckForward(before, atEnd, false);
    }
    if (roll < 500) {
      currentStep = "PageBackward";
      engine_->PageBackward();
      return CheckPage() && CheckBackward(before, atEnd);
    }
    if (roll < 650) {
      currentStep = "LineForward";
      engine_->LineForward();
      return CheckPage() && CheckForward(before, atEnd, true);
    }
    if (roll < 800) {
      currentStep = "LineBackward";
      engine_->LineBackward();
      return CheckPage() && CheckBackward(before, atEnd);
    }
    if (roll < 880) {
      currentStep = "SetFraction";
      float f = static_cast<float>(Pick(1000001)) / 1e6f;
      engine_->SetFraction(f);
      return Jump();
    }
    if (roll < 910) {
      currentStep = "SetPosition";
      engine_->SetPosition(Pick(mirror_.size() + 1));
      return Jump();
    }
    if (roll < 930) {
      currentStep = "GoToEnd";
      engine_->GoToEnd();
      engine_->PageForward();
      if (!engine_->pageLines().empty()) return Fail("PageForward after GoToEnd shows lines");
      engine_->PageBackward();
      return CheckPage() && CheckReachesEnd();
    }
    if (roll < 945) {
      currentStep = "GoToStart";
      engine_->GoToStart();
      engine_->PageForward();
      if (!CheckPage()) return false;
      const auto& lines = engine_->pageLines();
      if (mirror_.size() > 0 && (lines.empty() || !Gap(0, lines.front().offset, 0))) {
        return Fail("the first page does not start at the book's start");
      }
      return true;
    }
    if (roll < 950) return Search();
    if (roll < 985) {
      currentStep = "relayout";
      geometry_ = Pick(std::size(kGeometries));
      SetGeometry(kGeometries[geometry_]);
      engine_->SetPosition(engine_->GetPosition());
      engine_->PageForward();
      return CheckPage();
    }
    currentStep = "paint";
    Rect client{0, 0, 480, 800};
    engine_->BeginPaint(*screen_, u"NanumGothic", 16, false, false, false);
    engine_->BeginOffscreen(*screen_, client, 0, 0x00FFFFFF);
    engine_->Render(Pick(2) ? 0x1000 : 0);
    engine_->EndOffscreen();
    engine_->EndPaint(*screen_);
    screen_->ClearOps();
    return CheckPage();
  }

  // After a reposition the next page starts at the position, past blanks at most.
  bool Jump() {
    int32_t at = engine_->GetPosition();
    if (at < 0 || at > mirror_.size()) return Fail("a jump outside the book");
    engine_->PageForward();
    if (!CheckPage()) return false;
    const auto& lines = engine_->pageLines();
    if (lines.empty()) {
      if (!engine_->IsAtEnd()) return Fail("an empty page after a jump before the end");
      return true;
    }
    if (!Gap(at, lines.front().offset, 0)) return Fail("the page does not start at the jump");
    return true;
  }

  // Looks for two to four characters of a line on the page, and checks that the result is
  // the line holding the next occurrence.
  bool Search() {
    currentStep = "FindNext";
    const auto& lines = engine_->pageLines();
    if (lines.empty()) return true;
    const Line& source = lines[static_cast<size_t>(Pick(static_cast<int>(lines.size())))];
    if (source.textLength() < 2) return true;
    std::vector<int32_t> starts;
    for (int32_t p = 0; p < source.textLength(); p += CharLength(source.text, p)) {
      starts.push_back(p);
    }
    starts.push_back(source.textLength());
    size_t from = static_cast<size_t>(Pick(static_cast<int>(starts.size()) - 1));
    size_t to = std::min(starts.size() - 1, from + 2 + static_cast<size_t>(Pick(3)));
    if (to <= from + 1) return true;
    std::vector<Unit> needle(source.text.begin() + starts[from], source.text.begin() + starts[to]);
    // A match that starts on the blanks skipped at a line break belongs to no line.
    if (IsBlankUnit(needle.front()) || IsBlankUnit(needle.back())) return true;
    std::u16string text = source.DisplayText(starts[from], starts[to]);
    // Mostly from the page, as the find bar starts; now and then on from the last match.
    if (Pick(8) != 0) engine_->SetSearchStart(engine_->GetPosition());
    int32_t index = 0;
    int32_t found = engine_->FindNext(text, &index, 1);
    if (found == -1) {
      engine_->SetPosition(0);
      engine_->PageForward();
      return CheckPage();
    }
    if (found < 0 || found > mirror_.size() || index < 0) return Fail("a search result outside");
    engine_->SetPosition(found);
    engine_->PageForward();
    if (!CheckPage()) return false;
    if (engine_->pageLines().empty()) return Fail("no line at a search result");
    const Line& top = engine_->pageLines().front();
    // The match starts inside the line, or in the blanks skipped just after it.
    int32_t limit = std::min(
        mirror_.size(), top.offset + std::max(top.length, 1) + static_cast<int32_t>(needle.size()));
    for (int32_t q = top.offset; q + static_cast<int32_t>(needle.size()) <= limit; ++q) {
      bool match = true;
      for (size_t k = 0; k < needle.size() && match; ++k) {
        match = mirror_[q + static_cast<int32_t>(k)] == needle[k];
      }
      if (match && q < top.offset + std::max(top.length, 1)) return true;
    }
    return Fail("the search result's line does not hold the match");
  }

  static int32_t CharLength(const std::vector<Unit>& text, int32_t p) {
    if constexpr (std::is_same_v<Unit, char8_t>) {
      return Utf8CharLength(text.data(), static_cast<int32_t>(text.size()), p);
    } else if constexpr (sizeof(Unit) == 1) {
      if (p + 1 < static_cast<int32_t>(text.size()) && text[p] >= 0x81 && text[p] <= 0xFE) {
        uint8_t t = text[p + 1];
        if ((t >= 0xA1 && t <= 0xFE) || (text[p] <= 0xC5 && t >= 0x41 && t <= 0xA0)) return 2;
      }
    }
    return 1;
  }

  // [from, to) holds only blanks and at most `breaks` line breaks, and nothing is repeated
  // (to >= from).
  bool Gap(int32_t from, int32_t to, int breaks) const {
    if (to < from || from < 0 || to > mirror_.size()) return false;
    int found = 0;
    for (int32_t p = from; p < to; ++p) {
      Unit u = mirror_[p];
      if (IsBlankUnit(u)) continue;
      if (!IsBreakUnit(u)) return false;
      // A break is one break character, or a pair of them.
      if (p + 1 < to && IsBreakUnit(mirror_[p + 1])) ++p;
      ++found;
    }
    return found <= breaks;
  }

  // `next` follows `line` directly: between them lie only blanks, and one line break at
  // most when `line` ends its paragraph. (A page turned back from a top line inside a
  // paragraph reads the part of the paragraph before that line as a paragraph of its own, so
  // a line that ends a paragraph may be followed by the rest of it without a break.)
  bool Follows(const Line& line, const Line& next) const {
    return Gap(line.offset + line.textLength(), next.offset, line.continued ? 0 : 1);
  }

  bool CheckPage() {
    int32_t size = engine_->GetSize();
    if (size != mirror_.size()) return Fail("the size changed");
    const auto& lines = engine_->pageLines();
    int32_t pos = engine_->GetPosition();
    if (pos < 0 || pos > size) return Fail("the position is outside the book");
    if (lines.empty()) return true;
    if (pos != lines.front().offset) return Fail("the position is not the top line's");
    for (size_t i = 0; i < lines.size(); ++i) {
      const Line& l = lines[i];
      if (l.offset < 0 || l.length < 0 || l.offset + l.length > size) {
        return Fail("a line outside the book");
      }
      if (l.textLength() > l.length) return Fail("a line's text is longer than it covers");
      for (int32_t k = 0; k < l.textLength(); ++k) {
        if (l.text[static_cast<size_t>(k)] != mirror_[l.offset + k]) {
          return Fail("a line's text is not the file's text at its offset");
        }
      }
      if (i > 0 && !Follows(lines[i - 1], l)) {
        return Fail("lines " + std::to_string(i - 1) + " and " + std::to_string(i) +
                    " of the page are not contiguous");
      }
    }
    return true;
  }

  static bool Same(const Line& line, const LineView& view) {
    return line.offset == view.offset && line.length == view.length &&
           line.textLength() == view.textLength && line.continued == view.continued;
  }

  bool Unchanged(const std::vector<LineView>& before) const { return Page() == before; }

  // After a forward step the new lines continue exactly after the old bottom line.
  bool CheckForward(const std::vector<LineView>& before, bool atEndBefore, bool line) {
    const auto& lines = engine_->pageLines();
    if (atEndBefore && !Unchanged(before)) return Fail("a forward step at the end moves");
    if (Unchanged(before)) {
      if (!before.empty() && !engine_->IsAtEnd()) return Fail("a forward step is stuck");
      return before.empty() || CheckReachesEnd();
    }
    if (before.empty() || lines.empty()) return true;
    const LineView& bottom = before.back();
    // The old bottom line on the new page, if it stayed (shared lines, or a line step).
    size_t next = 0;
    for (size_t i = lines.size(); i-- > 0;) {
      if (Same(lines[i], bottom)) {
        next = i + 1;
        break;
      }
    }
    if (line && next == 0 && lines.size() > 1) return Fail("a line step lost the bottom line");
    if (next >= lines.size()) return engine_->IsAtEnd() ? CheckReachesEnd() : true;
    Line old(&platform_);
    old.offset = bottom.offset;
    old.length = bottom.length;
    old.continued = bottom.continued;
    old.text.resize(static_cast<size_t>(bottom.textLength));
    if (!Follows(old, lines[next])) {
      return Fail("the page does not continue right after the old bottom line (offset " +
                  std::to_string(bottom.offset) + ")");
    }
    return true;
  }

  // After a backward step the line before the old top line ends right where it starts,
  // unless the start of the book was reached and the first page was laid out afresh.
  bool CheckBackward(const std::vector<LineView>& before, bool atEndBefore) {
    const auto& lines = engine_->pageLines();
    bool firstPage = !before.empty() && before.front().offset == 0 && !atEndBefore;
    if (firstPage && !Unchanged(before)) return Fail("a backward step on the first page moves");
    if (before.empty() || lines.empty() || Unchanged(before)) return true;
    const LineView& top = before.front();
    for (const Line& l : lines) {
      if (Same(l, top)) return true;  // Contiguity inside the page covers it.
    }
    // The first page, laid out afresh from the start (past leading blanks at most).
    if (Gap(0, lines.front().offset, 0)) return true;
    Line old(&platform_);
    old.offset = top.offset;
    if (!Follows(lines.back(), old)) {
      return Fail("the page does not end right before the old top line (offset " +
                  std::to_string(top.offset) + ")");
    }
    return true;
  }

  // At the end the bottom line is the book's last: only blanks and a break follow it.
  bool CheckReachesEnd() {
    const auto& lines = engine_->pageLines();
    if (lines.empty()) return true;
    const Line& last = lines.back();
    if (!Gap(last.offset + last.textLength(), mirror_.size(), 1)) {
      return Fail("the last page stops before the end of the book");
    }
    return true;
  }

  HeadlessPlatform platform_;
  std::u16string path_;
  Mirror<Unit> mirror_;
  std::mt19937_64 random_;
  int32_t splitSpan_;
  std::unique_ptr<RecordingSurface> screen_;
  Engine* engine_ = nullptr;
  bool trace_;
  int geometry_ = 0;
};

double PeakRssMB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::atof(line.c_str() + 6) / 1024.0;
  }
  return -1;
}

struct Options {
  double seconds = 10;
  std::string folder = "bench/books";
  uint64_t seed = 1;
  int64_t size = 100 * kMegabyte;
  BookShape shape = BookShape::kParagraphs;
  int32_t splitSpan = 0;
};

int RunOne(const Options& options, BookEncoding encoding) {
  const bool cp949 = encoding == BookEncoding::kCp949;
  const bool utf8 = encoding == BookEncoding::kUtf8;
  const char* name = cp949 ? "CP949" : utf8 ? "UTF-8" : "UTF-16";
  const bool unbroken = options.shape == BookShape::kUnbroken;
  const int64_t size = options.size;
  const uint64_t seed = options.seed;
  std::string path = options.folder + "/" +
                     (cp949  ? "cp949-"
                      : utf8 ? "utf8-"
                             : "utf16-") +
                     (unbroken ? "unbroken-" : "") + std::to_string(size) + ".txt";
  if (!EnsureBook(path, size, encoding, cp949 ? 101 : utf8 ? 103 : 102, options.shape)) {
    std::fprintf(stderr, "engine_soak: cannot write %s\n", path.c_str());
    return 1;
  }
  auto start = std::chrono::steady_clock::now();
  const int32_t span = options.splitSpan;
  const double seconds = options.seconds;
  int64_t steps = cp949  ? Soak<uint8_t>(path, seed, span).Run(seconds)
                  : utf8 ? Soak<char8_t>(path, seed, span).Run(seconds)
                         : Soak<char16_t>(path, seed, span).Run(seconds);
  double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (steps < 0) {
    std::printf("%s: FAILED (seed %llu)\n", name, static_cast<unsigned long long>(seed));
    return 1;
  }
  std::printf("%s %lld MB%s: %lld steps in %.0f s, %.0f steps/s, peak RSS %.1f MB, no violation\n",
              name, static_cast<long long>(size / kMegabyte),
              unbroken ? " without line breaks" : "", static_cast<long long>(steps), elapsed,
              static_cast<double>(steps) / elapsed, PeakRssMB());
  std::fflush(stdout);
  return 0;
}

}  // namespace
}  // namespace lirako::bench

int main(int argc, char** argv) {
  using namespace lirako::bench;
  Options options;
  std::string encoding = "all";
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--seconds") == 0) {
      options.seconds = std::atof(argv[i + 1]);
    } else if (std::strcmp(argv[i], "--encoding") == 0) {
      encoding = argv[i + 1];
    } else if (std::strcmp(argv[i], "--books") == 0) {
      options.folder = argv[i + 1];
    } else if (std::strcmp(argv[i], "--seed") == 0) {
      options.seed = std::strtoull(argv[i + 1], nullptr, 10);
    } else if (std::strcmp(argv[i], "--size") == 0) {
      options.size = std::atoll(argv[i + 1]) * kMegabyte;
    } else if (std::strcmp(argv[i], "--unbroken") == 0) {
      options.shape = std::atoi(argv[i + 1]) ? BookShape::kUnbroken : BookShape::kParagraphs;
    } else if (std::strcmp(argv[i], "--split-span") == 0) {
      options.splitSpan = std::atoi(argv[i + 1]);
    } else {
      argc = 0;
    }
  }
  if (argc % 2 == 0 ||
      (encoding != "all" && encoding != "cp949" && encoding != "utf16" && encoding != "utf-8")) {
    std::fprintf(stderr,
                 "usage: engine_soak [--seconds N] [--encoding cp949|utf16|utf-8|all] [--books DIR]"
                 " [--seed S] [--size MB] [--unbroken 0|1] [--split-span UNITS]\n");
    return 2;
  }
  signal(SIGALRM, OnAlarm);
  std::filesystem::create_directories(options.folder);
  int failed = 0;
  if (encoding == "all" || encoding == "cp949") failed |= RunOne(options, BookEncoding::kCp949);
  if (encoding == "all" || encoding == "utf16") failed |= RunOne(options, BookEncoding::kUtf16Le);
  if (encoding == "all" || encoding == "utf-8") failed |= RunOne(options, BookEncoding::kUtf8);
  return failed;
}

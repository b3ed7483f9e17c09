// Fuzzes both text engines with hostile books and hostile page geometries.
//
// Input: a header that picks the engine (byte text, or UTF-16 with either byte-order mark),
// a split span small enough to cut the book's long runs of text (or the reader's own), the
// page geometry and the layout; a length-prefixed book; then a sequence of navigation,
// search, relayout, paint and reopen operations. After every operation the page is checked:
// positions inside the file, lines inside the file and no longer in text than in the units
// they cover, no line break inside a line, `next` at the end and `prev` at the start change
// nothing, search results are -1 or positions inside the file. Every operation is bounded:
// more file reads than the book can justify, or an operation that runs for seconds, aborts.
// The book lives in memory, so a run touches no disk.

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "engine/basic_text_engine.h"
#include "engine/encoding_detection.h"
#include "engine/text_engine.h"
#include "engine/text_line.h"
#include "platform/headless/memory_platform.h"
#include "platform/utf.h"

namespace lirako {
namespace {

constexpr int kWideWidth = 12;
constexpr int kLineHeight = 16;
constexpr int kScreenSize = 64;
constexpr unsigned kSecondsPerOperation = 5;
constexpr char16_t kBookPath[] = u"/book.txt";

const char* currentOperation = "none";

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "fuzz_engine: %s (after %s)\n", what, currentOperation);
  std::abort();
}

void Check(bool ok, const char* what) {
  if (!ok) Fail(what);
}

void OnAlarm(int) {
  static const char kMessage[] = "fuzz_engine: an operation did not finish\n";
  ssize_t ignored = write(STDERR_FILENO, kMessage, sizeof kMessage - 1);
  (void)ignored;
  std::abort();
}

// A file that counts the reads the engine makes and aborts when one operation makes more
// than its budget.
class CountedFile : public File {
 public:
  CountedFile(std::unique_ptr<File> inner, const int64_t* budget, int64_t* reads)
      : inner_(std::move(inner)), budget_(budget), reads_(reads) {}
  size_t Read(void* buffer, size_t size) override {
    if (++*reads_ > *budget_) Fail("too many file reads in one operation");
    return inner_->Read(buffer, size);
  }
  size_t Write(const void* data, size_t size) override { return inner_->Write(data, size); }
  int64_t Seek(int64_t offset, SeekOrigin origin) override {
    if (++*reads_ > *budget_) Fail("too many file seeks in one operation");
    return inner_->Seek(offset, origin);
  }
  int64_t Tell() override { return inner_->Tell(); }
  int64_t Size() override { return inner_->Size(); }
  bool Close() override { return inner_->Close(); }

 private:
  std::unique_ptr<File> inner_;
  const int64_t* budget_;
  int64_t* reads_;
};

class CountingPlatform : public MemoryPlatform {
 public:
  std::unique_ptr<File> OpenForReading(const std::u16string& path, std::string* err) override {
    std::unique_ptr<File> file = MemoryPlatform::OpenForReading(path, err);
    if (!file) return file;
    return std::make_unique<CountedFile>(std::move(file), &budget, &reads);
  }
  int64_t budget = 0;
  int64_t reads = 0;
};

// Reads the fuzz input front to back; past its end every value is 0.
class Input {
 public:
  Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool Empty() const { return at_ >= size_; }
  uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
  uint16_t Word() { return static_cast<uint16_t>(Byte() | (Byte() << 8)); }
  std::string Bytes(size_t n) {
    n = std::min(n, size_ - std::min(at_, size_));
    std::string out(reinterpret_cast<const char*>(data_ + at_), n);
    at_ += n;
    return out;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

// Page widths and heights around the interesting edges: nothing, narrower than one narrow or
// one wide character, exactly one line, one line and a bit, and ordinary pages.
constexpr int kWidths[16] = {0, 1, 5, 6, 11, 12, 13, 18, 24, 25, 40, 61, 100, 240, 480, 1000};
constexpr int kHeights[16] = {0, 1, 15, 16, 17, 18, 19, 32, 33, 34, 35, 50, 100, 200, 480, 800};
constexpr int kMargins[4] = {0, 1, 5, 30};
constexpr int kGaps[4] = {0, 1, 3, 17};

struct Layout {
  int width = 480;
  int height = 800;
  Rect margins;
  int gap = 0;
  int shared = 0;
  bool justify = false;
  Typography typography;

  void Read(Input& in) {
    uint8_t size = in.Byte();
    uint8_t margins8 = in.Byte();
    uint8_t rest = in.Byte();
    width = kWidths[size & 15];
    height = kHeights[size >> 4];
    margins = Rect{kMargins[margins8 & 3], kMargins[(margins8 >> 2) & 3],
                   kMargins[(margins8 >> 4) & 3], kMargins[margins8 >> 6]};
    gap = kGaps[rest & 3];
    shared = (rest >> 2) & 3;
    justify = (rest & 16) != 0;
    typography = Typography{
        .kinsoku = (rest & 32) != 0, .keepAll = (rest & 64) != 0, .joinLines = (rest & 128) != 0};
  }
  void Apply(CTextEngine& engine) const {
    engine.SetLayout(margins, gap, shared, justify);
    engine.SetTypography(typography);
    engine.SetPageRect(0, 0, width, height);
  }
  int Available() const { return width - margins.left - margins.right; }
  // Lines a page holds: the most N with N * pitch < page height less the margins.
  int Capacity() const {
    int room = height - margins.top - margins.bottom;
    int pitch = kLineHeight + gap;
    return room > 0 ? (room - 1) / pitch : 0;
  }
};

struct LineCopy {
  int32_t offset;
  int32_t length;
  int continued;
  int width;
  std::u16string text;
  bool operator==(const LineCopy&) const = default;
};

// The lines of the page, top first.
std::vector<const CTextLine*> PageLines(CTextEngine& engine) {
  std::vector<const CTextLine*> lines;
  if (auto* bytes = dynamic_cast<BasicTextEngine<uint8_t>*>(&engine)) {
    for (const auto& line : bytes->pageLines())
      lines.push_back(&line);
  } else if (auto* utf8 = dynamic_cast<BasicTextEngine<char8_t>*>(&engine)) {
    for (const auto& line : utf8->pageLines())
      lines.push_back(&line);
  } else if (auto* units = dynamic_cast<BasicTextEngine<char16_t>*>(&engine)) {
    for (const auto& line : units->pageLines())
      lines.push_back(&line);
  }
  return lines;
}

std::vector<LineCopy> Snapshot(CTextEngine& engine) {
  std::vector<LineCopy> page;
  for (const CTextLine* line : PageLines(engine)) {
    page.push_back({line->offset, line->length, line->continued, line->width, line->Text()});
  }
  return page;
}

class Harness {
 public:
  Harness(CountingPlatform& platform, RecordingSurface& screen, const std::string& book,
          TextEncoding encoding)
      : platform_(platform),
        screen_(screen),
        encoding_(encoding),
        wide_(EncodingUnitSize(encoding) == 2),
        units_(static_cast<int32_t>(book.size() / EncodingUnitSize(encoding))) {
    platform_.files[path_] = book;
  }

  void Open(const Layout& layout, int32_t splitSpan) {
    layout_ = layout;
    Budget();
    engine_ = CreateTextEngine(platform_, path_, encoding_);
    Check(engine_->Load(path_), "the book does not load");
    // Small split spans cut the runs of text of a small book into pieces.
    if (splitSpan > 0) {
      if (auto* bytes = dynamic_cast<BasicTextEngine<uint8_t>*>(engine_.get())) {
        bytes->reader().SetSplitSpan(splitSpan);
      } else if (auto* utf8 = dynamic_cast<BasicTextEngine<char8_t>*>(engine_.get())) {
        utf8->reader().SetSplitSpan(splitSpan);
      } else if (auto* units = dynamic_cast<BasicTextEngine<char16_t>*>(engine_.get())) {
        units->reader().SetSplitSpan(splitSpan);
      }
    }
    Check(engine_->GetSize() == units_, "the size is not the file's length in units");
    layout_.Apply(*engine_);
    Paint(false, false);
    engine_->GoToStart();
    lastSet_ = 0;
  }

  void Run(Input& in) {
    for (int count = 0; !in.Empty() && count < 200; ++count)
      Step(in);
  }

 private:
  // Every operation may read the whole book a few times over, in chunks, with a few peeks
  // per paragraph; more than that means it is going round in circles.
  void Budget() {
    platform_.reads = 0;
    platform_.budget = 256 + 16 * static_cast<int64_t>(units_);
  }

  void Paint(bool render, bool rotated) {
    engine_->BeginPaint(screen_, u"NanumGothic", kLineHeight, false, false, rotated);
    if (render) {
      // A small surface: drawing outside it is clipped, and a large one costs more to clear
      // than the whole run.
      Rect client{0, 0, kScreenSize, kScreenSize};
      engine_->BeginOffscreen(screen_, client, 0, 0x00FFFFFF);
      engine_->Render(rotated ? kRenderRotated : 0);
      engine_->DrawPositionBar(client, rotated);
      engine_->EndOffscreen();
    }
    engine_->EndPaint(screen_);
    screen_.ClearOps();
  }

  void Step(Input& in) {
    uint8_t op = in.Byte();
    std::vector<LineCopy> before = engine_ ? Snapshot(*engine_) : std::vector<LineCopy>{};
    bool atEndBefore = engine_ && engine_->IsAtEnd();
    bool atStart = !before.empty() && before.front().offset == 0 && !atEndBefore;
    bool endIsStable = endIsStable_;
    endIsStable_ = false;
    Budget();
    alarm(kSecondsPerOperation);
    switch (op % 16) {
      case 0:
      case 13:
        currentOperation = "PageForward";
        engine_->PageForward();
        Check(!endIsStable || Snapshot(*engine_) == before, "PageForward at the end moves");
        Check(!afterGoToEnd_ || Snapshot(*engine_).empty(), "PageForward after GoToEnd fills");
        endIsStable_ = layout_.shared < std::max(layout_.Capacity(), 1) && engine_->IsAtEnd() &&
                       Snapshot(*engine_) == before;
        break;
      case 1:
      case 14:
        currentOperation = "PageBackward";
        engine_->PageBackward();
        Check(!atStart || Snapshot(*engine_) == before, "PageBackward on the first page moves");
        break;
      case 2:
      case 15:
        currentOperation = "LineForward";
        engine_->LineForward();
        Check(!endIsStable || Snapshot(*engine_) == before, "LineForward at the end moves");
        Check(!afterGoToEnd_ || Snapshot(*engine_).empty(), "LineForward after GoToEnd fills");
        endIsStable_ = endIsStable;
        break;
      case 3:
        currentOperation = "LineBackward";
        engine_->LineBackward();
        Check(!atStart || Snapshot(*engine_) == before, "LineBackward on the first page moves");
        break;
      case 4:
        currentOperation = "GoToStart";
        engine_->GoToStart();
        lastSet_ = 0;
        break;
      case 5:
        currentOperation = "GoToEnd";
        engine_->GoToEnd();
        break;
      case 6: {
        currentOperation = "SetPosition";
        uint16_t arg = in.Word();
        lastSet_ = arg == 0xFFFF ? -1 : static_cast<int32_t>(arg % (units_ + 3));
        engine_->SetPosition(lastSet_);
        break;
      }
      case 7: {
        currentOperation = "SetFraction";
        static const float kEdges[4] = {0.0f, 1.0f, 0.99999994f, 1e-7f};
        uint8_t arg = in.Byte();
        float f = arg >= 252 ? kEdges[arg - 252] : static_cast<float>(arg) / 251.0f;
        engine_->SetFraction(f);
        lastSet_ = 0;
        break;
      }
      case 8:
        Find(in);
        break;
      case 9: {
        currentOperation = "SetSearchStart";
        uint16_t arg = in.Word();
        engine_->SetSearchStart(arg == 0xFFFF ? -1 : static_cast<int32_t>(arg % (units_ + 3)));
        break;
      }
      case 10: {
        currentOperation = "relayout";
        Layout layout;
        layout.Read(in);
        layout_ = layout;
        layout_.Apply(*engine_);
        int32_t at = engine_->GetPosition();
        engine_->SetPosition(at);
        lastSet_ = at;
        break;
      }
      case 11: {
        currentOperation = "paint";
        uint8_t arg = in.Byte();
        Paint(true, (arg & 1) != 0);
        break;
      }
      case 12:
        currentOperation = "reopen";
        engine_->Close();
        Check(engine_->GetPosition() == 0, "a closed engine has a position");
        Check(engine_->Load(path_), "the book does not load again");
        engine_->GoToStart();
        lastSet_ = 0;
        break;
    }
    alarm(0);
    afterGoToEnd_ =
        op % 16 == 5 ||
        (afterGoToEnd_ && (op % 16 == 0 || op % 16 == 13 || op % 16 == 2 || op % 16 == 15));
    CheckPage();
  }

  void Find(Input& in) {
    currentOperation = "FindNext";
    uint8_t arg = in.Byte();
    int options = arg & 1;
    size_t n = 1 + ((arg >> 1) & 3);
    std::u16string text;
    if (arg & 0x80) {
      for (size_t i = 0; i < n; ++i)
        text.push_back(static_cast<char16_t>(in.Word()));
    } else {
      std::string bytes = in.Bytes(n * (wide_ ? 2 : 1));
      if (wide_) {
        for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
          text.push_back(static_cast<char16_t>(static_cast<uint8_t>(bytes[i]) |
                                               (static_cast<uint8_t>(bytes[i + 1]) << 8)));
        }
      } else if (encoding_ == TextEncoding::kUtf8) {
        text = FromUtf8(bytes);
      } else {
        text = platform_.Cp949ToUtf16(bytes);
      }
    }
    if (text.empty()) text = u"a";
    int32_t index = -7;
    int32_t found = engine_->FindNext(text, &index, options);
    Check(found == -1 || (found >= 0 && found <= units_), "a search result outside the book");
    Check(found == -1 ? index == 0 : index >= 0, "a search index out of range");
    engine_->SetPosition(found == -1 ? 0 : found);
    lastSet_ = found == -1 ? 0 : found;
  }

  void CheckPage() {
    int32_t size = engine_->GetSize();
    Check(size == units_, "the size changes");
    std::vector<const CTextLine*> lines = PageLines(*engine_);
    int32_t pos = engine_->GetPosition();
    if (lines.empty()) {
      Check(pos == lastSet_ || (pos >= 0 && pos <= size), "an empty page outside the book");
      Check(engine_->GetBottomPosition() == 0, "an empty page has a bottom line");
      Check(engine_->GetTopLine() == nullptr, "an empty page has a top line");
      return;
    }
    Check(pos == lines.front()->offset, "the position is not the top line's offset");
    Check(engine_->GetBottomPosition() == lines.back()->offset, "the bottom position is wrong");
    Check(engine_->GetTopLine() == lines.front(), "the top line is not the page's first");
    Check(static_cast<int>(lines.size()) <= std::max({layout_.Capacity(), layout_.shared, 1}),
          "more lines than the page holds");
    for (const CTextLine* line : lines) {
      Check(line->offset >= 0 && line->offset <= size, "a line starts outside the book");
      Check(line->length >= 0 && line->offset + line->length <= size,
            "a line covers units outside the book");
      Check(line->textLength() <= line->length, "a line's text is longer than what it covers");
      std::u16string text = line->Text();
      for (char16_t u : text)
        Check(u != 10 && u != 13, "a line holds a line break");
      Check(line->hang >= 0 && line->hang <= line->width, "a hanging mark wider than its line");
      // A closing mark may hang past the available width.
      int available = std::max(layout_.Available(), 0) + line->hang;
      Check(line->width >= 0, "a negative line width");
      if (line->width > available) {
        // A character beyond U+FFFF of UTF-8 text shows as a surrogate pair.
        const bool onePair = text.size() == 2 && text[0] >= 0xD800 && text[0] < 0xDC00 &&
                             text[1] >= 0xDC00 && text[1] < 0xE000;
        Check(text.size() <= 1 || onePair,
              "a line wider than the page holds more than one character");
      }
    }
  }

  CountingPlatform& platform_;
  RecordingSurface& screen_;
  const std::u16string path_ = kBookPath;
  TextEncoding encoding_;
  bool wide_;
  int32_t units_;
  Layout layout_;
  std::unique_ptr<CTextEngine> engine_;
  int32_t lastSet_ = 0;
  bool endIsStable_ = false;
  bool afterGoToEnd_ = false;
};

}  // namespace
}  // namespace lirako

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace lirako;
  static bool once = [] {
    signal(SIGALRM, OnAlarm);
    return true;
  }();
  (void)once;
  // A fresh platform per input: the headless platform keeps every font it creates.
  CountingPlatform platform;
  platform.metrics().wide = kWideWidth;
  platform.metrics().lineHeight = kLineHeight;
  std::unique_ptr<RecordingSurface> screen = platform.CreateScreen(kScreenSize, kScreenSize);
  Input in(data, size);
  uint8_t kind = in.Byte();
  Layout layout;
  layout.Read(in);
  std::string book = in.Bytes(in.Word() % 4096);
  if (kind & 1) book.insert(0, (kind & 2) ? "\xFE\xFF" : "\xFF\xFE");
  // The book's own bytes choose the engine, as when the reader opens a file: a byte-order
  // mark, else the samples (code page 949, UTF-8, or UTF-16 without a mark).
  platform.files[kBookPath] = book;
  EncodingGuess guess;
  currentOperation = "detection";
  // Detection reads the book once (a small book whole).
  platform.budget = 256 + 16 * static_cast<int64_t>(book.size());
  Check(DetectTextEncoding(platform, kBookPath, &guess, nullptr), "detection fails");
  Harness harness(platform, *screen, book, guess.encoding);
  currentOperation = "open";
  harness.Open(layout, (kind >> 2) == 0 ? 0 : 12 + 4 * (kind >> 2));
  harness.Run(in);
  return 0;
}

#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/chapter.h"
#include "engine/heading_rules.h"
#include "engine/text_encoding.h"
#include "engine/titled_headings.h"
#include "platform/file.h"
#include "platform/platform.h"

namespace lirako {

// The code page 949 display conversion as it stands when taken (the code table or the
// platform's), one unit per double-byte character, so that another thread can convert
// while the view changes the conversion.
class Cp949Snapshot {
 public:
  static std::shared_ptr<const Cp949Snapshot> Take(Platform& platform);
  // The unit of the character lead, trail (IsCp949Pair holds), U+FFFD when it has none.
  char16_t Pair(uint8_t lead, uint8_t trail) const;

 private:
  std::vector<char16_t> pairs_;  // lead 0x81..0xFE by trail 0x41..0xFE
};

// Reads a whole book once, block by block with its own buffer, and reports every paragraph
// that `rules` take for a heading, and looks for the title lines of a book that names its
// chapters by a title alone. Paragraphs end at every CR or LF, as the reader's do.
class ChapterScanner {
 public:
  // At most this many chapters are reported; the scan ends at the last one.
  static constexpr size_t kMaxChapters = 20000;
  static constexpr size_t kBlockBytes = 1 << 20;
  // A book without headings is cut into sections of about this many bytes, each starting
  // with a paragraph and named by its first words.
  static constexpr int64_t kSectionBytes = 100 * 1024;
  static constexpr char kSectionRuleName[] = "구간";

  struct Callbacks {
    // Each heading, in book order.
    std::function<void(Chapter&&)> found;
    // Bytes of the file read so far, after every block.
    std::function<void(int64_t)> progress;
    // Checked after every block; the scan stops when it is true.
    const std::atomic<bool>* cancel = nullptr;
  };

  // `cp949` is needed for code page 949 text only.
  ChapterScanner(const HeadingRules& rules, TextEncoding encoding,
                 std::shared_ptr<const Cp949Snapshot> cp949);

  // Reads blocks of `bytes` bytes (at least 2) from now on; small blocks let tests put block
  // borders anywhere.
  void SetBlockBytes(size_t bytes) { blockBytes_ = std::max<size_t>(bytes, 2) & ~size_t{1}; }

  // Scans `file` from its start to its end. False when cancelled, or with the reason in
  // `err` when the file cannot be read.
  bool Scan(File& file, const Callbacks& callbacks, std::string* err);
  // After a whole scan: the book's title lines and whether it names its chapters by them.
  // The numbered headings reported through `found` do not include them.
  const TitledHeadings& titled() const { return titled_; }
  // After a whole scan: "구간 1 · first words" .. at the first paragraph after every
  // kSectionBytes, for a book where nothing else is found.
  const std::vector<Chapter>& sections() const { return sections_; }

 private:
  // Looks at one paragraph of `bytes` bytes starting at file byte `start`, ended by the
  // break unit `ending` (0: the end of the book).
  void Consider(const uint8_t* bytes, size_t size, int64_t start, uint32_t ending);
  void Decode(const uint8_t* bytes, size_t size);
  // Starts a section at the paragraph of `size` bytes at file byte `start`.
  void AddSection(const uint8_t* bytes, size_t size, int64_t start);
  static constexpr size_t kSectionNameBytes = 96;
  static constexpr size_t kSectionNameCharacters = 20;
  // The unit at `p` (1 or 2 bytes).
  uint32_t UnitAt(const uint8_t* p) const;

  const HeadingRules& rules_;
  TextEncoding encoding_;
  int unitBytes_;
  std::shared_ptr<const Cp949Snapshot> cp949_;
  const Callbacks* callbacks_ = nullptr;
  size_t blockBytes_ = kBlockBytes;
  size_t found_ = 0;
  TitledHeadings titled_;
  // The break that ended the last paragraph, until a second one pairs with it.
  uint32_t openBreak_ = 0;
  std::vector<Chapter> sections_;
  int64_t nextSection_ = 0;
  std::u32string text_;
  std::string utf8_;
};

}  // namespace lirako

#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "engine/text_encoding.h"
#include "platform/platform.h"

namespace lirako {

// One hit of a search through a whole book.
struct SearchHit {
  int32_t pieceStart = 0;  // where the paragraph (or piece) that holds it is read from
  int32_t index = 0;       // its display index in that paragraph, as FindNext reports it
  int32_t begin = 0;       // file position of its first unit
  int32_t end = 0;         // file position just after its last unit
  // The hit with up to the asked number of characters of its paragraph on either side.
  std::u16string context;
};

// Finds every hit of a text in a book with the rules of FindNext (the display conversion,
// case folding unless case matters, one paragraph at a time, across the pieces of a long
// run), reading the book through a file and reader of its own, so that it can run on another
// thread than the view's engine. Hits come in book order; overlapping hits all count.
class SearchAll {
 public:
  // At most this many hits are reported; the search ends at the last one. A hit kept with
  // thirty characters either side takes about 190 bytes, so that a list of them stays
  // within 10 MB.
  static constexpr size_t kMaxHits = 50000;
  static constexpr int kDefaultContextCharacters = 30;

  struct Callbacks {
    std::function<void(SearchHit&&)> found;
    // The file position reached, now and then, out of `size`.
    std::function<void(int32_t position, int32_t size)> progress;
    // Checked between hits and paragraphs read; the search stops when it is true.
    const std::atomic<bool>* cancel = nullptr;
  };

  SearchAll(Platform& platform, TextEncoding encoding) : platform_(platform), encoding_(encoding) {}

  // Cuts long runs of text every `span` units, as a reader with that split span does.
  void SetSplitSpan(int32_t span) { splitSpan_ = span; }
  // Reads with lines joined into paragraphs, as an engine whose typography joins lines.
  void SetJoinLines(bool on) { joinLines_ = on; }

  // Searches the book at `path` for `text` (bit 0 of `options`: case matters), each hit with
  // `contextCharacters` characters either side. False when cancelled, or with the reason in
  // `err` when the book cannot be opened.
  bool Run(const std::u16string& path, const std::u16string& text, int options,
           int contextCharacters, const Callbacks& callbacks, std::string* err);

 private:
  Platform& platform_;
  TextEncoding encoding_;
  int32_t splitSpan_ = 0;
  bool joinLines_ = false;
};

}  // namespace lirako

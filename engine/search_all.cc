#include "engine/search_all.h"

#include <algorithm>
#include <limits>
#include <memory>

#include "engine/basic_text_search.h"
#include "engine/mbcs_text_reader.h"
#include "engine/unicode_text_reader.h"
#include "engine/utf8_text_reader.h"

namespace lirako {
namespace {

bool IsHighSurrogate(char16_t u) {
  return u >= 0xD800 && u < 0xDC00;
}
bool IsLowSurrogate(char16_t u) {
  return u >= 0xDC00 && u < 0xE000;
}

// Index `characters` characters before `from` in `text`, not before 0.
size_t CharactersBefore(std::u16string_view text, size_t from, int characters) {
  size_t i = std::min(from, text.size());
  for (int n = 0; n < characters && i > 0; ++n) {
    --i;
    if (i > 0 && IsLowSurrogate(text[i]) && IsHighSurrogate(text[i - 1])) --i;
  }
  return i;
}

// Index `characters` characters after `from` in `text`, not past its end.
size_t CharactersAfter(std::u16string_view text, size_t from, int characters) {
  size_t i = std::min(from, text.size());
  for (int n = 0; n < characters && i < text.size(); ++n) {
    ++i;
    if (i < text.size() && IsLowSurrogate(text[i]) && IsHighSurrogate(text[i - 1])) ++i;
  }
  return i;
}

template <typename Unit>
class Runner {
 public:
  using Search = BasicTextSearch<Unit>;

  Runner(Platform& platform, BasicTextReader<Unit>& reader) : search_(platform), reader_(reader) {}

  bool Run(const std::u16string& text, int options, int contextCharacters,
           const SearchAll::Callbacks& callbacks) {
    search_.SetText(text, options);
    const int32_t size = reader_.fileLength();
    typename Search::Match match;
    bool any = search_.Next(reader_, 0, 0, &match);
    size_t hits = 0;
    while (any && hits < SearchAll::kMaxHits) {
      if (callbacks.cancel && callbacks.cancel->load(std::memory_order_relaxed)) return false;
      SearchHit hit;
      hit.pieceStart = match.pieceStart;
      hit.index = match.index;
      hit.begin = match.begin;
      hit.end = match.end;
      hit.context = Context(match, contextCharacters);
      ++hits;
      if (callbacks.found) callbacks.found(std::move(hit));
      if (search_.NextInPiece(static_cast<size_t>(match.index) + 1, &match)) continue;
      if (callbacks.progress) callbacks.progress(reader_.Position(), size);
      any = search_.Continue(reader_, &match);
    }
    return true;
  }

 private:
  // The hit and its neighbourhood in the display text of its paragraph. A piece cut from a
  // long run of text borrows the end of the piece before it.
  std::u16string Context(const typename Search::Match& match, int characters) {
    const std::u16string& display = search_.displayText();
    const auto index = static_cast<size_t>(match.index);
    const size_t hitEnd = std::min(index + search_.needle().size(), display.size());
    std::u16string before = display.substr(CharactersBefore(display, index, characters),
                                           index - CharactersBefore(display, index, characters));
    if (CharactersBefore(display, index, characters) == 0 && characters > 0) {
      before = PieceBeforeTail(match.pieceStart) + before;
      before = before.substr(CharactersBefore(before, before.size(), characters));
    }
    return before + display.substr(index, CharactersAfter(display, hitEnd, characters) - index);
  }

  // The display text of the piece that a cut ends just before `pieceStart`, or empty when a
  // line break (or the file start) is there.
  std::u16string PieceBeforeTail(int32_t pieceStart) {
    if (pieceStart <= 0) return {};
    const auto cursor = reader_.cursor();
    reader_.Seek(pieceStart);
    ParagraphBuffer<Unit> previous;
    std::u16string tail;
    if (reader_.ReadPreviousParagraph(previous) && previous.split && previous.end == pieceStart) {
      tail = search_.DisplayText(previous);
    }
    reader_.Restore(cursor);
    return tail;
  }

  Search search_;
  BasicTextReader<Unit>& reader_;
};

}  // namespace

bool SearchAll::Run(const std::u16string& path, const std::u16string& text, int options,
                    int contextCharacters, const Callbacks& callbacks, std::string* err) {
  std::unique_ptr<File> file = platform_.OpenForReading(path);
  if (!file) {
    if (err) *err = "cannot open the book";
    return false;
  }
  const int64_t units = file->Size() / EncodingUnitSize(encoding_);
  const auto length =
      static_cast<int32_t>(std::clamp<int64_t>(units, 0, std::numeric_limits<int32_t>::max()));
  auto run = [&](auto& reader) {
    if (splitSpan_ > 0) reader.SetSplitSpan(splitSpan_);
    reader.SetJoinLines(joinLines_);
    reader.Open(std::move(file), length);
    using Unit = typename std::remove_reference_t<decltype(reader)>::UnitType;
    Runner<Unit> runner(platform_, reader);
    return runner.Run(text, options, contextCharacters, callbacks);
  };
  if (encoding_ == TextEncoding::kUtf16Le || encoding_ == TextEncoding::kUtf16Be) {
    CUnicodeTextReader reader;
    reader.SetByteOrder(encoding_ == TextEncoding::kUtf16Le ? 1 : 0);
    return run(reader);
  }
  if (encoding_ == TextEncoding::kUtf8) {
    // As the UTF-8 engine reads it: a byte-order mark is no text.
    unsigned char mark[3] = {};
    const bool marked =
        file->Read(mark, 3) == 3 && mark[0] == 0xEF && mark[1] == 0xBB && mark[2] == 0xBF;
    CUtf8TextReader reader;
    reader.SetTextBegin(marked ? 3 : 0);
    return run(reader);
  }
  CMbcsTextReader reader;
  return run(reader);
}

}  // namespace lirako

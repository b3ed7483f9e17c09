#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/text_encoding.h"
#include "platform/platform.h"
#include "store/library.h"

namespace lirako {

// How the library knew a book.
enum class PlaceMatch {
  kPath,     // by its path (its text may have changed since)
  kContent,  // by its bytes: a book renamed, moved or copied
  kText,     // by its text: a copy in another encoding or with other line ends
  kNone,     // not at all
};

// "path", "content", "text" or "none".
std::string_view PlaceMatchName(PlaceMatch match);

// Where a book opens, and what the library knew of it.
struct BookPlace {
  int32_t position = 0;  // in the units of the encoding the book is read in
  PlaceMatch matched = PlaceMatch::kNone;
  // The book changed since its place was saved, so that the saved offset was looked up by the
  // text kept with it.
  bool relocated = false;
  std::optional<LibraryBook> record;  // the record the place comes from
  // The text anchor still to be looked for through the whole book (Find with
  // Search::kNearOnly found it nowhere near the old place); `position` is the fallback until
  // then. Empty when nothing is left to look for.
  std::string anchorToFind;
  std::string fingerprint;            // of the book as it is now
  std::string textFingerprint;
};

// Finds the place of a book in the library: by its path; else by its bytes (moved or copied);
// else by its text (re-encoded), the place carried over by the text kept with it. A book that
// changed at its path keeps its place by that text too, looked for near the old offset, then
// anywhere; only when it is gone is the old offset taken, or the start when the book is now
// shorter than that.
class BookPlaces {
 public:
  // How far Find looks for a changed book's anchor.
  enum class Search {
    kWholeBook,  // near the old place, then through the whole book: may take long
    kNearOnly,   // near the old place; the rest is left to the caller (anchorToFind)
  };

  BookPlaces(Platform& platform, Library& library) : platform_(platform), library_(library) {}

  // Where the book at `path`, read in `encoding`, opens. Changes nothing.
  BookPlace Find(const std::u16string& path, TextEncoding encoding,
                 Search search = Search::kWholeBook) const;
  // Gives the book at `path` the record `place` came from, when that was another book's: a
  // moved book's record follows it, a copy gets one of its own. Its bookmarks stay only where
  // the bytes are the same.
  bool Adopt(const std::u16string& path, const BookPlace& place, std::string* err);

 private:
  // Sets `place`'s position by the anchor of `record`.
  void Relocate(const std::u16string& path, TextEncoding encoding, const LibraryBook& record,
                int64_t size, bool byText, Search search, BookPlace& place) const;

  Platform& platform_;
  Library& library_;
};

}  // namespace lirako

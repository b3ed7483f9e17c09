#include "view/book_places.h"

#include <algorithm>
#include <memory>

#include "engine/text_anchor.h"
#include "engine/text_fingerprint.h"
#include "store/content_fingerprint.h"

namespace lirako {
namespace {

int UnitOf(const std::string& encodingName, TextEncoding otherwise) {
  std::optional<TextEncoding> encoding = EncodingFromName(encodingName);
  return EncodingUnitSize(encoding ? *encoding : otherwise);
}

}  // namespace

std::string_view PlaceMatchName(PlaceMatch match) {
  switch (match) {
    case PlaceMatch::kPath:
      return "path";
    case PlaceMatch::kContent:
      return "content";
    case PlaceMatch::kText:
      return "text";
    case PlaceMatch::kNone:
      return "none";
  }
  return "none";
}

void BookPlaces::Relocate(const std::u16string& path, TextEncoding encoding,
                          const LibraryBook& record, int64_t size, bool byText, Search search,
                          BookPlace& place) const {
  const int unit = EncodingUnitSize(encoding);
  const int oldUnit = UnitOf(record.encoding, encoding);
  // The old place in this book's units; a copy in another encoding has its text at about the
  // same share of the file.
  int64_t near = static_cast<int64_t>(record.position) * oldUnit / unit;
  if (byText && record.size > 0)
    near = static_cast<int64_t>(static_cast<double>(record.position) * oldUnit * size /
                                static_cast<double>(record.size) / unit);
  const TextAnchor anchor(platform_, path, encoding);
  int32_t found = anchor.FindNear(record.anchor, static_cast<int32_t>(near));
  if (found < 0 && search == Search::kWholeBook) found = anchor.FindAnywhere(record.anchor);
  if (found >= 0) {
    place.position = found;
    return;
  }
  place.position = byText || near * unit >= size ? 0 : static_cast<int32_t>(near);
  if (search == Search::kNearOnly) place.anchorToFind = record.anchor;
}

BookPlace BookPlaces::Find(const std::u16string& path, TextEncoding encoding, Search search) const {
  BookPlace place;
  place.fingerprint = ContentFingerprint(platform_, path);
  if (place.fingerprint.empty()) return place;
  int64_t size = 0;
  if (std::unique_ptr<File> file = platform_.OpenForReading(path)) {
    size = file->Size();
    file->Close();
  }
  if (std::optional<LibraryBook> record = library_.Find(path)) {
    place.matched = PlaceMatch::kPath;
    // A record made before the book was read (a value set for it) has no fingerprint.
    if (record->fingerprint.empty() || record->fingerprint == place.fingerprint) {
      place.position = record->position;
    } else {
      place.relocated = true;
      Relocate(path, encoding, *record, size, false, search, place);
    }
    place.record = std::move(record);
    return place;
  }
  std::vector<LibraryBook> same = library_.FindByFingerprint(place.fingerprint);
  if (!same.empty()) {
    // A moved book's record before a copy's: the book whose file is gone is this one.
    auto moved = std::find_if(same.begin(), same.end(), [&](const LibraryBook& book) {
      return !platform_.PathExists(book.path);
    });
    place.matched = PlaceMatch::kContent;
    place.record = moved != same.end() ? *moved : same.front();
    place.position = place.record->position;
    return place;
  }
  place.textFingerprint = TextFingerprint(platform_, path, encoding);
  std::vector<LibraryBook> text = library_.FindByTextFingerprint(place.textFingerprint);
  if (!text.empty()) {
    place.matched = PlaceMatch::kText;
    place.record = text.front();
    place.relocated = true;
    Relocate(path, encoding, text.front(), size, true, search, place);
  }
  return place;
}

bool BookPlaces::Adopt(const std::u16string& path, const BookPlace& place, std::string* err) {
  if (!place.record || place.record->path == path) return true;
  const bool moved = !platform_.PathExists(place.record->path);
  if (!library_.Carry(place.record->path, path, !moved, err)) return false;
  if (place.matched != PlaceMatch::kText) return true;
  // Bookmarks are offsets in the other copy's bytes: they name no place in this one.
  std::optional<LibraryBook> record = library_.Find(path);
  if (!record) return true;
  record->bookmarks.clear();
  record->position = place.position;
  return library_.Save(*record, err);
}

}  // namespace lirako

#include "view/book_memory.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "engine/text_anchor.h"
#include "engine/text_fingerprint.h"
#include "platform/utf.h"
#include "store/content_fingerprint.h"
#include "store/data_folder.h"

namespace lirako {
namespace {

// A window left open counts this much reading at most between two records.
constexpr auto kMaxReadingStretch = std::chrono::minutes(10);

int64_t Now() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

}  // namespace

bool BookMemory::Open(const std::u16string& folder, ReaderStore& store,
                      const RecentFileList& recent) {
  folder_ = folder;
  store_ = &store;
  recent_ = &recent;
  return Start(Library::Check::kSchema);
}

void BookMemory::ReplaceWhenDamaged() {
  if (!library_.damaged() || !store_) return;
  store_->SetBookValues(nullptr);
  Start(Library::Check::kEveryPage);
}

bool BookMemory::Start(Library::Check check) {
  std::string err;
  const Library::Opened opened =
      library_.Open(ToUtf8(DataFilePath(folder_, Library::kFileName)), &err, check);
  if (opened == Library::Opened::kFailed) {
    std::fprintf(stderr, "lirako: the library is not open: %s\n", err.c_str());
    return false;
  }
  if (opened == Library::Opened::kReplacedDamaged)
    std::fprintf(stderr, "lirako: the library was damaged; kept as %s%s\n",
                 ToUtf8(Library::kFileName).c_str(), Library::kDamagedSuffix);
  if (opened != Library::Opened::kExisting) {
    // Most recent last, so that the list's order is the library's.
    const int64_t now = Now();
    const auto& entries = recent_->entries();
    for (size_t i = entries.size(); i-- > 0;) {
      if (library_.Find(entries[i].path)) continue;
      LibraryBook book;
      book.path = entries[i].path;
      book.position = entries[i].position;
      book.bookmarks = entries[i].bookmarks;
      book.fingerprint = ContentFingerprint(platform_, book.path);
      book.lastRead = now - static_cast<int64_t>(i);
      book.firstRead = book.lastRead;
      library_.Save(book, nullptr);
    }
  }
  return store_->SetBookValues(&library_);
}

void BookMemory::FollowMoved(const std::u16string& path) {
  if (!library_.IsOpen() || path.empty() || library_.Find(path)) return;
  for (const LibraryBook& book : library_.FindByFingerprint(ContentFingerprint(platform_, path))) {
    if (platform_.PathExists(book.path)) continue;
    std::string err;
    if (!library_.Carry(book.path, path, false, &err))
      std::fprintf(stderr, "lirako: the library did not follow the book: %s\n", err.c_str());
    return;
  }
}

BookPlace BookMemory::Opened(const std::u16string& path, CTextEngine& engine) {
  openPath_ = path;
  lastRecord_ = Clock::now();
  if (!library_.IsOpen()) return {};
  BookPlace place = places_.Find(path, engine.Encoding(), BookPlaces::Search::kNearOnly);
  if (library_.damaged()) {
    ReplaceWhenDamaged();
    place = places_.Find(path, engine.Encoding(), BookPlaces::Search::kNearOnly);
  }
  std::string err;
  if (!places_.Adopt(path, place, &err))
    std::fprintf(stderr, "lirako: the library did not follow the book: %s\n", err.c_str());
  fingerprint_ = place.fingerprint;
  textFingerprint_ = place.textFingerprint.empty()
                         ? TextFingerprint(platform_, path, engine.Encoding())
                         : place.textFingerprint;
  return place;
}

void BookMemory::Record(CTextEngine& engine, const RecentFileEntry& entry) {
  if (!library_.IsOpen() || entry.path != openPath_ || openPath_.empty()) return;
  LibraryBook book = library_.Find(entry.path).value_or(LibraryBook{});
  const int64_t now = Now();
  book.path = entry.path;
  if (std::unique_ptr<File> file = platform_.OpenForReading(entry.path)) {
    book.size = file->Size();
    book.modified = file->ModifiedTime();
    file->Close();
  }
  book.fingerprint = fingerprint_;
  book.textFingerprint = textFingerprint_;
  book.encoding = std::string(EncodingName(engine.Encoding()));
  book.position = entry.position;
  book.anchor = TextAnchor::OfEngine(platform_, engine).Capture(entry.position);
  const int32_t size = engine.GetSize();
  book.progress = engine.IsAtEnd() || size <= 0
                      ? 1.0
                      : std::clamp(static_cast<double>(entry.position) / size, 0.0, 1.0);
  book.bookmarks = entry.bookmarks;
  if (book.firstRead == 0) book.firstRead = now;
  book.lastRead = now;
  const Clock::time_point tick = Clock::now();
  book.readingSeconds += std::chrono::duration_cast<std::chrono::seconds>(
                             std::min<Clock::duration>(tick - lastRecord_, kMaxReadingStretch))
                             .count();
  lastRecord_ = tick;
  std::string err;
  if (!library_.Save(book, &err)) {
    std::fprintf(stderr, "lirako: the library did not keep %s: %s\n",
                 ToUtf8(FileNameOf(entry.path)).c_str(), err.c_str());
    // A new library started in place of a damaged one gets the record at once.
    ReplaceWhenDamaged();
    if (library_.IsOpen() && !library_.damaged()) library_.Save(book, nullptr);
  }
}

}  // namespace lirako

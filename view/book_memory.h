#pragma once

#include <chrono>
#include <string>

#include "engine/text_engine.h"
#include "platform/platform.h"
#include "store/library.h"
#include "store/reader_store.h"
#include "store/recent_file_list.h"
#include "view/book_places.h"

namespace lirako {

// What the reader remembers of every book it opened, in the library of the data folder: the
// place found when a book opens (BookPlaces), and the book's record written whenever its place
// is stored.
class BookMemory {
 public:
  explicit BookMemory(Platform& platform) : platform_(platform), places_(platform, library_) {}

  // Opens the library in `folder` and lets it keep the values of books of `store`. A new
  // library (the first start, or one started after the old was found damaged) begins with the
  // entries of `recent`. True when `store` handed its book records over and must be saved.
  bool Open(const std::u16string& folder, ReaderStore& store, const RecentFileList& recent);

  // Gives the book at `path` the record of the same bytes under a path that is gone, when the
  // library holds none of its own: a renamed or moved book.
  void FollowMoved(const std::u16string& path);
  // The place of the book that just opened in `engine` at `path`; its record follows it when
  // the library knew it under another path. The anchor of a changed book is looked for near
  // its old place only: the rest is left to the caller (BookPlace::anchorToFind).
  BookPlace Opened(const std::u16string& path, CTextEngine& engine);
  // Writes the record of the open book: `entry`'s place and bookmarks with the text at the
  // place, the progress, the times and the time spent reading since the last record.
  void Record(CTextEngine& engine, const RecentFileEntry& entry);

  Library& library() { return library_; }

 private:
  using Clock = std::chrono::steady_clock;

  // Opens the library; a new one begins with the recent entries. True when the store handed
  // its book records over.
  bool Start(Library::Check check);
  // Starts a new library when SQLite found the open one damaged.
  void ReplaceWhenDamaged();

  Platform& platform_;
  std::u16string folder_;
  ReaderStore* store_ = nullptr;
  const RecentFileList* recent_ = nullptr;
  Library library_;
  BookPlaces places_;
  std::u16string openPath_;
  std::string fingerprint_;
  std::string textFingerprint_;
  Clock::time_point lastRecord_;
};

}  // namespace lirako

#pragma once

#include "store/reader_store.h"
#include "store/recent_file_list.h"

namespace lirako {

// A recent book whose path is too long for ResentFiles.Dat keeps its entry in the reader's
// store file instead, as the book values "recent.index" (its place in the list),
// "recent.position" and "recent.bookmark.N" ("position name", N from 0, newest first).

// True when the entry of `path` cannot be kept in ResentFiles.Dat.
bool IsLongPath(const std::u16string& path);
// Records in `store` the long-path entries among the first ten of `list` and forgets those
// the list no longer holds there.
void KeepLongPathEntries(const RecentFileList& list, ReaderStore& store);
// Puts the long-path entries recorded in `store` back into `list` at their places.
void RestoreLongPathEntries(const ReaderStore& store, RecentFileList& list);

}  // namespace lirako

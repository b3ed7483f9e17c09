#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "store/bookmark.h"

namespace lirako {

// A recently read file: its path (the identity, compared exactly), where reading stopped,
// and its bookmarks, newest first when set by command. Copies are deep.
struct RecentFileEntry {
  std::u16string path;
  int32_t position = 0;
  std::vector<Bookmark> bookmarks;

  // The operations below identify a bookmark by its position; the first match counts.

  bool HasBookmark(int32_t at) const;
  // Inserts a bookmark at the front of the list.
  void AddBookmark(int32_t at, std::u16string name);
  // Copies the bookmark's name into `name`; false (name untouched) when there is none.
  bool GetBookmarkName(int32_t at, std::u16string* name) const;
  // False when there is no bookmark at `at`.
  bool RenameBookmark(int32_t at, std::u16string name);
  // False when there is no bookmark at `at`.
  bool RemoveBookmark(int32_t at);
  void ClearBookmarks() { bookmarks.clear(); }

  bool operator==(const RecentFileEntry&) const = default;
};

}  // namespace lirako

#include "store/recent_file_entry.h"

#include <algorithm>

namespace lirako {
namespace {

template <typename List>
auto FindBookmark(List& bookmarks, int32_t at) {
  return std::find_if(bookmarks.begin(), bookmarks.end(),
                      [at](const Bookmark& b) { return b.position == at; });
}

}  // namespace

bool RecentFileEntry::HasBookmark(int32_t at) const {
  return FindBookmark(bookmarks, at) != bookmarks.end();
}

void RecentFileEntry::AddBookmark(int32_t at, std::u16string name) {
  bookmarks.insert(bookmarks.begin(), Bookmark{std::move(name), at});
}

bool RecentFileEntry::GetBookmarkName(int32_t at, std::u16string* name) const {
  auto it = FindBookmark(bookmarks, at);
  if (it == bookmarks.end()) return false;
  *name = it->name;
  return true;
}

bool RecentFileEntry::RenameBookmark(int32_t at, std::u16string name) {
  auto it = FindBookmark(bookmarks, at);
  if (it == bookmarks.end()) return false;
  it->name = std::move(name);
  return true;
}

bool RecentFileEntry::RemoveBookmark(int32_t at) {
  auto it = FindBookmark(bookmarks, at);
  if (it == bookmarks.end()) return false;
  bookmarks.erase(it);
  return true;
}

}  // namespace lirako

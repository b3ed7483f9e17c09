#include "store/long_path_entries.h"

#include <algorithm>
#include <charconv>
#include <string>

#include "platform/utf.h"
#include "store/record_string.h"
#include "store/resent_files_format.h"

namespace lirako {
namespace {

constexpr char kIndexKey[] = "recent.index";
constexpr char kPositionKey[] = "recent.position";
constexpr char kBookmarkKey[] = "recent.bookmark.";

std::string BookmarkKey(int32_t n) {
  return kBookmarkKey + std::to_string(n);
}

// The number at the start of `text`, or nothing.
std::optional<int32_t> ParseNumber(std::string_view text, size_t* used = nullptr) {
  int32_t value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc()) return std::nullopt;
  if (used) *used = static_cast<size_t>(end - text.data());
  return value;
}

void Forget(const std::u16string& book, ReaderStore& store) {
  store.RemoveBookValue(book, kIndexKey);
  store.RemoveBookValue(book, kPositionKey);
  for (int32_t n = 0; n < resent_files::kMaxBookmarks; ++n)
    store.RemoveBookValue(book, BookmarkKey(n));
}

}  // namespace

bool IsLongPath(const std::u16string& path) {
  return !FitsRecordString(path, resent_files::kMaxStringUnits);
}

void KeepLongPathEntries(const RecentFileList& list, ReaderStore& store) {
  const std::vector<RecentFileEntry>& entries = list.entries();
  size_t kept = std::min(entries.size(), static_cast<size_t>(resent_files::kMaxEntries));
  for (const std::u16string& book : store.BooksWith(kIndexKey)) {
    auto it = std::find_if(entries.begin(), entries.begin() + static_cast<ptrdiff_t>(kept),
                           [&](const RecentFileEntry& e) { return e.path == book; });
    if (it == entries.begin() + static_cast<ptrdiff_t>(kept)) Forget(book, store);
  }
  for (size_t i = 0; i < kept; ++i) {
    const RecentFileEntry& entry = entries[i];
    if (!IsLongPath(entry.path)) continue;
    Forget(entry.path, store);
    store.SetBookValue(entry.path, kIndexKey, std::to_string(i));
    store.SetBookValue(entry.path, kPositionKey, std::to_string(entry.position));
    size_t marks =
        std::min(entry.bookmarks.size(), static_cast<size_t>(resent_files::kMaxBookmarks));
    for (size_t n = 0; n < marks; ++n) {
      const Bookmark& mark = entry.bookmarks[n];
      store.SetBookValue(entry.path, BookmarkKey(static_cast<int32_t>(n)),
                         std::to_string(mark.position) + " " + ToUtf8(mark.name));
    }
  }
}

void RestoreLongPathEntries(const ReaderStore& store, RecentFileList& list) {
  std::vector<std::pair<int32_t, RecentFileEntry>> found;
  for (const std::u16string& book : store.BooksWith(kIndexKey)) {
    std::optional<std::string> index = store.BookValue(book, kIndexKey);
    std::optional<int32_t> at = index ? ParseNumber(*index) : std::nullopt;
    if (!at || *at < 0 || !IsLongPath(book) || list.Contains(book)) continue;
    RecentFileEntry entry;
    entry.path = book;
    std::optional<std::string> position = store.BookValue(book, kPositionKey);
    entry.position = position ? ParseNumber(*position).value_or(0) : 0;
    for (int32_t n = 0; n < resent_files::kMaxBookmarks; ++n) {
      std::optional<std::string> mark = store.BookValue(book, BookmarkKey(n));
      if (!mark) break;
      size_t used = 0;
      std::optional<int32_t> markPosition = ParseNumber(*mark, &used);
      if (!markPosition || used >= mark->size() || (*mark)[used] != ' ') continue;
      entry.bookmarks.push_back(Bookmark{FromUtf8(mark->substr(used + 1)), *markPosition});
    }
    found.emplace_back(*at, std::move(entry));
  }
  std::sort(found.begin(), found.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  for (auto& [at, entry] : found)
    list.Insert(static_cast<size_t>(at), std::move(entry));
}

}  // namespace lirako

#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "store/recent_file_entry.h"

namespace lirako {

// The recently read files, most recent first; no two entries share a path. The list has no
// limit in memory; its file keeps the first ten entries with their first ten bookmarks.
class RecentFileList {
 public:
  virtual ~RecentFileList() = default;

  bool Contains(const std::u16string& path) const;
  // Copies the entry with `path` into `out`; false (out untouched) when there is none.
  bool CopyEntry(const std::u16string& path, RecentFileEntry* out) const;
  // Removes every entry with the entry's path, then puts a copy of it first.
  void StoreFirst(const RecentFileEntry& entry);
  // Removes the first entry with `path`; false when there is none.
  bool Remove(const std::u16string& path);
  void RemoveAll() { entries_.clear(); }
  // Copies entry 0 into `out`; false (out untouched) when the list is empty.
  bool CopyMostRecent(RecentFileEntry* out) const;

  const std::vector<RecentFileEntry>& entries() const { return entries_; }
  size_t size() const { return entries_.size(); }

  // Replaces the list by ResentFiles.Dat in `dataFolder`; see LoadFile.
  bool Load(Platform& platform, const std::u16string& dataFolder, std::string* err = nullptr);
  // Writes ResentFiles.Dat in `dataFolder`; see SaveFile.
  bool Save(Platform& platform, const std::u16string& dataFolder) const;

  // Replaces the list by the record file at `path`. A missing file, a version other than 0
  // or content outside the format gives an empty list (false). A file that ends early keeps
  // the entries it holds whole. On false `err`, when given, gets the reason.
  bool LoadFile(Platform& platform, const std::u16string& path, std::string* err = nullptr);
  // Writes the first ten entries whose path fits the format, each with its first ten
  // bookmarks (names cut to what the format holds). The old file stays unless the whole
  // new one was written; false when nothing was saved.
  bool SaveFile(Platform& platform, const std::u16string& path) const;

 private:
  std::vector<RecentFileEntry> entries_;
};

}  // namespace lirako

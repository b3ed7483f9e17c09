#pragma once

#include <cstddef>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "store/load_state.h"
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
  // Puts `entry` at `index` (at the end when the list is shorter) as loaded, not as a change;
  // the caller makes sure its path is not in the list yet.
  void Insert(size_t index, RecentFileEntry entry);
  // Removes the first entry with `path`; false when there is none.
  bool Remove(const std::u16string& path);
  void RemoveAll();
  // Copies entry 0 into `out`; false (out untouched) when the list is empty.
  bool CopyMostRecent(RecentFileEntry* out) const;

  const std::vector<RecentFileEntry>& entries() const { return entries_; }
  size_t size() const { return entries_.size(); }

  // Replaces the list by ResentFiles.Dat in `dataFolder` (see LoadFile); true when the file
  // was read whole, else false with the reason in `err` when it is given.
  bool Load(Platform& platform, const std::u16string& dataFolder, std::string* err = nullptr);
  // Saves ResentFiles.Dat in `dataFolder` under the folder's lock, merged with the file as
  // another copy of the reader may have left it (MergeOnto; the list becomes the merged one).
  // A file that cannot be read is left alone; one that did not load cleanly is first kept
  // as its damaged copy. False, with the reason in `err`, when nothing was saved.
  bool Save(Platform& platform, const std::u16string& dataFolder, std::string* err = nullptr);

  // Replaces the list by the record file at `path`. A missing file or a version other than 0
  // gives an empty list. Where the content leaves the format or the file ends early, the
  // entries before that point stay, each with its bookmarks. When the file was not read
  // whole, `err` (when given) gets the reason.
  LoadState LoadFile(Platform& platform, const std::u16string& path, std::string* err = nullptr);
  // Writes the first ten entries whose path fits the format, each with its first ten
  // bookmarks (names cut to what the format holds). The old file stays unless the whole
  // new one was written; false, with the reason in `err`, when nothing was saved.
  bool SaveFile(Platform& platform, const std::u16string& path, std::string* err = nullptr) const;

  // Makes this list `disk` with this list's changes since it was loaded put over it: the
  // entries this list stored or that the file cannot hold (a path too long), in this list's
  // order, then the entries of `disk` this list neither stored nor removed, in their order.
  void MergeOnto(const RecentFileList& disk);

 private:
  std::vector<RecentFileEntry> entries_;
  // Paths stored or removed since the list was loaded or saved.
  std::set<std::u16string> stored_;
  std::set<std::u16string> removed_;
};

}  // namespace lirako

#include "store/recent_file_list.h"

#include <algorithm>

#include "platform/utf.h"
#include "store/dat_file.h"
#include "store/data_folder.h"
#include "store/merged_save.h"
#include "store/record_string.h"
#include "store/resent_files_format.h"

namespace lirako {
namespace {

using resent_files::kMaxStringUnits;

// Reads one entry; kEnded when the file ends inside it.
RecordRead ReadEntry(CDatFile& file, RecentFileEntry* entry) {
  RecordRead r = ReadRecordString(file, kMaxStringUnits, &entry->path);
  if (r != RecordRead::kOk) return r;
  if (!file.ReadInt32(&entry->position)) return RecordRead::kEnded;
  int32_t count = 0;
  r = ReadRecordCount(file, &count);
  for (int32_t i = 0; r == RecordRead::kOk && i < count; ++i) {
    Bookmark bookmark;
    r = ReadRecordString(file, kMaxStringUnits, &bookmark.name);
    if (r == RecordRead::kOk && !file.ReadInt32(&bookmark.position)) r = RecordRead::kEnded;
    if (r == RecordRead::kOk) entry->bookmarks.push_back(std::move(bookmark));
  }
  return r;
}

// `name` cut to what a stored string holds, without splitting a surrogate pair.
std::u16string_view StorableName(std::u16string_view name) {
  size_t limit = static_cast<size_t>(kMaxStringUnits - 1);
  if (name.size() <= limit) return name;
  if (name[limit - 1] >= 0xD800 && name[limit - 1] <= 0xDBFF) --limit;
  return name.substr(0, limit);
}

}  // namespace

bool RecentFileList::Contains(const std::u16string& path) const {
  return std::any_of(entries_.begin(), entries_.end(),
                     [&](const RecentFileEntry& e) { return e.path == path; });
}

bool RecentFileList::CopyEntry(const std::u16string& path, RecentFileEntry* out) const {
  auto it = std::find_if(entries_.begin(), entries_.end(),
                         [&](const RecentFileEntry& e) { return e.path == path; });
  if (it == entries_.end()) return false;
  *out = *it;
  return true;
}

void RecentFileList::StoreFirst(const RecentFileEntry& entry) {
  RecentFileEntry copy = entry;  // `entry` may be one of the entries removed below
  std::erase_if(entries_, [&](const RecentFileEntry& e) { return e.path == copy.path; });
  removed_.erase(copy.path);
  stored_.insert(copy.path);
  entries_.insert(entries_.begin(), std::move(copy));
}

void RecentFileList::Insert(size_t index, RecentFileEntry entry) {
  index = std::min(index, entries_.size());
  entries_.insert(entries_.begin() + static_cast<ptrdiff_t>(index), std::move(entry));
}

bool RecentFileList::Remove(const std::u16string& path) {
  auto it = std::find_if(entries_.begin(), entries_.end(),
                         [&](const RecentFileEntry& e) { return e.path == path; });
  if (it == entries_.end()) return false;
  stored_.erase(path);
  removed_.insert(path);
  entries_.erase(it);
  return true;
}

void RecentFileList::RemoveAll() {
  for (const RecentFileEntry& e : entries_)
    removed_.insert(e.path);
  stored_.clear();
  entries_.clear();
}

bool RecentFileList::CopyMostRecent(RecentFileEntry* out) const {
  if (entries_.empty()) return false;
  *out = entries_.front();
  return true;
}

bool RecentFileList::Load(Platform& platform, const std::u16string& dataFolder, std::string* err) {
  return LoadFile(platform, DataFilePath(dataFolder, resent_files::kFileName), err) ==
         LoadState::kClean;
}

bool RecentFileList::Save(Platform& platform, const std::u16string& dataFolder, std::string* err) {
  std::u16string path = DataFilePath(dataFolder, resent_files::kFileName);
  if (!SaveMerged(
          platform, dataFolder, path, *this, [&] { return SaveFile(platform, path, err); }, err))
    return false;
  stored_.clear();
  removed_.clear();
  return true;
}

void RecentFileList::MergeOnto(const RecentFileList& disk) {
  std::vector<RecentFileEntry> merged;
  for (const RecentFileEntry& e : entries_) {
    if (stored_.contains(e.path) || !FitsRecordString(e.path, kMaxStringUnits)) {
      merged.push_back(e);
    }
  }
  for (const RecentFileEntry& e : disk.entries_) {
    if (!stored_.contains(e.path) && !removed_.contains(e.path)) merged.push_back(e);
  }
  entries_ = std::move(merged);
}

LoadState RecentFileList::LoadFile(Platform& platform, const std::u16string& path,
                                   std::string* err) {
  entries_.clear();
  stored_.clear();
  removed_.clear();
  CDatFile file(platform);
  if (!file.Open(CDatFile::kRead, path)) {
    if (err) *err = "the file is missing or cannot be opened";
    return platform.Exists(path) ? LoadState::kUnreadable : LoadState::kMissing;
  }
  int32_t version = -1;
  file.GetHeader(nullptr, &version);
  if (version != resent_files::kVersion) {
    if (err) {
      *err =
          "version " + std::to_string(version) + ", not " + std::to_string(resent_files::kVersion);
    }
    return LoadState::kDamaged;
  }

  int32_t count = 0;
  RecordRead r = ReadRecordCount(file, &count);
  for (int32_t i = 0; r == RecordRead::kOk && i < count; ++i) {
    RecentFileEntry entry;
    r = ReadEntry(file, &entry);
    if (r == RecordRead::kOk) entries_.push_back(std::move(entry));
  }
  if (r == RecordRead::kRefused) {
    if (err) *err = "an entry holds a count or a string outside the format";
    return LoadState::kDamaged;
  }
  if (r == RecordRead::kEnded) {
    if (err) *err = "the file ends inside an entry";
    return LoadState::kDamaged;
  }
  if (file.BytesLeft() != 0) {
    if (err) *err = "bytes follow the last entry";
    return LoadState::kDamaged;
  }
  return LoadState::kClean;
}

bool RecentFileList::SaveFile(Platform& platform, const std::u16string& path,
                              std::string* err) const {
  std::vector<const RecentFileEntry*> kept;
  for (const RecentFileEntry& entry : entries_) {
    if (kept.size() == static_cast<size_t>(resent_files::kMaxEntries)) break;
    if (FitsRecordString(entry.path, kMaxStringUnits)) kept.push_back(&entry);
  }

  CDatFile file(platform);
  file.SetHeader(resent_files::kHeaderName, resent_files::kVersion);
  if (!file.Open(CDatFile::kWrite, path, err)) return false;
  bool ok = file.WriteInt32(static_cast<int32_t>(kept.size()));
  for (const RecentFileEntry* entry : kept) {
    ok = WriteRecordString(file, entry->path) && ok;
    ok = file.WriteInt32(entry->position) && ok;
    size_t count =
        std::min(entry->bookmarks.size(), static_cast<size_t>(resent_files::kMaxBookmarks));
    ok = file.WriteInt32(static_cast<int32_t>(count)) && ok;
    for (size_t i = 0; i < count; ++i) {
      ok = WriteRecordString(file, StorableName(entry->bookmarks[i].name)) && ok;
      ok = file.WriteInt32(entry->bookmarks[i].position) && ok;
    }
  }
  return file.Close(err) && ok;
}

}  // namespace lirako

#pragma once

#include <memory>
#include <string>

#include "platform/platform.h"
#include "platform/utf.h"
#include "store/damaged_copy.h"
#include "store/load_state.h"

namespace lirako {

// Saves `store` over the file at `path` as another copy of the reader may have left it: under
// the lock of `folder` the file is read into a fresh Store, `store` is merged onto it
// (Store::MergeOnto), a file that did not load cleanly is first kept as its damaged copy, and
// `write()` writes the merged store. A file that cannot be read is left as it is. False, with
// the reason in `err`, when nothing was saved.
template <class Store, class Write>
bool SaveMerged(Platform& platform, const std::u16string& folder, const std::u16string& path,
                Store& store, Write write, std::string* err) {
  // Without the lock (a folder that admits no lock file) the save still goes ahead.
  std::unique_ptr<FolderLock> lock = platform.LockFolder(folder);
  Store disk;
  LoadState state = disk.LoadFile(platform, path);
  if (state == LoadState::kUnreadable) {
    if (err) *err = ToUtf8(path) + ": cannot be read, so it is kept as it is";
    return false;
  }
  if (state != LoadState::kMissing) store.MergeOnto(disk);
  if (state == LoadState::kDamaged && !KeepDamagedCopy(platform, path, err)) return false;
  return write();
}

}  // namespace lirako

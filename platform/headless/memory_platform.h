#pragma once

#include <map>
#include <memory>
#include <string>

#include "platform/headless/headless_platform.h"

namespace lirako {

// The headless platform with its files in memory, for runs that should touch no disk. A file
// created for writing replaces its entry in `files` when it is closed; every file may be
// replaced, and a save has no temporaries to leave and no other process to lock out.
class MemoryPlatform : public HeadlessPlatform {
 public:
  // The files by path, with their bytes.
  std::map<std::u16string, std::string> files;

  // The file at `path` from `files`, or null (reason kReasonNotFound) when there is none.
  std::unique_ptr<File> OpenForReading(const std::u16string& path,
                                       std::string* err = nullptr) override;
  // An empty file that becomes `files[path]` when it is closed.
  std::unique_ptr<File> CreateForWriting(const std::u16string& path, std::string* err) override;
  WriteAccess CheckWriteAccess(const std::u16string&) override { return WriteAccess::kWritable; }
  // True when `files` holds `path`.
  bool Exists(const std::u16string& path) override { return files.contains(path); }
  void RemoveSaveTemporaries(const std::u16string&) override {}
  // A lock that holds nothing.
  std::unique_ptr<FolderLock> LockFolder(const std::u16string& folder) override;
};

}  // namespace lirako

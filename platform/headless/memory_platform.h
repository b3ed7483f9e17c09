#pragma once

#include <map>
#include <memory>
#include <string>

#include "platform/headless/headless_platform.h"

namespace lirako {

// The headless platform with its files in memory, for runs that should touch no disk. A file
// created for writing replaces its entry in `files` when it is closed.
class MemoryPlatform : public HeadlessPlatform {
 public:
  // The files by path, with their bytes.
  std::map<std::u16string, std::string> files;

  // The file at `path` from `files`, or null (reason kReasonNotFound) when there is none.
  std::unique_ptr<File> OpenForReading(const std::u16string& path,
                                       std::string* err = nullptr) override;
  // An empty file that becomes `files[path]` when it is closed.
  std::unique_ptr<File> CreateForWriting(const std::u16string& path, std::string* err) override;
};

}  // namespace lirako

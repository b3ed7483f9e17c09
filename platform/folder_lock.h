#pragma once

namespace lirako {

// An advisory lock of a folder, shared by every running copy of the reader; held while the
// object lives.
class FolderLock {
 public:
  virtual ~FolderLock() = default;
};

}  // namespace lirako

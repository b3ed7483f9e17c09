#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace lirako {

enum class SeekOrigin { kStart, kCurrent, kEnd };

// An open file. Every transfer reports the count actually moved.
class File {
 public:
  virtual ~File() = default;

  // Reads up to `size` bytes; returns the count read, 0 at the end or on error.
  virtual size_t Read(void* buffer, size_t size) = 0;
  // Writes `size` bytes; returns the count written.
  virtual size_t Write(const void* data, size_t size) = 0;
  // Moves the file position; returns the new position, or -1 when refused.
  virtual int64_t Seek(int64_t offset, SeekOrigin origin) = 0;
  // The current position, or -1.
  virtual int64_t Tell() = 0;
  // The size in bytes from the file's status (never counted by reading).
  virtual int64_t Size() = 0;
  // The time of the last change of the content from the file's status, in nanoseconds since
  // the epoch; -1 when the file has none.
  virtual int64_t ModifiedTime() { return -1; }
  // Closes the file. A file created for writing replaces its target here, and only when
  // every write succeeded; returns false when that save failed.
  virtual bool Close() = 0;
  // Why the last failed write or Close failed (empty when nothing failed or nothing is known).
  virtual std::string FailureReason() const { return {}; }

  // Reads up to `count` items of `itemSize` bytes; returns the whole items read.
  size_t ReadItems(void* buffer, size_t itemSize, size_t count);
  // Writes `count` items of `itemSize` bytes; returns the whole items written.
  size_t WriteItems(const void* data, size_t itemSize, size_t count);
};

}  // namespace lirako

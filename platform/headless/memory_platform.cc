#include "platform/headless/memory_platform.h"

#include "platform/open_reasons.h"

#include <algorithm>
#include <cstring>

namespace lirako {
namespace {

// A file over a byte string; when `target` is set, closing stores the bytes there.
class MemoryFile : public File {
 public:
  MemoryFile(std::string bytes, std::string* target) : bytes_(std::move(bytes)), target_(target) {}

  size_t Read(void* buffer, size_t size) override {
    size_t n = std::min(size, bytes_.size() - std::min(at_, bytes_.size()));
    if (n) std::memcpy(buffer, bytes_.data() + at_, n);
    at_ += n;
    return n;
  }
  size_t Write(const void* data, size_t size) override {
    if (bytes_.size() < at_ + size) bytes_.resize(at_ + size);
    if (size) std::memcpy(bytes_.data() + at_, data, size);
    at_ += size;
    return size;
  }
  int64_t Seek(int64_t offset, SeekOrigin origin) override {
    int64_t base = origin == SeekOrigin::kStart     ? 0
                   : origin == SeekOrigin::kCurrent ? static_cast<int64_t>(at_)
                                                    : static_cast<int64_t>(bytes_.size());
    if (base + offset < 0) return -1;
    at_ = static_cast<size_t>(base + offset);
    return base + offset;
  }
  int64_t Tell() override { return static_cast<int64_t>(at_); }
  int64_t Size() override { return static_cast<int64_t>(bytes_.size()); }
  bool Close() override {
    if (target_) *target_ = bytes_;
    target_ = nullptr;
    return true;
  }

 private:
  std::string bytes_;
  std::string* target_;
  size_t at_ = 0;
};

}  // namespace

std::unique_ptr<FolderLock> MemoryPlatform::LockFolder(const std::u16string&) {
  return std::make_unique<FolderLock>();
}

std::unique_ptr<File> MemoryPlatform::OpenForReading(const std::u16string& path, std::string* err) {
  auto it = files.find(path);
  if (it == files.end()) {
    if (err) *err = kReasonNotFound;
    return nullptr;
  }
  return std::make_unique<MemoryFile>(it->second, nullptr);
}

std::unique_ptr<File> MemoryPlatform::CreateForWriting(const std::u16string& path, std::string*) {
  return std::make_unique<MemoryFile>(std::string(), &files[path]);
}

}  // namespace lirako

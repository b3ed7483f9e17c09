#include "platform/posix_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace lirako {
namespace {

off_t ToWhence(SeekOrigin origin) {
  switch (origin) {
    case SeekOrigin::kStart: return SEEK_SET;
    case SeekOrigin::kCurrent: return SEEK_CUR;
    case SeekOrigin::kEnd: return SEEK_END;
  }
  return SEEK_SET;
}

class PosixFile : public File {
 public:
  explicit PosixFile(int fd) : fd_(fd) {}
  ~PosixFile() override { PosixFile::Close(); }

  size_t Read(void* buffer, size_t size) override {
    if (fd_ < 0) return 0;
    size_t done = 0;
    char* out = static_cast<char*>(buffer);
    while (done < size) {
      ssize_t n = ::read(fd_, out + done, size - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      done += static_cast<size_t>(n);
    }
    return done;
  }

  size_t Write(const void* data, size_t size) override {
    if (fd_ < 0) return 0;
    size_t done = 0;
    const char* in = static_cast<const char*>(data);
    while (done < size) {
      ssize_t n = ::write(fd_, in + done, size - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      done += static_cast<size_t>(n);
    }
    if (done < size) failed_ = true;
    return done;
  }

  int64_t Seek(int64_t offset, SeekOrigin origin) override {
    if (fd_ < 0) return -1;
    off_t r = ::lseek(fd_, static_cast<off_t>(offset), ToWhence(origin));
    return r < 0 ? -1 : static_cast<int64_t>(r);
  }

  int64_t Tell() override { return Seek(0, SeekOrigin::kCurrent); }

  int64_t Size() override {
    struct stat st;
    if (fd_ < 0 || ::fstat(fd_, &st) != 0) return 0;
    return static_cast<int64_t>(st.st_size);
  }

  bool Close() override {
    if (fd_ < 0) return !failed_;
    ::close(fd_);
    fd_ = -1;
    return !failed_;
  }

 protected:
  int fd_;
  bool failed_ = false;
};

// Writes go to a temporary file in the target's folder; Close renames it over the target.
class AtomicFile : public PosixFile {
 public:
  AtomicFile(int fd, std::string temp, std::string target)
      : PosixFile(fd), temp_(std::move(temp)), target_(std::move(target)) {}
  ~AtomicFile() override { AtomicFile::Close(); }

  bool Close() override {
    if (fd_ < 0) return !failed_;
    if (::fsync(fd_) != 0) failed_ = true;
    PosixFile::Close();
    if (!failed_ && ::rename(temp_.c_str(), target_.c_str()) != 0) failed_ = true;
    if (failed_) ::unlink(temp_.c_str());
    return !failed_;
  }

 private:
  std::string temp_;
  std::string target_;
};

}  // namespace

std::unique_ptr<File> OpenPosixFileForReading(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat st;
  if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    ::close(fd);
    return nullptr;
  }
  // Linux cannot refuse writers; an advisory shared lock tells cooperating writers.
  ::flock(fd, LOCK_SH | LOCK_NB);
  return std::make_unique<PosixFile>(fd);
}

std::unique_ptr<File> CreateAtomicFile(const std::string& path) {
  std::string pattern = path + ".XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  int fd = ::mkstemp(name.data());
  if (fd < 0) return nullptr;
  mode_t mask = ::umask(0);
  ::umask(mask);
  ::fchmod(fd, 0666 & ~mask);
  return std::make_unique<AtomicFile>(fd, std::string(name.data()), path);
}

}  // namespace lirako

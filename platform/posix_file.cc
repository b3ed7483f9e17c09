#include "platform/posix_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/open_reasons.h"
#include "platform/save_calls.h"

namespace lirako {
namespace {

// Symbolic links followed before a chain counts as a loop (the kernel's own limit).
constexpr int kMaxLinks = 40;
// mkstemp replaces these six characters of a temporary file's name.
constexpr char kTemporarySuffix[] = ".XXXXXX";
constexpr size_t kTemporaryRandom = 6;
constexpr char kLockFileName[] = "lirako.lock";
// Another copy holds the folder lock only while it saves a few small files.
constexpr auto kLockWait = std::chrono::seconds(5);
constexpr auto kLockRetry = std::chrono::milliseconds(10);

off_t ToWhence(SeekOrigin origin) {
  switch (origin) {
    case SeekOrigin::kStart:
      return SEEK_SET;
    case SeekOrigin::kCurrent:
      return SEEK_CUR;
    case SeekOrigin::kEnd:
      return SEEK_END;
  }
  return SEEK_SET;
}

std::string FolderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string SystemError(const char* call) {
  return std::string(call) + ": " + std::strerror(errno);
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
      ssize_t n = ActiveSaveCalls().write(fd_, in + done, size - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        Fail(n < 0 ? SystemError("write") : std::string("write: nothing written"));
        break;
      }
      done += static_cast<size_t>(n);
    }
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

  int64_t ModifiedTime() override {
    struct stat st;
    if (fd_ < 0 || ::fstat(fd_, &st) != 0) return -1;
    return static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  }

  bool Close() override {
    if (fd_ < 0) return !failed();
    ::close(fd_);
    fd_ = -1;
    return !failed();
  }

  std::string FailureReason() const override { return failure_; }

 protected:
  bool failed() const { return !failure_.empty(); }
  // Keeps the first failure: later ones follow from it.
  void Fail(std::string reason) {
    if (failure_.empty()) failure_ = std::move(reason);
  }

  int fd_;

 private:
  std::string failure_;
};

// Writes go to a temporary file in the target's folder; Close makes the new contents
// durable, renames them over the target and makes the rename durable.
class AtomicFile : public PosixFile {
 public:
  AtomicFile(int fd, std::string temp, std::string target)
      : PosixFile(fd), temp_(std::move(temp)), target_(std::move(target)) {}
  ~AtomicFile() override { AtomicFile::Close(); }

  bool Close() override {
    if (fd_ < 0) return !failed();
    const SaveCalls& calls = ActiveSaveCalls();
    if (!failed() && calls.fsync(fd_) != 0) Fail(SystemError("fsync"));
    // A failing close may mean the data never reached the disk (network file systems).
    if (calls.close(fd_) != 0) Fail(SystemError("close"));
    fd_ = -1;
    if (!failed() && calls.rename(temp_.c_str(), target_.c_str()) != 0) {
      Fail(SystemError("rename"));
    }
    if (failed()) {
      ::unlink(temp_.c_str());
      return false;
    }
    SyncFolder();
    return !failed();
  }

 private:
  // The new name lives in the folder; until the folder is on disk a power cut can lose it.
  void SyncFolder() {
    int folder = ::open(FolderOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) {
      Fail(SystemError("open folder"));
      return;
    }
    if (ActiveSaveCalls().fsyncFolder(folder) != 0) Fail(SystemError("fsync folder"));
    ::close(folder);
  }

  std::string temp_;
  std::string target_;
};

class PosixFolderLock : public FolderLock {
 public:
  explicit PosixFolderLock(int fd) : fd_(fd) {}
  ~PosixFolderLock() override { ::close(fd_); }  // closing releases the lock

 private:
  int fd_;
};

std::string AccessRefusal(WriteAccess access) {
  switch (access) {
    case WriteAccess::kWritable:
      return {};
    case WriteAccess::kUnreadableFile:
      return "the file cannot be read, so it is kept as it is";
    case WriteAccess::kReadOnlyFile:
      return "the file is read-only";
    case WriteAccess::kNotAFile:
      return "not a regular file";
    case WriteAccess::kReadOnlyFolder:
      return "its folder does not admit new files";
  }
  return {};
}

// True when the six characters mkstemp chose are all lower-case letters, as in a word a
// person might have chosen ("backup").
bool IsWordSuffix(std::string_view suffix) {
  return std::all_of(suffix.begin(), suffix.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

// A name CreateAtomicFile made from `name`: six letters and digits after a dot, not all of
// them lower-case letters (such a file is a person's, and is left alone).
bool IsTemporaryOf(const std::string& entry, const std::string& name) {
  if (entry.size() != name.size() + 1 + kTemporaryRandom) return false;
  if (entry.compare(0, name.size(), name) != 0 || entry[name.size()] != '.') return false;
  std::string_view suffix = std::string_view(entry).substr(name.size() + 1);
  bool alnum = std::all_of(suffix.begin(), suffix.end(), [](char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
  });
  return alnum && !IsWordSuffix(suffix);
}

// mkstemp beside `target`, again while the name comes out as a word, so that removing
// stale temporaries never mistakes a person's file for one of ours or one of ours for theirs.
int MakeTemporary(const std::string& target, std::string* name) {
  for (;;) {
    std::string pattern = target + kTemporarySuffix;
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    int fd = ::mkstemp(buffer.data());
    if (fd < 0) return fd;
    *name = buffer.data();
    if (!IsWordSuffix(std::string_view(*name).substr(name->size() - kTemporaryRandom))) return fd;
    ::close(fd);
    ::unlink(name->c_str());
  }
}

std::string OpenErrorReason(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      return kReasonNotFound;
    case EACCES:
    case EPERM:
      return kReasonNoPermission;
    case EISDIR:
      return kReasonFolder;
    case ENXIO:  // a socket, or a device without its driver
    case ENODEV:
      return kReasonNotRegularFile;
    case EFBIG:
    case EOVERFLOW:
      return kReasonTooLarge;
    case ENAMETOOLONG:
      return kReasonNameTooLong;
    default:
      return std::strerror(error);
  }
}

// The reason a file of this status is not read, or null for a regular file.
const char* RefusedKind(const struct stat& st) {
  if (S_ISREG(st.st_mode)) return nullptr;
  return S_ISDIR(st.st_mode) ? kReasonFolder : kReasonNotRegularFile;
}

std::unique_ptr<File> Refuse(std::string reason, std::string* err) {
  if (err) *err = std::move(reason);
  return nullptr;
}

}  // namespace

std::unique_ptr<File> OpenPosixFileForReading(const std::string& path, std::string* err) {
  // The kind is checked before opening, so that no device is ever opened, and again on the
  // open file, which O_NONBLOCK keeps from waiting for a writer should a FIFO take the
  // file's place in between.
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return Refuse(OpenErrorReason(errno), err);
  if (const char* kind = RefusedKind(st)) return Refuse(kind, err);
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return Refuse(OpenErrorReason(errno), err);
  const char* kind = ::fstat(fd, &st) != 0 ? kReasonNotRegularFile : RefusedKind(st);
  if (kind) {
    ::close(fd);
    return Refuse(kind, err);
  }
  // Reads of a regular file never wait; the flag goes all the same.
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  // Linux cannot refuse writers; an advisory shared lock tells cooperating writers.
  ::flock(fd, LOCK_SH | LOCK_NB);
  return std::make_unique<PosixFile>(fd);
}

std::string ResolveLinks(const std::string& path) {
  std::string current = path;
  for (int i = 0; i < kMaxLinks; ++i) {
    struct stat st;
    if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
    std::vector<char> target(static_cast<size_t>(st.st_size > 0 ? st.st_size : 4095) + 1);
    ssize_t n = ::readlink(current.c_str(), target.data(), target.size());
    if (n <= 0 || static_cast<size_t>(n) >= target.size()) return {};
    std::string next(target.data(), static_cast<size_t>(n));
    current = next[0] == '/' ? next : FolderOf(current) + "/" + next;
  }
  return {};
}

WriteAccess CheckWriteAccess(const std::string& path) {
  std::string target = ResolveLinks(path);
  if (target.empty()) return WriteAccess::kNotAFile;
  struct stat st;
  if (::stat(target.c_str(), &st) == 0) {
    if (!S_ISREG(st.st_mode)) return WriteAccess::kNotAFile;
    // The permission bits count even for a user whom the system lets past them (root).
    if ((st.st_mode & 0444) == 0 || ::access(target.c_str(), R_OK) != 0) {
      return WriteAccess::kUnreadableFile;
    }
    if ((st.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0) {
      return WriteAccess::kReadOnlyFile;
    }
  }
  if (::access(FolderOf(target).c_str(), W_OK | X_OK) != 0) return WriteAccess::kReadOnlyFolder;
  return WriteAccess::kWritable;
}

std::unique_ptr<File> CreateAtomicFile(const std::string& path, std::string* err) {
  auto refuse = [&](std::string reason) -> std::unique_ptr<File> {
    if (err) *err = path + ": " + reason;
    return nullptr;
  };
  WriteAccess access = CheckWriteAccess(path);
  if (access != WriteAccess::kWritable) return refuse(AccessRefusal(access));
  std::string target = ResolveLinks(path);
  // The replacement keeps the mode of the file it replaces; a new file gets the usual one.
  mode_t mode = 0;
  struct stat st;
  if (::stat(target.c_str(), &st) == 0) {
    mode = st.st_mode & 07777;
  } else {
    mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  std::string name;
  int fd = MakeTemporary(target, &name);
  if (fd < 0) return refuse(SystemError("mkstemp"));
  if (ActiveSaveCalls().fchmod(fd, mode) != 0) {
    std::string reason = SystemError("fchmod");
    ::close(fd);
    ::unlink(name.c_str());
    return refuse(reason);
  }
  return std::make_unique<AtomicFile>(fd, name, target);
}

void RemoveAtomicTemporaries(const std::string& path) {
  std::string target = ResolveLinks(path);
  if (target.empty()) return;
  std::string folder = FolderOf(target);
  std::string name = NameOf(target);
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  std::vector<std::string> stale;
  while (dirent* entry = ::readdir(dir)) {
    if (IsTemporaryOf(entry->d_name, name)) stale.push_back(folder + "/" + entry->d_name);
  }
  ::closedir(dir);
  for (const std::string& file : stale)
    ::unlink(file.c_str());
}

std::unique_ptr<FolderLock> LockPosixFolder(const std::string& folder) {
  std::string path = folder + "/" + kLockFileName;
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  // A folder that admits no new files may still hold the lock file of an earlier run.
  if (fd < 0) fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  auto deadline = std::chrono::steady_clock::now() + kLockWait;
  while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    bool busy = errno == EWOULDBLOCK || errno == EINTR;
    if (!busy || std::chrono::steady_clock::now() >= deadline) {
      ::close(fd);
      return nullptr;
    }
    std::this_thread::sleep_for(kLockRetry);
  }
  return std::make_unique<PosixFolderLock>(fd);
}

}  // namespace lirako

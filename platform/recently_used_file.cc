#include "platform/recently_used_file.h"

#include <fcntl.h>
#include <glib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>
#include <vector>

#include "platform/posix_file.h"

namespace lirako {
namespace {

constexpr char kApplication[] = "lirako";
constexpr char kExec[] = "lirako %u";
constexpr char kPlainText[] = "text/plain";
// The desktop's list stays small; a larger file is not rewritten.
constexpr off_t kMaxXbelBytes = 64 << 20;
// Rounds of read, change and rename before giving up on a file others keep replacing.
constexpr int kAttempts = 50;
// Another copy of the reader holds the file's lock only while it rewrites the file.
constexpr auto kLockWait = std::chrono::seconds(5);
constexpr auto kLockRetry = std::chrono::milliseconds(5);

// What tells one version of the file from another: a writer replaces it by a rename (a new
// inode) or changes it in place (a new size or modification time).
struct Version {
  bool exists = false;
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  timespec modified{};

  bool operator==(const Version& o) const {
    return exists == o.exists && device == o.device && inode == o.inode && size == o.size &&
           modified.tv_sec == o.modified.tv_sec && modified.tv_nsec == o.modified.tv_nsec;
  }
};

Version VersionOf(const std::string& path) {
  struct stat st;
  Version v;
  if (::stat(path.c_str(), &st) != 0) return v;
  v.exists = true;
  v.device = st.st_dev;
  v.inode = st.st_ino;
  v.size = st.st_size;
  v.modified = st.st_mtim;
  return v;
}

std::string FolderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Holds the advisory lock of the file that `path` names now (none when there is no file, or
// when another copy keeps it past the wait: the version check still guards the rename).
class CopyLock {
 public:
  explicit CopyLock(const std::string& path) {
    const auto deadline = std::chrono::steady_clock::now() + kLockWait;
    while (std::chrono::steady_clock::now() < deadline) {
      fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
      if (fd_ < 0) return;
      while (::flock(fd_, LOCK_EX | LOCK_NB) != 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(kLockRetry);
      struct stat held;
      struct stat named;
      // The holder may have replaced the file meanwhile: the lock of the old one guards
      // nothing.
      if (::fstat(fd_, &held) == 0 && ::stat(path.c_str(), &named) == 0 &&
          held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
        return;
      }
      Release();
    }
  }
  ~CopyLock() { Release(); }
  CopyLock(const CopyLock&) = delete;
  CopyLock& operator=(const CopyLock&) = delete;

 private:
  void Release() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }
  int fd_ = -1;
};

GDateTime* DateTimeOf(std::chrono::system_clock::time_point now) {
  const auto micros =
      std::chrono::duration_cast<std::chrono::microseconds>(now.time_since_epoch()).count();
  GDateTime* seconds = g_date_time_new_from_unix_utc(micros / 1000000);
  GDateTime* exact = g_date_time_add(seconds, micros % 1000000);
  g_date_time_unref(seconds);
  return exact;
}

// The reader's visit of `uri`, as GTK programs record theirs.
bool Visit(GBookmarkFile* file, const char* uri, GDateTime* now, std::string* err) {
  if (!g_bookmark_file_has_item(file, uri)) g_bookmark_file_set_added_date_time(file, uri, now);
  gchar* mimeType = g_bookmark_file_get_mime_type(file, uri, nullptr);
  if (!mimeType) g_bookmark_file_set_mime_type(file, uri, kPlainText);
  g_free(mimeType);
  g_bookmark_file_set_modified_date_time(file, uri, now);
  g_bookmark_file_set_visited_date_time(file, uri, now);
  guint count = 0;
  if (!g_bookmark_file_get_application_info(file, uri, kApplication, nullptr, &count, nullptr,
                                            nullptr)) {
    count = 0;
  }
  GError* error = nullptr;
  if (!g_bookmark_file_set_application_info(file, uri, kApplication, kExec,
                                            static_cast<int>(count + 1), now, &error)) {
    if (err) *err = error->message;
    g_error_free(error);
    return false;
  }
  return true;
}

enum class Replaced { kDone, kChangedMeanwhile, kFailed };

// Puts `data` in place of the file `path` (a new file when `read` says there was none),
// unless the file is no longer the version `read`.
Replaced ReplaceIfUnchanged(const std::string& path, const Version& read, const char* data,
                            size_t length, std::string* err) {
  auto fail = [&](const char* call) {
    if (err) *err = path + ": " + call + ": " + std::strerror(errno);
    return Replaced::kFailed;
  };
  std::string pattern = path + ".XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  int fd = ::mkstemp(name.data());
  if (fd < 0) return fail("mkstemp");
  struct stat st;
  // The list says what the user read: a new one is the user's alone.
  mode_t mode = read.exists && ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0600;
  size_t done = 0;
  bool written = ::fchmod(fd, mode) == 0;
  while (written && done < length) {
    ssize_t n = ::write(fd, data + done, length - done);
    if (n < 0 && errno == EINTR) continue;
    written = n > 0;
    if (written) done += static_cast<size_t>(n);
  }
  written = written && ::fsync(fd) == 0;
  written = ::close(fd) == 0 && written;
  Replaced outcome = Replaced::kDone;
  if (!written) {
    outcome = fail("write");
  } else if (!(VersionOf(path) == read)) {
    outcome = Replaced::kChangedMeanwhile;
  } else if (read.exists ? ::rename(name.data(), path.c_str()) != 0
                         : ::link(name.data(), path.c_str()) != 0) {
    // Without a file before, link refuses to replace one another writer made meanwhile.
    outcome = errno == EEXIST ? Replaced::kChangedMeanwhile : fail("rename");
  }
  ::unlink(name.data());  // the temporary name, or a second name of the new file
  if (outcome == Replaced::kDone) {
    int folder = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
      ::fsync(folder);
      ::close(folder);
    }
  }
  return outcome;
}

// One round of read, change and replace.
Replaced RecordOnce(const std::string& path, const char* uri, GDateTime* now, std::string* err) {
  CopyLock lock(path);
  const Version read = VersionOf(path);
  if (read.size > kMaxXbelBytes) {
    if (err) *err = path + " is too large to rewrite";
    return Replaced::kFailed;
  }
  GBookmarkFile* file = g_bookmark_file_new();
  GError* error = nullptr;
  Replaced outcome = Replaced::kFailed;
  if (read.exists && !g_bookmark_file_load_from_file(file, path.c_str(), &error)) {
    // Gone between the look and the read: another writer's rename.
    if (g_error_matches(error, G_FILE_ERROR, G_FILE_ERROR_NOENT)) {
      outcome = Replaced::kChangedMeanwhile;
    } else if (err) {
      *err = path + ": " + error->message;
    }
    g_error_free(error);
  } else if (Visit(file, uri, now, err)) {
    gsize length = 0;
    gchar* data = g_bookmark_file_to_data(file, &length, nullptr);
    outcome = data ? ReplaceIfUnchanged(path, read, data, length, err) : Replaced::kFailed;
    g_free(data);
  }
  g_bookmark_file_free(file);
  return outcome;
}

}  // namespace

bool RecordRecentlyUsed(const std::string& xbelPath, const std::string& path,
                        std::chrono::system_clock::time_point now, std::string* err) {
  const std::string target = ResolveLinks(xbelPath);
  if (target.empty()) {
    if (err) *err = xbelPath + ": symbolic links in a loop";
    return false;
  }
  GError* error = nullptr;
  gchar* uri = g_filename_to_uri(path.c_str(), nullptr, &error);
  if (!uri) {
    if (err) *err = error->message;
    g_error_free(error);
    return false;
  }
  GDateTime* stamp = DateTimeOf(now);
  Replaced outcome = Replaced::kChangedMeanwhile;
  for (int attempt = 0; attempt < kAttempts && outcome == Replaced::kChangedMeanwhile; ++attempt)
    outcome = RecordOnce(target, uri, stamp, err);
  if (outcome == Replaced::kChangedMeanwhile && err) {
    *err = xbelPath + " kept changing while it was rewritten";
  }
  g_date_time_unref(stamp);
  g_free(uri);
  return outcome == Replaced::kDone;
}

}  // namespace lirako

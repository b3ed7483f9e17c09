#include "platform/inotify_watch.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <cstring>

namespace lirako {

std::unique_ptr<InotifyWatch> InotifyWatch::Create(const std::string& path) {
  const size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "."
                             : slash == 0               ? "/"
                                                        : path.substr(0, slash);
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  if (name.empty()) return nullptr;
  const int fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (fd < 0) return nullptr;
  constexpr uint32_t kEvents = IN_MODIFY | IN_CLOSE_WRITE | IN_ATTRIB | IN_CREATE | IN_DELETE |
                               IN_MOVED_FROM | IN_MOVED_TO | IN_ONLYDIR;
  if (::inotify_add_watch(fd, folder.c_str(), kEvents) < 0) {
    ::close(fd);
    return nullptr;
  }
  return std::unique_ptr<InotifyWatch>(new InotifyWatch(fd, std::move(name)));
}

InotifyWatch::~InotifyWatch() {
  ::close(fd_);
}

bool InotifyWatch::Drain() {
  bool named = false;
  alignas(inotify_event) char buffer[16 * 1024];
  while (true) {
    const ssize_t n = ::read(fd_, buffer, sizeof buffer);
    if (n <= 0) break;
    for (ssize_t at = 0; at < n;) {
      inotify_event event;
      std::memcpy(&event, buffer + at, sizeof event);
      const char* name = buffer + at + sizeof event;
      if (event.len > 0 && name_ == name) named = true;
      // The folder itself went away: the file went with it.
      if (event.mask & (IN_IGNORED | IN_Q_OVERFLOW)) named = true;
      at += static_cast<ssize_t>(sizeof event + event.len);
    }
  }
  return named;
}

}  // namespace lirako

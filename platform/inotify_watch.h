#pragma once

#include <memory>
#include <string>

namespace lirako {

// The Linux side of a file watch: an inotify descriptor watching the folder of a file for
// events that name the file (written, attributes, created, removed, renamed to or from), so
// that a file replaced by a rename or removed while the reader holds it open is noticed too.
class InotifyWatch {
 public:
  // Null when the folder of `path` (bytes) cannot be watched.
  static std::unique_ptr<InotifyWatch> Create(const std::string& path);
  ~InotifyWatch();
  InotifyWatch(const InotifyWatch&) = delete;
  InotifyWatch& operator=(const InotifyWatch&) = delete;

  // The descriptor to wait on for reading; it never blocks.
  int fd() const { return fd_; }
  // Reads every pending event; true when one of them names the file.
  bool Drain();

 private:
  InotifyWatch(int fd, std::string name) : fd_(fd), name_(std::move(name)) {}

  int fd_;
  std::string name_;
};

}  // namespace lirako

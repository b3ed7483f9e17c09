#include "tests/support/fifo_watchdog.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lirako::testing {

FifoWatchdog::FifoWatchdog(std::string path, std::chrono::milliseconds patience)
    : path_(std::move(path)) {
  ::mkfifo(path_.c_str(), 0644);
  thread_ = std::thread([this, patience] {
    constexpr std::chrono::milliseconds kRetry(100);
    std::unique_lock<std::mutex> lock(mutex_);
    std::chrono::milliseconds wait = patience;
    // Every blocked open is released in turn until the test ends.
    while (!done_.wait_for(lock, wait, [this] { return stopping_; })) {
      // Succeeds only while some reader has the FIFO open or is waiting in open().
      int fd = ::open(path_.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
      if (fd >= 0) {
        fired_ = true;
        ::close(fd);
      }
      wait = kRetry;
    }
  });
}

FifoWatchdog::~FifoWatchdog() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  done_.notify_all();
  thread_.join();
  ::unlink(path_.c_str());
}

}  // namespace lirako::testing

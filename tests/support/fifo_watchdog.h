#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace lirako::testing {

// Makes a FIFO at `path` and, should the test still run after `patience`, keeps opening its
// writing end, which releases every open() blocked on the reading end. A test that would hang
// forever on the FIFO so fails instead; `fired()` tells whether the release was needed.
class FifoWatchdog {
 public:
  explicit FifoWatchdog(std::string path,
                        std::chrono::milliseconds patience = std::chrono::seconds(5));
  ~FifoWatchdog();
  FifoWatchdog(const FifoWatchdog&) = delete;
  FifoWatchdog& operator=(const FifoWatchdog&) = delete;

  const std::string& path() const { return path_; }
  // True when a reader had to be released (it was blocked, or the FIFO was open anyway).
  bool fired() const { return fired_; }

 private:
  std::string path_;
  std::atomic<bool> fired_{false};
  std::mutex mutex_;
  std::condition_variable done_;
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace lirako::testing

#pragma once

#include <atomic>
#include <functional>
#include <mutex>

namespace lirako {

// Tells one listener that a background job has news: called on the job's thread, at most
// once until the listener acknowledges, so that a listener posting to the window's thread
// never floods it.
class ChangeNotifier {
 public:
  // Replaces the listener (empty: none), waiting for a call in progress to return.
  void Set(std::function<void()> listener);
  // The job has news: calls the listener unless its last call is not acknowledged yet.
  void Notify();
  // The listener has taken the news: the next Notify calls it again.
  void Acknowledge() { pending_ = false; }

 private:
  std::mutex mutex_;
  std::function<void()> listener_;
  std::atomic<bool> pending_{false};
};

}  // namespace lirako

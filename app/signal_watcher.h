#pragma once

#include <functional>
#include <memory>

class QSocketNotifier;

namespace lirako {

// Brings the termination signals (SIGTERM, SIGHUP, SIGINT) into the event loop: the handler
// only writes the signal's number into a pipe, whose reading end a socket notifier watches,
// and `onSignal` runs on the event loop's thread. One watcher at a time; the signals get
// their default handling back when it goes. Should the pipe or a handler fail, the signals
// keep their default handling.
class SignalWatcher {
 public:
  explicit SignalWatcher(std::function<void(int signal)> onSignal);
  ~SignalWatcher();
  SignalWatcher(const SignalWatcher&) = delete;
  SignalWatcher& operator=(const SignalWatcher&) = delete;

 private:
  void Drain();

  std::function<void(int)> onSignal_;
  std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace lirako

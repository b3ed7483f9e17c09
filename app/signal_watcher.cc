#include "app/signal_watcher.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include <QSocketNotifier>

namespace lirako {
namespace {

constexpr int kWatchedSignals[] = {SIGTERM, SIGHUP, SIGINT};

// The pipe of the one watcher: [0] read by the event loop, [1] written by the handler.
int signalPipe[2] = {-1, -1};

void OnSignal(int signal) {
  const int savedErrno = errno;
  const unsigned char number = static_cast<unsigned char>(signal);
  // A full pipe already holds a signal to act on; losing this one changes nothing.
  [[maybe_unused]] ssize_t written = ::write(signalPipe[1], &number, 1);
  errno = savedErrno;
}

void ClosePipe() {
  for (int& fd : signalPipe) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
}

}  // namespace

SignalWatcher::SignalWatcher(std::function<void(int)> onSignal) : onSignal_(std::move(onSignal)) {
  if (signalPipe[0] >= 0 || ::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  struct sigaction action = {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int signal : kWatchedSignals) {
    if (::sigaction(signal, &action, nullptr) != 0) {
      for (int set : kWatchedSignals)
        std::signal(set, SIG_DFL);
      ClosePipe();
      return;
    }
  }
  notifier_ = std::make_unique<QSocketNotifier>(signalPipe[0], QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { Drain(); });
}

SignalWatcher::~SignalWatcher() {
  if (!notifier_) return;
  notifier_.reset();
  for (int signal : kWatchedSignals)
    std::signal(signal, SIG_DFL);
  ClosePipe();
}

void SignalWatcher::Drain() {
  unsigned char numbers[16];
  ssize_t n;
  while ((n = ::read(signalPipe[0], numbers, sizeof numbers)) > 0) {
    for (ssize_t i = 0; i < n; ++i)
      onSignal_(numbers[i]);
  }
}

}  // namespace lirako

#include "view/change_notifier.h"

namespace lirako {

void ChangeNotifier::Set(std::function<void()> listener) {
  std::lock_guard<std::mutex> lock(mutex_);
  listener_ = std::move(listener);
  pending_ = false;
}

void ChangeNotifier::Notify() {
  if (pending_.exchange(true)) return;
  std::lock_guard<std::mutex> lock(mutex_);
  if (listener_) {
    listener_();
  } else {
    pending_ = false;
  }
}

}  // namespace lirako

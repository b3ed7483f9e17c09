#include "view/search_all_job.h"

#include <algorithm>

#include "platform/background_thread.h"

namespace lirako {

SearchAllJob::SearchAllJob(Platform& platform, const std::u16string& path, TextEncoding encoding,
                           bool joinLines, const std::u16string& text, int options,
                           int contextCharacters) {
  worker_ = std::thread([=, this, &platform] {
    YieldToForeground();
    SearchAll search(platform, encoding);
    search.SetJoinLines(joinLines);
    SearchAll::Callbacks callbacks;
    callbacks.found = [this](SearchHit&& hit) {
      {
        std::lock_guard<std::mutex> lock(mutex_);
        hits_.push_back(std::move(hit));
      }
      notifier_.Notify();
    };
    callbacks.progress = [this](int32_t position, int32_t size) {
      permille_ = size > 0 ? static_cast<int>(int64_t{position} * 1000 / size) : 1000;
      notifier_.Notify();
    };
    callbacks.cancel = &cancel_;
    search.Run(path, text, options, contextCharacters, callbacks, nullptr);
    permille_ = 1000;
    done_ = true;
    notifier_.Notify();
  });
}

SearchAllJob::~SearchAllJob() {
  Cancel();
}

void SearchAllJob::Cancel() {
  cancel_ = true;
  if (worker_.joinable()) worker_.join();
}

bool SearchAllJob::capped() const {
  return done() && size() >= SearchAll::kMaxHits;
}

size_t SearchAllJob::size() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return hits_.size();
}

std::vector<SearchHit> SearchAllJob::Hits(size_t first, size_t count) const {
  std::lock_guard<std::mutex> lock(mutex_);
  if (first >= hits_.size()) return {};
  const size_t last = std::min(hits_.size(), first + count);
  return std::vector<SearchHit>(hits_.begin() + static_cast<ptrdiff_t>(first),
                                hits_.begin() + static_cast<ptrdiff_t>(last));
}

std::optional<SearchHit> SearchAllJob::At(size_t index) const {
  std::lock_guard<std::mutex> lock(mutex_);
  if (index >= hits_.size()) return std::nullopt;
  return hits_[index];
}

}  // namespace lirako

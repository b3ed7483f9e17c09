#include "view/rule_count_job.h"

#include <memory>

#include "platform/background_thread.h"

namespace lirako {

RuleCountJob::RuleCountJob(Platform& platform, const std::u16string& path, TextEncoding encoding,
                           const std::string& userRule) {
  std::string err;
  if (!rules_.SetUserRule(userRule, &err)) {
    state_ = State::kFailed;
    error_ = err;
    return;
  }
  // Taken here: the view may change the code page 949 conversion while the count runs.
  if (encoding == TextEncoding::kCp949) cp949_ = Cp949Snapshot::Take(platform);
  worker_ = std::thread(&RuleCountJob::Run, this, std::ref(platform), path, encoding);
}

RuleCountJob::~RuleCountJob() {
  Cancel();
}

void RuleCountJob::Cancel() {
  cancel_ = true;
  if (worker_.joinable()) worker_.join();
}

void RuleCountJob::Run(Platform& platform, std::u16string path, TextEncoding encoding) {
  YieldToForeground();
  std::string err;
  RuleCensus census;
  bool counted = false;
  if (std::unique_ptr<File> file = platform.OpenForReading(path, &err)) {
    ChapterScanner::Callbacks callbacks;
    callbacks.cancel = &cancel_;
    counted = RuleCensus::Take(*file, rules_, encoding, cp949_, callbacks, &census, &err);
    if (!counted && cancel_) return;
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    state_ = counted ? State::kDone : State::kFailed;
    census_ = std::move(census);
    error_ = std::move(err);
  }
  notifier_.Notify();
}

RuleCountJob::State RuleCountJob::state() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return state_;
}

RuleCensus RuleCountJob::census() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return census_;
}

std::string RuleCountJob::error() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return error_;
}

}  // namespace lirako

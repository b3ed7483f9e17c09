#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "engine/rule_census.h"
#include "engine/text_encoding.h"
#include "platform/platform.h"
#include "view/change_notifier.h"

namespace lirako {

// Counts the chapters every heading rule finds in a book (RuleCensus) on a thread of its
// own, with its own file, so that a dialog stays responsive while it reads the whole book.
// Stopped (and waited for) when cancelled or destroyed. Every operation may be called on
// the view's thread meanwhile.
class RuleCountJob {
 public:
  enum class State {
    kCounting,  // the thread is reading the book
    kDone,      // census() holds the counts
    kFailed,    // no counts: see error()
  };

  // Starts counting in the book at `path`, stored in `encoding`, with the built-in rules and
  // `userRule` (empty: none). A rule that is not a valid pattern fails at once.
  RuleCountJob(Platform& platform, const std::u16string& path, TextEncoding encoding,
               const std::string& userRule);
  ~RuleCountJob();
  RuleCountJob(const RuleCountJob&) = delete;
  RuleCountJob& operator=(const RuleCountJob&) = delete;

  // Stops the count and waits for its thread; the state stays kCounting.
  void Cancel();
  // Calls `listener` (empty: none) on the count's thread when the count ended, once until
  // Acknowledge(). Setting another one waits for a call in progress to return.
  void SetListener(std::function<void()> listener) { notifier_.Set(std::move(listener)); }
  void Acknowledge() { notifier_.Acknowledge(); }

  State state() const;
  // The counts, once kDone.
  RuleCensus census() const;
  // Why the count failed.
  std::string error() const;

 private:
  void Run(Platform& platform, std::u16string path, TextEncoding encoding);

  mutable std::mutex mutex_;
  State state_ = State::kCounting;
  RuleCensus census_;
  std::string error_;
  HeadingRules rules_;
  std::shared_ptr<const Cp949Snapshot> cp949_;
  std::atomic<bool> cancel_{false};
  ChangeNotifier notifier_;
  std::thread worker_;
};

}  // namespace lirako

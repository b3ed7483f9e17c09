#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "engine/chapter_corrections.h"
#include "engine/chapter_scanner.h"
#include "engine/text_encoding.h"
#include "platform/platform.h"
#include "view/change_notifier.h"

namespace lirako {

// The chapters of the open book. They are found on a thread of its own, which reads the
// book through its own file (never the view's engine), so that paging never waits; or they
// come from the book's cache file when it is still valid. Every operation may be called on
// the view's thread while the scan runs.
class ChapterList {
 public:
  enum class State {
    kNone,      // nothing asked
    kScanning,  // the thread is looking
    kDone,      // every chapter is in
    kFailed,    // no scan: see error()
  };

  ChapterList() = default;
  // Stops a running scan.
  ~ChapterList();
  ChapterList(const ChapterList&) = delete;
  ChapterList& operator=(const ChapterList&) = delete;

  // Forgets the chapters and starts finding those of the book at `path`, stored in
  // `encoding`, with the built-in rules and `userRule` (empty: none): all of them together,
  // or the chapters of the one rule named `chosenRule` alone (ChapterOutline::OfRule). The
  // cache file `cacheFile` (empty: none) is read first and written after a complete scan. A
  // user rule that is not a valid pattern fails at once, with the reason, and nothing is
  // scanned.
  void Start(Platform& platform, const std::u16string& path, TextEncoding encoding,
             const std::string& userRule, const std::string& chosenRule,
             const std::u16string& cacheFile);
  // Stops a running scan (waiting for its thread) and forgets the chapters (the corrections
  // stay).
  void Stop();
  // The reader's corrections, applied to the chapters found from now on (and at once to a
  // finished list). The cache keeps the chapters as found.
  void SetCorrections(ChapterCorrections corrections);
  // Holds the scan between two blocks of the book until `limit` from now, so that a page
  // turn has the processor to itself; a shorter hold than the one running takes its place
  // at once (zero lets the scan go on).
  void Hold(std::chrono::milliseconds limit);

  // Calls `listener` (empty: none) on the scan's thread whenever chapters were found or
  // the scan went on or ended, at most once until the listener has called Acknowledge().
  // Setting another one waits for a call in progress to return.
  // Listening leaves the chapters as they are, so a reader of the list may listen.
  void SetListener(std::function<void()> listener) const { notifier_.Set(std::move(listener)); }
  // The listener has taken the news: the next change calls it again.
  void Acknowledge() const { notifier_.Acknowledge(); }
  // The same news for the reader view, which keeps listening while a list dialog comes and
  // goes: `listener` (empty: none) is called on the scan's thread, at most once until
  // AcknowledgeView().
  void SetViewListener(std::function<void()> listener) const {
    viewNotifier_.Set(std::move(listener));
  }
  void AcknowledgeView() const { viewNotifier_.Acknowledge(); }

  State state() const;
  // Why the list failed.
  std::string error() const;
  // How much of the book the scan has read, in thousandths.
  int Permille() const { return permille_.load(); }
  // The chapters came from the cache file.
  bool fromCache() const { return fromCache_.load(); }

  size_t size() const;
  // The chapters from index `first` on, in book order.
  std::vector<Chapter> Chapters(size_t first = 0) const;
  std::optional<Chapter> At(size_t index) const;
  // The index of the last chapter that starts at or before `position`, or -1.
  int IndexAt(int32_t position) const;
  // The title of that chapter, after its volume's as "권 › 장" when it is in one; empty
  // before the first chapter and in a section by size.
  std::string TitleAt(int32_t position) const;

 private:
  void Run(Platform& platform, std::u16string path, TextEncoding encoding,
           std::u16string cacheFile);
  // Tells both listeners that the chapters or the scan changed.
  void Notify() const {
    notifier_.Notify();
    viewNotifier_.Notify();
  }

  mutable std::mutex mutex_;
  std::vector<Chapter> chapters_;
  // The chapters as the scan or the cache found them, before the corrections.
  std::vector<Chapter> found_;
  ChapterCorrections corrections_;
  State state_ = State::kNone;
  std::string error_;
  std::atomic<int> permille_{0};
  std::atomic<bool> fromCache_{false};
  std::atomic<bool> cancel_{false};
  // The scan waits before its next block until this time (guarded by mutex_).
  std::chrono::steady_clock::time_point holdUntil_;
  std::condition_variable released_;
  HeadingRules rules_;
  std::string userRule_;
  std::string chosenRule_;
  std::shared_ptr<const Cp949Snapshot> cp949_;
  mutable ChangeNotifier notifier_;
  mutable ChangeNotifier viewNotifier_;
  std::thread worker_;
};

}  // namespace lirako

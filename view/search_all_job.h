#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "engine/search_all.h"
#include "platform/platform.h"
#include "view/change_notifier.h"

namespace lirako {

// A search for every hit of a text in the open book, on a thread of its own with its own
// file, so that the list fills while the user looks at it. Stopped (and waited for) when
// cancelled or destroyed. Every operation may be called on the view's thread meanwhile.
class SearchAllJob {
 public:
  // Starts searching the book at `path`, stored in `encoding` and read with lines joined
  // when `joinLines`, for `text` with the search `options` of FindNext, each hit with
  // `contextCharacters` characters either side.
  SearchAllJob(Platform& platform, const std::u16string& path, TextEncoding encoding,
               bool joinLines, const std::u16string& text, int options, int contextCharacters);
  ~SearchAllJob();
  SearchAllJob(const SearchAllJob&) = delete;
  SearchAllJob& operator=(const SearchAllJob&) = delete;

  // Stops the search and waits for its thread.
  void Cancel();
  // Calls `listener` (empty: none) on the search's thread when hits were found or the
  // search went on or ended, once until Acknowledge(). Setting another one waits for a call
  // in progress to return.
  void SetListener(std::function<void()> listener) { notifier_.Set(std::move(listener)); }
  void Acknowledge() { notifier_.Acknowledge(); }
  // The search has ended (the whole book read, the cap reached, cancelled or failed).
  bool done() const { return done_.load(); }
  // It ended at SearchAll::kMaxHits hits.
  bool capped() const;
  // How much of the book is searched, in thousandths.
  int Permille() const { return permille_.load(); }
  size_t size() const;
  // Up to `count` hits from index `first` on, in book order.
  std::vector<SearchHit> Hits(size_t first, size_t count) const;
  std::optional<SearchHit> At(size_t index) const;

 private:
  mutable std::mutex mutex_;
  ChangeNotifier notifier_;
  std::vector<SearchHit> hits_;
  std::atomic<bool> cancel_{false};
  std::atomic<bool> done_{false};
  std::atomic<int> permille_{0};
  std::thread worker_;
};

}  // namespace lirako

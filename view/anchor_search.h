#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <thread>

#include "engine/text_encoding.h"
#include "platform/platform.h"

namespace lirako {

// The search for a place's text anchor through a whole book, on a thread of its own with its
// own file, so that a big book shows its first page at once. Every operation is for the
// view's thread.
class AnchorSearch {
 public:
  AnchorSearch() = default;
  ~AnchorSearch() { Cancel(); }
  AnchorSearch(const AnchorSearch&) = delete;
  AnchorSearch& operator=(const AnchorSearch&) = delete;

  // Cancels the search running, then looks for `anchor` in the book at `path` read in
  // `encoding`; `done` is called on the search's thread when it has ended, found or not.
  void Start(Platform& platform, const std::u16string& path, TextEncoding encoding,
             std::string anchor, std::function<void()> done);
  // The result is no longer wanted: the search stops soon, without waiting for it.
  void Abandon() { cancel_ = true; }
  // Stops the search and waits for its thread.
  void Cancel();
  // Where the anchor was found, once, when the search ended with it and was not abandoned.
  std::optional<int32_t> TakeFound();

 private:
  std::thread worker_;
  std::atomic<bool> cancel_{false};
  std::atomic<int32_t> found_{-1};
};

}  // namespace lirako

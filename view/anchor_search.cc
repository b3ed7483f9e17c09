#include "view/anchor_search.h"

#include "engine/text_anchor.h"
#include "platform/background_thread.h"

namespace lirako {

void AnchorSearch::Start(Platform& platform, const std::u16string& path, TextEncoding encoding,
                         std::string anchor, std::function<void()> done) {
  Cancel();
  cancel_ = false;
  found_ = -1;
  worker_ = std::thread(
      [this, &platform, path, encoding, anchor = std::move(anchor), done = std::move(done)] {
        YieldToForeground();
        const int32_t found = TextAnchor(platform, path, encoding).FindAnywhere(anchor, &cancel_);
        found_ = found;
        done();
      });
}

void AnchorSearch::Cancel() {
  cancel_ = true;
  if (worker_.joinable()) worker_.join();
}

std::optional<int32_t> AnchorSearch::TakeFound() {
  if (cancel_ || found_ < 0) return std::nullopt;
  // Taken once: a later message of the same search finds nothing.
  cancel_ = true;
  return found_.load();
}

}  // namespace lirako

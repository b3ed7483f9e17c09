#include "view/chapter_list.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "engine/chapter_outline.h"
#include "platform/background_thread.h"
#include "platform/utf.h"
#include "view/chapter_cache.h"

namespace lirako {

ChapterList::~ChapterList() {
  Stop();
}

void ChapterList::Start(Platform& platform, const std::u16string& path, TextEncoding encoding,
                        const std::string& userRule, const std::string& chosenRule,
                        const std::u16string& cacheFile) {
  Stop();
  std::string err;
  if (!rules_.SetUserRule(userRule, &err)) {
    std::lock_guard<std::mutex> lock(mutex_);
    state_ = State::kFailed;
    error_ = err;
    return;
  }
  userRule_ = userRule;
  chosenRule_ = chosenRule;
  // Taken here: the view may change the code page 949 conversion while the scan runs.
  if (encoding == TextEncoding::kCp949) cp949_ = Cp949Snapshot::Take(platform);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    state_ = State::kScanning;
  }
  worker_ = std::thread(&ChapterList::Run, this, std::ref(platform), path, encoding, cacheFile);
}

void ChapterList::Stop() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    cancel_ = true;
  }
  released_.notify_all();
  if (worker_.joinable()) worker_.join();
  cancel_ = false;
  std::lock_guard<std::mutex> lock(mutex_);
  chapters_.clear();
  found_.clear();
  state_ = State::kNone;
  error_.clear();
  permille_ = 0;
  fromCache_ = false;
}

void ChapterList::Run(Platform& platform, std::u16string path, TextEncoding encoding,
                      std::u16string cacheFile) {
  YieldToForeground();
  auto finish = [this](State state, std::string error) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      state_ = state;
      error_ = std::move(error);
    }
    Notify();
  };
  std::unique_ptr<File> file = platform.OpenForReading(path);
  if (!file) return finish(State::kFailed, "cannot open the book");
  const ChapterCacheKey key{path,     file->Size(), file->ModifiedTime(),
                            encoding, userRule_,    chosenRule_};
  std::vector<Chapter> cached;
  if (!cacheFile.empty() && key.modified >= 0 &&
      ChapterCache::Load(platform, cacheFile, key, &cached)) {
    ChapterOutline::Nest(&cached);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      found_ = std::move(cached);
      chapters_ = found_;
      corrections_.Apply(&chapters_);
    }
    fromCache_ = true;
    permille_ = 1000;
    return finish(State::kDone, {});
  }
  ChapterScanner scanner(rules_, encoding, cp949_);
  ChapterScanner::Callbacks callbacks;
  bool inVolume = false;
  callbacks.found = [this, &inVolume](Chapter&& chapter) {
    if (!chosenRule_.empty() && chapter.rule != chosenRule_) return;
    // Nested as ChapterOutline::Nest does, so that the list shows its levels while it grows.
    inVolume = inVolume || chapter.level == 1;
    chapter.level = inVolume && HeadingRules::LevelOf(chapter.rule) != 1 ? 2 : 1;
    std::lock_guard<std::mutex> lock(mutex_);
    chapters_.push_back(std::move(chapter));
  };
  const int64_t size = key.size;
  callbacks.progress = [this, size](int64_t done) {
    permille_ = size > 0 ? static_cast<int>(done * 1000 / size) : 1000;
    Notify();
    std::unique_lock<std::mutex> lock(mutex_);
    while (!cancel_ && std::chrono::steady_clock::now() < holdUntil_)
      released_.wait_until(lock, holdUntil_);
  };
  callbacks.cancel = &cancel_;
  std::string err;
  if (!scanner.Scan(*file, callbacks, &err)) {
    if (cancel_) return;
    return finish(State::kFailed, err);
  }
  file->Close();
  {
    // The title lines, when the book names its chapters by them, or sections by size.
    std::lock_guard<std::mutex> lock(mutex_);
    found_ = chosenRule_.empty()
                 ? ChapterOutline::Compose(std::move(chapters_), scanner.titled())
                 : ChapterOutline::OfRule(std::move(chapters_), scanner.titled(), chosenRule_);
    if (found_.empty()) found_ = scanner.sections();
    chapters_ = found_;
    corrections_.Apply(&chapters_);
  }
  permille_ = 1000;
  if (!cacheFile.empty() && key.modified >= 0) {
    std::vector<Chapter> all;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      all = found_;
    }
    if (!ChapterCache::Save(platform, cacheFile, key, all, &err)) {
      std::fprintf(stderr, "lirako: chapters not kept: %s\n", err.c_str());
    }
  }
  finish(State::kDone, {});
}

void ChapterList::SetCorrections(ChapterCorrections corrections) {
  std::lock_guard<std::mutex> lock(mutex_);
  corrections_ = std::move(corrections);
  // A finished list takes them at once; a scan applies them when it ends.
  if (state_ != State::kDone) return;
  chapters_ = found_;
  corrections_.Apply(&chapters_);
}

void ChapterList::Hold(std::chrono::milliseconds limit) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    holdUntil_ = std::chrono::steady_clock::now() + limit;
  }
  // The scan waits for the hold it saw; woken, it waits again for this one.
  released_.notify_all();
}

ChapterList::State ChapterList::state() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return state_;
}

std::string ChapterList::error() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return error_;
}

size_t ChapterList::size() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return chapters_.size();
}

std::vector<Chapter> ChapterList::Chapters(size_t first) const {
  std::lock_guard<std::mutex> lock(mutex_);
  if (first >= chapters_.size()) return {};
  return std::vector<Chapter>(chapters_.begin() + static_cast<ptrdiff_t>(first), chapters_.end());
}

std::optional<Chapter> ChapterList::At(size_t index) const {
  std::lock_guard<std::mutex> lock(mutex_);
  if (index >= chapters_.size()) return std::nullopt;
  return chapters_[index];
}

int ChapterList::IndexAt(int32_t position) const {
  std::lock_guard<std::mutex> lock(mutex_);
  auto after =
      std::upper_bound(chapters_.begin(), chapters_.end(), position,
                       [](int32_t p, const Chapter& chapter) { return p < chapter.position; });
  return static_cast<int>(after - chapters_.begin()) - 1;
}

}  // namespace lirako

namespace lirako {

std::string ChapterList::TitleAt(int32_t position) const {
  std::lock_guard<std::mutex> lock(mutex_);
  auto after =
      std::upper_bound(chapters_.begin(), chapters_.end(), position,
                       [](int32_t p, const Chapter& chapter) { return p < chapter.position; });
  if (after == chapters_.begin()) return {};
  const Chapter& chapter = *(after - 1);
  // Sections by size are places to move to, not chapters to name.
  if (chapter.rule == ChapterScanner::kSectionRuleName) return {};
  if (chapter.level == 1) return chapter.title;
  // The volume is the last level-1 heading before the chapter.
  for (auto volume = after - 1; volume != chapters_.begin();) {
    --volume;
    if (volume->level == 1) return volume->title + " \u203A " + chapter.title;
  }
  return chapter.title;
}

}  // namespace lirako

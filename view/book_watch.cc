#include "view/book_watch.h"

namespace lirako {

void BookWatch::Start(Platform& platform, const std::u16string& path, FileWatch::Changed changed) {
  Stop();
  std::unique_ptr<File> file = platform.OpenForReading(path);
  if (!file) return;
  path_ = path;
  size_ = file->Size();
  modified_ = file->ModifiedTime();
  watch_ = platform.WatchFile(path, std::move(changed));
}

void BookWatch::Stop() {
  watch_.reset();
  path_.clear();
  size_ = modified_ = -1;
}

BookWatch::State BookWatch::Check(Platform& platform) const {
  if (path_.empty()) return State::kUnchanged;
  std::unique_ptr<File> file = platform.OpenForReading(path_);
  if (!file) return platform.Exists(path_) ? State::kChanged : State::kRemoved;
  return file->Size() == size_ && file->ModifiedTime() == modified_ ? State::kUnchanged
                                                                    : State::kChanged;
}

}  // namespace lirako

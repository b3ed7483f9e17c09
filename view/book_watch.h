#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/platform.h"

namespace lirako {

// Notices when the open book's file changes under the reader: watches it through the
// platform and tells whether the file now differs from the one opened.
class BookWatch {
 public:
  enum class State {
    kUnchanged,  // the file is as it was opened
    kChanged,    // written, truncated, appended to or replaced
    kRemoved,    // there is no file at the path any more
  };

  // Watches `path`, just opened as it is now; `changed` runs on the user-interface thread
  // after each change the platform reports (several for one save, as a rule).
  void Start(Platform& platform, const std::u16string& path, FileWatch::Changed changed);
  // Ends the watch.
  void Stop();
  bool watching() const { return !path_.empty(); }

  // What became of the file since Start.
  State Check(Platform& platform) const;

 private:
  std::u16string path_;
  int64_t size_ = -1;
  int64_t modified_ = -1;
  std::unique_ptr<FileWatch> watch_;
};

}  // namespace lirako

#pragma once

#include <functional>

namespace lirako {

// A watch on one file, kept while the object lives.
class FileWatch {
 public:
  // Runs on the user-interface thread whenever the file may have changed: written,
  // truncated, replaced (renamed over), removed or made anew.
  using Changed = std::function<void()>;
  virtual ~FileWatch() = default;
};

}  // namespace lirako

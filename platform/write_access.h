#pragma once

namespace lirako {

// Whether a file could be replaced by a save now, and if not, why.
enum class WriteAccess {
  kWritable,
  kUnreadableFile,  // it exists but cannot be read: what it holds is not known, so it is kept
  kReadOnlyFile,    // it is marked read-only
  kNotAFile,        // a folder or a special file
  kReadOnlyFolder,  // its folder is missing or does not admit new files
};

}  // namespace lirako

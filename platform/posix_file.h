#pragma once

#include <memory>
#include <string>

#include "platform/file.h"

namespace lirako {

// Opens an existing file for reading (with a shared advisory lock); null on failure.
std::unique_ptr<File> OpenPosixFileForReading(const std::string& path);
// Creates a temporary file beside `path` that is renamed over `path` when closed after
// complete writes; null when it cannot be created.
std::unique_ptr<File> CreateAtomicFile(const std::string& path);

}  // namespace lirako

#pragma once

#include <string>

#include "platform/platform.h"

namespace lirako {

// A fingerprint of a file's bytes from a few samples of it: its size and a hash of its first,
// middle and last 64 KiB. The same for a copy byte for byte wherever it lies; cheap for a book
// of any size. Empty when the file cannot be read.
std::string ContentFingerprint(Platform& platform, const std::u16string& path);

}  // namespace lirako

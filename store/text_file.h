#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace lirako {

// Reads the whole file at `path` into `text`; false with the reason in `err` when it cannot
// be opened or holds more than `maxBytes`.
bool ReadTextFile(Platform& platform, const std::u16string& path, size_t maxBytes,
                  std::string* text, std::string* err);
// Writes `text` to `path` atomically (the old file is replaced only by a complete new one),
// creating the folder first; false with the reason in `err`.
bool WriteTextFile(Platform& platform, const std::u16string& path, std::string_view text,
                   std::string* err);

}  // namespace lirako

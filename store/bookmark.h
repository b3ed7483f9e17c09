#pragma once

#include <cstdint>
#include <string>

namespace lirako {

// A named text position of a file; the position identifies it within its file's entry.
struct Bookmark {
  std::u16string name;
  int32_t position = 0;  // in the engine's units
  bool operator==(const Bookmark&) const = default;
};

}  // namespace lirako

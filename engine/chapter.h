#pragma once

#include <cstdint>
#include <string>

namespace lirako {

// A chapter heading found in a book.
struct Chapter {
  int32_t position = 0;  // the heading paragraph's first unit, in the engine's units
  std::string title;     // its text in UTF-8, the blanks at either end trimmed
  std::string rule;      // the name of the rule that matched
  int level = 1;         // 1: a volume or part, or any heading of a book with one level;
                         // 2: a chapter inside a volume
  bool operator==(const Chapter&) const = default;
};

}  // namespace lirako

#pragma once

#include <string>
#include <string_view>

namespace lirako {

// Text kept as a value on one line of a line-based file: a backslash is written "\\", a line
// feed "\n", a carriage return "\r" and, in files whose fields are separated by tabs, a tab
// "\t".
enum class EscapeTabs : bool { kNo, kYes };

// `text` with the characters above written as their escapes.
std::string EscapeLine(std::string_view text, EscapeTabs tabs);
// The inverse of EscapeLine with the same `tabs`; an escape it does not write, and a backslash
// at the end, keep their backslash.
std::string UnescapeLine(std::string_view text, EscapeTabs tabs);

}  // namespace lirako

#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lirako {

// The text of a freedesktop mimeapps.list: groups such as "[Default Applications]" holding
// "type=desktop-id;..." lines. Edits keep every other line as it was, byte for byte, also
// lines that are not valid keys: a damaged file loses nothing but the one key changed.

// The value of `mimeType` in the first "[Default Applications]" group, or nullopt.
std::optional<std::string> DefaultApplication(std::string_view text, std::string_view mimeType);

// `text` with `mimeType` in the first "[Default Applications]" group set to `value`, or
// removed when `value` is nullopt. The line of the key is changed in place (its later
// duplicates in the group go); a missing key is added at the end of the group, a missing
// group at the end of the text.
std::string WithDefaultApplication(std::string_view text, std::string_view mimeType,
                                   const std::optional<std::string>& value);

}  // namespace lirako

#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lirako {

// The text of a freedesktop mimeapps.list: groups such as "[Default Applications]" holding
// "type=desktop-id;..." lines. Edits keep every other line as it was, byte for byte, also
// lines that are not valid keys: a damaged file loses nothing but the one key changed.

// The value of `mimeType` as GLib reads it: its last line in any "[Default Applications]"
// group (GLib merges groups of one name, and a later key replaces an earlier one); nullopt
// when there is none.
std::optional<std::string> DefaultApplication(std::string_view text, std::string_view mimeType);

// `text` with `mimeType` in the first "[Default Applications]" group set to `value`, or
// removed when `value` is nullopt. The first line of the key there is changed in place and
// every other line of the key in any default group goes, so that no later duplicate hides the
// change; a missing key is added at the end of the first group, a missing group at the end
// of the text.
std::string WithDefaultApplication(std::string_view text, std::string_view mimeType,
                                   const std::optional<std::string>& value);

}  // namespace lirako

#pragma once

#include <string>
#include <string_view>

namespace lirako::tool {

// `text` as a JSON string literal in UTF-8, quotes included. Control characters, quotes and
// backslashes are escaped; a lone surrogate is kept as a \u escape.
std::string JsonString(std::u16string_view text);

}  // namespace lirako::tool

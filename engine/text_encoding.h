#pragma once

#include <optional>
#include <string_view>

namespace lirako {

// The encodings a book can be read in. UTF-16 in either order may start with its byte-order
// mark or not; UTF-8 may start with EF BB BF.
enum class TextEncoding { kCp949, kUtf8, kUtf16Le, kUtf16Be };

// "cp949", "utf-8", "utf-16le" or "utf-16be": the names lirakotool and the store file use.
std::string_view EncodingName(TextEncoding encoding);
// The encoding of one of those names; none for any other text.
std::optional<TextEncoding> EncodingFromName(std::string_view name);
// Bytes per position unit: 2 for UTF-16, else 1.
int EncodingUnitSize(TextEncoding encoding);

}  // namespace lirako

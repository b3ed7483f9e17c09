#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/text_encoding.h"
#include "platform/platform.h"

namespace lirako {

// A piece of a book's text in UTF-16, each unit with the file offset in bytes of the character
// it belongs to.
struct DecodedText {
  std::u16string text;
  std::vector<int64_t> offsets;  // one per unit of `text`
};

// Decodes `bytes`, read from the file offset `base`, in `encoding`. A character cut off by the
// end of `bytes` is left out; bytes that make no character decode as U+FFFD each.
DecodedText DecodeBytes(Platform& platform, std::string_view bytes, int64_t base,
                        TextEncoding encoding);

// Reads up to `length` bytes of the book at `path` from `offset` and decodes them; empty when
// the book cannot be read there.
DecodedText ReadDecoded(Platform& platform, const std::u16string& path, TextEncoding encoding,
                        int64_t offset, int64_t length);

// True for the characters that text comparisons here leave out: blanks, line ends and the
// byte-order mark, which a copy of a book in another form may have otherwise.
bool IsFoldedBlank(char16_t c);

}  // namespace lirako

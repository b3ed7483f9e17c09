#pragma once

#include <string>
#include <string_view>

namespace lirako {

// UTF-16 to UTF-8; a lone surrogate becomes U+FFFD.
std::string ToUtf8(std::u16string_view text);
// UTF-8 to UTF-16; a malformed sequence becomes U+FFFD.
std::u16string FromUtf8(std::string_view text);

// A path as the system gives it (bytes, UTF-8 as a rule) to the UTF-16 the reader holds, and
// back, without losing a byte: each byte 0x80..0xFF that is not part of well-formed UTF-8
// becomes the lone surrogate U+DC80..U+DCFF, which PathToBytes turns back into that byte.
// Names unpacked from Windows archives in code page 949 thus open, and are stored, by their
// exact bytes.
std::u16string PathFromBytes(std::string_view bytes);
std::string PathToBytes(std::u16string_view path);
// True when `path` holds a byte that is not UTF-8 (see PathFromBytes).
bool HasUndecodedBytes(std::u16string_view path);
// The undecoded byte a unit of PathFromBytes stands for, or -1 for any other unit.
int UndecodedByte(char16_t unit);

}  // namespace lirako

#pragma once

#include <string>

#include "engine/text_encoding.h"
#include "platform/platform.h"

namespace lirako {

// A fingerprint of a book's text rather than its bytes: a hash of its first characters with
// blanks and line ends left out, the same for a copy in another encoding or with other line
// ends. Empty when the book holds too little text to tell it from another one.
std::string TextFingerprint(Platform& platform, const std::u16string& path, TextEncoding encoding);

}  // namespace lirako

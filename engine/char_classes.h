#pragma once

#include <cstdint>

#include "platform/cp949.h"

namespace lirako {

// Blanks end words and take the justification space: the space (32) and the tab (9).
inline bool IsBlank(uint32_t unit) {
  return unit == 32 || unit == 9;
}

// True when the bytes at `pos` and `pos` + 1 of `text` (`length` bytes) form one code page
// 949 character; a lead byte that is the last byte of the text stands alone.
inline bool IsDoubleByte(const uint8_t* text, int32_t length, int32_t pos) {
  return pos >= 0 && pos + 1 < length && IsCp949Pair(text[pos], text[pos + 1]);
}

// A UTF-16 unit below 128; every other unit is a wide character.
inline bool IsAscii(char16_t unit) {
  return unit < 128;
}

}  // namespace lirako

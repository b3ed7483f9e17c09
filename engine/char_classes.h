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

// Length of the character at `pos` of UTF-8 text of `length` bytes: the length of the
// well-formed sequence there (1 to 4 bytes), or 1 for a byte that starts none (a lone
// continuation byte, a truncated sequence, an overlong form, an encoded surrogate, a code
// point above U+10FFFF, the bytes C0, C1 and F5..FF), which stands alone.
inline int Utf8CharLength(const char8_t* text, int32_t length, int32_t pos) {
  const unsigned lead = text[pos];
  if (lead < 0xC2) return 1;
  int n;
  unsigned low = 0x80;
  unsigned high = 0xBF;
  if (lead <= 0xDF) {
    n = 2;
  } else if (lead <= 0xEF) {
    n = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead <= 0xF4) {
    n = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 1;
  }
  if (pos + n > length) return 1;
  if (text[pos + 1] < low || text[pos + 1] > high) return 1;
  for (int k = 2; k < n; ++k) {
    if ((text[pos + k] & 0xC0) != 0x80) return 1;
  }
  return n;
}

// A UTF-8 continuation byte (10xxxxxx).
inline bool IsUtf8Continuation(char8_t byte) {
  return (byte & 0xC0) == 0x80;
}

// Start of the UTF-8 character that holds the byte at `pos` of `text` (`length` bytes): `pos`
// itself, or the lead byte at most three bytes back whose well-formed sequence covers it.
inline int32_t Utf8CharacterStart(const char8_t* text, int32_t length, int32_t pos) {
  if (pos >= length || !IsUtf8Continuation(text[pos])) return pos;
  for (int32_t k = 1; k <= 3 && pos - k >= 0; ++k) {
    if (!IsUtf8Continuation(text[pos - k])) {
      return Utf8CharLength(text, length, pos - k) > k ? pos - k : pos;
    }
  }
  return pos;
}

// A UTF-16 unit below 128; every other unit is a wide character.
inline bool IsAscii(char16_t unit) {
  return unit < 128;
}

}  // namespace lirako

#pragma once

#include <cstdint>

namespace lirako {

// True when the bytes b1 b2 form one code page 949 character: the Wansung region
// (lead 81..FE, trail A1..FE), the extended Hangul region (lead 81..C5, trail 41..A0)
// and the 18 extended syllables C6 41..C6 52 that complete it.
inline bool IsCp949Pair(uint8_t b1, uint8_t b2) {
  if (b1 < 0x81 || b1 == 0xFF || b2 == 0) return false;
  if (b2 >= 0xA1 && b2 <= 0xFE) return true;
  if (b1 <= 0xC5 && b2 >= 0x41 && b2 <= 0xA0) return true;
  return b1 == 0xC6 && b2 >= 0x41 && b2 <= 0x52;
}

}  // namespace lirako

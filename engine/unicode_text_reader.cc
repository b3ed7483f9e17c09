#include "engine/unicode_text_reader.h"

#include <bit>

namespace lirako {

int CUnicodeTextReader::MachineOrder() {
  return std::endian::native == std::endian::little ? 1 : 0;
}

void CUnicodeTextReader::SwapToMachineOrder(char16_t* units, int32_t count, int fileOrder) {
  if (fileOrder == MachineOrder()) return;
  for (int32_t i = 0; i < count; ++i) {
    units[i] = static_cast<char16_t>(((units[i] & 0xFF) << 8) | (units[i] >> 8));
  }
}

void CUnicodeTextReader::PrepareUnits(char16_t* units, int32_t count, int32_t first) {
  SwapToMachineOrder(units, count, byteOrder_);
  // The byte-order mark is shown as one blank at the head of the first paragraph.
  if (marked_ && first == 0 && count > 0) units[0] = u' ';
}

}  // namespace lirako

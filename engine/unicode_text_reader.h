#pragma once

#include "engine/basic_text_reader.h"

namespace lirako {

// Reads UTF-16 text. Units come in the machine's order whatever the file's order; the
// byte-order mark, when the file has one, reads as a blank. A backward read from a fresh position
// steps over a break right before it, so from a paragraph start it returns the previous paragraph.
class CUnicodeTextReader : public BasicTextReader<char16_t> {
 public:
  // 1: the file is little-endian, 0: big-endian.
  int byteOrder() const { return byteOrder_; }
  void SetByteOrder(int order) { byteOrder_ = order; }
  // Unit 0 is the byte-order mark (the default) rather than text.
  void SetMarked(bool marked) { marked_ = marked; }

  // Byte-swaps every unit, zero units included, when `fileOrder` differs from the machine's.
  static void SwapToMachineOrder(char16_t* units, int32_t count, int fileOrder);
  // 1 on a little-endian machine, 0 on a big-endian one.
  static int MachineOrder();

 protected:
  void PrepareUnits(char16_t* units, int32_t count, int32_t first) override;
  bool SkipsBreakAtStart() const override { return true; }

 private:
  int byteOrder_ = 1;
  bool marked_ = true;
};

}  // namespace lirako

#pragma once

#include "engine/basic_text_engine.h"
#include "engine/unicode_text_reader.h"

namespace lirako {

// The engine for UTF-16 text; positions count 16-bit units from the start of the file. A
// byte-order mark is unit 0 and reads as a blank.
class CUnicodeTextEngine : public BasicTextEngine<char16_t> {
 public:
  // Takes the byte order from the file's mark; a file without one does not load.
  explicit CUnicodeTextEngine(Platform& platform);
  // Reads the file in `byteOrder` (1 little-endian, 0 big-endian): a file that starts with
  // the mark of that order as above, any other from its first unit, which is text.
  CUnicodeTextEngine(Platform& platform, int byteOrder);

  // Little- or big-endian as the byte-order mark said.
  TextEncoding Encoding() const override;

 protected:
  // Reads the byte-order mark; false when the file has none and no order was given.
  bool PrepareLoad(const std::u16string& path, std::string* err) override;

 private:
  CUnicodeTextReader* unicodeReader_;
  int givenOrder_ = -1;
};

}  // namespace lirako

#pragma once

#include "engine/basic_text_engine.h"
#include "engine/unicode_text_reader.h"

namespace lirako {

// The engine for UTF-16 text with a byte-order mark; positions count 16-bit units, the mark
// being unit 0.
class CUnicodeTextEngine : public BasicTextEngine<char16_t> {
 public:
  explicit CUnicodeTextEngine(Platform& platform);

 protected:
  // Reads the byte-order mark; false when the file has none.
  bool PrepareLoad(const std::u16string& path, std::string* err) override;

 private:
  CUnicodeTextReader* unicodeReader_;
};

}  // namespace lirako

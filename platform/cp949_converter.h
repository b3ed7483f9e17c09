#pragma once

#include <string>
#include <string_view>

namespace lirako {

// Code page 949 to UTF-16 through a table of every double-byte character, built once from
// iconv, so that converting costs one lookup per character.
class Cp949Converter {
 public:
  // The process-wide converter; builds its table on first use.
  static const Cp949Converter& Instance();

  // True when iconv knows code page 949.
  bool available() const { return available_; }
  // One unit per character (see IsCp949Pair); U+FFFD for a byte that starts no character
  // or a pair without a mapping. Without iconv every byte becomes the unit of its value.
  std::u16string Convert(std::string_view bytes) const;
  // The unit of one double-byte character, or U+FFFD.
  char16_t PairUnit(unsigned char lead, unsigned char trail) const;

 private:
  Cp949Converter();
  bool available_ = false;
  char16_t pairs_[126 * 190] = {};  // lead 0x81..0xFE, trail 0x41..0xFE
};

}  // namespace lirako

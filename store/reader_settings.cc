#include "store/reader_settings.h"

#include <algorithm>

namespace lirako {

std::u16string ReaderSettings::FontFaceName() const {
  auto end = std::find(fontFace.begin(), fontFace.end(), u'\0');
  return std::u16string(fontFace.begin(), end);
}

void ReaderSettings::SetFontFaceName(std::u16string_view name) {
  fontFace.fill(u'\0');
  std::copy_n(name.begin(), std::min(name.size(), kFontFaceUnits - 1), fontFace.begin());
}

}  // namespace lirako

#pragma once

#include <cstdint>
#include <string_view>
#include <type_traits>
#include <vector>

#include "engine/code_table.h"
#include "engine/text_line.h"
#include "platform/platform.h"

namespace lirako {

// A display line with its own copy of its units (code page 949 bytes, UTF-8 bytes or 16-bit
// units).
template <typename Unit>
class BasicTextLine final : public CTextLine {
 public:
  explicit BasicTextLine(Platform* platform = nullptr) : platform_(platform) {}

  std::vector<Unit> text;

  void GetText(std::u16string* out) const override { *out = DisplayText(0, textLength()); }
  int32_t textLength() const override { return static_cast<int32_t>(text.size()); }
  // Units [from, to) of the text for display.
  std::u16string DisplayText(int32_t from, int32_t to) const {
    if (from >= to) return {};
    if constexpr (std::is_same_v<Unit, char8_t>) {
      return ToDisplayTextUtf8(
          std::u8string_view(text.data() + from, static_cast<size_t>(to - from)));
    } else if constexpr (sizeof(Unit) == 1) {
      std::string_view bytes(reinterpret_cast<const char*>(text.data()) + from,
                             static_cast<size_t>(to - from));
      return platform_ ? ToDisplayText(*platform_, bytes) : std::u16string();
    } else {
      return ToDisplayTextWide(
          std::u16string_view(text.data() + from, static_cast<size_t>(to - from)));
    }
  }

 private:
  Platform* platform_;
};

}  // namespace lirako

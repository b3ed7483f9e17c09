#include "settings/decimal_text.h"

#include <cstddef>
#include <limits>

namespace lirako {

namespace {

bool IsBlank(char16_t c) {
  return c == u' ' || (c >= u'\t' && c <= u'\r');
}

}  // namespace

int32_t ReadDecimal(std::u16string_view text) {
  size_t i = 0;
  while (i < text.size() && IsBlank(text[i]))
    ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
    negative = text[i] == u'-';
    ++i;
  }
  // Accumulate the magnitude in 64 bits and stop growing once it is out of range.
  constexpr int64_t kLimit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
  int64_t magnitude = 0;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    if (magnitude <= kLimit) magnitude = magnitude * 10 + (text[i] - u'0');
  }
  if (negative) {
    return magnitude >= kLimit ? std::numeric_limits<int32_t>::min()
                               : static_cast<int32_t>(-magnitude);
  }
  return magnitude >= kLimit ? std::numeric_limits<int32_t>::max()
                             : static_cast<int32_t>(magnitude);
}

std::u16string FormatDecimal(int32_t value) {
  std::string digits = std::to_string(value);
  return std::u16string(digits.begin(), digits.end());
}

std::u16string FormatThousands(int32_t value) {
  std::string digits = std::to_string(value);
  size_t start = (!digits.empty() && digits[0] == '-') ? 1 : 0;
  std::u16string out(digits.begin(), digits.begin() + static_cast<ptrdiff_t>(start));
  size_t count = digits.size() - start;
  for (size_t i = 0; i < count; ++i) {
    if (i != 0 && (count - i) % 3 == 0) out += u',';
    out += static_cast<char16_t>(digits[start + i]);
  }
  return out;
}

}  // namespace lirako

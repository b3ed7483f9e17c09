#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lirako {

// Reads a typed number leniently: leading blanks skipped, an optional sign, then digits up to
// the first non-digit; 0 when there are none. Values beyond 32 bits saturate.
int32_t ReadDecimal(std::u16string_view text);

// Decimal text of `value` ("%d").
std::u16string FormatDecimal(int32_t value);

// Decimal text of `value` with "," between groups of three digits, as spin arrows write it.
std::u16string FormatThousands(int32_t value);

}  // namespace lirako

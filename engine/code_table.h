#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace lirako {

// The process-wide code page 949 table of hantable.dat: table A, 126 x 94 entries for lead
// 81..FE and trail A1..FE, then table B, 69 x 96 entries for lead 81..C5 and trail 41..A0,
// each a little-endian UTF-16 unit.
constexpr size_t kCodeTableAEntries = 126 * 94;
constexpr size_t kCodeTableBEntries = 69 * 96;
constexpr size_t kCodeTableBytes = 2 * (kCodeTableAEntries + kCodeTableBEntries);

// Loads the table from `path`; false (table released) when the file is missing or short,
// with the reason in `err` when it is given.
bool LoadCodeTable(Platform& platform, const std::u16string& path, std::string* err = nullptr);
// Frees both tables.
void ReleaseCodeTable();
// Both tables are loaded.
bool IsCodeTableActive();
// Index of the pair lead, trail in table A or B (B after A, as in the file), or -1.
int CodeTableIndex(uint8_t lead, uint8_t trail);

// Byte text to UTF-16 for display and search, up to its first zero byte: through the table
// when it is active (a pair outside both regions through the platform), else the platform's
// code page 949 conversion.
std::u16string ToDisplayText(Platform& platform, std::string_view bytes);
// UTF-16 text up to its first zero unit.
std::u16string ToDisplayTextWide(std::u16string_view units);
// UTF-8 text up to its first zero byte; each byte that starts no well-formed sequence gives
// one U+FFFD (see Utf8CharLength).
std::u16string ToDisplayTextUtf8(std::u8string_view bytes);

}  // namespace lirako

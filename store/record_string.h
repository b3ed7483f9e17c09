#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "store/dat_file.h"

namespace lirako {

// Strings and counts as the record files store them: a count or length is a 32-bit value; a
// string is its length n in UTF-16 units including the terminating NUL, then 2n bytes of
// UTF-16LE text ending with the NUL.

// kEnded: the file ended before the item; kRefused: the bytes are outside the format.
enum class RecordRead { kOk, kEnded, kRefused };

// Reads a list count; refuses a negative count and one larger than the bytes left.
RecordRead ReadRecordCount(CDatFile& file, int32_t* count);
// Reads a string of 1 to `maxUnits` units that ends with a NUL; `out` gets the text before
// its first NUL.
RecordRead ReadRecordString(CDatFile& file, int32_t maxUnits, std::u16string* out);
// True when `text` with its NUL fits in `maxUnits` units.
bool FitsRecordString(std::u16string_view text, int32_t maxUnits);
// Writes `text` in the string form; false when a write failed.
bool WriteRecordString(CDatFile& file, std::u16string_view text);

}  // namespace lirako

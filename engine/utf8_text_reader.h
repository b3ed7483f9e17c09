#pragma once

#include "engine/basic_text_reader.h"

namespace lirako {

// Reads UTF-8 text; positions are byte offsets. Like the code page 949 reader, a backward
// read stops at the first break it meets. Breaks, cuts and seeks fall on character starts.
class CUtf8TextReader : public BasicTextReader<char8_t> {};

}  // namespace lirako

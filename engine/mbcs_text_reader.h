#pragma once

#include <cstdint>

#include "engine/basic_text_reader.h"

namespace lirako {

// Reads code page 949 byte text. A backward read stops at the first break it meets, so from
// the start of a paragraph it first returns the empty piece in front of it.
class CMbcsTextReader : public BasicTextReader<uint8_t> {};

}  // namespace lirako

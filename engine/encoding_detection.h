#pragma once

#include <cstdint>
#include <string>

#include "engine/text_encoding.h"
#include "platform/platform.h"

namespace lirako {

// What detection found: the encoding, whether a byte-order mark said so, and how many bytes
// of the file it read to decide.
struct EncodingGuess {
  TextEncoding encoding = TextEncoding::kUtf8;
  bool bom = false;
  int64_t examined = 0;
};

// The sampling bounds: a file up to kDetectionWindows windows long is read whole; a longer one
// in kDetectionWindows windows spread over it, the first at its start and the last at its
// end. When every sampled byte is ASCII, reading goes on from the first window until a byte
// above 0x7F decides, up to kDetectionMaxBytes into the file (windows are not read twice).
constexpr int64_t kDetectionWindowBytes = 64 * 1024;
constexpr int kDetectionWindows = 16;
constexpr int64_t kDetectionMaxBytes = 4 * 1024 * 1024;

// Detects the encoding of the book at `path`. A byte-order mark decides (EF BB BF UTF-8,
// FF FE UTF-16 LE, FE FF UTF-16 BE). Else the samples decide: zero bytes mostly at odd (even)
// offsets mean UTF-16 LE (BE); bytes above 0x7F that are not well-formed UTF-8 mean code
// page 949; well-formed UTF-8 with a multi-byte sequence, or ASCII alone, means UTF-8. A
// sequence cut by the edge of a sample counts for nothing. False with `err` set when the file
// cannot be opened or read.
bool DetectTextEncoding(Platform& platform, const std::u16string& path, EncodingGuess* guess,
                        std::string* err);

}  // namespace lirako

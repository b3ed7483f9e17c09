#include "engine/text_fingerprint.h"

#include <cstdint>
#include <cstdio>

#include "engine/decoded_text.h"

namespace lirako {
namespace {

// The characters hashed, and the bytes read to find them in any encoding.
constexpr size_t kCharacters = 2048;
constexpr int64_t kBytes = 16 * 1024;
// Fewer characters than this are too common a text to name a book.
constexpr size_t kMinCharacters = 64;

}  // namespace

std::string TextFingerprint(Platform& platform, const std::u16string& path, TextEncoding encoding) {
  const DecodedText text = ReadDecoded(platform, path, encoding, 0, kBytes);
  // FNV-1a over the units.
  uint64_t hash = 0xcbf29ce484222325ull;
  size_t count = 0;
  for (char16_t c : text.text) {
    if (IsFoldedBlank(c)) continue;
    if (count == kCharacters) break;
    hash = (hash ^ (c & 0xFF)) * 0x100000001b3ull;
    hash = (hash ^ (c >> 8)) * 0x100000001b3ull;
    ++count;
  }
  if (count < kMinCharacters) return {};
  char out[48];
  std::snprintf(out, sizeof out, "t%zu:%016llx", count, static_cast<unsigned long long>(hash));
  return out;
}

}  // namespace lirako

#include "engine/decoded_text.h"

#include <memory>

#include "platform/cp949.h"

namespace lirako {
namespace {

constexpr char16_t kReplacement = u'\uFFFD';

void Append(DecodedText& out, char16_t unit, int64_t offset) {
  out.text.push_back(unit);
  out.offsets.push_back(offset);
}

void DecodeUtf16(std::string_view bytes, int64_t base, bool bigEndian, DecodedText& out) {
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto b0 = static_cast<uint8_t>(bytes[i]);
    const auto b1 = static_cast<uint8_t>(bytes[i + 1]);
    Append(out, static_cast<char16_t>(bigEndian ? (b0 << 8) | b1 : (b1 << 8) | b0),
           base + static_cast<int64_t>(i));
  }
}

void DecodeUtf8(std::string_view bytes, int64_t base, DecodedText& out) {
  size_t i = 0;
  while (i < bytes.size()) {
    const auto lead = static_cast<uint8_t>(bytes[i]);
    const int64_t at = base + static_cast<int64_t>(i);
    size_t length = lead < 0x80                   ? 1
                    : lead >= 0xF0 && lead < 0xF8 ? 4
                    : lead >= 0xE0                ? 3
                    : lead >= 0xC2                ? 2
                                                  : 0;
    if (length == 0) {
      Append(out, kReplacement, at);
      ++i;
      continue;
    }
    if (i + length > bytes.size()) break;
    uint32_t code = length == 1 ? lead : lead & (0x3F >> (length - 1));
    bool valid = true;
    for (size_t k = 1; k < length; ++k) {
      const auto next = static_cast<uint8_t>(bytes[i + k]);
      if ((next & 0xC0) != 0x80) {
        valid = false;
        break;
      }
      code = (code << 6) | (next & 0x3F);
    }
    if (!valid || code > 0x10FFFF) {
      Append(out, kReplacement, at);
      ++i;
      continue;
    }
    if (code >= 0x10000) {
      code -= 0x10000;
      Append(out, static_cast<char16_t>(0xD800 + (code >> 10)), at);
      Append(out, static_cast<char16_t>(0xDC00 + (code & 0x3FF)), at);
    } else {
      Append(out, static_cast<char16_t>(code), at);
    }
    i += length;
  }
}

void DecodeCp949(Platform& platform, std::string_view bytes, int64_t base, DecodedText& out) {
  // The double-byte characters are converted in one call; each becomes one unit when the
  // system knows the code page, and are converted one by one when it does not.
  struct Character {
    size_t at;
    bool pair;
  };
  std::vector<Character> characters;
  std::string pairs;
  size_t i = 0;
  while (i < bytes.size()) {
    const auto b = static_cast<uint8_t>(bytes[i]);
    if (b >= 0x81 && b != 0xFF) {
      if (i + 1 >= bytes.size()) break;
      if (IsCp949Pair(b, static_cast<uint8_t>(bytes[i + 1]))) {
        characters.push_back({i, true});
        pairs.append(bytes.substr(i, 2));
        i += 2;
        continue;
      }
    }
    characters.push_back({i, false});
    ++i;
  }
  const std::u16string converted = platform.Cp949ToUtf16(pairs);
  const bool oneUnitEach = converted.size() * 2 == pairs.size();
  size_t pairIndex = 0;
  for (const Character& c : characters) {
    const int64_t at = base + static_cast<int64_t>(c.at);
    if (!c.pair) {
      const auto b = static_cast<uint8_t>(bytes[c.at]);
      Append(out, b < 0x80 ? static_cast<char16_t>(b) : kReplacement, at);
      continue;
    }
    if (oneUnitEach) {
      Append(out, converted[pairIndex], at);
    } else {
      for (char16_t unit : platform.Cp949ToUtf16(bytes.substr(c.at, 2)))
        Append(out, unit, at);
    }
    ++pairIndex;
  }
}

}  // namespace

DecodedText DecodeBytes(Platform& platform, std::string_view bytes, int64_t base,
                        TextEncoding encoding) {
  DecodedText out;
  out.text.reserve(bytes.size());
  out.offsets.reserve(bytes.size());
  switch (encoding) {
    case TextEncoding::kCp949:
      DecodeCp949(platform, bytes, base, out);
      break;
    case TextEncoding::kUtf8:
      DecodeUtf8(bytes, base, out);
      break;
    case TextEncoding::kUtf16Le:
    case TextEncoding::kUtf16Be:
      DecodeUtf16(bytes, base, encoding == TextEncoding::kUtf16Be, out);
      break;
  }
  return out;
}

DecodedText ReadDecoded(Platform& platform, const std::u16string& path, TextEncoding encoding,
                        int64_t offset, int64_t length) {
  std::unique_ptr<File> file = platform.OpenForReading(path);
  if (!file || offset < 0 || length <= 0) return {};
  if (file->Seek(offset, SeekOrigin::kStart) != offset) return {};
  std::string bytes(static_cast<size_t>(length), '\0');
  size_t read = 0;
  while (read < bytes.size()) {
    size_t n = file->Read(bytes.data() + read, bytes.size() - read);
    if (n == 0) break;
    read += n;
  }
  bytes.resize(read);
  file->Close();
  return DecodeBytes(platform, bytes, offset, encoding);
}

bool IsFoldedBlank(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\f' || c == u'\v' ||
         c == u'\u3000' || c == u'\u00A0' || c == u'\uFEFF';
}

}  // namespace lirako

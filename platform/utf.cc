#include "platform/utf.h"

namespace lirako {
namespace {

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

void AppendUtf16(std::u16string& out, char32_t c) {
  if (c < 0x10000) {
    out.push_back(static_cast<char16_t>(c));
  } else {
    c -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
  }
}

constexpr char16_t kUndecodedBase = 0xDC00;

// UTF-16 to UTF-8; a lone surrogate becomes U+FFFD, or with `keepBytes` the byte it stands
// for when it is one of PathFromBytes's.
std::string Encode(std::u16string_view text, bool keepBytes) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (keepBytes && UndecodedByte(text[i]) >= 0) {
      out.push_back(static_cast<char>(UndecodedByte(text[i])));
      continue;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    AppendUtf8(out, c);
  }
  return out;
}

// UTF-8 to UTF-16; a byte that starts no well-formed sequence becomes U+FFFD, or with
// `keepBytes` the unit that stands for it.
std::u16string Decode(std::string_view text, bool keepBytes) {
  auto malformed = [keepBytes](unsigned char b) -> char32_t {
    return keepBytes ? kUndecodedBase + b : 0xFFFD;
  };
  std::u16string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    unsigned char b = static_cast<unsigned char>(text[i]);
    if (b < 0x80) {
      out.push_back(b);
      ++i;
      continue;
    }
    int extra = (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2 : (b & 0xF8) == 0xF0 ? 3 : -1;
    if (extra < 0 || i + extra >= text.size()) {
      AppendUtf16(out, malformed(b));
      ++i;
      continue;
    }
    char32_t c = b & (0x3F >> extra);
    bool ok = true;
    for (int k = 1; ok && k <= extra; ++k) {
      unsigned char t = static_cast<unsigned char>(text[i + k]);
      ok = (t & 0xC0) == 0x80;
      c = (c << 6) | (t & 0x3F);
    }
    static const char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
    if (!ok || c < kMin[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
      AppendUtf16(out, malformed(b));
      ++i;
      continue;
    }
    AppendUtf16(out, c);
    i += extra + 1;
  }
  return out;
}

}  // namespace

std::string ToUtf8(std::u16string_view text) {
  return Encode(text, false);
}

std::u16string FromUtf8(std::string_view text) {
  return Decode(text, false);
}

std::u16string PathFromBytes(std::string_view bytes) {
  return Decode(bytes, true);
}

std::string PathToBytes(std::u16string_view path) {
  return Encode(path, true);
}

int UndecodedByte(char16_t unit) {
  return unit >= kUndecodedBase + 0x80 && unit <= kUndecodedBase + 0xFF ? unit - kUndecodedBase
                                                                        : -1;
}

bool HasUndecodedBytes(std::u16string_view path) {
  for (char16_t unit : path) {
    if (UndecodedByte(unit) >= 0) return true;
  }
  return false;
}

}  // namespace lirako

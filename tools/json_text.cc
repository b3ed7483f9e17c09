#include "tools/json_text.h"

#include <cstdio>

#include "platform/utf.h"

namespace lirako::tool {
namespace {

bool IsHigh(char16_t u) {
  return u >= 0xD800 && u <= 0xDBFF;
}
bool IsLow(char16_t u) {
  return u >= 0xDC00 && u <= 0xDFFF;
}

// The escape for a unit that cannot stand in a JSON string as it is, or null.
const char* ShortEscape(char16_t u) {
  switch (u) {
    case u'"':
      return "\\\"";
    case u'\\':
      return "\\\\";
    case u'\n':
      return "\\n";
    case u'\r':
      return "\\r";
    case u'\t':
      return "\\t";
    case u'\b':
      return "\\b";
    case u'\f':
      return "\\f";
    default:
      return nullptr;
  }
}

}  // namespace

std::string JsonString(std::u16string_view text) {
  std::string out = "\"";
  size_t plain = 0;  // start of the run of units that need no escape
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t u = text[i];
    if (IsHigh(u) && i + 1 < text.size() && IsLow(text[i + 1])) {
      ++i;
      continue;
    }
    const char* escape = ShortEscape(u);
    if (!escape && u >= 0x20 && !IsHigh(u) && !IsLow(u)) continue;
    out += ToUtf8(text.substr(plain, i - plain));
    if (escape) {
      out += escape;
    } else {
      char buffer[8];
      std::snprintf(buffer, sizeof buffer, "\\u%04X", static_cast<unsigned>(u));
      out += buffer;
    }
    plain = i + 1;
  }
  out += ToUtf8(text.substr(plain));
  return out + "\"";
}

}  // namespace lirako::tool

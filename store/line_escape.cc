#include "store/line_escape.h"

namespace lirako {
namespace {

// The character an escape "\<code>" stands for, or 0 when it is not one written with `tabs`.
char Unescaped(char code, EscapeTabs tabs) {
  switch (code) {
    case '\\':
      return '\\';
    case 'n':
      return '\n';
    case 'r':
      return '\r';
    case 't':
      return tabs == EscapeTabs::kYes ? '\t' : 0;
    default:
      return 0;
  }
}

}  // namespace

std::string EscapeLine(std::string_view text, EscapeTabs tabs) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += tabs == EscapeTabs::kYes ? "\\t" : "\t";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string UnescapeLine(std::string_view text, EscapeTabs tabs) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const char unescaped = c == '\\' && i + 1 < text.size() ? Unescaped(text[i + 1], tabs) : 0;
    if (unescaped != 0) {
      out += unescaped;
      ++i;
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace lirako

#include "engine/text_encoding.h"

namespace lirako {
namespace {

constexpr TextEncoding kEncodings[] = {TextEncoding::kCp949, TextEncoding::kUtf8,
                                       TextEncoding::kUtf16Le, TextEncoding::kUtf16Be};

}  // namespace

std::string_view EncodingName(TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::kCp949:
      return "cp949";
    case TextEncoding::kUtf8:
      return "utf-8";
    case TextEncoding::kUtf16Le:
      return "utf-16le";
    case TextEncoding::kUtf16Be:
      return "utf-16be";
  }
  return "cp949";
}

std::optional<TextEncoding> EncodingFromName(std::string_view name) {
  for (TextEncoding encoding : kEncodings) {
    if (EncodingName(encoding) == name) return encoding;
  }
  return std::nullopt;
}

int EncodingUnitSize(TextEncoding encoding) {
  return encoding == TextEncoding::kUtf16Le || encoding == TextEncoding::kUtf16Be ? 2 : 1;
}

}  // namespace lirako

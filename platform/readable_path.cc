#include "platform/readable_path.h"

#include "platform/utf.h"

namespace lirako {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

std::u16string ReadablePart(Platform& platform, std::u16string_view part) {
  if (!HasUndecodedBytes(part)) return std::u16string(part);
  const std::string bytes = PathToBytes(part);
  if (platform.HasCodePage949()) {
    std::u16string decoded = platform.Cp949ToUtf16(bytes);
    if (decoded.find(kReplacement) == std::u16string::npos) return decoded;
  }
  std::u16string escaped;
  for (char16_t unit : part) {
    const int byte = UndecodedByte(unit);
    if (byte < 0) {
      escaped += unit;
      continue;
    }
    constexpr char16_t kHex[] = u"0123456789ABCDEF";
    escaped += u"\\x";
    escaped += kHex[byte >> 4];
    escaped += kHex[byte & 0xF];
  }
  return escaped;
}

}  // namespace

std::u16string ReadablePath(Platform& platform, std::u16string_view path) {
  if (!HasUndecodedBytes(path)) return std::u16string(path);
  std::u16string readable;
  size_t start = 0;
  while (true) {
    const size_t slash = path.find(u'/', start);
    readable += ReadablePart(platform, path.substr(start, slash - start));
    if (slash == std::u16string_view::npos) break;
    readable += u'/';
    start = slash + 1;
  }
  return readable;
}

}  // namespace lirako

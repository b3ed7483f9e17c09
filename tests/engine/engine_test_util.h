#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/paragraph_buffer.h"
#include "engine/text_engine.h"
#include "platform/headless/headless_platform.h"
#include "platform/utf.h"

namespace lirako::testing {

// The bytes of a UTF-16 file with its byte-order mark.
inline std::string Utf16File(std::u16string_view text, bool bigEndian = false) {
  std::string bytes = bigEndian ? std::string("\xFE\xFF") : std::string("\xFF\xFE");
  for (char16_t c : text) {
    char lo = static_cast<char>(c & 0xFF);
    char hi = static_cast<char>(c >> 8);
    bytes += bigEndian ? std::string{hi, lo} : std::string{lo, hi};
  }
  return bytes;
}

// The text of a paragraph buffer as a string of its unit type.
template <typename Unit>
std::basic_string<char16_t> UnitsOf(const ParagraphBuffer<Unit>& buffer) {
  std::u16string out;
  for (int32_t i = 0; i < buffer.length(); ++i)
    out.push_back(static_cast<char16_t>(buffer[i]));
  return out;
}

// Opens `path` in `reader` with the length the engine would give it.
template <typename Reader>
void OpenReader(Reader& reader, Platform& platform, const std::string& path, size_t unitSize) {
  auto file = platform.OpenForReading(FromUtf8(path));
  int64_t size = file ? file->Size() : 0;
  reader.Open(std::move(file), static_cast<int32_t>(size / static_cast<int64_t>(unitSize)));
}

// Hands `engine` a page of `width` x `height` with the layout, and measures its glyphs in the
// headless metrics as the first paint would.
inline void PrepareEngine(CTextEngine& engine, HeadlessPlatform& platform, int width, int height,
                          Rect margins = Rect{0, 0, 0, 0}, int lineGap = 0, int sharedLines = 0,
                          bool justify = false) {
  engine.SetPageRect(0, 0, width, height);
  engine.SetLayout(margins, lineGap, sharedLines, justify);
  auto screen = platform.CreateScreen(width, height);
  engine.BeginPaint(*screen, u"Test", 16, false, false, false);
  engine.EndPaint(*screen);
}

// What a test looks at in a page line: its place, and its units widened to UTF-16.
struct LineInfo {
  int32_t offset = 0;
  int32_t length = 0;
  int32_t end = 0;
  int continued = 0;
  int width = 0;
  std::u16string units;
  bool operator==(const LineInfo&) const = default;
};

template <typename Engine>
std::vector<LineInfo> PageOf(const Engine& engine) {
  std::vector<LineInfo> page;
  for (const auto& line : engine.pageLines()) {
    LineInfo info{line.offset, line.length, line.end, line.continued, line.width, {}};
    for (auto u : line.text)
      info.units.push_back(static_cast<char16_t>(u));
    page.push_back(info);
  }
  return page;
}

}  // namespace lirako::testing

#include "engine/text_anchor.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "engine/decoded_text.h"
#include "engine/text_engine.h"
#include "platform/utf.h"

namespace lirako {
namespace {

// Enough bytes for kLength characters of any encoding with a few blank lines between them.
constexpr int64_t kCaptureBytes = 1024;
// The whole book is looked through in blocks of this size, each overlapping the one before.
constexpr int64_t kScanBlockBytes = 1 << 20;
constexpr int64_t kScanOverlapBytes = 8 * 1024;

// The text without its blanks, with the file offset of each remaining unit.
DecodedText Folded(const DecodedText& text) {
  DecodedText out;
  out.text.reserve(text.text.size());
  out.offsets.reserve(text.text.size());
  for (size_t i = 0; i < text.text.size(); ++i) {
    if (IsFoldedBlank(text.text[i])) continue;
    out.text.push_back(text.text[i]);
    out.offsets.push_back(text.offsets[i]);
  }
  return out;
}

std::u16string FoldedAnchor(std::string_view anchor) {
  std::u16string text = FromUtf8(anchor);
  std::erase_if(text, IsFoldedBlank);
  return text;
}

}  // namespace

TextAnchor TextAnchor::OfEngine(Platform& platform, CTextEngine& engine) {
  return TextAnchor(platform, engine.filePath, engine.Encoding());
}

std::string TextAnchor::Capture(int32_t position) const {
  if (position < 0) return {};
  const int64_t offset = static_cast<int64_t>(position) * EncodingUnitSize(encoding_);
  DecodedText text = Folded(ReadDecoded(platform_, path_, encoding_, offset, kCaptureBytes));
  // A surrogate pair stays whole.
  size_t length = std::min(text.text.size(), kLength);
  if (length > 0 && length < text.text.size() && text.text[length - 1] >= 0xD800 &&
      text.text[length - 1] < 0xDC00)
    --length;
  return ToUtf8(std::u16string_view(text.text).substr(0, length));
}

int32_t TextAnchor::Find(std::string_view anchor, int32_t near) const {
  const int32_t found = FindNear(anchor, near);
  return found >= 0 ? found : FindAnywhere(anchor);
}

int32_t TextAnchor::FindNear(std::string_view anchor, int32_t near) const {
  const std::u16string needle = FoldedAnchor(anchor);
  if (needle.empty()) return -1;
  const int unit = EncodingUnitSize(encoding_);
  const int64_t nearByte = std::max<int64_t>(0, static_cast<int64_t>(near) * unit);
  int64_t from = std::max<int64_t>(0, nearByte - kNearBytes);
  from -= from % unit;
  DecodedText window =
      Folded(ReadDecoded(platform_, path_, encoding_, from, nearByte + kNearBytes - from));
  int64_t best = -1;
  for (size_t at = window.text.find(needle); at != std::u16string::npos;
       at = window.text.find(needle, at + 1)) {
    const int64_t offset = window.offsets[at];
    if (best < 0 || std::llabs(offset - nearByte) < std::llabs(best - nearByte)) best = offset;
  }
  return best >= 0 ? static_cast<int32_t>(best / unit) : -1;
}

int32_t TextAnchor::FindAnywhere(std::string_view anchor, const std::atomic<bool>* cancel) const {
  const std::u16string needle = FoldedAnchor(anchor);
  if (needle.empty()) return -1;
  std::unique_ptr<File> file = platform_.OpenForReading(path_);
  if (!file) return -1;
  const int64_t size = file->Size();
  file->Close();
  for (int64_t start = 0; start < size; start += kScanBlockBytes - kScanOverlapBytes) {
    if (cancel && cancel->load()) return -1;
    DecodedText block = Folded(ReadDecoded(platform_, path_, encoding_, start, kScanBlockBytes));
    const size_t at = block.text.find(needle);
    if (at != std::u16string::npos)
      return static_cast<int32_t>(block.offsets[at] / EncodingUnitSize(encoding_));
    if (start + kScanBlockBytes >= size) break;
  }
  return -1;
}

}  // namespace lirako

#include "store/record_string.h"

#include <vector>

namespace lirako {

RecordRead ReadRecordCount(CDatFile& file, int32_t* count) {
  int32_t n = 0;
  if (!file.ReadInt32(&n)) return RecordRead::kEnded;
  if (n < 0 || n > file.BytesLeft()) return RecordRead::kRefused;
  *count = n;
  return RecordRead::kOk;
}

RecordRead ReadRecordString(CDatFile& file, int32_t maxUnits, std::u16string* out) {
  int32_t units = 0;
  if (!file.ReadInt32(&units)) return RecordRead::kEnded;
  if (units < 1 || units > maxUnits) return RecordRead::kRefused;
  std::vector<uint8_t> bytes(static_cast<size_t>(units) * 2);
  if (!file.ReadBytes(bytes.data(), bytes.size())) return RecordRead::kEnded;
  std::u16string text(static_cast<size_t>(units), u'\0');
  for (size_t i = 0; i < text.size(); ++i) {
    text[i] = static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
  }
  if (text.back() != u'\0') return RecordRead::kRefused;
  text.resize(text.find(u'\0'));
  *out = std::move(text);
  return RecordRead::kOk;
}

bool FitsRecordString(std::u16string_view text, int32_t maxUnits) {
  return text.size() < static_cast<size_t>(maxUnits);
}

bool WriteRecordString(CDatFile& file, std::u16string_view text) {
  std::vector<uint8_t> bytes;
  bytes.reserve((text.size() + 1) * 2);
  for (char16_t unit : text) {
    bytes.push_back(static_cast<uint8_t>(unit & 0xFF));
    bytes.push_back(static_cast<uint8_t>(unit >> 8));
  }
  bytes.push_back(0);
  bytes.push_back(0);
  return file.WriteInt32(static_cast<int32_t>(text.size() + 1)) &&
         file.WriteBytes(bytes.data(), bytes.size());
}

}  // namespace lirako

#include "engine/code_table.h"

#include <memory>
#include <vector>

#include "engine/char_classes.h"
#include "platform/utf.h"

namespace lirako {
namespace {

struct CodeTables {
  std::unique_ptr<char16_t[]> a;
  std::unique_ptr<char16_t[]> b;
};

CodeTables& Tables() {
  static CodeTables tables;
  return tables;
}

bool ReadTable(File& file, char16_t* out, size_t entries) {
  std::vector<uint8_t> raw(entries * 2);
  if (file.ReadItems(raw.data(), 2, entries) != entries) return false;
  for (size_t i = 0; i < entries; ++i) {
    out[i] = static_cast<char16_t>(raw[2 * i] | (raw[2 * i + 1] << 8));
  }
  return true;
}

}  // namespace

bool LoadCodeTable(Platform& platform, const std::u16string& path, std::string* err) {
  ReleaseCodeTable();
  auto a = std::make_unique<char16_t[]>(kCodeTableAEntries);
  auto b = std::make_unique<char16_t[]>(kCodeTableBEntries);
  std::unique_ptr<File> file = platform.OpenForReading(path);
  if (!file) {
    if (err) *err = "the file is missing or cannot be opened";
    return false;
  }
  bool complete = ReadTable(*file, a.get(), kCodeTableAEntries) &&
                  ReadTable(*file, b.get(), kCodeTableBEntries);
  file->Close();
  if (!complete) {
    if (err) *err = "the file is shorter than " + std::to_string(kCodeTableBytes) + " bytes";
    return false;
  }
  Tables().a = std::move(a);
  Tables().b = std::move(b);
  return true;
}

void ReleaseCodeTable() {
  Tables().a.reset();
  Tables().b.reset();
}

bool IsCodeTableActive() {
  return Tables().a && Tables().b;
}

int CodeTableIndex(uint8_t lead, uint8_t trail) {
  if (lead >= 0x81 && lead <= 0xFE && trail >= 0xA1 && trail <= 0xFE) {
    return (lead - 0x81) * 94 + (trail - 0xA1);
  }
  if (lead >= 0x81 && lead <= 0xC5 && trail >= 0x41 && trail <= 0xA0) {
    return static_cast<int>(kCodeTableAEntries) + (lead - 0x81) * 96 + (trail - 0x41);
  }
  return -1;
}

std::u16string ToDisplayText(Platform& platform, std::string_view bytes) {
  size_t zero = bytes.find('\0');
  if (zero != std::string_view::npos) bytes = bytes.substr(0, zero);
  if (bytes.empty()) return {};
  if (!IsCodeTableActive()) return platform.Cp949ToUtf16(bytes);
  const auto* text = reinterpret_cast<const uint8_t*>(bytes.data());
  auto length = static_cast<int32_t>(bytes.size());
  std::u16string out;
  out.reserve(bytes.size());
  for (int32_t i = 0; i < length;) {
    if (IsDoubleByte(text, length, i)) {
      int index = CodeTableIndex(text[i], text[i + 1]);
      if (index < 0) {
        std::u16string unit = platform.Cp949ToUtf16(bytes.substr(static_cast<size_t>(i), 2));
        out.push_back(unit.empty() ? u'\uFFFD' : unit[0]);
      } else if (index < static_cast<int>(kCodeTableAEntries)) {
        out.push_back(Tables().a[static_cast<size_t>(index)]);
      } else {
        out.push_back(Tables().b[static_cast<size_t>(index) - kCodeTableAEntries]);
      }
      i += 2;
    } else {
      out.push_back(text[i]);
      i += 1;
    }
  }
  return out;
}

std::u16string ToDisplayTextWide(std::u16string_view units) {
  size_t zero = units.find(u'\0');
  return std::u16string(zero == std::u16string_view::npos ? units : units.substr(0, zero));
}

std::u16string ToDisplayTextUtf8(std::u8string_view bytes) {
  size_t zero = bytes.find(u8'\0');
  if (zero != std::u8string_view::npos) bytes = bytes.substr(0, zero);
  return FromUtf8(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

}  // namespace lirako

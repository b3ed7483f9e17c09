#include "engine/unicode_text_engine.h"

namespace lirako {
namespace {

std::unique_ptr<CUnicodeTextReader> MakeReader(CUnicodeTextReader** out) {
  auto reader = std::make_unique<CUnicodeTextReader>();
  *out = reader.get();
  return reader;
}

}  // namespace

CUnicodeTextEngine::CUnicodeTextEngine(Platform& platform)
    : BasicTextEngine<char16_t>(platform, MakeReader(&unicodeReader_)) {}

bool CUnicodeTextEngine::PrepareLoad(const std::u16string& path, std::string* err) {
  int order = 1;
  if (!ProbeTextKind(platform_, path, &order)) {
    if (err) *err = "the file cannot be read or does not start with a UTF-16 byte-order mark";
    return false;
  }
  unicodeReader_->SetByteOrder(order);
  return true;
}

}  // namespace lirako

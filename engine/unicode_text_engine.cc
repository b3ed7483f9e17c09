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

bool CUnicodeTextEngine::PrepareLoad(const std::u16string& path) {
  int order = 1;
  if (!ProbeTextKind(platform_, path, &order)) return false;
  unicodeReader_->SetByteOrder(order);
  return true;
}

}  // namespace lirako

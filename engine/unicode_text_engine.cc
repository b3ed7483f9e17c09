#include "engine/unicode_text_engine.h"

#include "platform/open_reasons.h"

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

CUnicodeTextEngine::CUnicodeTextEngine(Platform& platform, int byteOrder)
    : BasicTextEngine<char16_t>(platform, MakeReader(&unicodeReader_)),
      givenOrder_(byteOrder == 0 ? 0 : 1) {}

TextEncoding CUnicodeTextEngine::Encoding() const {
  return unicodeReader_->byteOrder() == 1 ? TextEncoding::kUtf16Le : TextEncoding::kUtf16Be;
}

bool CUnicodeTextEngine::PrepareLoad(const std::u16string& path, std::string* err) {
  int order = 1;
  const bool marked = ProbeTextKind(platform_, path, &order);
  if (givenOrder_ < 0) {
    if (!marked) {
      if (err) *err = kReasonNoByteOrderMark;
      return false;
    }
  } else if (!marked || order != givenOrder_) {
    order = givenOrder_;
    unicodeReader_->SetMarked(false);
    unicodeReader_->SetByteOrder(order);
    return true;
  }
  unicodeReader_->SetMarked(true);
  unicodeReader_->SetByteOrder(order);
  return true;
}

}  // namespace lirako

// The reader view's per-book encoding choice: remembered in the reader store, shown in the
// "인코딩" menu, applied by reopening the book at the same place.
#include "view/tirasol_view.h"

namespace lirako {
namespace {

constexpr char kEncodingKey[] = "encoding";

// The "인코딩" item of a choice.
int EncodingCommand(std::optional<TextEncoding> encoding) {
  if (!encoding) return kCmdEncodingAuto;
  switch (*encoding) {
    case TextEncoding::kCp949:
      return kCmdEncodingCp949;
    case TextEncoding::kUtf8:
      return kCmdEncodingUtf8;
    case TextEncoding::kUtf16Le:
      return kCmdEncodingUtf16Le;
    case TextEncoding::kUtf16Be:
      return kCmdEncodingUtf16Be;
  }
  return kCmdEncodingAuto;
}

// A position of `fromUnit`-byte units in units of `toUnit` bytes, at the same byte or the
// unit that holds it.
int32_t Reunit(int32_t position, int fromUnit, int toUnit) {
  return static_cast<int32_t>(static_cast<int64_t>(position) * fromUnit / toUnit);
}

}  // namespace

std::optional<TextEncoding> CTirasolView::BookEncoding(const std::u16string& book) const {
  std::optional<std::string> name = readerStore_.BookValue(book, kEncodingKey);
  return name ? EncodingFromName(*name) : std::nullopt;
}

void CTirasolView::ChooseEncoding(std::optional<TextEncoding> encoding) {
  if (!HasDocument()) return;
  const std::u16string path = currentEntry_.path;
  if (encoding) {
    readerStore_.SetBookValue(path, kEncodingKey, EncodingName(*encoding));
  } else {
    readerStore_.RemoveBookValue(path, kEncodingKey);
  }
  const int oldUnit = EncodingUnitSize(openEncoding_);
  const int32_t position = engine_->GetPosition();
  if (!OpenDocument(path)) return;
  const int newUnit = EncodingUnitSize(openEncoding_);
  if (newUnit != oldUnit) {
    for (Bookmark& bookmark : currentEntry_.bookmarks)
      bookmark.position = Reunit(bookmark.position, oldUnit, newUnit);
  }
  // The engine moves a position inside a character back to its start.
  engine_->SetPosition(Reunit(position, oldUnit, newUnit));
  // The recent list and the library hold the place in the new units at once.
  StoreCurrentPosition();
  RequestStep(kStepPageForward);
}

void CTirasolView::UpdateEncodingMenu() {
  Menu* top = host_.MainMenu();
  if (!top) return;
  const int chosen = EncodingCommand(BookEncoding(currentEntry_.path));
  for (int id = kCmdEncodingAuto; id <= kCmdEncodingUtf16Be; ++id)
    top->CheckItem(id, id == chosen);
}

}  // namespace lirako

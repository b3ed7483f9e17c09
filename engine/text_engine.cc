#include "engine/text_engine.h"

#include <algorithm>

#include "engine/encoding_detection.h"
#include "engine/mbcs_text_engine.h"
#include "engine/text_line.h"
#include "engine/unicode_text_engine.h"
#include "engine/utf8_text_engine.h"

namespace lirako {

namespace {

int LayoutPixels(int value) {
  return std::clamp(value, -kMaxLayoutPixels, kMaxLayoutPixels);
}

Rect LayoutRect(int left, int top, int right, int bottom) {
  return Rect{LayoutPixels(left), LayoutPixels(top), LayoutPixels(right), LayoutPixels(bottom)};
}

}  // namespace

void CTextEngine::SetLayout(const Rect& newMargins, int newLineGap, int newSharedLines,
                            bool newJustify) {
  margins = LayoutRect(newMargins.left, newMargins.top, newMargins.right, newMargins.bottom);
  lineGap = LayoutPixels(newLineGap);
  sharedLines = newSharedLines;
  justify = newJustify;
}

void CTextEngine::SetPageRect(int left, int top, int right, int bottom) {
  pageRect = LayoutRect(left, top, right, bottom);
}

void CTextEngine::SetColumns(int count, int step) {
  columns_ = std::clamp(count, 1, 2);
  columnStep_ = LayoutPixels(step);
}

void CTextEngine::MeasureGlyphs(Surface& surface) {
  metrics_.Measure(surface);
  lineHeight = std::clamp(metrics_.lineHeight(), 0, kMaxLayoutPixels);
  metricsReady = true;
}

int CTextEngine::PageCapacity() const {
  return ColumnCapacity() * columns_;
}

int CTextEngine::ColumnCapacity() const {
  // Lines are added while they end strictly above the bottom margin; a page holds at least
  // one line, also when it is too small or the pitch is not positive.
  const int pitch = Pitch();
  const int height = pageRect.bottom - pageRect.top - margins.top - margins.bottom;
  if (pitch <= 0 || height <= pitch) return 1;
  return (height - 1) / pitch;
}

int CTextEngine::ParagraphGap() const {
  return lineHeight * std::clamp(typography.paragraphGap, 0, 100) / 100;
}

PageLayout CTextEngine::NewPageLayout() const {
  const int height = pageRect.bottom - pageRect.top - margins.top - margins.bottom;
  return PageLayout(height, Pitch(), ParagraphGap(), columns_);
}

int CTextEngine::TopLineStep() {
  const CTextLine* top = GetTopLine();
  return Pitch() + (top && top->paragraphEnd ? ParagraphGap() : 0);
}

void CTextEngine::BeginPaint(Surface& screen, const std::u16string& face, int height,
                             bool clearType, bool bold, bool rotated) {
  FontSpec fontSpec;
  fontSpec.face = face;
  fontSpec.height = height;
  fontSpec.weight = bold ? 700 : 400;
  fontSpec.escapement = rotated ? 900 : 0;
  fontSpec.clearType = clearType;
  font_ = platform_.CreateFont(fontSpec);
  screen_ = &screen;
  previousFont_ = screen.SelectFont(font_.get());
  if (!metricsReady) MeasureGlyphs(screen);
}

void CTextEngine::BeginOffscreen(Surface& screen, const Rect& client, uint32_t textColor,
                                 uint32_t backColor) {
  screen_ = &screen;
  client_ = client;
  textColor_ = textColor;
  backColor_ = backColor;
  bool kept = false;
  offscreen_ = platform_.CreatePageSurface(screen, client.Width(), client.Height(), &kept);
  keptBar_ = kept && barDrawn_;
  barDrawn_ = false;
  fillPending_ = kept;
  if (!kept) picture_.Forget();
  if (!offscreen_) return;
  offscreen_->SelectFont(font_.get());
  offscreen_->SetBackColor(backColor);
  offscreen_->SetTextColor(textColor);
  if (!kept) offscreen_->FillSolid(client, backColor);
}

void CTextEngine::FillIfPending() {
  if (!fillPending_ || !offscreen_) return;
  fillPending_ = false;
  offscreen_->FillSolid(client_, backColor_);
  picture_.Forget();
}

bool CTextEngine::TakePrepared(const PaintSetting& setting, int perColumn,
                               const std::vector<DrawnLine>& lines) {
  if (!screen_ || !prepared_.Shows(setting, perColumn, lines)) return false;
  prepared_.Forget();
  // The platform swaps the images only while neither is painted on.
  offscreen_.reset();
  const bool taken = platform_.TakeSparePage();
  bool kept = false;
  offscreen_ = platform_.CreatePageSurface(*screen_, client_.Width(), client_.Height(), &kept);
  if (!offscreen_) return false;
  offscreen_->SelectFont(font_.get());
  offscreen_->SetBackColor(backColor_);
  offscreen_->SetTextColor(textColor_);
  if (!kept) {
    // Nothing known is left in the image: it is drawn whole.
    picture_.Forget();
    fillPending_ = true;
    return false;
  }
  if (!taken) return false;
  fillPending_ = false;
  return true;
}

PaintSetting CTextEngine::CurrentSetting(bool rotated) const {
  PaintSetting setting;
  if (font_) setting.font = font_->fontSpec();
  setting.textColor = textColor_;
  setting.backColor = backColor_;
  setting.client = client_;
  setting.pageRect = pageRect;
  setting.margins = margins;
  setting.columns = columns_;
  setting.columnStep = columnStep_;
  setting.lineHeight = lineHeight;
  setting.pitch = Pitch();
  setting.paragraphGap = ParagraphGap();
  setting.drawOffset = drawOffset;
  setting.tabSize = tabSize;
  setting.justify = justify;
  setting.rotated = rotated;
  setting.highlightBegin = highlightBegin;
  setting.highlightEnd = highlightEnd;
  return setting;
}

Rect CTextEngine::ColumnBand(int column, int firstRow, int endRow, bool rotated) const {
  const int64_t width = int64_t{pageRect.right} - margins.left - margins.right;
  const int64_t half = (columnStep_ - width) / 2;
  auto edge = [&](int at) { return int64_t{margins.left} + int64_t{at} * columnStep_ - half; };
  const int64_t left = column == 0 ? pageRect.left : edge(column);
  const int64_t right = column + 1 >= columns_ ? pageRect.right : edge(column + 1);
  const int64_t top = int64_t{margins.top} + drawOffset + int64_t{firstRow} * Pitch();
  const int64_t bottom = int64_t{margins.top} + drawOffset + int64_t{endRow} * Pitch();
  // Sums of layout values within kMaxLayoutPixels, brought back to the surface's int.
  auto px = [](int64_t v) {
    return static_cast<int>(
        std::clamp<int64_t>(v, -kMaxLayoutPixels * 4LL, kMaxLayoutPixels * 4LL));
  };
  // A rotated page's y runs along the screen's x, its x up the screen from its right edge.
  if (rotated)
    return Rect{px(top), px(pageRect.right - right), px(bottom), px(pageRect.right - left)};
  return Rect{px(left), px(top), px(right), px(bottom)};
}

bool CTextEngine::ScrollColumns(int shift, bool rotated) {
  const int distance = -shift * Pitch();
  const int perColumn = ColumnCapacity();
  for (int column = 0; column < columns_; ++column) {
    const Rect band = ColumnBand(column, 0, perColumn, rotated);
    if (!offscreen_->Scroll(band, rotated ? distance : 0, rotated ? 0 : distance)) return false;
  }
  return true;
}

void CTextEngine::DrawPositionBar(const Rect& client, bool rotated) {
  FillIfPending();
  if (!offscreen_ || !isOpen) return;
  barDrawn_ = true;
  constexpr uint32_t kRead = 0x00BEF0BE;
  constexpr uint32_t kUnread = 0x00626262;
  const int length = client.bottom - client.top;
  const int32_t size = GetSize();
  int done =
      size == 0 ? length : static_cast<int>(static_cast<int64_t>(GetPosition()) * length / size);
  done = std::clamp(done, 0, std::max(length, 0));
  if (rotated) {
    offscreen_->FillSolid(Rect{0, length - done, 3, length}, kRead);
    offscreen_->FillSolid(Rect{0, 0, 3, length - done}, kUnread);
  } else {
    offscreen_->FillSolid(Rect{0, 0, 3, done}, kRead);
    offscreen_->FillSolid(Rect{0, done, 3, length}, kUnread);
  }
}

void CTextEngine::EndOffscreen() {
  FillIfPending();
  // A kept page that showed the position bar loses it when this paint has none.
  if (offscreen_ && keptBar_ && !barDrawn_) {
    offscreen_->FillSolid(Rect{0, 0, 3, client_.bottom - client_.top}, backColor_);
  }
  if (offscreen_ && screen_) {
    offscreen_->CopyTo(*screen_, client_);
    offscreen_->SelectFont(nullptr);
  }
  offscreen_.reset();
}

void CTextEngine::EndPaint(Surface& screen) {
  screen.SelectFont(previousFont_);
  previousFont_ = nullptr;
  screen_ = nullptr;
  font_.reset();
}

bool ProbeTextKind(Platform& platform, const std::u16string& path, int* byteOrder) {
  std::unique_ptr<File> file = platform.OpenForReading(path);
  if (!file) return false;
  unsigned char mark[2] = {};
  size_t got = file->Read(mark, 2);
  file->Close();
  if (got != 2) return false;
  if (mark[0] == 0xFF && mark[1] == 0xFE) {
    if (byteOrder) *byteOrder = 1;
    return true;
  }
  if (mark[0] == 0xFE && mark[1] == 0xFF) {
    if (byteOrder) *byteOrder = 0;
    return true;
  }
  return false;
}

std::unique_ptr<CTextEngine> CreateTextEngine(Platform& platform, TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::kUtf8:
      return std::make_unique<CUtf8TextEngine>(platform);
    case TextEncoding::kUtf16Le:
      return std::make_unique<CUnicodeTextEngine>(platform, 1);
    case TextEncoding::kUtf16Be:
      return std::make_unique<CUnicodeTextEngine>(platform, 0);
    case TextEncoding::kCp949:
      break;
  }
  return std::make_unique<CMbcsTextEngine>(platform);
}

std::unique_ptr<CTextEngine> CreateTextEngine(Platform& platform, const std::u16string& path,
                                              std::optional<TextEncoding> encoding) {
  if (!encoding) {
    EncodingGuess guess;
    encoding =
        DetectTextEncoding(platform, path, &guess, nullptr) ? guess.encoding : TextEncoding::kCp949;
  }
  return CreateTextEngine(platform, *encoding);
}

}  // namespace lirako

#include "view/status_line.h"

#include <algorithm>

#include "platform/utf.h"

namespace lirako {
namespace {

constexpr char16_t kSeparator[] = u" · ";
constexpr char16_t kEllipsis[] = u"…";

// The status line's ink: two thirds of the text's colour over the page's, so that it stands
// back from the text.
uint32_t Faded(PageColors colors) {
  uint32_t mixed = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const uint32_t text = (colors.text >> shift) & 0xFF;
    const uint32_t back = (colors.back >> shift) & 0xFF;
    mixed |= ((text * 2 + back) / 3) << shift;
  }
  return mixed;
}

// `text`, cut short with "…" when it is wider than `room` pixels in the selected font; empty
// when not even that fits.
std::u16string Fitted(Surface& screen, const std::u16string& text, int room) {
  if (screen.MeasureText(text).width <= room) return text;
  // The longest start that fits with the ellipsis, found by halving.
  size_t fits = 0;
  size_t over = text.size();
  while (over - fits > 1) {
    const size_t middle = (fits + over) / 2;
    if (screen.MeasureText(text.substr(0, middle) + kEllipsis).width <= room) {
      fits = middle;
    } else {
      over = middle;
    }
  }
  // A character of two units stays whole.
  if (fits > 0 && text[fits - 1] >= 0xD800 && text[fits - 1] < 0xDC00) --fits;
  if (fits == 0) return {};
  return text.substr(0, fits) + kEllipsis;
}

}  // namespace

StatusText StatusLine::Compose(std::u16string title, int32_t position, int32_t size, bool atEnd,
                               int32_t chapterEnd, const ReadingPace& pace) {
  StatusText text;
  text.title = std::move(title);
  int64_t percent = 100;
  if (!atEnd && size > 0) percent = std::clamp<int64_t>(int64_t{position} * 100 / size, 0, 100);
  text.percent = FromUtf8(std::to_string(percent)) + u"%";
  std::u16string left;
  if (!text.title.empty() && chapterEnd > position) {
    if (const auto time = pace.TimeFor(chapterEnd - position)) left = u"장 " + Duration(*time);
  }
  if (!atEnd && size > position) {
    if (const auto time = pace.TimeFor(int64_t{size} - position)) {
      if (!left.empty()) left += kSeparator;
      left += u"책 " + Duration(*time);
    }
  }
  text.timeLeft = std::move(left);
  return text;
}

std::u16string StatusLine::Duration(std::chrono::seconds time) {
  const int64_t minutes = std::max<int64_t>((time.count() + 59) / 60, 1);
  const std::u16string hours = FromUtf8(std::to_string(minutes / 60)) + u"시간";
  const std::u16string rest = FromUtf8(std::to_string(minutes % 60)) + u"분";
  if (minutes < 60) return rest;
  return minutes % 60 == 0 ? hours : hours + u" " + rest;
}

FontSpec StatusLine::FaceOf(const FontSpec& page) {
  FontSpec face = page;
  face.height = std::max(page.height * 4 / 5, 1);
  face.weight = 400;
  face.escapement = 0;
  return face;
}

int StatusLine::Measure(Platform& platform, Surface& screen, const FontSpec& face) {
  if (height_ > 0 && face == measured_) return height_;
  std::unique_ptr<Font> font = platform.CreateFont(face);
  Font* previous = screen.SelectFont(font.get());
  height_ = std::max(screen.MeasureText(u"한").height, 0);
  screen.SelectFont(previous);
  measured_ = face;
  return height_;
}

void StatusLine::Place(const PageGeometry& geometry) {
  columns_ = geometry.columns();
  first_ = geometry.StatusBox(0);
  last_ = geometry.StatusBox(columns_ - 1);
}

void StatusLine::Draw(Platform& platform, Surface& screen, const StatusText& text,
                      PageColors colors, bool rotated, int pageWidth) {
  drawn_ = text;
  if (first_.Height() <= 0 || height_ <= 0) return;
  FontSpec face = measured_;
  face.escapement = rotated ? 900 : 0;
  std::unique_ptr<Font> font = platform.CreateFont(face);
  Font* previous = screen.SelectFont(font.get());
  // Page coordinates to the screen's: a turned page's top is the screen's left edge, its
  // left edge the screen's foot.
  auto drawAt = [&](int x, int y, const std::u16string& line) {
    if (line.empty()) return;
    if (rotated) {
      screen.DrawText(y, pageWidth - x, line);
    } else {
      screen.DrawText(x, y, line);
    }
  };
  const Rect band{first_.left, first_.top, last_.right, last_.bottom};
  screen.FillSolid(
      rotated ? Rect{band.top, pageWidth - band.right, band.bottom, pageWidth - band.left} : band,
      colors.back);
  screen.SetTextColor(Faded(colors));
  screen.SetBackColor(colors.back);
  std::u16string place = text.percent;
  if (!text.timeLeft.empty()) place += kSeparator + text.timeLeft;
  int placeWidth = screen.MeasureText(place).width;
  if (placeWidth > last_.Width()) {
    place = text.percent;
    placeWidth = screen.MeasureText(place).width;
  }
  drawAt(last_.right - placeWidth, last_.top, place);
  // On one page the title stops a character's width short of the place.
  int room = first_.Width();
  if (columns_ == 1) room -= placeWidth + screen.MeasureText(u"한").width;
  drawAt(first_.left, first_.top, Fitted(screen, text.title, room));
  screen.SelectFont(previous);
}

}  // namespace lirako

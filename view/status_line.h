#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/platform.h"
#include "platform/surface.h"
#include "view/page_geometry.h"
#include "view/page_theme.h"
#include "view/reading_pace.h"

namespace lirako {

// What the status line says about the page.
struct StatusText {
  std::u16string title;     // the chapter's, "권 › 장"; empty outside a chapter
  std::u16string percent;   // "12%"
  std::u16string timeLeft;  // "장 12분 · 책 3시간 5분"; empty without a pace
  bool operator==(const StatusText&) const = default;
};

// The status line at the page's foot ("쪽 정보"): the chapter's title at the left, the place
// and the time left at the right, in a smaller face than the page's. It measures its face,
// keeps the boxes the page geometry gives it and draws into them.
class StatusLine {
 public:
  // The text of a page at `position` of a book `size` units long (`atEnd`: its last page), in
  // the chapter `title` (empty: none) that ends at `chapterEnd` (-1: not known), read at
  // `pace`.
  static StatusText Compose(std::u16string title, int32_t position, int32_t size, bool atEnd,
                            int32_t chapterEnd, const ReadingPace& pace);
  // "12분", "3시간 5분", "3시간": a time rounded up to whole minutes, at least one.
  static std::u16string Duration(std::chrono::seconds time);
  // The face of the status line: the page's, four fifths of its height, regular weight.
  static FontSpec FaceOf(const FontSpec& page);

  // The height of a line in `face` (upright), measured on `screen` when the face changed.
  int Measure(Platform& platform, Surface& screen, const FontSpec& face);
  // The height last measured (0 before).
  int height() const { return height_; }
  // Takes the boxes of the page's first and last columns from `geometry`.
  void Place(const PageGeometry& geometry);
  // Draws `text` over the band of the boxes in `colors` on `screen` (a page `pageWidth`
  // pixels wide, turned a quarter when `rotated`): the title at the left of the first box,
  // cut short with "…" where it would meet the place, the place and the time left at the
  // right of the last box (the percent alone when both do not fit).
  void Draw(Platform& platform, Surface& screen, const StatusText& text, PageColors colors,
            bool rotated, int pageWidth);
  // What the last Draw showed.
  const StatusText& drawn() const { return drawn_; }

 private:
  FontSpec measured_;
  int height_ = 0;
  Rect first_;
  Rect last_;
  int columns_ = 1;
  StatusText drawn_;
};

}  // namespace lirako

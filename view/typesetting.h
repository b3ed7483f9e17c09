#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/typography.h"
#include "store/reader_settings.h"
#include "view/page_options.h"

namespace lirako {

// How a book's text is set: the face, size and weight of the font, the line gap and the
// justification (kept in the settings file), the typesetting options and the shape of the page
// (kept in the reader's store). Colours, margins, the bar and the buttons are the screen's, not
// the book's, and are not part of it.
struct Typesetting {
  std::u16string fontFace;
  int32_t fontSize = 0;
  int32_t fontBold = 0;
  int32_t lineGap = 0;
  int32_t justify = 0;
  Typography typography;
  PageOptions page;

  bool operator==(const Typesetting&) const = default;

  // The set in force: the font and spacing of `settings`, with `typography` and `page`.
  static Typesetting Of(const ReaderSettings& settings, const Typography& typography,
                        const PageOptions& page);
  // Puts the font and the spacing into `settings`; the other settings stay.
  void ApplyTo(ReaderSettings& settings) const;

  // One "key=value" line per field, as one value of the reader's store.
  std::string ToText() const;
  // Reads ToText's form; a field missing or malformed keeps its value in `base`.
  static Typesetting FromText(std::string_view text, const Typesetting& base);
};

}  // namespace lirako

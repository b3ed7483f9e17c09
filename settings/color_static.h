#pragma once

#include <cstdint>
#include <string_view>

#include "platform/controls.h"
#include "platform/surface.h"

namespace lirako {

// A static control that paints itself in colours and a font of its own. It takes over a
// dialog control by id; every change is shown at once.
class CColorStatic {
 public:
  // Passed as a colour: the platform's button-text or button-face colour.
  static constexpr uint32_t kDefaultColor = 0xFFFFFFFF;
  static constexpr uint32_t kButtonTextColor = 0x00000000;
  static constexpr uint32_t kButtonFaceColor = 0x00C0C0C0;
  static constexpr size_t kFaceUnits = 31;

  // Takes over control `id` of `controls` and shows the current colours.
  void Attach(Controls& controls, int id);
  // A colour, or kDefaultColor for the button-text colour.
  void SetTextColor(uint32_t color);
  // A colour, or kDefaultColor for the button-face colour.
  void SetBackColor(uint32_t color);
  // Face (at most 31 units), height, weight 700 or 400, ClearType or default quality.
  void SetFont(std::u16string_view face, int height, bool bold, bool clearType);

  uint32_t textColor() const { return textColor_; }
  uint32_t backColor() const { return backColor_; }
  const FontSpec& font() const { return font_; }

 private:
  void ShowColors();

  Controls* controls_ = nullptr;
  int id_ = 0;
  uint32_t textColor_ = kButtonTextColor;
  uint32_t backColor_ = kButtonFaceColor;
  FontSpec font_;
};

}  // namespace lirako

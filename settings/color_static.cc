#include "settings/color_static.h"

namespace lirako {

void CColorStatic::Attach(Controls& controls, int id) {
  controls_ = &controls;
  id_ = id;
  ShowColors();
}

void CColorStatic::SetTextColor(uint32_t color) {
  textColor_ = color == kDefaultColor ? kButtonTextColor : color;
  ShowColors();
}

void CColorStatic::SetBackColor(uint32_t color) {
  backColor_ = color == kDefaultColor ? kButtonFaceColor : color;
  ShowColors();
}

void CColorStatic::SetFont(std::u16string_view face, int height, bool bold, bool clearType) {
  font_.face = std::u16string(face.substr(0, kFaceUnits));
  font_.height = height;
  font_.weight = bold ? 700 : 400;
  font_.clearType = clearType;
  if (controls_ != nullptr) controls_->SetFont(id_, font_);
}

void CColorStatic::ShowColors() {
  if (controls_ != nullptr) controls_->SetColors(id_, textColor_, backColor_);
}

}  // namespace lirako

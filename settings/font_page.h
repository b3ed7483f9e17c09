#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "settings/color_static.h"
#include "settings/dialog_base.h"
#include "view/page_theme.h"

namespace lirako {

class DialogRunner;

// The second tab, "글자" (dialog 134): face, size, bold, ClearType, text and background
// colours, the page's theme ("테마"), with a live preview. Colours are picked in CColorDlg, run
// through `runner`.
class CFontPage : public DialogBase {
 public:
  static constexpr int kDialogId = 134;
  static constexpr int kFaceCombo = 1022;
  static constexpr int kSizeCombo = 1007;
  static constexpr int kBoldCheck = 1006;
  static constexpr int kClearTypeCheck = 1103;
  static constexpr int kTextSwatch = 1063;
  static constexpr int kBackSwatch = 1064;
  static constexpr int kPreview = 1065;
  static constexpr int kThemeCombo = 1130;

  explicit CFontPage(DialogRunner& runner) : runner_(runner) {}

  // The sizes offered, in list order.
  static const std::vector<int32_t>& Sizes();

  const DialogSpec& dialogSpec() const override;
  void OnInitDialog(Controls& controls) override;
  void OnCommand(Controls& controls, int id, int notification) override;

  std::u16string fontFace;
  int32_t fontSize = 0;
  int32_t fontBold = 0;
  int32_t clearType = 0;
  uint32_t textColor = 0;
  uint32_t backColor = 0;
  // The theme the page is painted in; picking a colour chooses the own colours.
  Theme theme = Theme::kOwn;
  // Face names offered, in enumeration order; filled before the page is shown.
  std::vector<std::u16string> faces;
  // The face the reader draws with for `fontFace` (another one when `fontFace` is not
  // installed); selected when `fontFace` is not offered, so the face list never shows
  // empty. `fontFace` itself changes only when the user picks a face.
  std::u16string faceInUse;

 private:
  void UpdatePreviewFont();
  void UpdatePreviewColors();
  // A colour was picked: the page takes the own colours, and the theme list shows so.
  void ChooseOwnColors(Controls& controls);
  // Runs the colour picker titled `title` from `color`; true with `color` changed on OK.
  bool PickColor(const std::u16string& title, uint32_t& color);

  DialogRunner& runner_;
  CColorStatic textSwatch_;
  CColorStatic backSwatch_;
  CColorStatic preview_;
};

}  // namespace lirako

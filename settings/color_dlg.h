#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "settings/color_static.h"
#include "settings/dialog_base.h"

namespace lirako {

// The colour picker (dialog 138): sixteen preset swatches, red, green and blue edits with
// spin arrows, and a preview. The caller sets the title and the initial colour, runs it and
// reads currentColor() after OK.
class CColorDlg : public DialogBase {
 public:
  static constexpr int kDialogId = 138;
  static constexpr int kPreview = 1045;
  static constexpr int kFirstPreset = 1046;  // presets 0..15 on 1046..1061
  static constexpr int kPresetCount = 16;
  static constexpr int kRedEdit = 1010;
  static constexpr int kGreenEdit = 1011;
  static constexpr int kBlueEdit = 1012;
  static constexpr int kRedSpin = 1062;
  static constexpr int kGreenSpin = 1064;
  static constexpr int kBlueSpin = 1065;

  // The value of preset `n` (0..15), 0x00BBGGRR.
  static uint32_t Preset(int n);

  const DialogSpec& dialogSpec() const override;
  void OnInitDialog(Controls& controls) override;
  void OnCommand(Controls& controls, int id, int notification) override;
  void OnScroll(Controls& controls, int id, int position) override;

  std::u16string title = u"색상선택";
  uint32_t initialColor = 0x00C8F0C8;
  // The colour being edited; the result after OK. Its top byte is always 0.
  uint32_t currentColor() const { return currentColor_; }

 private:
  void WriteComponents(Controls& controls);
  void ComponentChanged(Controls& controls, int edit);

  uint32_t currentColor_ = 0;
  bool ready_ = false;
  std::array<CColorStatic, kPresetCount> presets_;
  CColorStatic preview_;
};

}  // namespace lirako

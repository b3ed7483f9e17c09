#pragma once

#include <array>
#include <cstdint>

#include "settings/dialog_base.h"

namespace lirako {

// The third tab, "버튼" (dialog 140): use of the five application buttons and the function of
// each. A row shows the function's name; tapping it swaps in a hidden list of all functions,
// and a choice puts the name back.
class CButtonPage : public DialogBase {
 public:
  static constexpr int kDialogId = 140;
  static constexpr int kHardwareCheck = 1068;
  static constexpr int kRows = 5;
  static constexpr int kSlots = 20;
  // Name static and function list of rows 0..4 (Button 1..5).
  static constexpr std::array<int, kRows> kNameIds = {1073, 1074, 1075, 1076, 1077};
  static constexpr std::array<int, kRows> kComboIds = {1072, 1078, 1079, 1080, 1081};

  const DialogSpec& dialogSpec() const override;
  void OnInitDialog(Controls& controls) override;
  void OnCommand(Controls& controls, int id, int notification) override;
  // An application button (0xC1..0xC5) pressed on the page assigns nothing: it opens its
  // row's list, as a tap on the enabled name does, so the user picks that button's function.
  void OnKeyDown(Controls& controls, unsigned virtualKey) override;

  int32_t hardwareButtons = 0;
  // Slots 0..4 belong to Button 1..5; 5..19 are carried through unchanged.
  std::array<int32_t, kSlots> buttonFunctions = {};

 private:
  void ShowName(Controls& controls, int row);
  void OpenList(Controls& controls, int row);
};

}  // namespace lirako

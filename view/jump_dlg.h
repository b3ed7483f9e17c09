#pragma once

#include <cstdint>
#include <string>

#include "platform/controls.h"

namespace lirako {

class CTirasolView;

// The jump bar (dialog 132): lies over the top of the page and shows the position as a
// percentage on a slider and in two number fields (whole percent and hundredths); "이동"
// moves the page behind the open bar there.
class CJumpDlg : public DialogLogic {
 public:
  static constexpr int kDialogId = 132;
  static constexpr int kSlider = 1011;
  static constexpr int kLeaveButton = 2;
  static constexpr int kPercentEdit = 1010;
  static constexpr int kPercentSpin = 1093;
  static constexpr int kHundredthsEdit = 1012;
  static constexpr int kHundredthsSpin = 1094;
  static constexpr int kGoButton = 1017;
  static constexpr int kTimerId = 201;
  static constexpr unsigned kTimerPeriodMs = 100;

  // The jump command after the auto-refresh is stopped: with a document open, runs the bar,
  // then re-lays the page out from its top line without the bar.
  static void RunCommand(CTirasolView& view, DialogRunner& runner);
  // Makes `view` run RunCommand on its jump command and button function, through `runner`,
  // which must outlive the view.
  static void Install(CTirasolView& view, DialogRunner& runner);

  // A bar over `view` for `position` in a document of `size` units, the slider at
  // `initialPercent`.
  CJumpDlg(CTirasolView& view, unsigned initialPercent, int32_t position, int32_t size);

  const DialogSpec& dialogSpec() const override;
  void OnInitDialog(Controls& controls) override;
  void OnCommand(Controls& controls, int id, int notification) override;
  void OnScroll(Controls&, int, int) override {}
  void OnTimer(Controls& controls, int id) override;
  // Return closes the bar like "나가기".
  bool OnOk(Controls&) override { return true; }
  void OnCancel(Controls&) override {}

  // The fraction "이동" last handed to the engine (0 before the first).
  float lastFraction() const { return fraction_; }

  // The whole percent of `position` in `size`, in single precision, truncated; 100 for an
  // empty document.
  static unsigned InitialPercent(int32_t position, int32_t size);
  // Leading blanks, an optional sign, then the digits up to the first non-digit; 0 without.
  static int LeadingNumber(const std::u16string& text);

 private:
  void Go(Controls& controls);

  CTirasolView& view_;
  unsigned initialPercent_;
  int32_t position_;
  int32_t size_;
  float fraction_ = 0.0f;
  bool ready_ = false;
  Rect rect_;
  int height_ = 0;
  int width_ = 0;
};

}  // namespace lirako

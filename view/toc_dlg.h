#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/controls.h"

namespace lirako {

class CTirasolView;

// The table of contents ("목차"): every chapter of the open book with its percent, the
// current chapter selected, filled on as the scan finds more. Return, "이동" or a double
// click jumps to the chapter (its heading becomes the top line). The user's own heading rule
// is edited here too: "규칙 적용" checks the pattern, keeps it and scans the book again.
class CTocDlg : public DialogLogic {
 public:
  static constexpr int kDialogId = 140;
  static constexpr int kChapterList = 1301;
  static constexpr int kStatusLabel = 1302;
  static constexpr int kRuleLabel = 1303;
  static constexpr int kRuleEdit = 1304;
  static constexpr int kApplyRuleButton = 1305;
  static constexpr int kGoButton = 1;
  static constexpr int kCloseButton = 2;
  static constexpr int kTimerId = 1;
  static constexpr unsigned kTimerPeriodMs = 200;

  // The command after the auto-refresh is stopped: with a document open, runs the list.
  static void RunCommand(CTirasolView& view, DialogRunner& runner);
  // Makes `view` run RunCommand on its table-of-contents command, through `runner`, which
  // must outlive the view.
  static void Install(CTirasolView& view, DialogRunner& runner);

  explicit CTocDlg(CTirasolView& view);

  const DialogSpec& dialogSpec() const override;
  void OnInitDialog(Controls& controls) override;
  void OnCommand(Controls& controls, int id, int notification) override;
  void OnScroll(Controls&, int, int) override {}
  void OnTimer(Controls& controls, int id) override;
  bool OnOk(Controls& controls) override;
  void OnCancel(Controls&) override {}

  // "12.50%  제 3 장": the chapter's place as a percentage of the book, and its title.
  static std::u16string ItemText(int32_t position, int32_t size, const std::string& title);

 private:
  // Adds the chapters found since the last call and shows how the scan goes.
  void Refresh(Controls& controls);
  // Jumps to the selected chapter; false when none is selected.
  bool Jump(Controls& controls);
  void ApplyRule(Controls& controls);

  CTirasolView& view_;
  size_t shown_ = 0;
  bool userSelected_ = false;
};

}  // namespace lirako

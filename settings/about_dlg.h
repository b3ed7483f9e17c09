#pragma once

#include "platform/controls.h"
#include "settings/color_static.h"
#include "settings/dialog_base.h"

namespace lirako {

// The About box (dialog 100, "리라코는..."): the product name, a few lines about the program
// and a short quotation in control 1066, drawn black on light green.
class CAboutDlg : public DialogBase {
 public:
  static constexpr int kDialogId = 100;
  static constexpr int kQuotation = 1066;
  static constexpr uint32_t kQuotationText = 0x00000000;
  static constexpr uint32_t kQuotationBack = 0x00C8FFC8;

  const DialogSpec& dialogSpec() const override;
  void OnInitDialog(Controls& controls) override;
  void OnCommand(Controls& /*controls*/, int /*id*/, int /*notification*/) override {}

 private:
  CColorStatic quotation_;
};

// Command 57664 ("이놈은"): runs the About box modally; changes nothing.
void ShowAboutBox(DialogRunner& runner);

}  // namespace lirako

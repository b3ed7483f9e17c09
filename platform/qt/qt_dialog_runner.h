#pragma once

#include <string>
#include <vector>

#include "platform/controls.h"

class QWidget;

namespace lirako {

// Runs dialogs and property sheets modally on Qt widgets built from their DialogSpecs. A
// dialog without caption is a frameless bar; every dialog lies over `owner`'s window.
class QtDialogRunner : public DialogRunner {
 public:
  // `owner` is the widget the dialogs lie over (the reader view); may be null.
  explicit QtDialogRunner(QWidget* owner) : owner_(owner) {}

  int RunModal(DialogLogic& dialog) override;
  // Tabs titled with the pages' captions, with "확인" and "취소".
  int RunPropertySheet(const std::u16string& caption,
                       const std::vector<DialogLogic*>& pages) override;
  // QFontDatabase's families: those that set Korean first, then the others, in its order.
  std::vector<std::u16string> FontFamilies() override;
  // InstalledFace of `face`.
  std::u16string FaceInUse(const std::u16string& face) override;

 private:
  // Gives the keyboard back to the owner's window once a dialog has closed.
  void ReactivateOwner();

  QWidget* owner_;
};

}  // namespace lirako

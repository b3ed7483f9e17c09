#pragma once

#include "platform/controls.h"

class QDialog;
class QWidget;

namespace lirako {

class QtControls;

// Makes the Qt widget of one control of a dialog's template and forwards the user's actions
// on it to the DialogLogic, with `controls` as the dialog's Controls (buttons 1 and 2 accept
// and reject `dialog`). Lives as long as the widgets it makes.
class QtControlFactory {
 public:
  QtControlFactory(DialogLogic& logic, QtControls& controls, QDialog* dialog)
      : logic_(logic), controls_(controls), dialog_(dialog) {}

  // A new widget for `controlSpec` in `parent`.
  QWidget* Make(const ControlSpec& controlSpec, QWidget* parent) const;
  // Sizes `widget` of `controlSpec` for its place in the grid.
  static void Size(const ControlSpec& controlSpec, QWidget* widget);

 private:
  DialogLogic& logic_;
  QtControls& controls_;
  QDialog* dialog_;
};

}  // namespace lirako

#pragma once

#include <map>
#include <vector>

#include "platform/controls.h"

class QGridLayout;
class QWidget;

namespace lirako {

class QtControlFactory;

// One control of a dialog on Qt: its kind and its widget.
struct QtControl {
  ControlKind kind;
  QWidget* widget;
};

// Lays the controls of a dialog's template out on `page` in a grid by row and column: a
// group box is a framed group with its own grid for the controls in its cells, adjacent
// radio buttons are one exclusive group, up-down arrows stand at the right of their edit,
// and the controls keep to the top left unless a list takes the room.
class QtControlGrid {
 public:
  // Makes every control of `controls` with `factory`, names it "control<id>", puts it in
  // `grid` (the page's) and records it in `placed` by id.
  static void Build(const std::vector<ControlSpec>& controls, QWidget* page, QGridLayout* grid,
                    const QtControlFactory& factory, std::map<int, QtControl>* placed);
};

}  // namespace lirako

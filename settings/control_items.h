#pragma once

#include <string>

#include "platform/controls.h"

namespace lirako {

// A control of a dialog template: `kind` with `text`, at (`row`, `column`) of its layout.
inline ControlSpec Item(int id, ControlKind kind, std::u16string text, int row, int column = 0) {
  ControlSpec controlSpec;
  controlSpec.id = id;
  controlSpec.kind = kind;
  controlSpec.text = std::move(text);
  controlSpec.row = row;
  controlSpec.column = column;
  return controlSpec;
}

// `controlSpec` drawn with a border.
inline ControlSpec Bordered(ControlSpec controlSpec) {
  controlSpec.bordered = true;
  return controlSpec;
}

// `controlSpec` taking `columns` columns and `rows` rows from its cell on.
inline ControlSpec Spanning(ControlSpec controlSpec, int columns, int rows = 1) {
  controlSpec.columnSpan = columns;
  controlSpec.rowSpan = rows;
  return controlSpec;
}

// A check box with its text left of the box.
inline ControlSpec TextLeft(ControlSpec controlSpec) {
  controlSpec.textLeft = true;
  return controlSpec;
}

// Spin arrows stepping the edit `buddy`; the page sets their range.
inline ControlSpec UpDown(int id, int buddy, int row, int column) {
  ControlSpec controlSpec = Item(id, ControlKind::kUpDown, u"", row, column);
  controlSpec.buddy = buddy;
  return controlSpec;
}

// Labels without an id of their own carry this one.
constexpr int kNoId = 65535;

}  // namespace lirako

#pragma once

#include <string>

#include "platform/controls.h"

namespace lirako {

// A control of a dialog template: `kind` with `text`, at (`row`, `column`) of its layout.
inline ControlSpec Item(int id, ControlKind kind, std::u16string text, int row, int column = 0) {
  ControlSpec spec;
  spec.id = id;
  spec.kind = kind;
  spec.text = std::move(text);
  spec.row = row;
  spec.column = column;
  return spec;
}

// `spec` drawn with a border.
inline ControlSpec Bordered(ControlSpec spec) {
  spec.bordered = true;
  return spec;
}

// `spec` taking `columns` columns of its row.
inline ControlSpec Spanning(ControlSpec spec, int columns) {
  spec.columnSpan = columns;
  return spec;
}

// Spin arrows stepping the edit `buddy`; the page sets their range.
inline ControlSpec UpDown(int id, int buddy, int row, int column) {
  ControlSpec spec = Item(id, ControlKind::kUpDown, u"", row, column);
  spec.buddy = buddy;
  return spec;
}

// Labels without an id of their own carry this one.
constexpr int kNoId = 65535;

}  // namespace lirako

#pragma once

#include <QIcon>

namespace lirako {

// The 16 × 16 picture of tool-bar command `id`, drawn in code.
QIcon ToolBarIcon(int id);

}  // namespace lirako

#pragma once

#include <QIcon>

namespace lirako {

// The program's icon, drawn in code: an open book on a green ground with a bookmark ribbon.
// The application's window icon, and the picture of the About box.
QIcon ProgramIcon();

}  // namespace lirako

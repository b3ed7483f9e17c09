#pragma once

#include <string>

class QWidget;

namespace lirako {

class Library;
class Platform;

// Shows the dialog "서재" over `parent`: every book `library` remembers. Returns the path of
// the book chosen (Enter or a double click), or nothing when the dialog was closed.
std::u16string ChooseFromLibrary(Platform& platform, Library& library, QWidget* parent);

}  // namespace lirako

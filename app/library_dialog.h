#pragma once

class QWidget;

namespace lirako {

class CTirasolView;

// Shows the dialog "서재" over `parent`: every book the view's library remembers; the book
// chosen (Enter or a double click) opens in the view.
void RunLibraryDialog(CTirasolView& view, QWidget* parent);

}  // namespace lirako

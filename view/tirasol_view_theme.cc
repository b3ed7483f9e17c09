// The reader view's page colours: the theme in force and the night key.
#include "view/tirasol_view.h"

namespace lirako {

PageColors CTirasolView::pageColors() const {
  return ColorsOf(themeChoice().theme(), PageColors{settings_.textColor, settings_.backColor});
}

void CTirasolView::SetTheme(Theme theme) {
  ThemeChoice choice = themeChoice();
  if (choice.theme() == theme) return;
  choice.Choose(theme, PageColors{settings_.textColor, settings_.backColor});
  choice.Store(readerStore_);
  host_.Invalidate();
}

void CTirasolView::ToggleNight() {
  ThemeChoice choice = themeChoice();
  choice.ToggleNight(PageColors{settings_.textColor, settings_.backColor});
  choice.Store(readerStore_);
  host_.Invalidate();
}

}  // namespace lirako

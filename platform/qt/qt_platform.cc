#include "platform/qt/qt_platform.h"

#include "platform/qt/qt_font.h"
#include "platform/qt/qt_surface.h"

namespace lirako {

std::unique_ptr<Font> QtPlatform::CreateFont(const FontSpec& fontSpec) {
  return std::make_unique<QtFont>(fontSpec);
}

std::unique_ptr<Surface> QtPlatform::CreateMemorySurface(Surface& screen, int width, int height) {
  auto* qtScreen = dynamic_cast<QtSurface*>(&screen);
  return std::make_unique<QtSurface>(width, height, qtScreen ? qtScreen->pixelRatio() : 1);
}

}  // namespace lirako

#include "platform/qt/qt_platform.h"

#include "platform/qt/qt_font.h"
#include "platform/qt/qt_surface.h"

namespace lirako {

std::unique_ptr<Font> QtPlatform::CreateFont(const FontSpec& spec) {
  return std::make_unique<QtFont>(spec);
}

std::unique_ptr<Surface> QtPlatform::CreateMemorySurface(Surface&, int width, int height) {
  return std::make_unique<QtSurface>(width, height);
}

}  // namespace lirako

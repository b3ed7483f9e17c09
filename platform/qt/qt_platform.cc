#include "platform/qt/qt_platform.h"

#include <algorithm>

#include "platform/qt/qt_font.h"
#include "platform/qt/qt_surface.h"

namespace lirako {

std::unique_ptr<Font> QtPlatform::CreateFont(const FontSpec& fontSpec) {
  return std::make_unique<QtFont>(fontSpec);
}

std::unique_ptr<Surface> QtPlatform::CreateMemorySurface(Surface& screen, int width, int height) {
  auto* qtScreen = dynamic_cast<QtSurface*>(&screen);
  const qreal ratio = qtScreen && qtScreen->pixelRatio() > 0 ? qtScreen->pixelRatio() : 1;
  // A second surface while the kept image is painted on gets an image of its own.
  if (page_.paintingActive()) return std::make_unique<QtSurface>(width, height, ratio);
  const QSize size(std::max(qRound(width * ratio), 1), std::max(qRound(height * ratio), 1));
  if (page_.size() != size || page_.devicePixelRatio() != ratio) {
    page_ = QImage(size, QImage::Format_RGB32);
    page_.setDevicePixelRatio(ratio);
    page_.fill(Qt::white);
  }
  return QtSurface::Over(page_);
}

}  // namespace lirako

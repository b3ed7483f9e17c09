#include "platform/qt/qt_platform.h"

#include <algorithm>

#include <QGuiApplication>
#include <QScreen>
#include <QSocketNotifier>

#include "platform/inotify_watch.h"
#include "platform/qt/qt_font.h"
#include "platform/qt/qt_surface.h"
#include "platform/utf.h"

namespace lirako {
namespace {

// Without a screen: what X11 and Qt take when the display says nothing.
constexpr int kFallbackDpi = 96;

class QtFileWatch : public FileWatch {
 public:
  QtFileWatch(std::unique_ptr<InotifyWatch> watch, Changed changed)
      : watch_(std::move(watch)), notifier_(watch_->fd(), QSocketNotifier::Read) {
    QObject::connect(&notifier_, &QSocketNotifier::activated, [this, changed = std::move(changed)] {
      if (watch_->Drain()) changed();
    });
  }

 private:
  std::unique_ptr<InotifyWatch> watch_;
  QSocketNotifier notifier_;
};

}  // namespace

std::unique_ptr<FileWatch> QtPlatform::WatchFile(const std::u16string& path,
                                                 FileWatch::Changed changed) {
  std::unique_ptr<InotifyWatch> watch = InotifyWatch::Create(PathToBytes(path));
  if (!watch) return nullptr;
  return std::make_unique<QtFileWatch>(std::move(watch), std::move(changed));
}

std::unique_ptr<Font> QtPlatform::CreateFont(const FontSpec& fontSpec) {
  return std::make_unique<QtFont>(fontSpec);
}

int QtPlatform::LogicalDpi() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? std::max(qRound(screen->logicalDotsPerInch()), 1) : kFallbackDpi;
}

std::unique_ptr<Surface> QtPlatform::CreateMemorySurface(Surface& screen, int width, int height) {
  bool fresh = false;
  std::unique_ptr<Surface> surface = PageImage(screen, width, height, &fresh);
  // What is drawn on it now is no page's.
  if (!fresh) pageKept_ = false;
  return surface;
}

std::unique_ptr<Surface> QtPlatform::CreatePageSurface(Surface& screen, int width, int height,
                                                       bool* kept) {
  bool fresh = false;
  std::unique_ptr<Surface> surface = PageImage(screen, width, height, &fresh);
  *kept = !fresh && pageKept_;
  if (!fresh) pageKept_ = true;
  return surface;
}

std::unique_ptr<Surface> QtPlatform::CreateSpareSurface() {
  if (page_.isNull() || spare_.paintingActive()) return nullptr;
  if (!SpareFitsPage()) {
    spare_ = QImage(page_.size(), QImage::Format_RGB32);
    spare_.setDevicePixelRatio(page_.devicePixelRatio());
  }
  return QtSurface::Over(spare_);
}

bool QtPlatform::TakeSparePage() {
  if (page_.isNull() || page_.paintingActive() || spare_.paintingActive() || !SpareFitsPage())
    return false;
  page_.swap(spare_);
  pageKept_ = true;
  return true;
}

bool QtPlatform::SpareFitsPage() const {
  return spare_.size() == page_.size() && spare_.devicePixelRatio() == page_.devicePixelRatio();
}

std::unique_ptr<Surface> QtPlatform::PageImage(Surface& screen, int width, int height,
                                               bool* fresh) {
  auto* qtScreen = dynamic_cast<QtSurface*>(&screen);
  const qreal ratio = qtScreen && qtScreen->pixelRatio() > 0 ? qtScreen->pixelRatio() : 1;
  // A second surface while the kept image is painted on gets an image of its own.
  if (page_.paintingActive()) {
    *fresh = true;
    return std::make_unique<QtSurface>(width, height, ratio);
  }
  const QSize size(std::max(qRound(width * ratio), 1), std::max(qRound(height * ratio), 1));
  if (page_.size() != size || page_.devicePixelRatio() != ratio) {
    page_ = QImage(size, QImage::Format_RGB32);
    page_.setDevicePixelRatio(ratio);
    page_.fill(Qt::white);
    pageKept_ = false;
  }
  *fresh = false;
  return QtSurface::Over(page_);
}

}  // namespace lirako

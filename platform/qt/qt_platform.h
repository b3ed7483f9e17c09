#pragma once

#include <memory>

#include <QImage>

#include "platform/system_platform.h"

namespace lirako {

// The platform of the reader window: the Linux system services plus Qt fonts and surfaces.
// Needs a QGuiApplication (or QApplication) to exist while fonts are made and drawn.
class QtPlatform : public SystemPlatform {
 public:
  using SystemPlatform::SystemPlatform;

  std::unique_ptr<Font> CreateFont(const FontSpec& fontSpec) override;
  // A QImage surface of the given size, as dense in device pixels as `screen`: the same
  // image from paint to paint while the size holds, so that no page allocates one.
  std::unique_ptr<Surface> CreateMemorySurface(Surface& screen, int width, int height) override;
  // An inotify watch whose descriptor the event loop waits on (QSocketNotifier).
  std::unique_ptr<FileWatch> WatchFile(const std::u16string& path,
                                       FileWatch::Changed changed) override;

 private:
  QImage page_;
};

}  // namespace lirako

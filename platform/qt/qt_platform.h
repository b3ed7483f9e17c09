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
  // The primary screen's (96 without one).
  int LogicalDpi() override;
  // A QImage surface of the given size, as dense in device pixels as `screen`: the same
  // image from paint to paint while the size holds, so that no page allocates one.
  std::unique_ptr<Surface> CreateMemorySurface(Surface& screen, int width, int height) override;
  // The same kept image; kept while no other surface was drawn on it since the last page.
  std::unique_ptr<Surface> CreatePageSurface(Surface& screen, int width, int height,
                                             bool* kept) override;
  // spare_, made again when the page image's size or density changed.
  std::unique_ptr<Surface> CreateSpareSurface() override;
  bool TakeSparePage() override;
  // An inotify watch whose descriptor the event loop waits on (QSocketNotifier).
  std::unique_ptr<FileWatch> WatchFile(const std::u16string& path,
                                       FileWatch::Changed changed) override;

 private:
  // Hands out page_ (made again when the size or density changed); `*fresh` when it was
  // made again or another image had to be given.
  std::unique_ptr<Surface> PageImage(Surface& screen, int width, int height, bool* fresh);

  // Whether spare_ has page_'s size and density.
  bool SpareFitsPage() const;

  QImage page_;
  QImage spare_;           // a page drawn ahead, swapped in by TakeSparePage
  bool pageKept_ = false;  // page_ holds the last page surface's pixels
};

}  // namespace lirako

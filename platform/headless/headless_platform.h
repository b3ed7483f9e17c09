#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "platform/headless/recording_surface.h"
#include "platform/system_platform.h"

namespace lirako {

// The headless double used by tests and tools: real files, an in-memory registry,
// deterministic text metrics, recording surfaces, and switches for what tests vary.
class HeadlessPlatform : public SystemPlatform {
 public:
  static constexpr int kDefaultDpi = 96;

  HeadlessPlatform();
  // Removes the private desktop folders, if they were made.
  ~HeadlessPlatform() override;

  std::u16string ProgramPath() override;
  // The user's desktop folders are private to this platform ("config" and "data" in a
  // temporary folder made when first asked for), so that nothing run on the double changes
  // the real user's desktop files; the system data folders are the real ones, read only.
  std::u16string ConfigHome() override;
  std::u16string DataHome() override;
  std::unique_ptr<Font> CreateFont(const FontSpec& fontSpec) override;
  // kDefaultDpi unless a test sets another.
  int LogicalDpi() override { return logicalDpi_; }
  void SetLogicalDpi(int dpi) { logicalDpi_ = dpi; }
  std::unique_ptr<Surface> CreateMemorySurface(Surface& screen, int width, int height) override;
  // A watch that FireFileWatches runs, as the window's event loop would on a change.
  std::unique_ptr<FileWatch> WatchFile(const std::u16string& path,
                                       FileWatch::Changed changed) override;
  // Runs the callback of every live watch of `path`; returns how many ran.
  int FireFileWatches(const std::u16string& path);
  // The double's clock: it stands still until AdvanceClock moves it.
  std::chrono::steady_clock::time_point Now() override { return now_; }
  void AdvanceClock(std::chrono::steady_clock::duration by) { now_ += by; }

  // A screen surface of the given size with this platform's metrics.
  std::unique_ptr<RecordingSurface> CreateScreen(int width, int height);

  HeadlessMetrics& metrics() { return metrics_; }
  // Pretends the program file is at `path` (empty: the real one).
  void SetProgramPath(std::u16string path) { programPath_ = std::move(path); }
  // Reports code page 949 present or absent.
  void SetCodePage949(bool present) { codePageDisabled_ = !present; }
  // Puts the user's desktop folders elsewhere.
  void SetDesktopHomes(std::u16string configHome, std::u16string dataHome) {
    configHome_ = std::move(configHome);
    dataHome_ = std::move(dataHome);
  }
  // Every font created, in order.
  const std::vector<FontSpec>& createdFonts() const { return createdFonts_; }

 private:
  HeadlessMetrics metrics_;
  int logicalDpi_ = kDefaultDpi;
  std::u16string programPath_;
  std::u16string configHome_;
  std::u16string dataHome_;
  std::string privateFolder_;
  std::vector<FontSpec> createdFonts_;
  std::chrono::steady_clock::time_point now_;
  struct Watch;
  // The live watches; each removes itself when it goes.
  std::shared_ptr<std::vector<Watch*>> watches_ = std::make_shared<std::vector<Watch*>>();
};

}  // namespace lirako

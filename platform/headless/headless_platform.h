#pragma once

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
  HeadlessPlatform();

  std::u16string ProgramPath() override;
  std::unique_ptr<Font> CreateFont(const FontSpec& fontSpec) override;
  std::unique_ptr<Surface> CreateMemorySurface(Surface& screen, int width, int height) override;

  // A screen surface of the given size with this platform's metrics.
  std::unique_ptr<RecordingSurface> CreateScreen(int width, int height);

  HeadlessMetrics& metrics() { return metrics_; }
  // Pretends the program file is at `path` (empty: the real one).
  void SetProgramPath(std::u16string path) { programPath_ = std::move(path); }
  // Reports code page 949 present or absent.
  void SetCodePage949(bool present) { codePageDisabled_ = !present; }
  // Every font created, in order.
  const std::vector<FontSpec>& createdFonts() const { return createdFonts_; }

 private:
  HeadlessMetrics metrics_;
  std::u16string programPath_;
  std::vector<FontSpec> createdFonts_;
};

}  // namespace lirako

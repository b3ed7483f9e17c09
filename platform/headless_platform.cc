#include "platform/headless_platform.h"

namespace lirako {
namespace {

class HeadlessFont : public Font {
 public:
  explicit HeadlessFont(FontSpec spec) : spec_(std::move(spec)) {}
  const FontSpec& spec() const override { return spec_; }

 private:
  FontSpec spec_;
};

}  // namespace

HeadlessPlatform::HeadlessPlatform() : SystemPlatform(std::make_unique<RegistryStore>()) {}

std::u16string HeadlessPlatform::ProgramPath() {
  return programPath_.empty() ? SystemPlatform::ProgramPath() : programPath_;
}

std::unique_ptr<Font> HeadlessPlatform::CreateFont(const FontSpec& spec) {
  createdFonts_.push_back(spec);
  return std::make_unique<HeadlessFont>(spec);
}

std::unique_ptr<Surface> HeadlessPlatform::CreateMemorySurface(Surface&, int width, int height) {
  return std::make_unique<RecordingSurface>(width, height, &metrics_);
}

std::unique_ptr<RecordingSurface> HeadlessPlatform::CreateScreen(int width, int height) {
  return std::make_unique<RecordingSurface>(width, height, &metrics_);
}

}  // namespace lirako

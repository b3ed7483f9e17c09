#include "platform/headless/headless_platform.h"

#include <cstdlib>
#include <filesystem>

#include "platform/utf.h"

namespace lirako {
namespace {

class HeadlessFont : public Font {
 public:
  explicit HeadlessFont(FontSpec fontSpec) : spec_(std::move(fontSpec)) {}
  const FontSpec& fontSpec() const override { return spec_; }

 private:
  FontSpec spec_;
};

}  // namespace

HeadlessPlatform::HeadlessPlatform() : SystemPlatform(std::make_unique<RegistryStore>()) {}

HeadlessPlatform::~HeadlessPlatform() {
  if (privateFolder_.empty()) return;
  std::error_code ignored;
  std::filesystem::remove_all(privateFolder_, ignored);
}

std::u16string HeadlessPlatform::ConfigHome() {
  if (configHome_.empty() || dataHome_.empty()) {
    char folder[] = "/tmp/lirako-desktop-XXXXXX";
    if (::mkdtemp(folder)) {
      privateFolder_ = folder;
      if (configHome_.empty()) configHome_ = FromUtf8(privateFolder_ + "/config");
      if (dataHome_.empty()) dataHome_ = FromUtf8(privateFolder_ + "/data");
    }
  }
  return configHome_;
}

std::u16string HeadlessPlatform::DataHome() {
  if (dataHome_.empty()) ConfigHome();
  return dataHome_;
}

std::u16string HeadlessPlatform::ProgramPath() {
  return programPath_.empty() ? SystemPlatform::ProgramPath() : programPath_;
}

std::unique_ptr<Font> HeadlessPlatform::CreateFont(const FontSpec& fontSpec) {
  createdFonts_.push_back(fontSpec);
  return std::make_unique<HeadlessFont>(fontSpec);
}

std::unique_ptr<Surface> HeadlessPlatform::CreateMemorySurface(Surface&, int width, int height) {
  return std::make_unique<RecordingSurface>(width, height, &metrics_);
}

std::unique_ptr<RecordingSurface> HeadlessPlatform::CreateScreen(int width, int height) {
  return std::make_unique<RecordingSurface>(width, height, &metrics_);
}

}  // namespace lirako

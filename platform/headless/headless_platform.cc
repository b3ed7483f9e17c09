#include "platform/headless/headless_platform.h"

#include <algorithm>
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

struct HeadlessPlatform::Watch : FileWatch {
  Watch(std::u16string path, Changed changed, std::shared_ptr<std::vector<Watch*>> all)
      : path(std::move(path)), changed(std::move(changed)), all(std::move(all)) {
    this->all->push_back(this);
  }
  ~Watch() override { std::erase(*all, this); }

  std::u16string path;
  Changed changed;
  std::shared_ptr<std::vector<Watch*>> all;
};

std::unique_ptr<FileWatch> HeadlessPlatform::WatchFile(const std::u16string& path,
                                                       FileWatch::Changed changed) {
  return std::make_unique<Watch>(path, std::move(changed), watches_);
}

int HeadlessPlatform::FireFileWatches(const std::u16string& path) {
  int fired = 0;
  // A callback may end watches (and start new ones): run those live now, while they live.
  const std::vector<Watch*> now = *watches_;
  for (Watch* watch : now) {
    if (std::find(watches_->begin(), watches_->end(), watch) == watches_->end()) continue;
    if (watch->path != path) continue;
    watch->changed();
    ++fired;
  }
  return fired;
}

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

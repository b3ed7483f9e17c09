// Loads arbitrary bytes as SetParam.Dat. A file that is used must save and load back to the
// same settings; a file that is not used must leave the defaults.
#include <cstdint>
#include <cstdlib>

#include "platform/headless/memory_platform.h"
#include "store/settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace lirako;
  static MemoryPlatform platform;
  platform.files[u"/in"] = std::string(reinterpret_cast<const char*>(data), size);

  ReaderSettings settings;
  SettingsFileStatus status = ReadSettingsFile(platform, u"/in", settings);
  if (!status.opened) std::abort();
  if (!status.used) {
    if (!(settings == ReaderSettings())) std::abort();
    return 0;
  }
  if (!WriteSettingsFile(platform, u"/out", settings)) std::abort();
  ReaderSettings again;
  SettingsFileStatus written = ReadSettingsFile(platform, u"/out", again);
  if (written.state != LoadState::kClean || !(again == settings)) std::abort();
  return 0;
}

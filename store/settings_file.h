#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"
#include "store/load_state.h"
#include "store/reader_settings.h"

namespace lirako {

// What reading a settings file found.
struct SettingsFileStatus {
  bool opened = false;  // the file could be opened
  int32_t version = 0;  // the header's version (0 when the file is shorter than the header)
  bool used = false;    // the settings were taken, whole or in part, from the file
  LoadState state = LoadState::kMissing;
  std::string error;  // why the file was not read whole, when it was not
};

// Reads the settings file at `path` into `settings`. A missing file or a version other than
// 538 leaves `settings` unchanged. A list outside the format keeps the fields before it and
// leaves itself and the lists after it unchanged. A file that ends early keeps the current
// value of every field it lacks; a list whose count it lacks is empty.
SettingsFileStatus ReadSettingsFile(Platform& platform, const std::u16string& path,
                                    ReaderSettings& settings);
// Writes `settings` to `path`, replacing the file only when all of it was written. Strings
// longer than the format holds are left out. False, with the reason in `err`, when nothing
// was saved.
bool WriteSettingsFile(Platform& platform, const std::u16string& path,
                       const ReaderSettings& settings, std::string* err = nullptr);

// ReadSettingsFile on SetParam.Dat in `dataFolder`; true when the file was used, else false
// with the reason in `err` when it is given.
bool LoadSettings(Platform& platform, const std::u16string& dataFolder, ReaderSettings& settings,
                  std::string* err = nullptr);
// WriteSettingsFile on SetParam.Dat in `dataFolder`, under the folder's lock. A file that
// cannot be read is left alone; one that does not load cleanly is first kept as its damaged
// copy. False, with the reason in `err`, when nothing was saved.
bool SaveSettings(Platform& platform, const std::u16string& dataFolder,
                  const ReaderSettings& settings, std::string* err = nullptr);

}  // namespace lirako

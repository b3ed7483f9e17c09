#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"
#include "store/reader_settings.h"

namespace lirako {

// What reading a settings file found.
struct SettingsFileStatus {
  bool opened = false;  // the file could be opened
  int32_t version = 0;  // the header's version (0 when the file is shorter than the header)
  bool used = false;    // the settings were taken from the file
  std::string error;    // why they were not, when they were not
};

// Reads the settings file at `path` into `settings`. A missing file, a version other than
// 538 or content outside the format leaves `settings` unchanged. A file that ends early
// keeps the current value of every field it lacks; a list whose count it lacks is empty.
SettingsFileStatus ReadSettingsFile(Platform& platform, const std::u16string& path,
                                    ReaderSettings& settings);
// Writes `settings` to `path`, replacing the file only when all of it was written. Strings
// longer than the format holds are left out. False when nothing was saved.
bool WriteSettingsFile(Platform& platform, const std::u16string& path,
                       const ReaderSettings& settings);

// ReadSettingsFile on SetParam.Dat in `dataFolder`; true when the file was used, else false
// with the reason in `err` when it is given.
bool LoadSettings(Platform& platform, const std::u16string& dataFolder, ReaderSettings& settings,
                  std::string* err = nullptr);
// WriteSettingsFile on SetParam.Dat in `dataFolder`.
bool SaveSettings(Platform& platform, const std::u16string& dataFolder,
                  const ReaderSettings& settings);

}  // namespace lirako

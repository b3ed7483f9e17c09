#pragma once

#include <string>
#include <string_view>

#include "platform/platform.h"

namespace lirako {

// The folder that holds the reader's data files, fixed once at start-up: "/tmp", replaced by
// the "Default Path" string of HKEY_CURRENT_USER "Software\Lirako", replaced by the folder of
// the program file; when that folder is not writable, the user's data folder instead.
std::u16string FindDataFolder(Platform& platform);

// folder + "/" + name.
std::u16string DataFilePath(std::u16string_view folder, std::u16string_view name);

// The part of `path` after its last "/", or the whole path when it holds none.
std::u16string FileNameOf(std::u16string_view path);

}  // namespace lirako

#pragma once

#include <string>

#include "platform/platform.h"

namespace lirako {

// The name of the copy kept of a data file that did not load cleanly: `path` + ".damaged".
std::u16string DamagedCopyPath(const std::u16string& path);

// Copies the file at `path` byte for byte to its damaged copy, replacing an older copy (one
// generation is kept), so that a save over it destroys nothing. False, with the reason in
// `err`, when the copy could not be made.
bool KeepDamagedCopy(Platform& platform, const std::u16string& path, std::string* err);

}  // namespace lirako

#pragma once

#include <string>
#include <string_view>

#include "platform/platform.h"

namespace lirako {

// `path` as the user should read it: every part of it (between "/") that holds bytes which
// are not UTF-8 (see PathFromBytes) is decoded as code page 949 when all of its bytes form
// code page 949 characters, else each such byte shows as "\xNN". Other parts stay as they
// are.
std::u16string ReadablePath(Platform& platform, std::u16string_view path);

}  // namespace lirako

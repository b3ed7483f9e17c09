#pragma once

#include <chrono>
#include <string>

#include "platform/platform.h"

namespace lirako {

// The desktop's list of recently used files, $XDG_DATA_HOME/recently-used.xbel (the XBEL
// bookmark file that file managers and file dialogs read). AddRecentlyUsed records that the
// reader ("lirako") opened `path` at `now`: the file's entry, if there is one, gets new
// "modified" and "visited" times and the reader's application record (its count raised by
// one); otherwise a new entry is added at the end. Everything else in the file is kept as
// it was. A file that does not end its "<xbel>" element is not the format and is left
// alone (false, with the reason in `err`); a missing file is created. Written atomically.
bool AddRecentlyUsed(Platform& platform, const std::u16string& path,
                     std::chrono::system_clock::time_point now, std::string* err);

// The file: URI of an absolute path, with every byte outside the unreserved characters
// and "/" percent-encoded.
std::string FileUri(const std::u16string& path);

}  // namespace lirako

#pragma once

#include <chrono>
#include <string>

namespace lirako {

// Records in the desktop's list of recently used files, the XBEL file `xbelPath`, that the
// reader ("lirako") opened the file `path` (its bytes as the system names it) at `now`. The
// file is read and written by GLib's own GBookmarkFile, as every GTK program does: the file's
// entry (found by GLib's URI of the path) gets new modified and visited times and the reader's
// count raised by one, or is added; everything else stays. GLib's writers take no lock, so
// the new file is renamed over the old one only when nobody replaced it since it was read,
// else it is read and changed again; copies of the reader wait for one another on an
// advisory lock of the file. A file GLib cannot read is left alone; false with the reason
// in `err`.
bool RecordRecentlyUsed(const std::string& xbelPath, const std::string& path,
                        std::chrono::system_clock::time_point now, std::string* err);

}  // namespace lirako

// Loads arbitrary bytes as ResentFiles.Dat. A list that loads must save and load back to its
// first ten entries with their first ten bookmarks; a refused file must give an empty list.
#include <cstdint>
#include <cstdlib>

#include "platform/headless/memory_platform.h"
#include "store/recent_file_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace lirako;
  static MemoryPlatform platform;
  platform.files[u"/in"] = std::string(reinterpret_cast<const char*>(data), size);

  RecentFileList list;
  if (!list.LoadFile(platform, u"/in")) {
    if (list.size() != 0) std::abort();
    return 0;
  }
  std::vector<RecentFileEntry> kept;
  for (const RecentFileEntry& entry : list.entries()) {
    if (kept.size() == 10) break;
    kept.push_back(entry);
    if (kept.back().bookmarks.size() > 10) kept.back().bookmarks.resize(10);
  }
  if (!list.SaveFile(platform, u"/out")) std::abort();
  RecentFileList again;
  if (!again.LoadFile(platform, u"/out") || again.entries() != kept) std::abort();
  return 0;
}

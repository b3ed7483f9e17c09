// Loads arbitrary bytes as ResentFiles.Dat. What loads, whole or up to damage, must save and
// load back cleanly to its first ten entries with their first ten bookmarks.
#include <cstdint>
#include <cstdlib>

#include "platform/headless/memory_platform.h"
#include "store/recent_file_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace lirako;
  static MemoryPlatform platform;
  platform.files[u"/in"] = std::string(reinterpret_cast<const char*>(data), size);

  RecentFileList list;
  LoadState state = list.LoadFile(platform, u"/in");
  if (state != LoadState::kClean && state != LoadState::kDamaged) std::abort();
  std::vector<RecentFileEntry> kept;
  for (const RecentFileEntry& entry : list.entries()) {
    if (kept.size() == 10) break;
    kept.push_back(entry);
    if (kept.back().bookmarks.size() > 10) kept.back().bookmarks.resize(10);
  }
  if (!list.SaveFile(platform, u"/out")) std::abort();
  RecentFileList again;
  if (again.LoadFile(platform, u"/out") != LoadState::kClean || again.entries() != kept) {
    std::abort();
  }
  return 0;
}

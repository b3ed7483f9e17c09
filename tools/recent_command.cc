#include <cstdio>
#include <string>
#include <vector>

#include "platform/headless/headless_platform.h"
#include "platform/utf.h"
#include "store/recent_file_list.h"
#include "tools/command.h"
#include "tools/json_text.h"

namespace lirako::tool {
namespace {

std::string EntryJson(const RecentFileEntry& e) {
  std::string out = "{\"path\": " + JsonString(e.path) +
                    ", \"position\": " + std::to_string(e.position) + ", \"bookmarks\": [";
  for (size_t i = 0; i < e.bookmarks.size(); ++i) {
    out += (i ? ", " : "") + std::string("{\"name\": ") + JsonString(e.bookmarks[i].name) +
           ", \"position\": " + std::to_string(e.bookmarks[i].position) + "}";
  }
  return out + "]}";
}

int Run(const std::vector<std::string>& args) {
  if (args.size() != 1 || args[0].empty() || args[0][0] == '-') {
    return Fail("usage: lirakotool recent FILE");
  }
  HeadlessPlatform platform;
  std::u16string path = PathFromBytes(args[0]);
  std::string reason;
  if (!platform.OpenForReading(path, &reason))
    return Fail("cannot open " + args[0] + ": " + reason);
  RecentFileList list;
  list.LoadFile(platform, path);
  std::string out = "{\"entries\": [";
  for (size_t i = 0; i < list.size(); ++i)
    out += (i ? ", " : "") + EntryJson(list.entries()[i]);
  std::printf("%s]}\n", out.c_str());
  return 0;
}

const CommandRegistration kRegistration({
    "recent",
    "  recent FILE                     print the recent-file record FILE (ResentFiles.Dat) as JSON",
    Run,
});

}  // namespace
}  // namespace lirako::tool

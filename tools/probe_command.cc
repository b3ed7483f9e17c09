#include <cstdio>
#include <string>
#include <vector>

#include "engine/encoding_detection.h"
#include "platform/headless/headless_platform.h"
#include "platform/readable_path.h"
#include "platform/utf.h"
#include "tools/command.h"
#include "tools/json_text.h"

namespace lirako::tool {
namespace {

int Run(const std::vector<std::string>& args) {
  if (args.empty()) return Fail("usage: lirakotool probe FILE...");
  HeadlessPlatform platform;
  int status = 0;
  for (const std::string& file : args) {
    // Opened by the name's exact bytes, shown as well as it can be read.
    const std::u16string path = PathFromBytes(file);
    const std::string name = JsonString(ReadablePath(platform, path));
    EncodingGuess guess;
    std::string err;
    if (DetectTextEncoding(platform, path, &guess, &err)) {
      std::printf("{\"file\": %s, \"encoding\": \"%s\", \"bom\": %s, \"examined\": %lld}\n",
                  name.c_str(), std::string(EncodingName(guess.encoding)).c_str(),
                  guess.bom ? "true" : "false", static_cast<long long>(guess.examined));
    } else {
      std::printf("{\"file\": %s, \"error\": %s}\n", name.c_str(),
                  JsonString(FromUtf8(err)).c_str());
      status = 1;
    }
  }
  return status;
}

const CommandRegistration kRegistration({
    "probe",
    "  probe FILE...                   detect each file's encoding as the reader would and\n"
    "                                  print it as one JSON line (exit status 1 when a file\n"
    "                                  cannot be read)",
    Run,
});

}  // namespace
}  // namespace lirako::tool

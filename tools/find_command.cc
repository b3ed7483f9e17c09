#include <cstdio>
#include <string>
#include <vector>

#include "platform/utf.h"
#include "tools/command.h"
#include "tools/engine_session.h"

namespace lirako::tool {
namespace {

int Run(const std::vector<std::string>& args) {
  LayoutOptions options;
  std::vector<std::string> positional;
  int findOptions = 0;
  int from = 0;
  int count = 100;
  for (size_t i = 0; i < args.size(); ++i) {
    std::string error;
    if (ParseLayoutOption(args, &i, &options, &error)) continue;
    if (!error.empty()) return Fail(error);
    const std::string& a = args[i];
    if (a == "--case") {
      findOptions |= kFindMatchCase;
    } else if (a == "--from" || a == "--count") {
      if (i + 1 >= args.size()) return Fail(a + " needs a value");
      int value = 0;
      if (!ParseInt(args[++i], &value)) return Fail("bad value '" + args[i] + "' for " + a);
      (a == "--from" ? from : count) = value;
    } else if (a.rfind("--", 0) == 0) {
      return Fail("unknown option " + a);
    } else {
      positional.push_back(a);
    }
  }
  if (positional.size() != 2) return Fail("usage: lirakotool find FILE TEXT [options]");
  EngineSession session;
  std::string error;
  if (!session.Open(positional[0], options, &error)) return Fail(error);
  CTextEngine& engine = session.engine();
  std::u16string text = FromUtf8(positional[1]);
  engine.SetSearchStart(from);
  for (int i = 0; i < count; ++i) {
    int32_t index = 0;
    int32_t position = engine.FindNext(text, &index, findOptions);
    std::printf("{\"position\": %d, \"index\": %d}\n", position, index);
    if (position == -1) break;
  }
  return 0;
}

const CommandRegistration kRegistration({
    "find",
    "  find FILE TEXT [--case] [--from POS] [--count N] [layout options, --encoding]\n"
    "                                  search FILE for TEXT (UTF-8) from POS (0), up to N (100)\n"
    "                                  times, printing each result as JSON",
    Run,
});

}  // namespace
}  // namespace lirako::tool

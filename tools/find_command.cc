#include <cstdio>
#include <string>
#include <vector>

#include "engine/search_all.h"
#include "platform/headless/headless_platform.h"
#include "platform/utf.h"
#include "tools/command.h"
#include "tools/engine_session.h"
#include "tools/json_text.h"

namespace lirako::tool {
namespace {

// Every hit at once, each with the position of its display line as FindNext gives it.
int FindAll(CTextEngine& engine, const std::u16string& path, const std::u16string& text,
            int options, int context) {
  HeadlessPlatform platform;
  SearchAll search(platform, engine.Encoding());
  search.SetJoinLines(engine.typography.joinLines);
  SearchAll::Callbacks callbacks;
  callbacks.found = [&engine](SearchHit&& hit) {
    std::printf("{\"position\": %d, \"index\": %d, \"context\": %s}\n",
                engine.LineAt(hit.pieceStart, hit.begin), hit.index,
                JsonString(hit.context).c_str());
  };
  std::string error;
  if (!search.Run(path, text, options, context, callbacks, &error)) return Fail(error);
  return 0;
}

int Run(const std::vector<std::string>& args) {
  LayoutOptions options;
  std::vector<std::string> positional;
  int findOptions = 0;
  int from = 0;
  int count = 100;
  bool all = false;
  int context = SearchAll::kDefaultContextCharacters;
  for (size_t i = 0; i < args.size(); ++i) {
    std::string error;
    if (ParseLayoutOption(args, &i, &options, &error)) continue;
    if (!error.empty()) return Fail(error);
    const std::string& a = args[i];
    if (a == "--case") {
      findOptions |= kFindMatchCase;
    } else if (a == "--all") {
      all = true;
    } else if (a == "--context") {
      if (i + 1 >= args.size() || !ParseInt(args[i + 1], &context) || context < 0) {
        return Fail("--context needs a number of characters");
      }
      ++i;
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
  if (all) return FindAll(engine, PathFromBytes(positional[0]), text, findOptions, context);
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
    "                                  times, printing each result as JSON\n"
    "  find FILE TEXT --all [--context N] [--case] [layout options]\n"
    "                                  every hit in book order, with N (30) characters of\n"
    "                                  context either side",
    Run,
});

}  // namespace
}  // namespace lirako::tool

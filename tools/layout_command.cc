#include <cstdio>
#include <string>
#include <vector>

#include "tools/command.h"
#include "tools/engine_session.h"
#include "tools/engine_step.h"
#include "tools/json_text.h"

namespace lirako::tool {
namespace {

int Run(const std::vector<std::string>& args) {
  LayoutOptions options;
  std::string file;
  std::vector<std::string> steps;
  for (size_t i = 0; i < args.size(); ++i) {
    std::string error;
    if (ParseLayoutOption(args, &i, &options, &error)) continue;
    if (!error.empty()) return Fail(error);
    if (args[i].rfind("--", 0) == 0) return Fail("unknown option " + args[i]);
    if (file.empty()) {
      file = args[i];
    } else {
      steps.push_back(args[i]);
    }
  }
  if (file.empty()) return Fail("usage: lirakotool layout FILE [options] STEP...");
  for (const std::string& step : steps) {
    if (!RunEngineStep(nullptr, step)) return Fail("unknown step '" + step + "'");
  }
  EngineSession session;
  std::string error;
  if (!session.Open(file, options, &error)) return Fail(error);
  CTextEngine& engine = session.engine();
  for (const std::string& step : steps) {
    RunEngineStep(&engine, step);
    std::printf("{\"op\": %s, \"position\": %d, \"size\": %d, \"atEnd\": %s, %s\"lines\": %s}\n",
                JsonString(std::u16string(step.begin(), step.end())).c_str(), engine.GetPosition(),
                engine.GetSize(), engine.IsAtEnd() ? "true" : "false",
                session.PageJsonFields().c_str(), session.PageLinesJson().c_str());
  }
  return 0;
}

const CommandRegistration kRegistration({
    "layout",
    "  layout FILE [options] STEP...   lay FILE out and print the page after each step as JSON\n"
    "      steps: start end next prev down up pos=N frac=F\n"
    "      options: --page W,H (240,320) --margins L,T,R,B (6,5,6,5) --gap N (1)\n"
    "               --shared N (2) --justify 0|1 (1) --narrow N (6) --wide N (12)\n"
    "               --height N (16) --table PATH (convert through that hantable.dat)\n"
    "               --kinsoku 0|1 (0) --keep-all 0|1 (0) --join-lines 0|1 (0)\n"
    "               --encoding auto|cp949|utf-8|utf-16le|utf-16be (auto: detect)\n"
    "               --measure N (0: the whole width) --columns auto|1|2 (1)\n"
    "               --gutter PX (twice the wide width) --indent N (0, up to 3)\n"
    "               --blank-lines keep|collapse (keep) --paragraph-gap PERCENT (0)",
    Run,
});

}  // namespace
}  // namespace lirako::tool

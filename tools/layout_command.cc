#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/command.h"
#include "tools/engine_session.h"
#include "tools/json_text.h"

namespace lirako::tool {
namespace {

// Parses a whole decimal number; false when `text` is anything else.
bool ParseFloat(const std::string& text, float* value) {
  char* end = nullptr;
  *value = std::strtof(text.c_str(), &end);
  return !text.empty() && *end == '\0';
}

void RunKnownStep(CTextEngine& engine, const std::string& step, int position, float fraction) {
  if (step == "start") {
    engine.GoToStart();
  } else if (step == "end") {
    engine.GoToEnd();
  } else if (step == "next") {
    engine.PageForward();
  } else if (step == "prev") {
    engine.PageBackward();
  } else if (step == "down") {
    engine.LineForward();
  } else if (step == "up") {
    engine.LineBackward();
  } else if (step[0] == 'p') {
    engine.SetPosition(position);
  } else {
    engine.SetFraction(fraction);
  }
}

// Carries out one step (with no engine, only checks it); false when the step is not known.
bool RunStep(CTextEngine* engine, const std::string& step) {
  int value = 0;
  float f = 0;
  bool known = step == "start" || step == "end" || step == "next" || step == "prev" ||
               step == "down" || step == "up" ||
               (step.rfind("pos=", 0) == 0 && ParseInt(step.substr(4), &value)) ||
               (step.rfind("frac=", 0) == 0 && ParseFloat(step.substr(5), &f));
  if (!known || !engine) return known;
  RunKnownStep(*engine, step, value, f);
  return true;
}

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
    if (!RunStep(nullptr, step)) return Fail("unknown step '" + step + "'");
  }
  EngineSession session;
  std::string error;
  if (!session.Open(file, options, &error)) return Fail(error);
  CTextEngine& engine = session.engine();
  for (const std::string& step : steps) {
    RunStep(&engine, step);
    std::printf("{\"op\": %s, \"position\": %d, \"size\": %d, \"atEnd\": %s, \"lines\": %s}\n",
                JsonString(std::u16string(step.begin(), step.end())).c_str(), engine.GetPosition(),
                engine.GetSize(), engine.IsAtEnd() ? "true" : "false",
                session.PageLinesJson().c_str());
  }
  return 0;
}

const CommandRegistration kRegistration({
    "layout",
    "  layout FILE [options] STEP...   lay FILE out and print the page after each step as JSON\n"
    "      steps: start end next prev down up pos=N frac=F\n"
    "      options: --page W,H (240,320) --margins L,T,R,B (6,5,6,5) --gap N (1)\n"
    "               --shared N (2) --justify 0|1 (1) --narrow N (6) --wide N (12)\n"
    "               --height N (16) --table PATH (convert through that hantable.dat)",
    Run,
});

}  // namespace
}  // namespace lirako::tool

#include "tools/engine_step.h"

#include <cstdlib>

#include "tools/engine_session.h"

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

}  // namespace

bool RunEngineStep(CTextEngine* engine, const std::string& step) {
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

}  // namespace lirako::tool

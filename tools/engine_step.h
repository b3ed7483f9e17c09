#pragma once

#include <string>

#include "engine/text_engine.h"

namespace lirako::tool {

// Carries out one navigation step (start, end, next, prev, down, up, pos=N, frac=F) on
// `engine`; with a null engine only checks it. False when the step is not known.
bool RunEngineStep(CTextEngine* engine, const std::string& step);

}  // namespace lirako::tool

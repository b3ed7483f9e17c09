#pragma once

#include "platform/controls.h"

namespace lirako {

class CTirasolView;

// The settings command (32787, "설정"): stops auto-refresh, runs the five-page sheet with
// `view`'s settings copied in and, after OK only, copies them back and applies them: scroll
// bar, layout, hot keys, code table, fresh glyph metrics, re-layout at the position, menus,
// and a save of SetParam.Dat. The bookmark and system pages act on the view at once.
void RunSettingsSheet(CTirasolView& view, DialogRunner& runner);

}  // namespace lirako

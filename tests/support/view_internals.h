#pragma once

#include "view/tirasol_view.h"

namespace lirako::testing {

// The view's own records, for tests that make a situation without the commands that would
// also save it, lay it out or register it.
class ViewInternals {
 public:
  static RecentFileEntry& CurrentEntry(CTirasolView& view) { return view.currentEntry_; }
  static ReaderSettings& Settings(CTirasolView& view) { return view.settings_; }
  static CTextEngine& Engine(CTirasolView& view) { return *view.engine_; }
};

}  // namespace lirako::testing

#pragma once

#include "view/tirasol_view.h"

namespace lirako::testing {

// The view's own records, for tests that make a situation without the commands that would
// also save it.
class ViewInternals {
 public:
  static RecentFileEntry& CurrentEntry(CTirasolView& view) { return view.currentEntry_; }
};

}  // namespace lirako::testing

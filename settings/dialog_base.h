#pragma once

#include "platform/controls.h"

namespace lirako {

// A dialog or property page that reacts only to what it overrides: no scrolling, no timers,
// OK always accepted, nothing to do on Cancel.
class DialogBase : public DialogLogic {
 public:
  void OnScroll(Controls& /*controls*/, int /*id*/, int /*position*/) override {}
  void OnTimer(Controls& /*controls*/, int /*id*/) override {}
  bool OnOk(Controls& /*controls*/) override { return true; }
  void OnCancel(Controls& /*controls*/) override {}
};

}  // namespace lirako

#pragma once

#include "platform/surface.h"

namespace lirako {

// What the reader window hands to the view logic, already translated into the device's
// terms: virtual keys, hot keys, pen and double taps, scroll codes, sizes and timer ids.
class ViewInput {
 public:
  virtual ~ViewInput() = default;

  virtual void Paint(Surface& screen) = 0;
  virtual void KeyDown(unsigned virtualKey) = 0;
  virtual void HotKey(unsigned modifiers, unsigned virtualKey) = 0;
  virtual void PenUp(int x, int y) = 0;
  virtual void DoubleTap(int x, int y) = 0;
  virtual void VScroll(int code, int thumbPosition) = 0;
  virtual void Size() = 0;
  virtual void Timer(int id) = 0;
};

}  // namespace lirako

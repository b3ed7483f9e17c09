#pragma once

#include <string>

#include "platform/surface.h"

namespace lirako {

// What the reader window hands to the view logic, already translated into the device's
// terms: virtual keys, hot keys, desktop keys with modifiers, wheel notches, dropped files, pen and
// double taps, scroll codes, sizes, timer ids and the ids of posted events.
class ViewInput {
 public:
  virtual ~ViewInput() = default;

  virtual void Paint(Surface& screen) = 0;
  virtual void KeyDown(unsigned virtualKey) = 0;
  // A key a desktop user expects (Page Down, Home, F11, Ctrl+F, ...) with its modifier bits
  // (1 Shift, 2 Ctrl).
  virtual void DesktopKey(unsigned virtualKey, unsigned modifiers) = 0;
  // Whole notches of the mouse wheel, positive away from the user, with the modifier bits.
  virtual void Wheel(int notches, unsigned modifiers) = 0;
  // A local file dropped on the window.
  virtual void DropFile(const std::u16string& path) = 0;
  virtual void HotKey(unsigned modifiers, unsigned virtualKey) = 0;
  virtual void PenUp(int x, int y) = 0;
  virtual void DoubleTap(int x, int y) = 0;
  virtual void VScroll(int code, int thumbPosition) = 0;
  virtual void Size() = 0;
  virtual void Timer(int id) = 0;
  virtual void Event(int id) = 0;
};

}  // namespace lirako

#pragma once

#include "platform/qt/view_input.h"

namespace lirako {

class CTirasolView;

// Hands the reader window's inputs to the view's handlers.
class ViewForwarder : public ViewInput {
 public:
  explicit ViewForwarder(CTirasolView& view) : view_(view) {}

  void Paint(Surface& screen) override;
  void KeyDown(unsigned virtualKey) override;
  void DesktopKey(unsigned virtualKey, unsigned modifiers) override;
  void Wheel(int notches, unsigned modifiers) override;
  void DropFile(const std::u16string& path) override;
  void HotKey(unsigned modifiers, unsigned virtualKey) override;
  void PenUp(int x, int y) override;
  void DoubleTap(int x, int y) override;
  void VScroll(int code, int thumbPosition) override;
  void Size() override;
  void Timer(int id) override;
  void Event(int id) override;

 private:
  CTirasolView& view_;
};

}  // namespace lirako

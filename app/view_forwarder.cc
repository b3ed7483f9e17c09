#include "app/view_forwarder.h"

#include "view/tirasol_view.h"

namespace lirako {

void ViewForwarder::Paint(Surface& screen) {
  view_.PaintPage(screen);
}

void ViewForwarder::KeyDown(unsigned virtualKey) {
  view_.OnKeyDown(virtualKey);
}

void ViewForwarder::DesktopKey(unsigned virtualKey, unsigned modifiers) {
  view_.OnDesktopKey(virtualKey, modifiers);
}

void ViewForwarder::Wheel(int notches, unsigned modifiers) {
  view_.OnWheel(notches, modifiers);
}

void ViewForwarder::DropFile(const std::u16string& path) {
  view_.OnDropFile(path);
}

void ViewForwarder::HotKey(unsigned modifiers, unsigned virtualKey) {
  view_.OnHotKey(modifiers, virtualKey);
}

void ViewForwarder::PenUp(int x, int y) {
  view_.OnPenUp(x, y);
}

void ViewForwarder::DoubleTap(int x, int y) {
  view_.OnDoubleTap(x, y);
}

void ViewForwarder::VScroll(int code, int thumbPosition) {
  view_.OnVScroll(code, thumbPosition);
}

void ViewForwarder::Size() {
  view_.OnSize();
}

void ViewForwarder::Timer(int id) {
  view_.OnTimer(id);
}

void ViewForwarder::Event(int id) {
  view_.OnEvent(id);
}

}  // namespace lirako

#include "app/view_forwarder.h"

#include "view/tirasol_view.h"

namespace lirako {

void ViewForwarder::Paint(Surface& screen) {
  view_.PaintPage(screen);
}

void ViewForwarder::KeyDown(unsigned virtualKey) {
  view_.OnKeyDown(virtualKey);
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

}  // namespace lirako

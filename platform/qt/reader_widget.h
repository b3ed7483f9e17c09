#pragma once

#include <map>

#include <QBasicTimer>
#include <QWidget>

#include "platform/qt/glyph_warmer.h"
#include "platform/surface.h"

class QScrollBar;

namespace lirako {

class ViewInput;

// The window of the reader view. It paints every pixel itself and turns Qt events into the
// device's inputs for the view logic: paint, arrow and action keys, desktop keys, pen
// lifted, double tap, wheel notches and scroll-bar codes, dropped files, size changes,
// timer ticks and posted events. It decides nothing.
class ReaderWidget : public QWidget {
 public:
  explicit ReaderWidget(QWidget* parent = nullptr);
  ~ReaderWidget() override;

  // Where the inputs go; null stops forwarding (the view is gone).
  void SetInput(ViewInput* input) { input_ = input; }

  // The scroll-bar control (range 0..1000), created hidden.
  void CreateScrollBar(const Rect& rect);
  void SetScrollRange(int minimum, int maximum);
  void SetScrollPosition(int position);
  void ShowScrollBar(bool show);
  void MoveScrollBar(const Rect& rect);
  QScrollBar* scrollBar() const { return scrollBar_; }

  void StartTimer(int id, unsigned periodMs);
  void StopTimer(int id);
  bool TimerActive(int id) const;
  // Posts event `id` to this widget from any thread; it reaches the input as Event(id) on the
  // widget's thread.
  void PostEvent(int id);

  // The virtual key of a Qt key (arrows 0x25..0x28, Return and Enter the action key
  // 0x86), or 0 for keys the view does not take.
  static unsigned VirtualKeyOf(int qtKey);
  // The virtual key of a desktop key (Page Up/Down, Space, Backspace, Home, End, Escape,
  // F3, F11, B, F, G, 0, "=" / "+", "-", ","), or 0.
  static unsigned DesktopKeyOf(int qtKey);
  // The modifier bits of Qt's keyboard modifiers: 1 Shift, 2 Ctrl.
  static unsigned ModifierBitsOf(Qt::KeyboardModifiers modifiers);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void timerEvent(QTimerEvent* event) override;
  void customEvent(QEvent* event) override;

 private:
  void OnScrollAction(int action);
  void OnScrollReleased();

  ViewInput* input_ = nullptr;
  QScrollBar* scrollBar_ = nullptr;
  std::map<int, QBasicTimer> timers_;
  int wheelRest_ = 0;
  GlyphWarmer warmer_;
};

}  // namespace lirako

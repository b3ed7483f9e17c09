#include "platform/qt/reader_widget.h"

#include <algorithm>

#include <QAbstractSlider>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QResizeEvent>
#include <QScrollBar>
#include <QTimerEvent>
#include <QWheelEvent>

#include "platform/input_codes.h"
#include "platform/qt/qt_surface.h"
#include "platform/qt/view_input.h"

namespace lirako {
namespace {

// One notch of a mouse wheel in eighths of a degree.
constexpr int kWheelNotch = 120;

QRect ToQRect(const Rect& r) {
  return QRect(r.left, r.top, r.Width(), r.Height());
}

}  // namespace

ReaderWidget::ReaderWidget(QWidget* parent) : QWidget(parent) {
  // The page paints every pixel itself; nothing erases the background first.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  setFocusPolicy(Qt::StrongFocus);
}

ReaderWidget::~ReaderWidget() = default;

unsigned ReaderWidget::VirtualKeyOf(int qtKey) {
  switch (qtKey) {
    case Qt::Key_Left:
      return kVkLeft;
    case Qt::Key_Up:
      return kVkUp;
    case Qt::Key_Right:
      return kVkRight;
    case Qt::Key_Down:
      return kVkDown;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return kVkAction;
    default:
      return 0;
  }
}

void ReaderWidget::CreateScrollBar(const Rect& rect) {
  if (!scrollBar_) {
    scrollBar_ = new QScrollBar(Qt::Vertical, this);
    scrollBar_->setFocusPolicy(Qt::NoFocus);
    connect(scrollBar_, &QAbstractSlider::actionTriggered, this,
            [this](int action) { OnScrollAction(action); });
    connect(scrollBar_, &QAbstractSlider::sliderReleased, this, [this] { OnScrollReleased(); });
  }
  scrollBar_->hide();
  scrollBar_->setGeometry(ToQRect(rect));
}

void ReaderWidget::SetScrollRange(int minimum, int maximum) {
  if (!scrollBar_) return;
  scrollBar_->setRange(minimum, maximum);
  // A thumb a tenth of the track long, so it can be caught with the mouse.
  scrollBar_->setPageStep(std::max(1, (maximum - minimum) / 10));
}

void ReaderWidget::SetScrollPosition(int position) {
  if (!scrollBar_) return;
  if (scrollBar_->isSliderDown()) return;  // the user holds the thumb
  scrollBar_->setValue(position);
  scrollBar_->update();
}

void ReaderWidget::ShowScrollBar(bool show) {
  if (scrollBar_) scrollBar_->setVisible(show);
}

void ReaderWidget::MoveScrollBar(const Rect& rect) {
  if (scrollBar_) scrollBar_->setGeometry(ToQRect(rect));
}

void ReaderWidget::OnScrollAction(int action) {
  int code;
  switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
      code = kSbLineUp;
      break;
    case QAbstractSlider::SliderSingleStepAdd:
      code = kSbLineDown;
      break;
    case QAbstractSlider::SliderPageStepSub:
      code = kSbPageUp;
      break;
    case QAbstractSlider::SliderPageStepAdd:
      code = kSbPageDown;
      break;
    case QAbstractSlider::SliderMove:
      if (input_) input_->VScroll(kSbThumbTrack, scrollBar_->sliderPosition());
      return;
    default:
      return;
  }
  // The bar does not move itself: the view sets its position after the page is painted.
  scrollBar_->setSliderPosition(scrollBar_->value());
  if (input_) input_->VScroll(code, scrollBar_->value());
}

void ReaderWidget::OnScrollReleased() {
  if (input_) input_->VScroll(kSbThumbPosition, scrollBar_->sliderPosition());
}

void ReaderWidget::StartTimer(int id, unsigned periodMs) {
  timers_[id].start(static_cast<int>(periodMs), this);
}

void ReaderWidget::StopTimer(int id) {
  auto it = timers_.find(id);
  if (it == timers_.end()) return;
  it->second.stop();
  timers_.erase(it);
}

bool ReaderWidget::TimerActive(int id) const {
  auto it = timers_.find(id);
  return it != timers_.end() && it->second.isActive();
}

void ReaderWidget::paintEvent(QPaintEvent*) {
  if (!input_) return;
  QtSurface screen(this);
  input_->Paint(screen);
}

void ReaderWidget::keyPressEvent(QKeyEvent* event) {
  unsigned key = VirtualKeyOf(event->key());
  if (key == 0 || !input_) {
    QWidget::keyPressEvent(event);
    return;
  }
  input_->KeyDown(key);
}

void ReaderWidget::mouseReleaseEvent(QMouseEvent* event) {
  // The pen is lifted over the page only when the button goes up inside it.
  QPoint p = event->position().toPoint();
  if (event->button() == Qt::LeftButton && input_ && rect().contains(p)) {
    input_->PenUp(p.x(), p.y());
  }
  QWidget::mouseReleaseEvent(event);
}

void ReaderWidget::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && input_) {
    QPoint p = event->position().toPoint();
    input_->DoubleTap(p.x(), p.y());
  }
  QWidget::mouseDoubleClickEvent(event);
}

void ReaderWidget::wheelEvent(QWheelEvent* event) {
  // Each notch acts like a click on the scroll bar's arrow: up turns back, down forward.
  wheelRest_ += event->angleDelta().y();
  while (input_ && wheelRest_ >= kWheelNotch) {
    wheelRest_ -= kWheelNotch;
    input_->VScroll(kSbLineUp, scrollBar_ ? scrollBar_->value() : 0);
  }
  while (input_ && wheelRest_ <= -kWheelNotch) {
    wheelRest_ += kWheelNotch;
    input_->VScroll(kSbLineDown, scrollBar_ ? scrollBar_->value() : 0);
  }
  event->accept();
}

void ReaderWidget::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (input_) input_->Size();
}

void ReaderWidget::timerEvent(QTimerEvent* event) {
  for (auto& [id, timer] : timers_) {
    if (timer.timerId() == event->timerId()) {
      if (input_) input_->Timer(id);
      return;
    }
  }
  QWidget::timerEvent(event);
}

}  // namespace lirako

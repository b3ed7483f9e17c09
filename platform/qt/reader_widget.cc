#include "platform/qt/reader_widget.h"

#include <algorithm>

#include <QAbstractSlider>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QResizeEvent>
#include <QScrollBar>
#include <QTimerEvent>
#include <QUrl>
#include <QWheelEvent>

#include "platform/input_codes.h"
#include "platform/qt/qt_surface.h"
#include "platform/qt/view_input.h"
#include "platform/utf.h"

namespace lirako {
namespace {

// One notch of a mouse wheel in eighths of a degree.
constexpr int kWheelNotch = 120;

QRect ToQRect(const Rect& r) {
  return QRect(r.left, r.top, r.Width(), r.Height());
}

// An event the view posted to itself, carrying its id.
class ViewEvent : public QEvent {
 public:
  static inline const QEvent::Type kType = static_cast<QEvent::Type>(QEvent::registerEventType());

  explicit ViewEvent(int id) : QEvent(kType), id_(id) {}
  int id() const { return id_; }

 private:
  int id_;
};

}  // namespace

ReaderWidget::ReaderWidget(QWidget* parent) : QWidget(parent) {
  // The page paints every pixel itself; nothing erases the background first.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  setFocusPolicy(Qt::StrongFocus);
  setAcceptDrops(true);
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

unsigned ReaderWidget::DesktopKeyOf(int qtKey) {
  switch (qtKey) {
    case Qt::Key_Backspace:
      return kVkBack;
    case Qt::Key_Escape:
      return kVkEscape;
    case Qt::Key_Space:
      return kVkSpace;
    case Qt::Key_PageUp:
      return kVkPrior;
    case Qt::Key_PageDown:
      return kVkNext;
    case Qt::Key_End:
      return kVkEnd;
    case Qt::Key_Home:
      return kVkHome;
    case Qt::Key_0:
      return kVkDigit0;
    case Qt::Key_B:
      return kVkLetterB;
    case Qt::Key_F:
      return kVkLetterF;
    case Qt::Key_G:
      return kVkLetterG;
    case Qt::Key_F3:
      return kVkF3;
    case Qt::Key_F11:
      return kVkF11;
    case Qt::Key_Equal:
    case Qt::Key_Plus:
      return kVkOemPlus;
    case Qt::Key_Comma:
      return kVkOemComma;
    case Qt::Key_Minus:
      return kVkOemMinus;
    default:
      return 0;
  }
}

unsigned ReaderWidget::ModifierBitsOf(Qt::KeyboardModifiers modifiers) {
  unsigned bits = 0;
  if (modifiers & Qt::ShiftModifier) bits |= kModShift;
  if (modifiers & Qt::ControlModifier) bits |= kModCtrl;
  return bits;
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

void ReaderWidget::PostEvent(int id) {
  // Qt takes the event's ownership and delivers it on the widget's thread; one still queued
  // when the widget goes is dropped with it.
  QCoreApplication::postEvent(this, new ViewEvent(id));
}

void ReaderWidget::customEvent(QEvent* event) {
  if (event->type() != ViewEvent::kType) return QWidget::customEvent(event);
  if (input_) input_->Event(static_cast<ViewEvent*>(event)->id());
}

void ReaderWidget::paintEvent(QPaintEvent*) {
  if (!input_) return;
  {
    QtSurface screen(this);
    input_->Paint(screen);
  }
  // The next pages' glyphs are rasterised while the reader looks at this one.
  warmer_.Resume(devicePixelRatioF());
}

void ReaderWidget::keyPressEvent(QKeyEvent* event) {
  if (!input_) {
    QWidget::keyPressEvent(event);
    return;
  }
  if (unsigned key = VirtualKeyOf(event->key())) {
    input_->KeyDown(key);
  } else if (unsigned desktopKey = DesktopKeyOf(event->key())) {
    input_->DesktopKey(desktopKey, ModifierBitsOf(event->modifiers()));
  } else {
    QWidget::keyPressEvent(event);
  }
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
  wheelRest_ += event->angleDelta().y();
  int notches = wheelRest_ / kWheelNotch;
  wheelRest_ -= notches * kWheelNotch;
  if (input_ && notches != 0) input_->Wheel(notches, ModifierBitsOf(event->modifiers()));
  event->accept();
}

void ReaderWidget::dragEnterEvent(QDragEnterEvent* event) {
  const QMimeData* data = event->mimeData();
  if (data->hasUrls() && !data->urls().isEmpty() && data->urls().first().isLocalFile()) {
    event->acceptProposedAction();
  }
}

void ReaderWidget::dropEvent(QDropEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  if (urls.isEmpty() || !urls.first().isLocalFile()) return;
  event->acceptProposedAction();
  // The URL carries the name's bytes percent-encoded; toLocalFile would lose those that are
  // not UTF-8.
  const QByteArray path =
      QByteArray::fromPercentEncoding(urls.first().path(QUrl::FullyEncoded).toLatin1());
  if (input_) input_->DropFile(PathFromBytes(std::string_view(path.constData(), path.size())));
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

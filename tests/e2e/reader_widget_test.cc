#include "platform/qt/reader_widget.h"

#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <QApplication>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <QUrl>
#include <QWheelEvent>

#include "platform/qt/view_input.h"

namespace lirako {
namespace {

// Records every input as text, in order.
class RecordingInput : public ViewInput {
 public:
  void Paint(Surface&) override { calls.push_back("paint"); }
  void KeyDown(unsigned key) override { calls.push_back("key " + std::to_string(key)); }
  void DesktopKey(unsigned key, unsigned m) override {
    calls.push_back("desktop " + std::to_string(key) + " " + std::to_string(m));
  }
  void Wheel(int notches, unsigned m) override {
    calls.push_back("wheel " + std::to_string(notches) + " " + std::to_string(m));
  }
  void DropFile(const std::u16string& path) override {
    calls.push_back("drop " + QString::fromStdU16String(path).toStdString());
  }
  void HotKey(unsigned m, unsigned key) override {
    calls.push_back("hot " + std::to_string(m) + " " + std::to_string(key));
  }
  void PenUp(int x, int y) override {
    calls.push_back("pen " + std::to_string(x) + " " + std::to_string(y));
  }
  void DoubleTap(int x, int y) override {
    calls.push_back("double " + std::to_string(x) + " " + std::to_string(y));
  }
  void VScroll(int code, int position) override {
    calls.push_back("scroll " + std::to_string(code) + " " + std::to_string(position));
  }
  void Size() override { calls.push_back("size"); }
  void Timer(int id) override { calls.push_back("timer " + std::to_string(id)); }
  void Event(int id) override {
    calls.push_back("event " + std::to_string(id) +
                    (std::this_thread::get_id() == thread ? " here" : " elsewhere"));
  }
  std::thread::id thread = std::this_thread::get_id();

  std::vector<std::string> calls;
};

// Drops reach the handler only through a real drag; the test hands the event over itself.
class DroppableReaderWidget : public ReaderWidget {
 public:
  using ReaderWidget::dropEvent;
};

class ReaderWidgetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    widget_.resize(200, 300);
    widget_.SetInput(&input_);
  }

  void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(&widget_, &press);
  }

  void Mouse(QEvent::Type type, Qt::MouseButton button, QPoint p) {
    QMouseEvent event(type, QPointF(p), widget_.mapToGlobal(QPointF(p)), button, button,
                      Qt::NoModifier);
    QApplication::sendEvent(&widget_, &event);
  }

  RecordingInput input_;
  DroppableReaderWidget widget_;
};

TEST_F(ReaderWidgetTest, ArrowsAndReturnBecomeVirtualKeys) {
  for (int key : {Qt::Key_Left, Qt::Key_Up, Qt::Key_Right, Qt::Key_Down, Qt::Key_Return,
                  Qt::Key_Enter, Qt::Key_A, Qt::Key_F1}) {
    Key(key);
  }
  EXPECT_EQ(input_.calls, (std::vector<std::string>{"key 37", "key 38", "key 39", "key 40",
                                                    "key 134", "key 134"}));
}

TEST_F(ReaderWidgetTest, LeftReleaseIsPenUpAndDoubleClickIsDoubleTap) {
  Mouse(QEvent::MouseButtonPress, Qt::LeftButton, QPoint(10, 250));
  Mouse(QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(10, 250));
  Mouse(QEvent::MouseButtonDblClick, Qt::LeftButton, QPoint(100, 150));
  Mouse(QEvent::MouseButtonRelease, Qt::RightButton, QPoint(1, 2));
  Mouse(QEvent::MouseButtonPress, Qt::LeftButton, QPoint(10, 250));
  Mouse(QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(10, 320));
  EXPECT_EQ(input_.calls, (std::vector<std::string>{"pen 10 250", "double 100 150"}));
}

TEST_F(ReaderWidgetTest, DesktopKeysComeWithShiftAndCtrl) {
  Key(Qt::Key_PageDown);
  Key(Qt::Key_Space, Qt::ShiftModifier);
  Key(Qt::Key_F, Qt::ControlModifier);
  Key(Qt::Key_Equal, Qt::ControlModifier | Qt::AltModifier);
  Key(Qt::Key_F3, Qt::ShiftModifier);
  Key(Qt::Key_Q);
  EXPECT_EQ(input_.calls, (std::vector<std::string>{"desktop 34 0", "desktop 32 1", "desktop 70 2",
                                                    "desktop 187 2", "desktop 114 1"}));
}

TEST_F(ReaderWidgetTest, WheelGivesWholeNotchesWithModifiers) {
  auto wheel = [this](int delta, Qt::KeyboardModifiers modifiers) {
    QWheelEvent event(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, delta), Qt::NoButton,
                      modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&widget_, &event);
  };
  wheel(-240, Qt::NoModifier);
  wheel(60, Qt::ControlModifier);
  EXPECT_EQ(input_.calls.size(), 1u);
  wheel(60, Qt::ControlModifier);
  EXPECT_EQ(input_.calls, (std::vector<std::string>{"wheel -2 0", "wheel 1 2"}));
}

TEST_F(ReaderWidgetTest, ADroppedLocalFileIsOpenedAndOtherDropsAreNot) {
  auto drop = [this](const QUrl& url) {
    QMimeData data;
    data.setUrls({url});
    QDropEvent event(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    widget_.dropEvent(&event);
  };
  drop(QUrl(QStringLiteral("https://example.org/book.txt")));
  drop(QUrl::fromLocalFile(QStringLiteral("/books/책.txt")));
  EXPECT_EQ(input_.calls, (std::vector<std::string>{"drop /books/책.txt"}));
}

TEST_F(ReaderWidgetTest, ScrollBarActionsBecomeScrollCodesWithoutMovingTheBar) {
  widget_.CreateScrollBar(Rect{186, 0, 200, 300});
  widget_.SetScrollRange(0, 1000);
  widget_.SetScrollPosition(400);
  QScrollBar* bar = widget_.scrollBar();
  ASSERT_NE(bar, nullptr);
  EXPECT_FALSE(bar->isVisibleTo(&widget_));
  EXPECT_EQ(bar->geometry(), QRect(186, 0, 14, 300));
  EXPECT_EQ(bar->minimum(), 0);
  EXPECT_EQ(bar->maximum(), 1000);
  bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
  bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  bar->triggerAction(QAbstractSlider::SliderPageStepSub);
  bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
  EXPECT_EQ(bar->value(), 400);
  bar->setSliderDown(true);
  bar->triggerAction(QAbstractSlider::SliderMove);
  bar->setSliderPosition(730);
  bar->setSliderDown(false);
  EXPECT_EQ(input_.calls.front(), "scroll 0 400");
  EXPECT_EQ(input_.calls[1], "scroll 1 400");
  EXPECT_EQ(input_.calls[2], "scroll 2 400");
  EXPECT_EQ(input_.calls[3], "scroll 3 400");
  EXPECT_EQ(input_.calls[4].substr(0, 9), "scroll 5 ");
  EXPECT_EQ(input_.calls.back(), "scroll 4 730");
  widget_.ShowScrollBar(true);
  EXPECT_TRUE(bar->isVisibleTo(&widget_));
  widget_.MoveScrollBar(Rect{286, 0, 300, 200});
  EXPECT_EQ(bar->geometry(), QRect(286, 0, 14, 200));
}

TEST_F(ReaderWidgetTest, TimersTickWithTheirIdsUntilStopped) {
  widget_.StartTimer(101, 5);
  widget_.StartTimer(201, 5);
  EXPECT_TRUE(widget_.TimerActive(101));
  QElapsedTimer clock;
  clock.start();
  auto seen = [this](const std::string& call) {
    return std::find(input_.calls.begin(), input_.calls.end(), call) != input_.calls.end();
  };
  while ((!seen("timer 101") || !seen("timer 201")) && clock.elapsed() < 5000) {
    QApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  EXPECT_TRUE(seen("timer 101"));
  EXPECT_TRUE(seen("timer 201"));
  widget_.StopTimer(101);
  widget_.StopTimer(201);
  EXPECT_FALSE(widget_.TimerActive(101));
  input_.calls.clear();
  clock.restart();
  while (clock.elapsed() < 50)
    QApplication::processEvents(QEventLoop::AllEvents, 10);
  EXPECT_TRUE(input_.calls.empty());
}

TEST_F(ReaderWidgetTest, AnEventPostedFromAnotherThreadArrivesOnTheWidgetsThread) {
  std::thread([this] { widget_.PostEvent(7); }).join();
  EXPECT_TRUE(input_.calls.empty());
  QApplication::processEvents();
  ASSERT_EQ(input_.calls.size(), 1u);
  EXPECT_EQ(input_.calls[0], "event 7 here");
}

TEST_F(ReaderWidgetTest, ResizeIsForwardedAndNothingGoesOnceTheInputIsGone) {
  widget_.resize(250, 300);
  QResizeEvent resize(QSize(250, 300), QSize(200, 300));
  QApplication::sendEvent(&widget_, &resize);
  EXPECT_EQ(input_.calls.back(), "size");
  widget_.SetInput(nullptr);
  input_.calls.clear();
  Key(Qt::Key_Down);
  QApplication::sendEvent(&widget_, &resize);
  EXPECT_TRUE(input_.calls.empty());
}

}  // namespace
}  // namespace lirako

#include "platform/qt/qt_view_host.h"

#include <algorithm>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QKeySequence>
#include <QMessageBox>
#include <QShortcut>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include "platform/qt/frame_host.h"
#include "platform/qt/reader_widget.h"

namespace lirako {
namespace {

class FakeFrame : public FrameHost {
 public:
  QWidget* MainWindow() override { return &window; }
  void ToggleFullScreen() override { fullScreen = !fullScreen; }
  bool IsFullScreenMode() const override { return fullScreen; }
  Menu* MainMenu() override { return nullptr; }

  QWidget window;
  bool fullScreen = false;
};

TEST(QtViewHostTest, TurnsTheDeviceFilterIntoQtForm) {
  EXPECT_EQ(QtViewHost::QtFileFilter(
                u"Text files (*.txt)|*.txt|Cap files (*.cap)|*.cap|All Files (*.*)|*.*|"),
            u"Text files (*.txt);;Cap files (*.cap);;All Files (*)");
  EXPECT_EQ(QtViewHost::QtFileFilter(u"Books|*.txt;*.cap|"), u"Books (*.txt *.cap)");
  EXPECT_EQ(QtViewHost::QtFileFilter(u""), u"");
}

TEST(QtViewHostTest, ClientRectTitleAndFullScreenGoToWidgetAndFrame) {
  FakeFrame frame;
  ReaderWidget widget(&frame.window);
  widget.resize(320, 240);
  QtViewHost host(widget, frame);
  EXPECT_EQ(host.ClientRect(), (Rect{0, 0, 320, 240}));
  host.SetTitle(u"책.txt");
  EXPECT_EQ(frame.window.windowTitle(), QStringLiteral("책.txt"));
  EXPECT_FALSE(host.IsFullScreen());
  host.ToggleFullScreen();
  EXPECT_TRUE(host.IsFullScreen());
  host.SetTimer(101, 1000);
  EXPECT_TRUE(widget.TimerActive(101));
  host.KillTimer(101);
  EXPECT_FALSE(widget.TimerActive(101));
}

// Once the message box over `frame` runs: writes down its button texts and presses the one
// saying `press`.
void AnswerMessageBox(FakeFrame& frame, const QString& press, QStringList* texts) {
  QTimer::singleShot(0, &frame.window, [&frame, press, texts] {
    auto* box = frame.window.findChild<QMessageBox*>();
    ASSERT_NE(box, nullptr);
    for (QAbstractButton* button : box->buttons())
      texts->push_back(button->text());
    for (QAbstractButton* button : box->buttons()) {
      if (button->text() == press) button->click();
    }
    if (box->isVisible()) box->reject();  // no such button
  });
}

TEST(QtViewHostTest, MessageBoxButtonsSpeakKorean) {
  FakeFrame frame;
  ReaderWidget widget(&frame.window);
  QtViewHost host(widget, frame);
  QStringList okCancel, okOnly;
  AnswerMessageBox(frame, QStringLiteral("취소"), &okCancel);
  EXPECT_EQ(host.MessageBox(u"지우겠습니까?", u"주의", kMbOkCancel), kIdCancel);
  AnswerMessageBox(frame, QStringLiteral("확인"), &okOnly);
  EXPECT_EQ(host.MessageBox(u"이미 지정된 지점.", u"에러", kMbOk), kIdOk);
  okCancel.sort();
  EXPECT_EQ(okCancel, (QStringList{QStringLiteral("취소"), QStringLiteral("확인")}));
  EXPECT_EQ(okOnly, QStringList{QStringLiteral("확인")});
}

TEST(QtViewHostTest, OnlyApplicationButtonsBecomeHotKeys) {
  FakeFrame frame;
  ReaderWidget widget(&frame.window);
  QtViewHost host(widget, frame);
  EXPECT_TRUE(host.RegisterHotKey(30581, 8, 0xC1));
  EXPECT_TRUE(host.RegisterHotKey(30585, 8, 0xC5));
  EXPECT_FALSE(host.RegisterHotKey(30586, 8, 0xC6));
  EXPECT_FALSE(host.RegisterHotKey(30586, 8, 0x28));
  host.UnregisterHotKey(30581);
  host.UnregisterHotKey(30585);
  EXPECT_TRUE(frame.window.findChildren<QShortcut*>().isEmpty());
}

TEST(QtViewHostTest, FunctionKeysHandTheirHotKeyToTheHandler) {
  FakeFrame frame;
  ReaderWidget widget(&frame.window);
  QtViewHost host(widget, frame);
  std::vector<std::pair<unsigned, unsigned>> hotKeys;
  host.SetHotKeyHandler([&hotKeys](unsigned m, unsigned key) { hotKeys.push_back({m, key}); });
  host.RegisterHotKey(30582, 8, 0xC2);
  host.RegisterHotKey(30585, 8, 0xC5);
  QList<QShortcut*> shortcuts = frame.window.findChildren<QShortcut*>();
  ASSERT_EQ(shortcuts.size(), 2);
  for (QShortcut* shortcut : shortcuts) {
    EXPECT_EQ(shortcut->context(), Qt::ApplicationShortcut);
    if (shortcut->key() == QKeySequence(Qt::Key_F5)) emit shortcut->activated();
    if (shortcut->key() == QKeySequence(Qt::Key_F2)) emit shortcut->activated();
  }
  std::sort(hotKeys.begin(), hotKeys.end());
  EXPECT_EQ(hotKeys, (std::vector<std::pair<unsigned, unsigned>>{{8, 0xC2}, {8, 0xC5}}));
}

}  // namespace
}  // namespace lirako

#include "platform/qt/qt_dialog_runner.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

#include "platform/view_host.h"

namespace lirako {
namespace {

// A dialog that fills its controls on opening and writes down every notification.
class Recorder : public DialogLogic {
 public:
  explicit Recorder(DialogSpec dialogSpec) : spec_(std::move(dialogSpec)) {}
  const DialogSpec& dialogSpec() const override { return spec_; }
  void OnInitDialog(Controls& c) override {
    ++inits;
    if (onInit) onInit(c);
  }
  void OnCommand(Controls& c, int id, int notification) override {
    events.push_back("cmd " + std::to_string(id) + "/" + std::to_string(notification));
    if (id == 61) c.EndDialog(5);
  }
  void OnScroll(Controls&, int id, int position) override {
    events.push_back("scroll " + std::to_string(id) + "=" + std::to_string(position));
  }
  void OnTimer(Controls&, int id) override { events.push_back("timer " + std::to_string(id)); }
  bool OnOk(Controls&) override {
    events.push_back("ok");
    return acceptOk;
  }
  void OnCancel(Controls&) override { events.push_back("cancel"); }

  int inits = 0;
  bool acceptOk = true;
  std::function<void(Controls&)> onInit;
  std::vector<std::string> events;

 private:
  DialogSpec spec_;
};

DialogSpec MakeDialogSpec(int id, std::u16string caption) {
  DialogSpec dialogSpec{id, std::move(caption), {}};
  dialogSpec.controls = {
      {10, ControlKind::kEdit, u"", 0, 0, 0, false, false, 0, 0},
      {30, ControlKind::kUpDown, u"", 10, 0, 5, false, false, 0, 1},
      {40, ControlKind::kSlider, u"", 0, 0, 100, false, false, 1, 0},
      {42, ControlKind::kCheckBox, u"대소문자 구분", 0, 0, 0, false, false, 1, 1},
      {50, ControlKind::kComboBox, u"", 0, 0, 0, false, false, 2, 0},
      {55, ControlKind::kStatic, u"위치 : 00.00%", 0, 0, 0, false, false, 2, 1},
      {60, ControlKind::kPushButton, u"다음 찾기", 0, 0, 0, false, false, 3, 0},
      {61, ControlKind::kPushButton, u"끝", 0, 0, 0, false, false, 3, 1},
      {1, ControlKind::kDefaultButton, u"확인", 0, 0, 0, false, false, 4, 0},
      {2, ControlKind::kPushButton, u"취소", 0, 0, 0, false, false, 4, 1},
  };
  return dialogSpec;
}

template <typename T>
T* Control(QWidget* dialog, int id) {
  return dialog->findChild<T*>(QStringLiteral("control%1").arg(id));
}

void Key(QWidget* target, int key, const QString& text = QString()) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
  QApplication::sendEvent(target, &press);
}

// Runs `script` on the open dialog named `name` once the modal loop runs; closes the dialog
// afterwards should the script leave it open.
void WhileOpen(QWidget& owner, const QString& name, std::function<void(QDialog*)> script) {
  QTimer::singleShot(0, &owner, [&owner, name, script] {
    QDialog* dialog = owner.findChild<QDialog*>(name);
    ASSERT_NE(dialog, nullptr);
    script(dialog);
    if (dialog->isVisible()) dialog->done(99);
  });
}

TEST(QtDialogRunner, ForwardsUserActionsButNotProgrammaticChanges) {
  QWidget owner;
  owner.setGeometry(100, 80, 240, 320);
  QtDialogRunner runner(&owner);
  Recorder dialog(MakeDialogSpec(7, u"책갈피"));
  dialog.onInit = [](Controls& c) {
    c.SetText(10, u"3");
    c.SetPos(40, 20);
    c.SetChecked(42, true);
    c.AddString(50, u"바다");
    c.AddString(50, u"sea");
    c.SetCurSel(50, 1);
    c.SetItemData(50, 1, 1234567890123);
    c.SetText(55, u"위치: 12.50%");
  };
  std::vector<std::string> initEvents;
  WhileOpen(owner, "dialog7", [&](QDialog* d) {
    initEvents = dialog.events;
    auto* edit = Control<QLineEdit>(d, 10);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->text(), "3");
    EXPECT_EQ(Control<QSlider>(d, 40)->value(), 20);
    EXPECT_TRUE(Control<QCheckBox>(d, 42)->isChecked());
    EXPECT_EQ(Control<QComboBox>(d, 50)->currentText(), "sea");
    EXPECT_EQ(Control<QComboBox>(d, 50)->itemData(1).toLongLong(), 1234567890123);
    EXPECT_EQ(Control<QLabel>(d, 55)->text(), QString::fromUtf8("위치: 12.50%"));
    EXPECT_EQ(d->windowTitle(), QString::fromUtf8("책갈피"));

    Key(edit, Qt::Key_7, "7");  // "37"
    // The up arrow steps the buddy's number within 0..5.
    Control<QWidget>(d, 30)->findChildren<QToolButton*>()[0]->click();
    EXPECT_EQ(edit->text(), "5");
    Key(edit, Qt::Key_Down);  // the arrow keys in the buddy step too
    EXPECT_EQ(edit->text(), "4");
    Control<QSlider>(d, 40)->triggerAction(QAbstractSlider::SliderPageStepAdd);
    Control<QCheckBox>(d, 42)->click();
    Key(Control<QComboBox>(d, 50)->lineEdit(), Qt::Key_A, "a");
    Control<QPushButton>(d, 60)->click();
    Key(d, Qt::Key_Return);  // the default button "확인"
  });
  EXPECT_EQ(runner.RunModal(dialog), kIdOk);
  EXPECT_EQ(dialog.inits, 1);
  EXPECT_TRUE(initEvents.empty());
  EXPECT_EQ(dialog.events, (std::vector<std::string>{"cmd 10/1", "cmd 10/1", "scroll 30=5",
                                                     "cmd 10/1", "scroll 30=4", "scroll 40=30",
                                                     "cmd 42/0", "cmd 50/3", "cmd 60/0", "ok"}));
}

TEST(QtDialogRunner, OkCancelAndEndDialog) {
  QWidget owner;
  owner.setGeometry(100, 80, 240, 320);
  QtDialogRunner runner(&owner);
  Recorder dialog(MakeDialogSpec(8, u""));
  dialog.acceptOk = false;
  // A bar without caption places itself at the top of its owner.
  dialog.onInit = [](Controls& c) {
    const Rect r = c.WindowRect();
    const int top = c.OwnerRect().top;
    c.MoveWindow(Rect{r.left, top, r.left + r.Width(), top + r.Height()});
  };
  QRect placed;
  bool stillOpen = false;
  WhileOpen(owner, "dialog8", [&](QDialog* d) {
    placed = d->geometry();
    Control<QPushButton>(d, 1)->click();  // refused: stays open
    stillOpen = d->isVisible();
    Control<QPushButton>(d, 61)->click();  // ends it with 5
  });
  EXPECT_EQ(runner.RunModal(dialog), 5);
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(placed.top(), owner.mapToGlobal(QPoint(0, 0)).y());
  EXPECT_EQ(dialog.events, (std::vector<std::string>{"ok", "cmd 61/0"}));

  dialog.events.clear();
  WhileOpen(owner, "dialog8", [&](QDialog* d) { Key(d, Qt::Key_Escape); });
  EXPECT_EQ(runner.RunModal(dialog), kIdCancel);
  WhileOpen(owner, "dialog8", [&](QDialog* d) { Control<QPushButton>(d, 2)->click(); });
  EXPECT_EQ(runner.RunModal(dialog), kIdCancel);
  EXPECT_EQ(dialog.events, (std::vector<std::string>{"cancel", "cancel"}));
}

TEST(QtDialogRunner, ReturnPressesTheFocusedPushButton) {
  QWidget owner;
  QtDialogRunner runner(&owner);
  Recorder dialog(MakeDialogSpec(9, u""));
  bool stillOpen = false;
  WhileOpen(owner, "dialog9", [&](QDialog* d) {
    // Tab to "다음 찾기", then Return: it searches, and the bar stays open.
    auto* findNext = Control<QPushButton>(d, 60);
    findNext->setFocus();
    Key(findNext, Qt::Key_Return);
    stillOpen = d->isVisible();
    auto* cancel = Control<QPushButton>(d, 2);
    cancel->setFocus();
    Key(cancel, Qt::Key_Return);  // the focused "취소", not the default "확인"
  });
  EXPECT_EQ(runner.RunModal(dialog), kIdCancel);
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(dialog.events, (std::vector<std::string>{"cmd 60/0", "cancel"}));
}

TEST(QtDialogRunner, ReturnOnAFocusedPageButtonKeepsTheSheetOpen) {
  QWidget owner;
  QtDialogRunner runner(&owner);
  Recorder page(MakeDialogSpec(4, u"책갈피"));
  bool stillOpen = false;
  QTimer::singleShot(0, &owner, [&] {
    auto* sheet = owner.findChild<QDialog*>("propertySheet");
    ASSERT_NE(sheet, nullptr);
    auto* button = Control<QPushButton>(sheet, 60);
    button->setFocus();
    Key(button, Qt::Key_Return);
    stillOpen = sheet->isVisible();
    sheet->reject();
  });
  EXPECT_EQ(runner.RunPropertySheet(u"", {&page}), kIdCancel);
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(page.events, (std::vector<std::string>{"cmd 60/0", "cancel"}));
}

TEST(QtDialogRunner, InitialisesSheetPagesWhenTheirTabIsShown) {
  QWidget owner;
  QtDialogRunner runner(&owner);
  Recorder first(MakeDialogSpec(1, u"화면")), second(MakeDialogSpec(2, u"글꼴")),
      third(MakeDialogSpec(3, u"단추"));
  third.acceptOk = false;
  int initsBeforeTab = -1;
  QTimer::singleShot(0, &owner, [&] {
    auto* sheet = owner.findChild<QDialog*>("propertySheet");
    ASSERT_NE(sheet, nullptr);
    auto* tabs = sheet->findChild<QTabWidget*>();
    EXPECT_EQ(tabs->tabText(1), QString::fromUtf8("글꼴"));
    initsBeforeTab = third.inits;
    tabs->setCurrentIndex(2);
    tabs->setCurrentIndex(0);
    tabs->setCurrentIndex(2);
    Key(sheet, Qt::Key_Return);  // page 3 refuses: the sheet stays open on it
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(tabs->currentIndex(), 2);
    Key(sheet, Qt::Key_Escape);
    if (sheet->isVisible()) sheet->done(99);
  });
  EXPECT_EQ(runner.RunPropertySheet(u"설정", {&first, &second, &third}), kIdCancel);
  EXPECT_EQ(initsBeforeTab, 0);
  EXPECT_EQ(first.inits, 1);
  EXPECT_EQ(second.inits, 0);
  EXPECT_EQ(third.inits, 1);
  EXPECT_EQ(first.events, (std::vector<std::string>{"ok", "cancel"}));
  EXPECT_TRUE(second.events.empty());
  EXPECT_EQ(third.events, (std::vector<std::string>{"ok", "cancel"}));
}

}  // namespace
}  // namespace lirako

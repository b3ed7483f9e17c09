// The settings command on the real Qt property sheet: what a user does with the widgets
// reaches the reader's settings.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

#include "platform/qt/qt_dialog_runner.h"
#include "settings/button_page.h"
#include "settings/font_page.h"
#include "settings/screen_page.h"
#include "settings/settings_sheet.h"
#include "tests/settings/settings_fixture.h"
#include "tests/support/view_internals.h"

namespace {

class QtApplicationEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    app_ = std::make_unique<QApplication>(argc_, argv_);
  }
  void TearDown() override { app_.reset(); }

 private:
  int argc_ = 1;
  char name_[20] = "settings_qt_tests";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QApplication> app_;
};

::testing::Environment* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

}  // namespace

namespace lirako {
namespace {

using testing::ViewInternals;

using testing::SettingsFixture;

// The widget of control `id` on tab `tab` of the open sheet.
template <typename T>
T* On(QTabWidget* tabs, int tab, int id) {
  tabs->setCurrentIndex(tab);
  return tabs->widget(tab)->findChild<T*>(QStringLiteral("control%1").arg(id));
}

void Type(QLineEdit* edit, const QString& text) {
  edit->selectAll();
  QKeyEvent erase(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
  QApplication::sendEvent(edit, &erase);
  for (QChar c : text) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
    QApplication::sendEvent(edit, &press);
  }
}

void Tap(QWidget* widget) {
  QPointF at(2, 2);
  QMouseEvent press(QEvent::MouseButtonPress, at, widget->mapToGlobal(at), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QMouseEvent release(QEvent::MouseButtonRelease, at, widget->mapToGlobal(at), Qt::LeftButton,
                      Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(widget, &press);
  QApplication::sendEvent(widget, &release);
}

// Runs the settings command on `view` with `script` played on the open sheet, which the
// script ends by pressing "확인" or "취소".
void RunSheet(CTirasolView& view, std::function<void(QDialog*, QTabWidget*)> script) {
  QWidget owner;
  QtDialogRunner runner(&owner);
  QTimer::singleShot(0, &owner, [&owner, script] {
    QDialog* sheet = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (w->objectName() == QStringLiteral("propertySheet") && w->isVisible()) {
        sheet = static_cast<QDialog*>(w);
      }
    }
    ASSERT_NE(sheet, nullptr);
    script(sheet, sheet->findChild<QTabWidget*>());
    if (sheet->isVisible()) sheet->reject();
  });
  RunSettingsSheet(view, runner);
}

// The darkest grey level (0 black .. 255 white) drawn by `widget`.
int DarkestGrey(QWidget* widget) {
  const QImage image = widget->grab().toImage();
  int darkest = 255;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x)
      darkest = std::min(darkest, qGray(image.pixel(x, y)));
  }
  return darkest;
}

QPushButton* SheetButton(QDialog* sheet, const QString& text) {
  for (QPushButton* b : sheet->findChild<QDialogButtonBox*>()->findChildren<QPushButton*>()) {
    if (b->text() == text) return b;
  }
  return nullptr;
}

TEST(SettingsSheetQt, TypedArrowedAndPickedValuesReachTheSettingsOnOk) {
  SettingsFixture f;
  CTirasolView& view = f.Start(f.Book("a.txt"));
  QStringList families = QFontDatabase::families();
  RunSheet(view, [&](QDialog* sheet, QTabWidget* tabs) {
    EXPECT_EQ(tabs->count(), 5);
    EXPECT_EQ(tabs->tabText(4), QString::fromUtf8("장치"));
    Type(On<QLineEdit>(tabs, 0, CScreenPage::kMarginXEdit), "9");
    auto* period = On<QLineEdit>(tabs, 0, CScreenPage::kPeriodEdit);
    Type(period, "1399");
    QToolButton* up =
        On<QWidget>(tabs, 0, CScreenPage::kPeriodSpin)->findChildren<QToolButton*>()[0];
    up->click();
    up->click();
    EXPECT_EQ(period->text(), "1,401");
    // The face list is the toolkit's families, the vertical "@" ones left out.
    auto* faces = On<QComboBox>(tabs, 1, CFontPage::kFaceCombo);
    int offered = 0;
    for (const QString& family : families)
      offered += family.startsWith('@') ? 0 : 1;
    EXPECT_EQ(faces->count(), offered);
    auto* sizes = On<QComboBox>(tabs, 1, CFontPage::kSizeCombo);
    sizes->setCurrentIndex(10);
    emit sizes->activated(10);
    SheetButton(sheet, QString::fromUtf8("확인"))->click();
  });
  EXPECT_EQ(view.settings().marginX, 9);
  EXPECT_EQ(view.settings().refreshInterval, 1401);
  EXPECT_EQ(view.settings().fontSize, 20);
  EXPECT_EQ(view.pendingStep(), kStepPageForward);
}

TEST(SettingsSheetQt, TypesettingBoxesOnTheScreenTabReachTheEngine) {
  SettingsFixture f;
  CTirasolView& view = f.Start(f.Book("a.txt"));
  RunSheet(view, [&](QDialog* sheet, QTabWidget* tabs) {
    auto* kinsoku = On<QCheckBox>(tabs, 0, CScreenPage::kKinsokuCheck);
    auto* keepAll = On<QCheckBox>(tabs, 0, CScreenPage::kKeepAllCheck);
    auto* joinLines = On<QCheckBox>(tabs, 0, CScreenPage::kJoinLinesCheck);
    ASSERT_TRUE(kinsoku && keepAll && joinLines);
    EXPECT_EQ(kinsoku->text(), QString::fromUtf8("줄머리 금칙"));
    EXPECT_EQ(keepAll->text(), QString::fromUtf8("어절 단위 줄바꿈"));
    EXPECT_EQ(joinLines->text(), QString::fromUtf8("줄 이어 읽기"));
    EXPECT_TRUE(kinsoku->isChecked());
    EXPECT_FALSE(joinLines->isChecked());
    joinLines->click();
    SheetButton(sheet, QString::fromUtf8("확인"))->click();
  });
  EXPECT_EQ(view.engine().typography, (Typography{.kinsoku = true, .joinLines = true}));
}

TEST(SettingsSheetQt, ButtonRowListOpensOnATapAndGivesWayWhenClosed) {
  SettingsFixture f;
  CTirasolView& view = f.Start();
  ViewInternals::Settings(view).hardwareButtons = 1;
  RunSheet(view, [&](QDialog* sheet, QTabWidget* tabs) {
    QWidget* name = On<QWidget>(tabs, 2, CButtonPage::kNameIds[2]);
    auto* list = On<QComboBox>(tabs, 2, CButtonPage::kComboIds[2]);
    EXPECT_FALSE(list->isVisible());
    Tap(name);
    EXPECT_TRUE(list->isVisible());
    EXPECT_FALSE(name->isVisible());
    EXPECT_TRUE(list->view()->isVisible());
    list->hidePopup();  // closed without a choice
    EXPECT_TRUE(name->isVisible());
    EXPECT_FALSE(list->isVisible());
    // Button 4 pressed on the page opens its own row.
    QKeyEvent f4(QEvent::KeyPress, Qt::Key_F4, Qt::NoModifier);
    QApplication::sendEvent(tabs->currentWidget(), &f4);
    EXPECT_TRUE(On<QComboBox>(tabs, 2, CButtonPage::kComboIds[3])->isVisible());
    Tap(name);
    list->setCurrentIndex(6);
    emit list->activated(6);
    list->hidePopup();
    EXPECT_TRUE(name->isVisible());
    SheetButton(sheet, QString::fromUtf8("취소"))->click();
  });
  EXPECT_EQ(view.settings().buttonFunctions[2], 0);  // Cancel keeps the old function
}

TEST(SettingsSheetQt, FunctionNamesAreGreyedWhileTheButtonsAreOff) {
  SettingsFixture f;
  CTirasolView& view = f.Start();
  ViewInternals::Settings(view).hardwareButtons = 1;
  int enabledInk = 0, disabledInk = 0;
  RunSheet(view, [&](QDialog* sheet, QTabWidget* tabs) {
    QWidget* name = On<QWidget>(tabs, 2, CButtonPage::kNameIds[0]);
    enabledInk = DarkestGrey(name);
    On<QCheckBox>(tabs, 2, CButtonPage::kHardwareCheck)->click();
    disabledInk = DarkestGrey(name);
    SheetButton(sheet, QString::fromUtf8("취소"))->click();
  });
  EXPECT_GT(disabledInk, enabledInk);
}

TEST(SettingsSheetQt, FaceListShowsTheFaceDrawnWhenTheStoredOneIsMissing) {
  SettingsFixture f;
  CTirasolView& view = f.Start();
  const std::u16string stored = u"Lirako Absent Face";
  ViewInternals::Settings(view).SetFontFaceName(stored);
  QString shown;
  RunSheet(view, [&](QDialog* sheet, QTabWidget* tabs) {
    shown = On<QComboBox>(tabs, 1, CFontPage::kFaceCombo)->currentText();
    SheetButton(sheet, QString::fromUtf8("확인"))->click();
  });
  EXPECT_FALSE(shown.isEmpty());
  EXPECT_TRUE(QFontDatabase::hasFamily(shown));
  // The stored face is kept: the reader draws the shown one only while it is missing.
  EXPECT_EQ(view.settings().FontFaceName(), stored);
}

}  // namespace
}  // namespace lirako

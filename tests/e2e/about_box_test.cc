// The About box on the real Qt widgets: the program's icon and the whole quotation.
#include "settings/about_dlg.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QFontMetrics>
#include <QLabel>
#include <QTimer>

#include "app/program_icon.h"
#include "platform/qt/qt_dialog_runner.h"
#include "platform/qt/qt_dialog_widgets.h"

namespace lirako {
namespace {

TEST(AboutBox, ShowsTheProgramIconAndEveryLineOfTheQuotation) {
  QApplication::setWindowIcon(ProgramIcon());
  QWidget owner;
  QtDialogRunner runner(&owner);
  bool icon = false;
  QSize quotationSize, linesSize;
  QTimer::singleShot(0, &owner, [&] {
    auto* about = owner.findChild<QDialog*>(QStringLiteral("dialog%1").arg(CAboutDlg::kDialogId));
    ASSERT_NE(about, nullptr);
    for (const QLabel* label : about->findChildren<QLabel*>())
      icon = icon || !label->pixmap().isNull();
    auto* quotation = dynamic_cast<QtSwatch*>(
        about->findChild<QWidget*>(QStringLiteral("control%1").arg(CAboutDlg::kQuotation)));
    ASSERT_NE(quotation, nullptr);
    quotationSize = quotation->size();
    linesSize = QFontMetrics(quotation->font())
                    .boundingRect(QRect(), Qt::AlignCenter, quotation->text())
                    .size();
    about->reject();
  });
  ShowAboutBox(runner);
  EXPECT_TRUE(icon);
  EXPECT_GE(quotationSize.height(), linesSize.height());
  EXPECT_GE(quotationSize.width(), linesSize.width());
}

}  // namespace
}  // namespace lirako

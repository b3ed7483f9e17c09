#include "settings/about_dlg.h"

#include <gtest/gtest.h>

#include "platform/headless/headless_dialogs.h"
#include "platform/view_host.h"

namespace lirako {
namespace {

TEST(CAboutDlg, ShowsTheQuotationBlackOnLightGreen) {
  HeadlessDialogRunner runner;
  runner.Script({ClickStep(kIdOk)});
  ShowAboutBox(runner);
  ASSERT_EQ(runner.runs().size(), 1u);
  const DialogRun& run = runner.runs()[0];
  EXPECT_EQ(run.id, 100);
  EXPECT_EQ(run.result, kIdOk);
  EXPECT_EQ(run.controls.caption(), u"리라코는...");
  const HeadlessControl& quotation = run.controls.control(CAboutDlg::kQuotation);
  EXPECT_EQ(quotation.textColor, 0x00000000u);
  EXPECT_EQ(quotation.backColor, 0x00C8FFC8u);
}

}  // namespace
}  // namespace lirako

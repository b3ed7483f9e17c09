#include "platform/headless/headless_dialogs.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/view_host.h"

namespace lirako {
namespace {

// A dialog that writes down every notification it gets.
class Recorder : public DialogLogic {
 public:
  explicit Recorder(DialogSpec dialogSpec) : spec_(std::move(dialogSpec)) {}
  const DialogSpec& dialogSpec() const override { return spec_; }
  void OnInitDialog(Controls& c) override {
    ++inits;
    c.SetText(10, u"preset");  // a programmatic change: must not notify
    c.SetRange(30, 0, 5);
  }
  void OnCommand(Controls&, int id, int notification) override {
    events.push_back("cmd " + std::to_string(id) + "/" + std::to_string(notification));
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
  std::vector<std::string> events;

 private:
  DialogSpec spec_;
};

DialogSpec MakeDialogSpec(int id) {
  DialogSpec dialogSpec{id, u"", {}};
  dialogSpec.controls.push_back({10, ControlKind::kEdit, u"", 0, 0, 0, true, false, 0, 0});
  dialogSpec.controls.push_back({30, ControlKind::kUpDown, u"", 10, 0, 0, false, false, 0, 1});
  dialogSpec.controls.push_back({40, ControlKind::kRadioButton, u"a", 0, 0, 0, false, false, 1, 0});
  dialogSpec.controls.push_back({41, ControlKind::kRadioButton, u"b", 0, 0, 0, false, false, 1, 1});
  dialogSpec.controls.push_back({42, ControlKind::kCheckBox, u"c", 0, 0, 0, false, false, 2, 0});
  dialogSpec.controls.push_back({43, ControlKind::kRadioButton, u"d", 0, 0, 0, false, false, 2, 1});
  dialogSpec.controls.push_back(
      {1, ControlKind::kDefaultButton, u"OK", 0, 0, 0, false, false, 3, 0});
  return dialogSpec;
}

TEST(HeadlessDialogRunner, PlaysScriptsAndRecordsRuns) {
  HeadlessDialogRunner runner;
  Recorder dialog(MakeDialogSpec(7));
  runner.Script({SpinStep(30, 2), SpinStep(30, 9), TypeStep(10, u"x"), ClickStep(40), ClickStep(41),
                 ClickStep(43), [](HeadlessControls& c, DialogLogic&) { c.SetTimer(5, 100); },
                 TimerStep(5), TimerStep(6), ClickStep(1), ClickStep(42)});
  EXPECT_EQ(runner.RunModal(dialog), kIdOk);
  EXPECT_EQ(dialog.inits, 1);
  // The spin reads "preset" as 0, steps within 0..5 and writes its buddy each step; the
  // unset timer 6 delivers nothing and nothing runs after OK ended the dialog.
  EXPECT_EQ(dialog.events,
            (std::vector<std::string>{
                "cmd 10/1", "scroll 30=1", "cmd 10/1", "scroll 30=2", "cmd 10/1", "scroll 30=3",
                "cmd 10/1", "scroll 30=4", "cmd 10/1", "scroll 30=5", "cmd 10/1", "scroll 30=5",
                "cmd 10/1", "scroll 30=5", "cmd 10/1", "scroll 30=5", "cmd 10/1", "scroll 30=5",
                "cmd 10/1", "scroll 30=5", "cmd 10/1", "scroll 30=5", "cmd 10/1", "cmd 40/0",
                "cmd 41/0", "cmd 43/0",    "timer 5",  "ok"}));
  ASSERT_EQ(runner.runs().size(), 1u);
  const HeadlessControls& end = runner.runs()[0].controls;
  EXPECT_EQ(runner.runs()[0].id, 7);
  EXPECT_EQ(end.control(10).text, u"x");
  EXPECT_FALSE(end.control(40).checked);
  EXPECT_TRUE(end.control(41).checked);  // 42 breaks the group, so 43 leaves 41 alone
  EXPECT_TRUE(end.control(43).checked);
  EXPECT_FALSE(end.control(42).checked);
  EXPECT_TRUE(end.timers().empty());

  // Without a script, and when OK is refused, the dialog is cancelled.
  dialog.events.clear();
  dialog.acceptOk = false;
  runner.Script({OkStep()});
  EXPECT_EQ(runner.RunModal(dialog), kIdCancel);
  EXPECT_EQ(runner.RunModal(dialog), kIdCancel);
  EXPECT_EQ(dialog.events, (std::vector<std::string>{"ok", "cancel", "cancel"}));
  EXPECT_EQ(runner.runs().size(), 3u);
}

TEST(HeadlessDialogRunner, InitialisesSheetPagesWhenFirstShown) {
  HeadlessDialogRunner runner;
  Recorder first(MakeDialogSpec(1)), second(MakeDialogSpec(2)), third(MakeDialogSpec(3));
  std::vector<DialogLogic*> pages{&first, &second, &third};
  runner.ScriptSheet({{{2, TypeStep(10, u"y")}, {0, nullptr}, {2, nullptr}}, true});
  EXPECT_EQ(runner.RunPropertySheet(u"설정", pages), kIdOk);
  EXPECT_EQ(first.inits, 1);
  EXPECT_EQ(second.inits, 0);
  EXPECT_EQ(third.inits, 1);
  EXPECT_EQ(first.events, std::vector<std::string>{"ok"});
  EXPECT_TRUE(second.events.empty());
  EXPECT_EQ(third.events, (std::vector<std::string>{"cmd 10/1", "ok"}));
  ASSERT_EQ(runner.sheetRuns().size(), 1u);
  EXPECT_FALSE(runner.sheetRuns()[0].pages[1].has_value());
  EXPECT_EQ(runner.sheetRuns()[0].pages[2]->control(10).text, u"y");

  // A page refusing OK cancels every shown page.
  third.acceptOk = false;
  third.events.clear();
  first.events.clear();
  runner.ScriptSheet({{{2, nullptr}}, true});
  EXPECT_EQ(runner.RunPropertySheet(u"설정", pages), kIdCancel);
  EXPECT_TRUE(runner.sheetRuns()[1].okRefused);
  EXPECT_EQ(first.events, (std::vector<std::string>{"ok", "cancel"}));
  EXPECT_EQ(third.events, (std::vector<std::string>{"ok", "cancel"}));
}

}  // namespace
}  // namespace lirako

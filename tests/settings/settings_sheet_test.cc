#include "settings/settings_sheet.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <limits>

#include "engine/code_table.h"
#include "platform/utf.h"
#include "settings/book_mark_page.h"
#include "settings/button_page.h"
#include "settings/color_dlg.h"
#include "settings/font_page.h"
#include "settings/screen_page.h"
#include "settings/system_page.h"
#include "store/settings_file.h"
#include "tests/settings/settings_fixture.h"
#include "tests/support/view_internals.h"
#include "view/bar_room.h"

namespace lirako {
namespace {

using testing::ViewInternals;

using testing::SettingsFixture;

constexpr int kScreen = 0;
constexpr int kFont = 1;
constexpr int kButton = 2;
constexpr int kBookmark = 3;
constexpr int kSystem = 4;

// A reader with book a.txt open on its third page, every settings file removed.
struct SheetFixture {
  SheetFixture() {
    CTirasolView& view = f.Start(f.Book("a.txt"));
    view.AddBookmark(0, u"start");
    f.Paint();
    for (int i = 0; i < 2; ++i) {
      view.RequestStep(kStepPageForward);
      f.Paint();
    }
    std::remove(f.DataFile("SetParam.Dat").c_str());
  }
  CTirasolView& view() { return f.view(); }
  // The sheet with `steps`, ended with OK or Cancel.
  void Run(std::vector<SheetStep> steps, bool ok) {
    f.runner.ScriptSheet(SheetScript{std::move(steps), ok});
    RunSettingsSheet(view(), f.runner);
  }
  // The settings file as saved, or nothing when there is none.
  bool Saved(ReaderSettings* saved) {
    return ReadSettingsFile(f.platform, FromUtf8(f.DataFile("SetParam.Dat")), *saved).used;
  }
  bool RecentMenuHas(int id) {
    for (int menuId : f.host.menu().PopupAt(kMenuPosRecent)->CommandIds()) {
      if (menuId == id) return true;
    }
    return false;
  }
  void StartAutoRefresh() {
    view().ToggleAutoRefresh();
    ASSERT_TRUE(view().runState() & kRunAutoRefresh);
  }
  void ExpectAutoRefreshOff() {
    EXPECT_FALSE(view().runState() & kRunAutoRefresh);
    EXPECT_FALSE(f.host.TimerRunning(kAutoRefreshTimerId));
  }
  SettingsFixture f;
};

TEST(SettingsSheet, OkWithoutChangesReappliesEverything) {
  SheetFixture s;
  CTirasolView& view = s.view();
  ViewInternals::Settings(view).hardwareButtons = 1;
  view.RegisterHotKeys();
  int32_t position = view.pagePosition();
  ASSERT_GT(position, 0);
  // Lose a hot key, a menu item and the code table behind the view's back.
  s.f.host.UnregisterHotKey(30581);
  s.f.host.menu().PopupAt(kMenuPosRecent)->DeleteItem(57616);
  ReleaseCodeTable();
  s.f.dir.Write("hantable.dat", std::string(kCodeTableBytes, '\0'));
  ViewInternals::Settings(view).tableConversion = 1;
  ReaderSettings before = view.settings();
  int invalidations = s.f.host.invalidations();

  s.Run({}, true);
  EXPECT_EQ(s.f.runner.sheetRuns().back().result, kIdOk);
  EXPECT_EQ(view.settings(), before);
  EXPECT_EQ(s.f.host.hotKeys().size(), 4u);  // button 3 has no function
  ASSERT_EQ(s.f.host.hotKeys().count(30581), 1u);
  EXPECT_EQ(s.f.host.hotKeys().at(30581).modifiers, 8u);
  EXPECT_EQ(s.f.host.hotKeys().at(30581).virtualKey, 0xC1u);
  EXPECT_EQ(s.f.host.hotKeys().count(30583), 0u);
  EXPECT_TRUE(IsCodeTableActive());
  EXPECT_EQ(view.engine().metricsReady, 0);
  EXPECT_EQ(view.pendingStep(), kStepPageForward);
  EXPECT_GT(s.f.host.invalidations(), invalidations);
  EXPECT_TRUE(s.RecentMenuHas(57616));
  ReaderSettings saved;
  ASSERT_TRUE(s.Saved(&saved));
  EXPECT_EQ(saved, before);
  // The page is laid out again from the same place.
  s.f.Paint();
  EXPECT_EQ(view.pagePosition(), position);
  EXPECT_EQ(view.engine().metricsReady, 1);

  // Switching the option off unloads nothing.
  s.Run({{kSystem, ClickStep(SystemPage::kTableCheck)}}, true);
  EXPECT_EQ(view.settings().tableConversion, 0);
  EXPECT_TRUE(IsCodeTableActive());
  ReleaseCodeTable();
}

TEST(SettingsSheet, TypesettingOptionsAreStoredAndReachTheEngine) {
  SheetFixture s;
  s.Run({{kScreen, ClickStep(CScreenPage::kJoinLinesCheck)}}, false);
  EXPECT_EQ(s.view().engine().typography, (Typography{.kinsoku = true}));
  s.Run({{kScreen, ClickStep(CScreenPage::kJoinLinesCheck)}}, true);
  EXPECT_EQ(s.view().engine().typography, (Typography{.kinsoku = true, .joinLines = true}));
  EXPECT_EQ(s.view().pendingStep(), kStepPageForward);
  ReaderStore saved;
  std::string err;
  ASSERT_TRUE(saved.Load(s.f.platform, FromUtf8(s.f.DataFile("lirako.ini")), &err)) << err;
  EXPECT_EQ(saved.Value("typography.join-lines"), "1");
  EXPECT_EQ(saved.Value("typography.kinsoku"), "1");
}

TEST(SettingsSheet, TheHeadingRuleIsKeptWhenValidAndRefusedWithItsReasonWhenNot) {
  SheetFixture s;
  s.Run({{kScreen, TypeStep(CScreenPage::kTocRuleEdit, u"^막 [0-9]+$")}}, true);
  EXPECT_EQ(s.view().TocRule(), "^막 [0-9]+$");
  ReaderStore saved;
  std::string err;
  ASSERT_TRUE(saved.Load(s.f.platform, FromUtf8(s.f.DataFile("lirako.ini")), &err)) << err;
  EXPECT_EQ(saved.Value("toc.rule"), "^막 [0-9]+$");

  s.Run({{kScreen, TypeStep(CScreenPage::kTocRuleEdit, u"(막")}}, true);
  EXPECT_EQ(s.view().TocRule(), "^막 [0-9]+$");
  ASSERT_EQ(s.f.host.messageBoxes().size(), size_t{1});
  EXPECT_EQ(s.f.host.messageBoxes()[0].text.rfind(u"목차 규칙이 올바르지 않습니다: ", 0),
            size_t{0});
}

// The command ids of the items of the menu at `position` that lie in [first, last].
std::vector<int> MenuItems(SettingsFixture& f, int position, int first, int last) {
  std::vector<int> ids;
  for (int id : f.host.menu().PopupAt(position)->CommandIds()) {
    if (id >= first && id <= last) ids.push_back(id);
  }
  return ids;
}

TEST(SettingsSheet, CancelAfterTheBookmarkPageActedRebuildsTheMenus) {
  SettingsFixture f;
  CTirasolView& view = f.Start(f.Book("a.txt"));
  view.OpenDocument(f.Book("b.txt"));  // recent files: b.txt, a.txt
  view.AddBookmark(0, u"처음");
  constexpr int kOlderBook = 1;
  f.runner.ScriptSheet(SheetScript{{{kBookmark, SelectStep(CBookMarkPage::kRecentList, kOlderBook)},
                                    {kBookmark, ClickStep(CBookMarkPage::kDeleteRecent)},
                                    {kBookmark, ClickStep(CBookMarkPage::kClearBookmarks)}},
                                   false});
  RunSettingsSheet(view, f.runner);
  // The menus show the lists as they stand: one recent file, no bookmark.
  EXPECT_EQ(MenuItems(f, kMenuPosRecent, kCmdRecentFirst, kCmdRecentLast),
            std::vector<int>{kCmdRecentFirst});
  EXPECT_TRUE(MenuItems(f, kMenuPosBookmark, kCmdBookmarkFirst, kCmdBookmarkLast).empty());

  // A sheet cancelled without any action on the lists leaves the menus alone.
  f.host.menu().PopupAt(kMenuPosRecent)->DeleteItem(kCmdRecentFirst);
  f.runner.ScriptSheet(SheetScript{{{kBookmark, {}}}, false});
  RunSettingsSheet(view, f.runner);
  EXPECT_TRUE(MenuItems(f, kMenuPosRecent, kCmdRecentFirst, kCmdRecentLast).empty());
}

TEST(SettingsSheet, CancelKeepsPageValuesButNotBookmarkOrSystemActions) {
  SheetFixture s;
  CTirasolView& view = s.view();
  s.StartAutoRefresh();
  s.f.host.menu().PopupAt(kMenuPosRecent)->DeleteItem(57616);
  auto hotKeys = s.f.host.hotKeys();
  int32_t position = view.pagePosition();
  ReaderSettings expected = view.settings();
  expected.unlinkedExtensions = {u".txt"};
  expected.linkedExtensions = {u".cap"};
  s.f.runner.Script({ClickStep(CColorDlg::kFirstPreset + 2), ClickStep(kIdOk)});

  s.Run({{kScreen, TypeStep(CScreenPage::kMarginXEdit, u"12")},
         {kScreen, TypeStep(CScreenPage::kPeriodEdit, u"900")},
         {kScreen, ClickStep(CScreenPage::kJustifyCheck)},
         {kScreen, SelectStep(CScreenPage::kBarCombo, 1)},
         {kFont, SelectStep(CFontPage::kSizeCombo, 0)},
         {kFont, ClickStep(CFontPage::kBoldCheck)},
         {kFont, ClickStep(CFontPage::kTextSwatch)},
         {kButton, ClickStep(CButtonPage::kHardwareCheck)},
         {kButton, ClickStep(CButtonPage::kNameIds[0])},
         {kButton, SelectStep(CButtonPage::kComboIds[0], 7)},
         {kBookmark, SelectStep(CBookMarkPage::kBookmarkList, 0)},
         {kBookmark, ClickStep(CBookMarkPage::kDeleteBookmark)},
         {kSystem, SelectStep(SystemPage::kUnlinkedList, 1)},
         {kSystem, ClickStep(SystemPage::kLinkButton)},
         {kSystem, ClickStep(SystemPage::kTableCheck)},
         {kSystem, ClickStep(SystemPage::kDialCheck)}},
        false);
  const SheetRun& run = s.f.runner.sheetRuns().back();
  EXPECT_EQ(run.result, kIdCancel);
  EXPECT_EQ(run.caption, u"");
  std::vector<std::u16string> tabs;
  for (const auto& page : run.pages)
    tabs.push_back(page->caption());
  EXPECT_EQ(tabs, (std::vector<std::u16string>{u"화면", u"글자", u"버튼", u"책갈피", u"장치"}));
  EXPECT_EQ(view.settings(), expected);
  EXPECT_TRUE(view.currentEntry().bookmarks.empty());
  RegistryValue value;
  ASSERT_TRUE(
      s.f.platform.registry().QueryValue(RegistryRoot::kClassesRoot, u".cap", u"Default", &value));
  EXPECT_EQ(value.text, u"lirakofile");
  s.ExpectAutoRefreshOff();
  EXPECT_EQ(s.f.host.hotKeys().size(), hotKeys.size());
  // The bookmark page deleted a bookmark: the menus were rebuilt from the lists.
  EXPECT_TRUE(s.RecentMenuHas(57616));
  ReaderSettings saved;
  EXPECT_FALSE(s.Saved(&saved));
  EXPECT_EQ(view.engine().metricsReady, 1);
  EXPECT_EQ(view.pagePosition(), position);
}

TEST(SettingsSheet, OkCopiesBackEveryValueAndAppliesIt) {
  SheetFixture s;
  CTirasolView& view = s.view();
  s.StartAutoRefresh();
  ViewInternals::Settings(view).buttonFunctions[7] = 9;
  s.f.runner.Script({ClickStep(CColorDlg::kFirstPreset + 2), ClickStep(kIdOk)});
  s.f.runner.Script({ClickStep(CColorDlg::kFirstPreset + 12), ClickStep(kIdOk)});

  s.Run({{kScreen, TypeStep(CScreenPage::kMarginXEdit, u"8")},
         {kScreen, TypeStep(CScreenPage::kMarginYEdit, u"7")},
         {kScreen, TypeStep(CScreenPage::kLineGapEdit, u"3")},
         {kScreen, TypeStep(CScreenPage::kSharedLinesEdit, u"4")},
         {kScreen, SpinStep(CScreenPage::kPeriodSpin, -1)},
         {kScreen, ClickStep(CScreenPage::kSmoothCheck)},
         {kScreen, ClickStep(CScreenPage::kLandscapeCheck)},
         {kScreen, ClickStep(CScreenPage::kJustifyCheck)},
         {kScreen, ClickStep(CScreenPage::kScreenKeysCheck)},
         {kScreen, SelectStep(CScreenPage::kBarCombo, 1)},
         {kFont, SelectStep(CFontPage::kFaceCombo, 1)},
         {kFont, SelectStep(CFontPage::kSizeCombo, 10)},
         {kFont, ClickStep(CFontPage::kBoldCheck)},
         {kFont, ClickStep(CFontPage::kClearTypeCheck)},
         {kFont, ClickStep(CFontPage::kTextSwatch)},
         {kFont, ClickStep(CFontPage::kBackSwatch)},
         {kButton, ClickStep(CButtonPage::kHardwareCheck)},
         {kButton, ClickStep(CButtonPage::kNameIds[2])},
         {kButton, SelectStep(CButtonPage::kComboIds[2], 4)},
         {kButton, ClickStep(CButtonPage::kNameIds[0])},
         {kButton, SelectStep(CButtonPage::kComboIds[0], 0)},
         {kSystem, ClickStep(SystemPage::kTableCheck)},
         {kSystem, ClickStep(SystemPage::kDialCheck)}},
        true);
  const ReaderSettings& st = view.settings();
  EXPECT_EQ(st.marginX, 8);
  EXPECT_EQ(st.marginY, 7);
  EXPECT_EQ(st.lineGap, 3);
  EXPECT_EQ(st.sharedLines, 4);
  EXPECT_EQ(st.refreshInterval, 1599);
  EXPECT_EQ(st.smoothRefresh, 1);
  EXPECT_EQ(st.landscape, 1);
  EXPECT_EQ(st.justify, 0);
  EXPECT_EQ(st.screenKeys, 0);
  EXPECT_EQ(st.barMode, BarMode::kScrollBar);
  EXPECT_EQ(st.FontFaceName(), u"NanumGothic");
  EXPECT_EQ(st.fontSize, 20);
  EXPECT_EQ(st.fontBold, 1);
  EXPECT_EQ(st.clearType, 1);
  EXPECT_EQ(st.textColor, 0x000000FFu);
  EXPECT_EQ(st.backColor, 0x00FFC8C8u);
  EXPECT_EQ(st.hardwareButtons, 1);
  EXPECT_EQ(st.buttonFunctions[0], 0);
  EXPECT_EQ(st.buttonFunctions[2], 4);
  EXPECT_EQ(st.buttonFunctions[7], 9);
  EXPECT_EQ(st.tableConversion, 1);
  EXPECT_EQ(st.dialDevice, 1);
  // Scroll bar in landscape: 14 pixels at the bottom.
  EXPECT_EQ(view.engine().margins, (Rect{8, 7, 8, 21}));
  EXPECT_EQ(view.engine().lineGap, 3);
  EXPECT_EQ(view.engine().sharedLines, 4);
  EXPECT_EQ(view.engine().justify, 0);
  EXPECT_TRUE(s.f.host.scrollBar().visible);
  // Button 1 now has no function and is not registered.
  EXPECT_EQ(s.f.host.hotKeys().count(30581), 0u);
  EXPECT_EQ(s.f.host.hotKeys().count(30583), 1u);
  EXPECT_EQ(s.f.host.hotKeys().size(), 4u);
  s.ExpectAutoRefreshOff();
  ReaderSettings saved;
  ASSERT_TRUE(s.Saved(&saved));
  EXPECT_EQ(saved, st);
}

TEST(SettingsSheet, BarRoomAndHotKeysFollowTheChoices) {
  EXPECT_EQ(SettingsMargins(6, 5, BarMode::kScrollBar, false), (Rect{6, 5, 20, 5}));
  EXPECT_EQ(SettingsMargins(6, 5, BarMode::kScrollBar, true), (Rect{6, 5, 6, 19}));
  EXPECT_EQ(SettingsMargins(6, 5, BarMode::kPositionBar, false), (Rect{9, 5, 6, 5}));
  EXPECT_EQ(SettingsMargins(6, 5, BarMode::kPositionBar, true), (Rect{6, 8, 6, 5}));
  EXPECT_EQ(SettingsMargins(6, 5, BarMode::kNone, false), (Rect{6, 5, 6, 5}));
  EXPECT_EQ(SettingsMargins(6, 5, BarMode{0}, true), (Rect{6, 5, 6, 5}));
  constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
  EXPECT_EQ(SettingsMargins(kMax, kMax, BarMode::kScrollBar, false),
            (Rect{kMax, kMax, kMax, kMax}));
  EXPECT_EQ(SettingsMargins(kMax, kMax, BarMode::kPositionBar, true),
            (Rect{kMax, kMax, kMax, kMax}));

  SheetFixture s;
  ViewInternals::Settings(s.view()).hardwareButtons = 1;
  s.view().RegisterHotKeys();
  ASSERT_FALSE(s.f.host.hotKeys().empty());
  s.Run({{kScreen, SelectStep(CScreenPage::kBarCombo, 0)},
         {kButton, ClickStep(CButtonPage::kHardwareCheck)}},
        true);
  EXPECT_EQ(s.view().engine().margins, (Rect{6, 5, 6, 5}));
  EXPECT_FALSE(s.f.host.scrollBar().visible);
  EXPECT_TRUE(s.f.host.hotKeys().empty());
  EXPECT_EQ(s.view().hotKeyRegistered(), (std::array<bool, kAppButtonCount>{}));
}

TEST(SettingsSheet, FaceListIsEnumeratedEachRunWithoutVerticalFonts) {
  SheetFixture s;
  s.f.runner.families = {u"@Batang", u"Batang", u"", u"Gulim", u"Batang"};
  ViewInternals::Settings(s.view()).fontSize = 18;
  s.Run({{kFont, {}}}, true);
  EXPECT_EQ(s.f.runner.enumerations, 1);
  const auto& fontPage = s.f.runner.sheetRuns().back().pages[kFont];
  ASSERT_TRUE(fontPage.has_value());
  EXPECT_EQ(fontPage->control(CFontPage::kFaceCombo).items,
            (std::vector<std::u16string>{u"Batang", u"Gulim", u"Batang"}));
  EXPECT_EQ(fontPage->control(CFontPage::kFaceCombo).curSel, -1);
  EXPECT_EQ(fontPage->control(CFontPage::kSizeCombo).curSel, -1);
  // Neither the missing face nor the unlisted size is lost.
  EXPECT_EQ(s.view().settings().FontFaceName(), u"Tahoma");
  EXPECT_EQ(s.view().settings().fontSize, 18);

  s.f.runner.families = {u"Dotum"};
  s.Run({{kFont, SelectStep(CFontPage::kFaceCombo, 0)}}, false);
  EXPECT_EQ(s.f.runner.enumerations, 2);
  EXPECT_EQ(s.f.runner.sheetRuns().back().pages[kFont]->control(CFontPage::kFaceCombo).items,
            (std::vector<std::u16string>{u"Dotum"}));
  EXPECT_EQ(s.view().settings().FontFaceName(), u"Tahoma");
}

TEST(SettingsSheet, WithoutABookOkAppliesAndSavesButLaysNothingOut) {
  SettingsFixture f;
  CTirasolView& view = f.Start();
  ASSERT_FALSE(view.HasDocument());
  int invalidations = f.host.invalidations();
  f.runner.ScriptSheet({{{kScreen, SelectStep(CScreenPage::kBarCombo, 1)},
                         {kButton, ClickStep(CButtonPage::kHardwareCheck)}},
                        true});
  RunSettingsSheet(view, f.runner);
  EXPECT_EQ(view.settings().barMode, BarMode::kScrollBar);
  EXPECT_TRUE(f.host.scrollBar().visible);
  EXPECT_EQ(f.host.hotKeys().size(), 4u);
  EXPECT_EQ(view.pendingStep(), kStepNone);
  EXPECT_EQ(f.host.invalidations(), invalidations);
  ReaderSettings saved;
  EXPECT_TRUE(ReadSettingsFile(f.platform, FromUtf8(f.DataFile("SetParam.Dat")), saved).used);
  EXPECT_EQ(saved, view.settings());
}

TEST(SettingsSheet, DeletingTheOpenBooksEntryInsideTheSheet) {
  // Confirmed, then the sheet cancelled: the book stays closed and unlisted, nothing saved.
  SheetFixture closed;
  closed.f.host.QueueMessageBoxAnswer(kIdOk);
  closed.Run({{kBookmark, SelectStep(CBookMarkPage::kRecentList, 0)},
              {kBookmark, ClickStep(CBookMarkPage::kDeleteRecent)}},
             false);
  EXPECT_FALSE(closed.view().HasDocument());
  EXPECT_EQ(closed.view().recentFiles().size(), 0u);
  ReaderSettings saved;
  EXPECT_FALSE(closed.Saved(&saved));

  // Refused, then OK: the book stays open and is laid out again where it was.
  SheetFixture kept;
  int32_t position = kept.view().pagePosition();
  kept.f.host.QueueMessageBoxAnswer(kIdCancel);
  kept.Run({{kBookmark, SelectStep(CBookMarkPage::kRecentList, 0)},
            {kBookmark, ClickStep(CBookMarkPage::kDeleteRecent)}},
           true);
  EXPECT_TRUE(kept.view().HasDocument());
  EXPECT_EQ(kept.view().recentFiles().size(), 1u);
  EXPECT_EQ(kept.view().pendingStep(), kStepPageForward);
  kept.f.Paint();
  EXPECT_EQ(kept.view().pagePosition(), position);
  EXPECT_TRUE(kept.Saved(&saved));
}

TEST(SettingsSheet, FarOutValuesNeitherHangNorStopPaging) {
  SheetFixture s;
  CTirasolView& view = s.view();
  s.Run({{kScreen, TypeStep(CScreenPage::kLineGapEdit, u"-5")},
         {kScreen, TypeStep(CScreenPage::kSharedLinesEdit, u"99")},
         {kScreen, TypeStep(CScreenPage::kPeriodEdit, u"-100")}},
        true);
  EXPECT_EQ(view.settings().lineGap, -5);
  s.f.Paint();
  int32_t before = view.pagePosition();
  view.RequestStep(kStepPageForward);
  s.f.Paint();
  EXPECT_GT(view.pagePosition(), before);

  s.Run({{kScreen, TypeStep(CScreenPage::kMarginXEdit, u"5000")},
         {kScreen, TypeStep(CScreenPage::kMarginYEdit, u"5000")},
         {kScreen, TypeStep(CScreenPage::kLineGapEdit, u"1")},
         {kScreen, TypeStep(CScreenPage::kSharedLinesEdit, u"2")}},
        true);
  EXPECT_EQ(view.engine().margins, (Rect{5003, 5000, 5000, 5000}));
  s.f.Paint();
  before = view.pagePosition();
  view.RequestStep(kStepPageForward);
  s.f.Paint();
  EXPECT_GT(view.pagePosition(), before);
  // The negative period typed above still gives a timer of at least 1 ms.
  s.StartAutoRefresh();
  EXPECT_GE(s.f.host.timers().at(kAutoRefreshTimerId), 1u);
}

}  // namespace
}  // namespace lirako

#include "settings/settings_sheet.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/utf.h"
#include "settings/book_mark_page.h"
#include "settings/button_page.h"
#include "settings/font_page.h"
#include "settings/screen_page.h"
#include "settings/system_page.h"
#include "store/settings_file.h"
#include "view/tirasol_view.h"

namespace lirako {

namespace {

// Face names worth offering: not empty, and not the "@" names of vertically set fonts.
std::vector<std::u16string> OfferedFaces(std::vector<std::u16string> families) {
  std::erase_if(families, [](const std::u16string& f) { return f.empty() || f[0] == u'@'; });
  return families;
}

void CopyIn(const ReaderSettings& s, CScreenPage& screen, CFontPage& font, CButtonPage& buttons,
            SystemPage& system) {
  screen.numbers = {s.marginX, s.marginY, s.lineGap, s.sharedLines, s.refreshInterval};
  screen.entryNumbers = screen.numbers;
  screen.justify = s.justify;
  screen.landscape = s.landscape;
  screen.screenKeys = s.screenKeys;
  screen.smoothRefresh = s.smoothRefresh;
  screen.barMode = s.barMode;
  font.fontFace = s.FontFaceName();
  font.fontSize = s.fontSize;
  font.fontBold = s.fontBold;
  font.clearType = s.clearType;
  font.textColor = s.textColor;
  font.backColor = s.backColor;
  system.tableConversion = s.tableConversion;
  system.dialDevice = s.dialDevice;
  buttons.hardwareButtons = s.hardwareButtons;
  buttons.buttonFunctions = s.buttonFunctions;
}

}  // namespace

void RunSettingsSheet(CTirasolView& view, DialogRunner& runner) {
  view.StopAutoRefresh();
  CScreenPage screen;
  CFontPage font(runner);
  CButtonPage buttons;
  CBookMarkPage bookmarks(view);
  SystemPage system(view);
  CopyIn(view.settings(), screen, font, buttons, system);
  screen.typography = view.typography();
  screen.page = view.pageOptions();
  font.theme = view.themeChoice().theme();
  screen.tocRule = FromUtf8(view.TocRule());
  // The families are asked for on every run: fonts may have been installed since.
  font.faces = OfferedFaces(runner.FontFamilies());
  font.faceInUse = runner.FaceInUse(font.fontFace);

  if (runner.RunPropertySheet(u"", {&screen, &font, &buttons, &bookmarks, &system}) != kIdOk) {
    // The bookmark page's deletions stand after Cancel; the menus, which open entries by
    // their index, must show the lists as they now are.
    if (bookmarks.changedLists()) {
      view.BuildRecentMenu();
      view.BuildBookmarkMenu();
    }
    return;
  }

  // The system page links and unlinks at once: its changes are in the view's settings already.
  ReaderSettings s = view.settings();
  s.lineGap = screen.numbers.lineGap;
  s.screenKeys = screen.screenKeys;
  s.sharedLines = screen.numbers.sharedLines;
  s.justify = screen.justify;
  s.smoothRefresh = screen.smoothRefresh;
  s.marginX = screen.numbers.marginX;
  s.marginY = screen.numbers.marginY;
  s.landscape = screen.landscape;
  s.barMode = screen.barMode;
  s.refreshInterval = screen.numbers.refreshInterval;
  s.SetFontFaceName(font.fontFace);
  s.fontSize = font.fontSize;
  s.fontBold = font.fontBold;
  s.clearType = font.clearType;
  s.textColor = font.textColor;
  s.backColor = font.backColor;
  s.hardwareButtons = buttons.hardwareButtons;
  s.buttonFunctions = buttons.buttonFunctions;
  s.tableConversion = system.tableConversion;
  s.dialDevice = system.dialDevice;
  view.SetPageOptions(screen.page);
  view.ApplySettings(s, screen.typography);
  view.KeepTypesetting();
  // After the own colours: whether they make a light page decides the night key's way back.
  view.SetTheme(font.theme);
  // A rule that is not a valid pattern is refused with the reason; the one in force stays.
  if (const std::string rule = ToUtf8(screen.tocRule); rule != view.TocRule()) {
    std::string err;
    if (!view.SetTocRule(rule, &err))
      view.host().MessageBox(u"목차 규칙이 올바르지 않습니다: " + FromUtf8(err), u"오류", kMbOk);
  }
  view.BuildRecentMenu();
  view.BuildBookmarkMenu();
  view.SaveSettingsFile();
  view.SaveReaderStore();
}

}  // namespace lirako

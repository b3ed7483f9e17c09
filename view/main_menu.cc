#include "view/main_menu.h"

#include "view/command_ids.h"

namespace lirako {
namespace {

MenuItemData Command(int id, std::u16string text) {
  return {MenuItemData::kCommand, id, std::move(text), {}};
}

MenuItemData Separator() {
  return {MenuItemData::kSeparator, 0, {}, {}};
}

MenuItemData Popup(std::u16string text, std::vector<MenuItemData> items) {
  return {MenuItemData::kPopup, 0, std::move(text), std::move(items)};
}

// Ten numbered placeholders ("파일 1" .. "파일 10") with consecutive ids.
std::vector<MenuItemData> Numbered(const std::u16string& label, int firstId) {
  std::vector<MenuItemData> items;
  for (int i = 0; i < kMenuListLimit; ++i) {
    std::string number = std::to_string(i + 1);
    items.push_back(Command(firstId + i, label + std::u16string(number.begin(), number.end())));
  }
  return items;
}

std::vector<MenuItemData> BuildMainMenu() {
  std::vector<MenuItemData> bookmarks = {Command(kCmdSetBookmark, u"지정"), Separator()};
  for (MenuItemData& item : Numbered(u"지점 ", kCmdBookmarkFirst))
    bookmarks.push_back(item);
  return {
      Command(kCmdFileOpen, u"열기"),
      Popup(u"열어본", Numbered(u"파일 ", kCmdRecentFirst)),
      Separator(),
      Popup(u"이동",
            {Command(kCmdGoStart, u"시작"), Command(kCmdJump, u"점프"), Command(kCmdGoEnd, u"끝"),
             Separator(), Command(kCmdFind, u"찾기"), Command(kCmdToc, u"목차"), Separator(),
             Command(kCmdAutoRefresh, u"자동갱신")}),
      Popup(u"책갈피", std::move(bookmarks)),
      Popup(u"인코딩",
            {Command(kCmdEncodingAuto, u"자동 감지"), Command(kCmdEncodingCp949, u"한국어 (CP949)"),
             Command(kCmdEncodingUtf8, u"유니코드 (UTF-8)"),
             Command(kCmdEncodingUtf16Le, u"유니코드 (UTF-16 LE)"),
             Command(kCmdEncodingUtf16Be, u"유니코드 (UTF-16 BE)")}),
      Command(kCmdLibrary, u"서재"),
      Command(kCmdNightToggle, u"밤/낮 전환"),
      Separator(),
      Command(kCmdSettings, u"설정"),
      Command(kCmdAbout, u"이놈은"),
      Command(kCmdExit, u"끝내기"),
  };
}

std::u16string FindText(const std::vector<MenuItemData>& items, int id) {
  for (const MenuItemData& item : items) {
    if (item.kind == MenuItemData::kCommand && item.id == id) return item.text;
    if (item.kind == MenuItemData::kPopup) {
      std::u16string text = FindText(item.items, id);
      if (!text.empty()) return text;
    }
  }
  return {};
}

}  // namespace

const std::u16string& MainMenuTitle() {
  static const std::u16string title = u"메뉴";
  return title;
}

const std::vector<MenuItemData>& MainMenuItems() {
  static const std::vector<MenuItemData> items = BuildMainMenu();
  return items;
}

const std::vector<int>& ToolBarCommands() {
  static const std::vector<int> commands = {kCmdFileOpen,    0,        kCmdAutoRefresh,
                                            kCmdSetBookmark, kCmdFind, kCmdJump,
                                            kCmdToc,         0,        kCmdSettings};
  return commands;
}

const std::vector<Accelerator>& AcceleratorTable() {
  static const std::vector<Accelerator> table = {
      {u'N', kCmdFileNew},
      {u'O', kCmdFileOpen},
      {u'S', kCmdFileSave},
      {u'Q', kCmdExit},
      {u'Z', kCmdEditUndo},
      {u'X', kCmdEditCut},
      {u'C', kCmdEditCopy},
      {u'V', kCmdEditPaste},
      {u'T', kCmdToc},
      {u'L', kCmdLibrary},
      {kAccelPageDown, kCmdNextChapter},
      {kAccelPageUp, kCmdPreviousChapter},
      {u'N', kCmdNightToggle, true},
  };
  return table;
}

std::u16string CommandText(int id) {
  return FindText(MainMenuItems(), id);
}

std::u16string ShortcutText(int id) {
  switch (id) {
    case kCmdFileOpen:
      return u"Ctrl+O";
    case kCmdGoStart:
      return u"Home";
    case kCmdJump:
      return u"Ctrl+G";
    case kCmdGoEnd:
      return u"End";
    case kCmdFind:
      return u"Ctrl+F";
    case kCmdToc:
      return u"Ctrl+T";
    case kCmdLibrary:
      return u"Ctrl+L";
    case kCmdSetBookmark:
      return u"Ctrl+B";
    case kCmdSettings:
      return u"Ctrl+,";
    case kCmdNightToggle:
      return u"Ctrl+Shift+N";
    case kCmdExit:
      return u"Ctrl+Q";
    default:
      return {};
  }
}

}  // namespace lirako

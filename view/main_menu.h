#pragma once

#include <string>
#include <vector>

namespace lirako {

// One item of the main menu: a command, a separator, or a pop-up with its own items.
struct MenuItemData {
  enum Kind { kCommand, kSeparator, kPopup };
  Kind kind = kCommand;
  int id = 0;  // kCommand only
  std::u16string text;
  std::vector<MenuItemData> items;  // kPopup only
};

// A keyboard shortcut: a letter with the Ctrl key, mapped to a command id.
struct Accelerator {
  char16_t key = 0;  // upper-case letter
  int id = 0;
};

// The text of the one top pop-up of the menu bar, "메뉴".
const std::u16string& MainMenuTitle();
// The items of "메뉴" in order, with the "열어본" and "책갈피" pop-ups as they are before the
// view rebuilds them.
const std::vector<MenuItemData>& MainMenuItems();
// The tool-bar buttons from left to right; 0 stands for a gap.
const std::vector<int>& ToolBarCommands();
// The accelerator table in its order.
const std::vector<Accelerator>& AcceleratorTable();
// The menu text of command `id` anywhere in the menu, or empty.
std::u16string CommandText(int id);

}  // namespace lirako

#pragma once

#include <string>
#include <vector>

#include "platform/menu.h"

namespace lirako {

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
// The key that also runs command `id`, in the form the menu shows beside its text
// ("Ctrl+O", "Home"), or empty.
std::u16string ShortcutText(int id);

}  // namespace lirako

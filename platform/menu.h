#pragma once

#include <string>
#include <vector>

namespace lirako {

// One item of a menu as the hosts build it: a command, a separator, or a pop-up with its own
// items.
struct MenuItemData {
  enum Kind { kCommand, kSeparator, kPopup };
  Kind kind = kCommand;
  int id = 0;  // kCommand only
  std::u16string text;
  std::vector<MenuItemData> items;  // kPopup only
};

// Accelerator keys that are no letters.
constexpr char16_t kAccelPageUp = 0x21;
constexpr char16_t kAccelPageDown = 0x22;

// A keyboard shortcut: a letter (or Page Up or Down) with the Ctrl key, and the Shift key when
// `shift`, mapped to a command id.
struct Accelerator {
  char16_t key = 0;  // upper-case letter, kAccelPageUp or kAccelPageDown
  int id = 0;
  bool shift = false;
};

// A pop-up menu whose items carry command ids, as the view edits it at run time.
class Menu {
 public:
  virtual ~Menu() = default;

  // The pop-up at `position` (separators count), or null when that item is no pop-up.
  virtual Menu* SubMenu(int position) = 0;
  // Removes the item with command `id`; false when there is none.
  virtual bool DeleteItem(int id) = 0;
  // Appends an item with command `id` and `text`.
  virtual void AppendItem(int id, const std::u16string& text) = 0;
  // Enables or greys the item at `position`.
  virtual void EnableItemAt(int position, bool enabled) = 0;
  // Sets or clears the check mark of the item with command `id`, here or in a pop-up.
  virtual void CheckItem(int id, bool checked) = 0;
  // Number of items, separators included.
  virtual int ItemCount() = 0;
};

}  // namespace lirako

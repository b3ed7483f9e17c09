#pragma once

#include <functional>
#include <map>
#include <memory>

#include <QMenu>

#include "platform/menu.h"

namespace lirako {

// A Menu over a QMenu whose actions carry their command ids as data. Triggering an item
// hands its id to `onCommand`; pop-ups are wrapped on demand and share the same callback.
class QtMenu : public Menu {
 public:
  QtMenu(QMenu* menu, std::function<void(int)> onCommand);
  ~QtMenu() override;

  Menu* SubMenu(int position) override;
  // Searches this menu's items, then its pop-ups, like a removal by command.
  bool DeleteItem(int id) override;
  void AppendItem(int id, const std::u16string& text) override;
  void EnableItemAt(int position, bool enabled) override;
  void CheckItem(int id, bool checked) override;
  int ItemCount() override;

  QMenu* menu() const { return menu_; }
  // Adds a command item; AppendItem with Qt's string.
  QAction* AddCommand(int id, const QString& text);

  // The command id an action carries, or 0.
  static int CommandOf(const QAction* action);

 private:
  QMenu* menu_;
  std::function<void(int)> onCommand_;
  std::map<QMenu*, std::unique_ptr<QtMenu>> subMenus_;
};

}  // namespace lirako

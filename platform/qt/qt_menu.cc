#include "platform/qt/qt_menu.h"

#include <QAction>
#include <QList>
#include <QString>

namespace lirako {

QtMenu::QtMenu(QMenu* menu, std::function<void(int)> onCommand)
    : menu_(menu), onCommand_(std::move(onCommand)) {}

QtMenu::~QtMenu() = default;

int QtMenu::CommandOf(const QAction* action) {
  return action && !action->isSeparator() && !action->menu() ? action->data().toInt() : 0;
}

Menu* QtMenu::SubMenu(int position) {
  QList<QAction*> actions = menu_->actions();
  if (position < 0 || position >= actions.size()) return nullptr;
  QMenu* sub = actions[position]->menu();
  if (!sub) return nullptr;
  std::unique_ptr<QtMenu>& wrapper = subMenus_[sub];
  if (!wrapper) wrapper = std::make_unique<QtMenu>(sub, onCommand_);
  return wrapper.get();
}

bool QtMenu::DeleteItem(int id) {
  const QList<QAction*> actions = menu_->actions();
  for (QAction* action : actions) {
    if (CommandOf(action) == id) {
      menu_->removeAction(action);
      delete action;
      return true;
    }
  }
  for (int i = 0; i < actions.size(); ++i) {
    if (!actions[i]->menu()) continue;
    if (SubMenu(i)->DeleteItem(id)) return true;
  }
  return false;
}

QAction* QtMenu::AddCommand(int id, const QString& text) {
  QAction* action = menu_->addAction(text);
  action->setData(id);
  auto onCommand = onCommand_;
  QObject::connect(action, &QAction::triggered, action, [onCommand, id] {
    if (onCommand) onCommand(id);
  });
  return action;
}

void QtMenu::AppendItem(int id, const std::u16string& text) {
  AddCommand(id, QString::fromStdU16String(text));
}

void QtMenu::EnableItemAt(int position, bool enabled) {
  QList<QAction*> actions = menu_->actions();
  if (position < 0 || position >= actions.size()) return;
  actions[position]->setEnabled(enabled);
}

void QtMenu::CheckItem(int id, bool checked) {
  const QList<QAction*> actions = menu_->actions();
  for (int i = 0; i < actions.size(); ++i) {
    if (CommandOf(actions[i]) == id) {
      actions[i]->setCheckable(true);
      actions[i]->setChecked(checked);
      return;
    }
    if (actions[i]->menu()) SubMenu(i)->CheckItem(id, checked);
  }
}

int QtMenu::ItemCount() {
  return static_cast<int>(menu_->actions().size());
}

}  // namespace lirako

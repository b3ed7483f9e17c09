#include "platform/headless/headless_view_host.h"

namespace lirako {

HeadlessMenu::HeadlessMenu(const std::vector<MenuItemData>& items) {
  for (const MenuItemData& data : items) {
    Item item;
    item.id = data.id;
    item.text = data.text;
    item.separator = data.kind == MenuItemData::kSeparator;
    if (data.kind == MenuItemData::kPopup) item.popup = std::make_unique<HeadlessMenu>(data.items);
    items_.push_back(std::move(item));
  }
}

Menu* HeadlessMenu::SubMenu(int position) {
  return PopupAt(position);
}

HeadlessMenu* HeadlessMenu::PopupAt(int position) {
  if (position < 0 || position >= ItemCount()) return nullptr;
  return items_[position].popup.get();
}

bool HeadlessMenu::DeleteItem(int id) {
  for (auto it = items_.begin(); it != items_.end(); ++it) {
    if (!it->separator && !it->popup && it->id == id) {
      items_.erase(it);
      return true;
    }
  }
  return false;
}

void HeadlessMenu::AppendItem(int id, const std::u16string& text) {
  Item item;
  item.id = id;
  item.text = text;
  items_.push_back(std::move(item));
}

void HeadlessMenu::EnableItemAt(int position, bool enabled) {
  if (position >= 0 && position < ItemCount()) items_[position].enabled = enabled;
}

void HeadlessMenu::CheckItem(int id, bool checked) {
  for (Item& item : items_) {
    if (item.popup) {
      item.popup->CheckItem(id, checked);
    } else if (!item.separator && item.id == id) {
      item.checked = checked;
    }
  }
}

std::vector<int> HeadlessMenu::CommandIds() const {
  std::vector<int> ids;
  for (const Item& item : items_) {
    if (!item.separator && !item.popup) ids.push_back(item.id);
  }
  return ids;
}

std::vector<std::u16string> HeadlessMenu::CommandTexts() const {
  std::vector<std::u16string> texts;
  for (const Item& item : items_) {
    if (!item.separator && !item.popup) texts.push_back(item.text);
  }
  return texts;
}

HeadlessViewHost::HeadlessViewHost(int width, int height,
                                   const std::vector<MenuItemData>& menuItems)
    : client_{0, 0, width, height}, menu_(menuItems) {}

void HeadlessViewHost::SetTimer(int id, unsigned periodMs) {
  timers_[id] = periodMs;
  timerPeriods_.push_back(periodMs);
}

void HeadlessViewHost::PostEvent(int id) {
  {
    std::lock_guard<std::mutex> lock(eventsMutex_);
    events_.push_back(id);
  }
  eventPosted_.notify_all();
}

std::vector<int> HeadlessViewHost::TakeEvents(std::chrono::milliseconds wait) {
  std::unique_lock<std::mutex> lock(eventsMutex_);
  eventPosted_.wait_for(lock, wait, [this] { return !events_.empty(); });
  std::vector<int> taken;
  taken.swap(events_);
  return taken;
}

bool HeadlessViewHost::RegisterHotKey(int id, unsigned modifiers, unsigned virtualKey) {
  hotKeys_[id] = HotKey{modifiers, virtualKey};
  return true;
}

void HeadlessViewHost::CreateScrollBar(const Rect& rect) {
  scrollBar_.created = true;
  scrollBar_.rect = rect;
  scrollBar_.visible = false;
}

void HeadlessViewHost::SetScrollRange(int minimum, int maximum) {
  scrollBar_.minimum = minimum;
  scrollBar_.maximum = maximum;
}

void HeadlessViewHost::SetScrollPosition(int position) {
  scrollBar_.position = position;
  ++scrollBar_.positionSets;
}

void HeadlessViewHost::BringMainWindowToFront() {
  ++bringToFront_;
  foreground_ = Foreground::kMainWindow;
}

int HeadlessViewHost::MessageBox(const std::u16string& text, const std::u16string& caption,
                                 unsigned flags) {
  messageBoxes_.push_back({text, caption, flags});
  if (messageBoxAnswers_.empty()) return kIdOk;
  int answer = messageBoxAnswers_.front();
  messageBoxAnswers_.pop_front();
  return answer;
}

bool HeadlessViewHost::ChooseFileToOpen(const std::u16string& filter, std::u16string* path) {
  fileDialogs_.push_back(filter);
  if (fileChoices_.empty()) return false;
  std::optional<std::u16string> choice = std::move(fileChoices_.front());
  fileChoices_.pop_front();
  if (!choice) return false;
  *path = *choice;
  return true;
}

}  // namespace lirako

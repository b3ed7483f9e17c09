#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/menu.h"
#include "platform/view_host.h"

namespace lirako {

// An in-memory pop-up menu: items with ids, texts, separators, sub-menus and enabled state.
class HeadlessMenu : public Menu {
 public:
  struct Item {
    int id = 0;
    std::u16string text;
    bool separator = false;
    bool enabled = true;
    bool checked = false;
    std::unique_ptr<HeadlessMenu> popup;
  };

  HeadlessMenu() = default;
  // A menu holding `items`, pop-ups built recursively.
  explicit HeadlessMenu(const std::vector<MenuItemData>& items);

  Menu* SubMenu(int position) override;
  bool DeleteItem(int id) override;
  void AppendItem(int id, const std::u16string& text) override;
  void EnableItemAt(int position, bool enabled) override;
  void CheckItem(int id, bool checked) override;
  int ItemCount() override { return static_cast<int>(items_.size()); }

  const std::vector<Item>& items() const { return items_; }
  // The pop-up at `position` as a HeadlessMenu, or null.
  HeadlessMenu* PopupAt(int position);
  // The ids of the command items in order (separators and pop-ups left out).
  std::vector<int> CommandIds() const;
  // The texts of the command items in order.
  std::vector<std::u16string> CommandTexts() const;

 private:
  std::vector<Item> items_;
};

// The headless double of the view's window side: records every call, answers message boxes
// and the file-open dialog from scripted queues, and holds the "메뉴" pop-up in memory.
// Timers only record their period; tests fire them by calling the view's OnTimer. Posted
// events wait in a queue (filled from any thread) until TakeEvents hands them over.
class HeadlessViewHost : public ViewHost {
 public:
  struct MessageBoxCall {
    std::u16string text;
    std::u16string caption;
    unsigned flags = 0;
  };
  struct HotKey {
    unsigned modifiers = 0;
    unsigned virtualKey = 0;
  };
  struct ScrollBarState {
    bool created = false;
    Rect rect;
    int minimum = 0;
    int maximum = 0;
    int position = 0;
    int positionSets = 0;
    bool visible = false;
  };

  // A host whose client rectangle is (0, 0, width, height), with the "메뉴" pop-up built from
  // `menuItems`.
  HeadlessViewHost(int width, int height, const std::vector<MenuItemData>& menuItems);

  Rect ClientRect() override { return client_; }
  void Invalidate() override { ++invalidations_; }
  void PostEvent(int id) override;
  void SetTimer(int id, unsigned periodMs) override;
  void KillTimer(int id) override { timers_.erase(id); }
  bool RegisterHotKey(int id, unsigned modifiers, unsigned virtualKey) override;
  void UnregisterHotKey(int id) override { hotKeys_.erase(id); }
  void SendSilentKeyEvent() override { ++silentKeyEvents_; }
  void CreateScrollBar(const Rect& rect) override;
  void SetScrollRange(int minimum, int maximum) override;
  void SetScrollPosition(int position) override;
  void ShowScrollBar(bool show) override { scrollBar_.visible = show; }
  void MoveScrollBar(const Rect& rect) override { scrollBar_.rect = rect; }
  void SetTitle(const std::u16string& title) override { title_ = title; }
  void ToggleFullScreen() override { ++fullScreenToggles_; }
  // The frame starts windowed; every toggle switches.
  bool IsFullScreen() override { return fullScreenToggles_ % 2 == 1; }
  void CloseMainWindow() override { ++closeRequests_; }
  Menu* MainMenu() override { return menuAvailable_ ? &menu_ : nullptr; }
  Foreground ForegroundWindow() override { return foreground_; }
  void BringMainWindowToFront() override;
  int MessageBox(const std::u16string& text, const std::u16string& caption,
                 unsigned flags) override;
  bool ChooseFileToOpen(const std::u16string& filter, std::u16string* path) override;

  // Script and switches.
  void SetClientRect(const Rect& rect) { client_ = rect; }
  void SetForeground(Foreground foreground) { foreground_ = foreground; }
  // Answers of the next message boxes, in order; kIdOk once the queue is empty.
  void QueueMessageBoxAnswer(int answer) { messageBoxAnswers_.push_back(answer); }
  // Answers of the next file-open dialogs: a path, or nullopt for Cancel (also when empty).
  void QueueFileChoice(std::optional<std::u16string> path) {
    fileChoices_.push_back(std::move(path));
  }
  // Makes MainMenu() report that there is no menu.
  void SetMenuAvailable(bool available) { menuAvailable_ = available; }
  // The events posted since the last call, in order, taken out of the queue; waits up to
  // `wait` for the first one when none is there.
  std::vector<int> TakeEvents(std::chrono::milliseconds wait = std::chrono::milliseconds(0));

  // What was recorded.
  int invalidations() const { return invalidations_; }
  // The running timers with their periods.
  const std::map<int, unsigned>& timers() const { return timers_; }
  bool TimerRunning(int id) const { return timers_.count(id) != 0; }
  // The period of every SetTimer call, in order.
  const std::vector<unsigned>& timerPeriods() const { return timerPeriods_; }
  const std::map<int, HotKey>& hotKeys() const { return hotKeys_; }
  int silentKeyEvents() const { return silentKeyEvents_; }
  const ScrollBarState& scrollBar() const { return scrollBar_; }
  const std::u16string& title() const { return title_; }
  int fullScreenToggles() const { return fullScreenToggles_; }
  int closeRequests() const { return closeRequests_; }
  int bringToFrontCount() const { return bringToFront_; }
  const std::vector<MessageBoxCall>& messageBoxes() const { return messageBoxes_; }
  // The filter of every file-open dialog shown, in order.
  const std::vector<std::u16string>& fileDialogs() const { return fileDialogs_; }
  HeadlessMenu& menu() { return menu_; }

 private:
  Rect client_;
  int invalidations_ = 0;
  std::map<int, unsigned> timers_;
  std::vector<unsigned> timerPeriods_;
  std::map<int, HotKey> hotKeys_;
  int silentKeyEvents_ = 0;
  ScrollBarState scrollBar_;
  std::u16string title_;
  int fullScreenToggles_ = 0;
  int closeRequests_ = 0;
  int bringToFront_ = 0;
  Foreground foreground_ = Foreground::kMainWindow;
  std::deque<int> messageBoxAnswers_;
  std::vector<MessageBoxCall> messageBoxes_;
  std::deque<std::optional<std::u16string>> fileChoices_;
  std::vector<std::u16string> fileDialogs_;
  HeadlessMenu menu_;
  bool menuAvailable_ = true;
  std::mutex eventsMutex_;
  std::condition_variable eventPosted_;
  std::vector<int> events_;
};

}  // namespace lirako

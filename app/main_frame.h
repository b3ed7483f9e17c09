#pragma once

#include <functional>
#include <memory>
#include <vector>

#include <QMainWindow>
#include <QRect>

#include "platform/qt/frame_host.h"
#include "platform/surface.h"
#include "view/main_menu.h"

class QMenu;
class QToolBar;

namespace lirako {

class QtMenu;
class QtViewHost;
class ReaderWidget;

// The main frame: a menu bar holding the one menu "메뉴", the tool bar, the accelerators and
// the reader widget. Every command is handed to the command handler by its id. It switches
// full-screen mode and restores the rectangle it had right after creation.
class CMainFrame : public QMainWindow, public FrameHost {
 public:
  CMainFrame();
  ~CMainFrame() override;

  // Where command ids from the menu, the tool bar and the accelerators go.
  void SetCommandHandler(std::function<void(int)> handler) { commandHandler_ = std::move(handler); }
  // Called when the main window is closing, before it goes away.
  void SetCloseHandler(std::function<void()> handler) { closeHandler_ = std::move(handler); }

  ReaderWidget& readerWidget() { return *reader_; }
  QtViewHost& viewHost() { return *host_; }
  QToolBar* toolBar() const { return toolBar_; }

  QWidget* MainWindow() override { return this; }
  void ToggleFullScreen() override;
  Menu* MainMenu() override;

  // The screen's rectangle less the desktop's panels.
  Rect AvailableRect() const;
  // Moves and sizes the window (without its frame) to `rect`.
  void PlaceAt(const Rect& rect);
  // The window's rectangle outside full screen and maximised state: what the next start
  // restores.
  Rect NormalRect() const;

  void EnterFullScreen();
  void LeaveFullScreen();
  bool IsFullScreenMode() const override { return isFullScreen_; }
  QRect savedRect() const { return savedRect_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void Command(int id);
  void BuildMenu(QMenu* menu, const std::vector<MenuItemData>& items);
  void BuildToolBar();
  void BuildAccelerators();
  void PlaceInitially();

  bool isFullScreen_ = false;
  // The window rectangle when the native window first appeared.
  QRect savedRect_;
  bool rectSaved_ = false;
  ReaderWidget* reader_ = nullptr;
  QToolBar* toolBar_ = nullptr;
  std::unique_ptr<QtMenu> menu_;
  std::unique_ptr<QtViewHost> host_;
  std::function<void(int)> commandHandler_;
  std::function<void()> closeHandler_;
};

}  // namespace lirako

#pragma once

class QWidget;

namespace lirako {

class Menu;

// The main frame as the reader window's host needs it.
class FrameHost {
 public:
  virtual ~FrameHost() = default;

  // The top-level main window.
  virtual QWidget* MainWindow() = 0;
  // Switches full-screen mode on or off.
  virtual void ToggleFullScreen() = 0;
  // Full-screen mode is on.
  virtual bool IsFullScreenMode() const = 0;
  // The top pop-up of the menu bar, or null.
  virtual Menu* MainMenu() = 0;
};

}  // namespace lirako

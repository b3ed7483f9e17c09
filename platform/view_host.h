#pragma once

#include <string>

#include "platform/menu.h"
#include "platform/surface.h"

namespace lirako {

// Who is in front when an application-button hot key arrives.
enum class Foreground { kMainWindow, kOwnDialog, kOtherProgram };

// Message-box flags.
enum MessageBoxFlags : unsigned {
  kMbOk = 0x0,
  kMbOkCancel = 0x1,
  kMbIconInformation = 0x40,
};
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;

// The window side of the platform as the reader view uses it: its own window, the scroll
// bar (id 100), timers, hot keys, the main frame, its menu, and the simple modal dialogs.
// The Qt widgets implement it; the headless double records every call.
class ViewHost {
 public:
  virtual ~ViewHost() = default;

  // The view window's client rectangle.
  virtual Rect ClientRect() = 0;
  // Requests a full repaint of the view; the paint calls the view's PaintPage.
  virtual void Invalidate() = 0;

  // Posts event `id` to the view, from any thread: the view's OnEvent(id) runs later on the
  // user-interface thread (never inside this call).
  virtual void PostEvent(int id) = 0;

  // Starts (or restarts) timer `id` with one tick per `periodMs` milliseconds.
  virtual void SetTimer(int id, unsigned periodMs) = 0;
  virtual void KillTimer(int id) = 0;

  // Registers application button key `virtualKey` (0xC1..0xC5) as a hot key with `id`.
  virtual bool RegisterHotKey(int id, unsigned modifiers, unsigned virtualKey) = 0;
  virtual void UnregisterHotKey(int id) = 0;

  // Tells the system the user is active, so the machine stays awake.
  virtual void SendSilentKeyEvent() = 0;

  // The vertical scroll-bar control, created hidden.
  virtual void CreateScrollBar(const Rect& rect) = 0;
  virtual void SetScrollRange(int minimum, int maximum) = 0;
  virtual void SetScrollPosition(int position) = 0;
  virtual void ShowScrollBar(bool show) = 0;
  virtual void MoveScrollBar(const Rect& rect) = 0;

  // The main frame.
  virtual void SetTitle(const std::u16string& title) = 0;
  // Switches the frame's full-screen mode on or off.
  virtual void ToggleFullScreen() = 0;
  // Sends the close request to the main window, which ends the program.
  virtual void CloseMainWindow() = 0;
  // The top pop-up "메뉴" of the main menu bar, or null.
  virtual Menu* MainMenu() = 0;
  virtual Foreground ForegroundWindow() = 0;
  virtual void BringMainWindowToFront() = 0;

  // The main frame is in full-screen mode.
  virtual bool IsFullScreen() { return false; }
  // Shell full-screen request for the view's window: 0x1 / 0x2 show / hide the task bar,
  // 0x4 / 0x8 show / hide the input-panel button.
  virtual void ShellFullScreen(unsigned flags) { (void)flags; }
  // Lowers the input panel for the view.
  virtual void LowerInputPanel() {}

  // Shows a modal message box; returns kIdOk or kIdCancel.
  virtual int MessageBox(const std::u16string& text, const std::u16string& caption,
                         unsigned flags) = 0;
  // The file-open dialog with a filter of "description|pattern|" pairs; false on cancel.
  virtual bool ChooseFileToOpen(const std::u16string& filter, std::u16string* path) = 0;
};

}  // namespace lirako

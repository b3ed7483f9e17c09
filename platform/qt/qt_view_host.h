#pragma once

#include <functional>
#include <map>
#include <memory>

#include "platform/view_host.h"

class QShortcut;

namespace lirako {

class FrameHost;
class ReaderWidget;

// The view's window services on the desktop: the reader widget, its scroll bar and timers,
// the main frame, F1..F5 as application-wide shortcuts for the application-button hot
// keys, QMessageBox and QFileDialog.
class QtViewHost : public ViewHost {
 public:
  QtViewHost(ReaderWidget& widget, FrameHost& frame);
  ~QtViewHost() override;

  Rect ClientRect() override;
  void Invalidate() override;
  void SetTimer(int id, unsigned periodMs) override;
  void KillTimer(int id) override;
  // A Qt event posted to the reader widget.
  void PostEvent(int id) override;
  // Application button 0xC1 + i is the function key F(i + 1).
  bool RegisterHotKey(int id, unsigned modifiers, unsigned virtualKey) override;
  void UnregisterHotKey(int id) override;
  // The desktop keeps itself awake; nothing to send.
  void SendSilentKeyEvent() override {}
  void CreateScrollBar(const Rect& rect) override;
  void SetScrollRange(int minimum, int maximum) override;
  void SetScrollPosition(int position) override;
  void ShowScrollBar(bool show) override;
  void MoveScrollBar(const Rect& rect) override;
  void SetTitle(const std::u16string& title) override;
  void ToggleFullScreen() override;
  bool IsFullScreen() override;
  // The desktop's panels are not the pocket computer's task bar and input panel: the shell's
  // full-screen and input-panel requests do nothing here.
  void ShellFullScreen(unsigned) override {}
  void LowerInputPanel() override {}
  // Posts the close request, so the view is never destroyed inside one of its own calls.
  void CloseMainWindow() override;
  Menu* MainMenu() override;
  Foreground ForegroundWindow() override;
  void BringMainWindowToFront() override;
  int MessageBox(const std::u16string& text, const std::u16string& caption,
                 unsigned flags) override;
  bool ChooseFileToOpen(const std::u16string& filter, std::u16string* path) override;

  // Where hot keys go: the view's hot-key handler with the registered modifier and key.
  void SetHotKeyHandler(std::function<void(unsigned, unsigned)> handler);
  // The device's "description|pattern|" filter string in Qt's "description (patterns)" form.
  static std::u16string QtFileFilter(const std::u16string& filter);

 private:
  ReaderWidget& widget_;
  FrameHost& frame_;
  std::function<void(unsigned, unsigned)> hotKeyHandler_;
  std::map<int, std::unique_ptr<QShortcut>> hotKeys_;
};

}  // namespace lirako

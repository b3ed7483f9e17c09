#pragma once

#include <map>
#include <memory>

#include "platform/controls.h"
#include "platform/qt/qt_control_factory.h"
#include "platform/qt/qt_control_grid.h"

class QDialog;
class QTimer;
class QWidget;

namespace lirako {

// The controls of one dialog or property page on Qt widgets: builds a widget for every
// control of the DialogSpec into `page` (made by a QtControlFactory, which forwards the
// user's actions to the DialogLogic, and laid out by QtControlGrid) and carries out the
// Controls operations without notifying. Each widget is named "control<id>".
// `dialog` is the dialog window (buttons 1 and 2 accept and reject it); `owner` is the
// widget it lies over.
class QtControls : public Controls {
 public:
  QtControls(DialogLogic& logic, QWidget* page, QDialog* dialog, QWidget* owner);
  ~QtControls() override;
  QtControls(const QtControls&) = delete;
  QtControls& operator=(const QtControls&) = delete;

  std::u16string GetText(int id) override;
  void SetText(int id, const std::u16string& text) override;
  bool IsChecked(int id) override;
  void SetChecked(int id, bool checked) override;
  void Enable(int id, bool enabled) override;
  void Show(int id, bool shown) override;
  void ShowDropDown(int id) override;
  void ResetContent(int id) override;
  int AddString(int id, const std::u16string& text) override;
  void DeleteString(int id, int index) override;
  int GetCount(int id) override;
  std::u16string GetItemText(int id, int index) override;
  void SetItemData(int id, int index, int64_t data) override;
  int64_t GetItemData(int id, int index) override;
  int GetCurSel(int id) override;
  void SetCurSel(int id, int index) override;
  void SetRange(int id, int minimum, int maximum) override;
  int GetPos(int id) override;
  void SetPos(int id, int position) override;
  void SetColors(int id, uint32_t textColor, uint32_t backColor) override;
  void SetFont(int id, const FontSpec& font) override;
  Rect WindowRect() override;
  void MoveWindow(const Rect& rect) override;
  void SetCaption(const std::u16string& caption) override;
  Rect OwnerRect() override;
  void MakeFullScreen(unsigned flags) override;
  void SetTimer(int id, unsigned periodMs) override;
  void KillTimer(int id) override;
  void EndDialog(int result) override;

  // The widget of control `id`, or null.
  QWidget* Widget(int id) const;
  // Stops every timer (the dialog is closing).
  void KillAllTimers();

 private:
  using Entry = QtControl;
  Entry* Find(int id);

  DialogLogic& logic_;
  QWidget* page_;
  QDialog* dialog_;
  QWidget* owner_;
  QtControlFactory factory_{logic_, *this, dialog_};
  std::map<int, Entry> controls_;
  std::map<int, std::unique_ptr<QTimer>> timers_;
};

}  // namespace lirako

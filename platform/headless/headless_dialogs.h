#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/controls.h"

namespace lirako {

// The in-memory state of one control of the headless double.
struct HeadlessControl {
  ControlSpec controlSpec;
  std::u16string text;
  bool checked = false;
  bool enabled = true;
  bool shown = true;
  std::vector<std::u16string> items;
  std::vector<int64_t> itemData;
  int curSel = -1;
  int minimum = 0;
  int maximum = 0;
  int pos = 0;
  uint32_t textColor = 0;
  uint32_t backColor = 0x00FFFFFF;
  FontSpec font;
};

// The controls of one dialog or property page of the headless double, built from its
// DialogSpec. Besides the Controls operations it offers the user's actions, which change
// the state and notify `logic` the way the real toolkit does.
class HeadlessControls : public Controls {
 public:
  // Controls made from `dialogSpec`, with the dialog at `windowRect` over an owner at `ownerRect`.
  HeadlessControls(const DialogSpec& dialogSpec, const Rect& windowRect = {},
                   const Rect& ownerRect = {});

  std::u16string GetText(int id) override;
  void SetText(int id, const std::u16string& text) override;
  bool IsChecked(int id) override;
  void SetChecked(int id, bool checked) override;
  void Enable(int id, bool enabled) override;
  void Show(int id, bool shown) override;
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
  Rect WindowRect() override { return rect_; }
  void MoveWindow(const Rect& rect) override { rect_ = rect; }
  void SetCaption(const std::u16string& caption) override { caption_ = caption; }
  Rect OwnerRect() override { return ownerRect_; }
  void MakeFullScreen(unsigned flags) override { fullScreenRequests_.push_back(flags); }
  void SetTimer(int id, unsigned periodMs) override { timers_[id] = periodMs; }
  void KillTimer(int id) override { timers_.erase(id); }
  void EndDialog(int result) override;

  // User actions. Each does nothing on an unknown, disabled or hidden control.
  // Types `text` into an edit or combo box: replaces its text and notifies kEditChanged
  // (edit) or kEditUpdated (combo box).
  void Type(DialogLogic& logic, int id, const std::u16string& text);
  // Clicks a button, check box (toggling it), radio button (checking it and clearing the
  // other radio buttons of its group) or swatch, and notifies kClicked.
  // Buttons 1 and 2 press OK and Cancel.
  void Click(DialogLogic& logic, int id);
  // Picks item `index` of a list or combo box (a combo box takes its text) and notifies
  // kSelChanged.
  void Select(DialogLogic& logic, int id, int index);
  // Double-clicks item `index` of a list box: selects it (kSelChanged) and notifies
  // kDoubleClicked.
  void DoubleClick(DialogLogic& logic, int id, int index);
  // Drags a slider to `position` (kept within its range) and notifies OnScroll.
  void Slide(DialogLogic& logic, int id, int position);
  // Presses an up-down arrow `steps` times up (negative: down): steps the number of its
  // buddy edit within the range, writes it into the buddy (kEditChanged on the buddy) and
  // notifies OnScroll for each step.
  void Spin(DialogLogic& logic, int id, int steps);
  // Delivers one tick of timer `id`; false (nothing delivered) when the timer is not set.
  bool FireTimer(DialogLogic& logic, int id);
  // OK (Return or button 1): ends the dialog with kIdOk when OnOk accepts.
  void PressOk(DialogLogic& logic);
  // Cancel (Escape or button 2): OnCancel, then ends the dialog with kIdCancel.
  void PressCancel(DialogLogic& logic);

  // Inspection.
  bool Has(int id) const { return controls_.count(id) != 0; }
  // The control `id`; the id must exist.
  const HeadlessControl& control(int id) const { return controls_.at(id); }
  const std::u16string& caption() const { return caption_; }
  const Rect& windowRect() const { return rect_; }
  const std::map<int, unsigned>& timers() const { return timers_; }
  // The flags of every MakeFullScreen call, in order.
  const std::vector<unsigned>& fullScreenRequests() const { return fullScreenRequests_; }
  bool ended() const { return ended_; }
  int result() const { return result_; }

 private:
  HeadlessControl* Find(int id);
  HeadlessControl* Usable(int id);

  std::map<int, HeadlessControl> controls_;
  std::vector<int> order_;  // ids in the order of the DialogSpec
  std::u16string caption_;
  Rect rect_;
  Rect ownerRect_;
  std::vector<unsigned> fullScreenRequests_;
  std::map<int, unsigned> timers_;
  bool ended_ = false;
  int result_ = 0;
};

// What a test does while a dialog is open.
using DialogStep = std::function<void(HeadlessControls&, DialogLogic&)>;

// Step factories for the common user actions.
DialogStep TypeStep(int id, std::u16string text);
DialogStep ClickStep(int id);
DialogStep SelectStep(int id, int index);
DialogStep DoubleClickStep(int id, int index);
DialogStep SlideStep(int id, int position);
DialogStep SpinStep(int id, int steps);
DialogStep TimerStep(int id);
DialogStep OkStep();
DialogStep CancelStep();

// One step on a property sheet: show tab `page` (initialising it the first time), then run
// `step` on it when given.
struct SheetStep {
  int page = 0;
  DialogStep step;
};

// What a test does while a property sheet is open; it ends with OK (`ok`) or Cancel.
struct SheetScript {
  std::vector<SheetStep> steps;
  bool ok = true;
};

// One finished modal dialog: its id, its result and its controls as they were at the end.
struct DialogRun {
  int id = 0;
  int result = 0;
  HeadlessControls controls;
};

// One finished property sheet; pages never shown have no controls.
struct SheetRun {
  std::u16string caption;
  int result = 0;
  // OK was pressed but a page refused it (the sheet was then cancelled).
  bool okRefused = false;
  std::vector<std::optional<HeadlessControls>> pages;
};

// The headless DialogRunner: runs each dialog on controls kept in memory, plays the next
// queued script on it and records the run.
//
// RunModal initialises the dialog, runs the steps of the next queued script until one ends
// the dialog, and presses Cancel when the steps leave it open (also when no script is
// queued). RunPropertySheet shows and initialises page 0, plays the next queued sheet
// script, then presses OK (OnOk on every initialised page in page order; a refusal cancels
// the sheet) or Cancel (OnCancel on every initialised page).
class HeadlessDialogRunner : public DialogRunner {
 public:
  int RunModal(DialogLogic& dialog) override;
  int RunPropertySheet(const std::u16string& caption,
                       const std::vector<DialogLogic*>& pages) override;

  // Queues the script of the next modal dialog.
  void Script(std::vector<DialogStep> steps) { modalScripts_.push_back(std::move(steps)); }
  // Queues the script of the next property sheet.
  void ScriptSheet(SheetScript script) { sheetScripts_.push_back(std::move(script)); }
  // Where every dialog starts (a dialog may move itself), and the rectangle of the window
  // the dialogs lie over; both in screen coordinates.
  void SetWindowRect(const Rect& rect) { windowRect_ = rect; }
  void SetOwnerRect(const Rect& rect) { ownerRect_ = rect; }
  // Scripts queued but not yet played.
  size_t pendingScripts() const { return modalScripts_.size() + sheetScripts_.size(); }

  const std::vector<DialogRun>& runs() const { return runs_; }
  const std::vector<SheetRun>& sheetRuns() const { return sheetRuns_; }

 private:
  Rect windowRect_{0, 0, 240, 64};
  Rect ownerRect_{0, 0, 240, 320};
  std::deque<std::vector<DialogStep>> modalScripts_;
  std::deque<SheetScript> sheetScripts_;
  std::vector<DialogRun> runs_;
  std::vector<SheetRun> sheetRuns_;
};

}  // namespace lirako

#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/surface.h"

namespace lirako {

// Kinds of dialog controls.
enum class ControlKind {
  kPushButton,
  kDefaultButton,  // the push button that Return presses unless another one has the focus
  kCheckBox,
  kRadioButton,  // adjacent radio buttons in the control list form one group
  kEdit,         // single-line edit; `number` style accepts digits only
  kStatic,       // label
  kSwatch,       // static that paints itself in its own colours and font and reports clicks
  kComboBox,     // editable drop-down combo box
  kDropList,     // drop-down list without edit
  kListBox,
  kSlider,      // horizontal track bar
  kUpDown,      // spin arrows attached to a buddy edit: an arrow steps the buddy's number
                // (read with "," between digits skipped, so "1,400" is 1400) within the
                // range, writes it into the buddy (kEditChanged on the buddy) and notifies
                // OnScroll
  kGroupBox,    // framed group with its text as title around the controls in its cells
  kNameButton,  // static showing a name that reports clicks; looks like a flat button
  kIcon,        // the program's icon
};

// One control of a dialog template. Pixel layout is the toolkit's; `row` and `column`
// only place the controls in a grid for it. A group box frames every other control whose
// cell lies within its rows and columns.
struct ControlSpec {
  int id = 0;
  ControlKind kind = ControlKind::kStatic;
  std::u16string text;
  int buddy = 0;    // kUpDown: the edit it steps
  int minimum = 0;  // kSlider, kUpDown
  int maximum = 0;
  bool number = false;  // kEdit: digits only
  bool bordered = false;
  int row = 0;
  int column = 0;
  int columnSpan = 1;     // columns the control takes from `column` on
  int rowSpan = 1;        // rows the control takes from `row` on
  bool centred = false;   // kEdit: text centred
  bool textLeft = false;  // kCheckBox: text left of the box
};

// A dialog or property-page template: its id, caption and controls.
struct DialogSpec {
  int id = 0;
  std::u16string caption;
  std::vector<ControlSpec> controls;
};

// Notification codes passed to DialogLogic::OnCommand. Only the user's actions notify;
// changes made through Controls never do. Buttons 1 and 2 do not notify: they press OK and
// Cancel.
enum Notification : int {
  kClicked = 0,         // button, check box, swatch
  kEditChanged = 1,     // edit text changed
  kSelChanged = 2,      // list box / combo box selection changed
  kEditUpdated = 3,     // combo box edit text changed by typing
  kDropDownClosed = 4,  // combo box drop-down list closed, with or without a choice
  kDoubleClicked = 5,   // list box item double-clicked (it is selected first)
};

// The controls of one open dialog, reached by control id. Operations on an unknown id do
// nothing and queries on one return empty values.
class Controls {
 public:
  virtual ~Controls() = default;

  virtual std::u16string GetText(int id) = 0;
  virtual void SetText(int id, const std::u16string& text) = 0;
  virtual bool IsChecked(int id) = 0;
  virtual void SetChecked(int id, bool checked) = 0;
  virtual void Enable(int id, bool enabled) = 0;
  virtual void Show(int id, bool shown) = 0;

  // List boxes and combo boxes. Indices are 0-based; -1 means none.
  virtual void ResetContent(int id) = 0;
  // Appends an item; returns its index.
  virtual int AddString(int id, const std::u16string& text) = 0;
  virtual void DeleteString(int id, int index) = 0;
  virtual int GetCount(int id) = 0;
  virtual std::u16string GetItemText(int id, int index) = 0;
  virtual void SetItemData(int id, int index, int64_t data) = 0;
  virtual int64_t GetItemData(int id, int index) = 0;
  virtual int GetCurSel(int id) = 0;
  virtual void SetCurSel(int id, int index) = 0;

  // Sliders and up-down controls.
  virtual void SetRange(int id, int minimum, int maximum) = 0;
  virtual int GetPos(int id) = 0;
  virtual void SetPos(int id, int position) = 0;

  // Swatches: colours (0x00BBGGRR) and font.
  virtual void SetColors(int id, uint32_t textColor, uint32_t backColor) = 0;
  virtual void SetFont(int id, const FontSpec& font) = 0;

  // The dialog window itself, in screen coordinates.
  virtual Rect WindowRect() = 0;
  virtual void MoveWindow(const Rect& rect) = 0;
  virtual void SetCaption(const std::u16string& caption) = 0;
  // The rectangle of the window the dialog lies over (the view), in screen coordinates.
  virtual Rect OwnerRect() { return Rect{}; }
  // Makes the dialog full screen through the shell: without menu bar, brought to the
  // foreground, with the shell's full-screen `flags` (as ViewHost::ShellFullScreen) for it.
  virtual void MakeFullScreen(unsigned flags) { (void)flags; }
  // Opens the drop-down list of combo box `id` (it must be shown).
  virtual void ShowDropDown(int id) { (void)id; }
  virtual void SetTimer(int id, unsigned periodMs) = 0;
  virtual void KillTimer(int id) = 0;
  // Closes the dialog with `result` (kIdOk / kIdCancel from view_host.h, or any value).
  virtual void EndDialog(int result) = 0;
};

// The behaviour of one dialog or property page; the toolkit calls it on notifications.
class DialogLogic {
 public:
  virtual ~DialogLogic() = default;

  virtual const DialogSpec& dialogSpec() const = 0;
  // The controls exist; fill them. Called once, when the dialog or page is first shown.
  virtual void OnInitDialog(Controls& controls) = 0;
  virtual void OnCommand(Controls& controls, int id, int notification) = 0;
  // A slider or up-down control moved to `position`.
  virtual void OnScroll(Controls& controls, int id, int position) = 0;
  virtual void OnTimer(Controls& controls, int id) = 0;
  // OK pressed (button 1 or Return); return false to keep the dialog open.
  virtual bool OnOk(Controls& controls) = 0;
  virtual void OnCancel(Controls& controls) = 0;
  // A key went down while the dialog or page had the focus (application buttons arrive as
  // 0xC1..0xC5); the default handling follows in every case.
  virtual void OnKeyDown(Controls& controls, unsigned virtualKey) {
    (void)controls;
    (void)virtualKey;
  }
};

// Runs dialogs modally.
class DialogRunner {
 public:
  virtual ~DialogRunner() = default;

  // Runs one dialog; returns the value passed to EndDialog (kIdOk after OnOk accepts,
  // kIdCancel after OnCancel).
  virtual int RunModal(DialogLogic& dialog) = 0;
  // Runs a tabbed property sheet with OK and Cancel; each page is initialised when its tab
  // is first shown. Returns kIdOk or kIdCancel.
  virtual int RunPropertySheet(const std::u16string& caption,
                               const std::vector<DialogLogic*>& pages) = 0;
  // The font families the toolkit offers, Korean faces first (the settings sheet's face list).
  virtual std::vector<std::u16string> FontFamilies() { return {}; }
  // The family the toolkit draws when asked for `face`: `face` when it is installed, else
  // the one it falls back to.
  virtual std::u16string FaceInUse(const std::u16string& face) { return face; }
};

}  // namespace lirako

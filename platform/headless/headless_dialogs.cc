#include "platform/headless/headless_dialogs.h"

#include <algorithm>

#include "platform/view_host.h"

namespace lirako {

namespace {

bool IsList(ControlKind kind) {
  return kind == ControlKind::kComboBox || kind == ControlKind::kDropList ||
         kind == ControlKind::kListBox;
}

bool IsRanged(ControlKind kind) {
  return kind == ControlKind::kSlider || kind == ControlKind::kUpDown;
}

// Leading blanks, an optional sign and the digits ("," among them skipped) up to the first
// other character; 0 without any.
int LeadingNumber(const std::u16string& text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
    ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
  long long value = 0;
  // Thousands separators, as the period edit shows them, do not end the number.
  for (; i < text.size() && ((text[i] >= u'0' && text[i] <= u'9') || text[i] == u','); ++i) {
    if (text[i] == u',') continue;
    value = std::min<long long>(value * 10 + (text[i] - u'0'), 0x7FFFFFFF);
  }
  return static_cast<int>(negative ? -value : value);
}

std::u16string NumberText(int value) {
  std::string s = std::to_string(value);
  return std::u16string(s.begin(), s.end());
}

}  // namespace

HeadlessControls::HeadlessControls(const DialogSpec& dialogSpec, const Rect& windowRect,
                                   const Rect& ownerRect)
    : caption_(dialogSpec.caption), rect_(windowRect), ownerRect_(ownerRect) {
  for (const ControlSpec& c : dialogSpec.controls) {
    HeadlessControl& state = controls_[c.id];
    state.controlSpec = c;
    state.text = c.text;
    state.minimum = c.minimum;
    state.maximum = c.maximum;
    state.pos = c.minimum;
    order_.push_back(c.id);
  }
}

HeadlessControl* HeadlessControls::Find(int id) {
  auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : &it->second;
}

HeadlessControl* HeadlessControls::Usable(int id) {
  HeadlessControl* c = Find(id);
  return c != nullptr && c->enabled && c->shown && !ended_ ? c : nullptr;
}

std::u16string HeadlessControls::GetText(int id) {
  HeadlessControl* c = Find(id);
  return c ? c->text : std::u16string();
}

void HeadlessControls::SetText(int id, const std::u16string& text) {
  if (HeadlessControl* c = Find(id)) c->text = text;
}

bool HeadlessControls::IsChecked(int id) {
  HeadlessControl* c = Find(id);
  return c != nullptr && c->checked;
}

void HeadlessControls::SetChecked(int id, bool checked) {
  if (HeadlessControl* c = Find(id)) c->checked = checked;
}

void HeadlessControls::Enable(int id, bool enabled) {
  if (HeadlessControl* c = Find(id)) c->enabled = enabled;
}

void HeadlessControls::Show(int id, bool shown) {
  if (HeadlessControl* c = Find(id)) c->shown = shown;
}

void HeadlessControls::ResetContent(int id) {
  HeadlessControl* c = Find(id);
  if (c == nullptr || !IsList(c->controlSpec.kind)) return;
  c->items.clear();
  c->itemData.clear();
  c->curSel = -1;
}

int HeadlessControls::AddString(int id, const std::u16string& text) {
  HeadlessControl* c = Find(id);
  if (c == nullptr || !IsList(c->controlSpec.kind)) return -1;
  c->items.push_back(text);
  c->itemData.push_back(0);
  return static_cast<int>(c->items.size()) - 1;
}

void HeadlessControls::DeleteString(int id, int index) {
  HeadlessControl* c = Find(id);
  if (c == nullptr || index < 0 || index >= static_cast<int>(c->items.size())) return;
  c->items.erase(c->items.begin() + index);
  c->itemData.erase(c->itemData.begin() + index);
  if (c->curSel == index) {
    c->curSel = -1;
  } else if (c->curSel > index) {
    --c->curSel;
  }
}

int HeadlessControls::GetCount(int id) {
  HeadlessControl* c = Find(id);
  return c ? static_cast<int>(c->items.size()) : 0;
}

std::u16string HeadlessControls::GetItemText(int id, int index) {
  HeadlessControl* c = Find(id);
  if (c == nullptr || index < 0 || index >= static_cast<int>(c->items.size())) return {};
  return c->items[index];
}

void HeadlessControls::SetItemData(int id, int index, int64_t data) {
  HeadlessControl* c = Find(id);
  if (c == nullptr || index < 0 || index >= static_cast<int>(c->items.size())) return;
  c->itemData[index] = data;
}

int64_t HeadlessControls::GetItemData(int id, int index) {
  HeadlessControl* c = Find(id);
  if (c == nullptr || index < 0 || index >= static_cast<int>(c->items.size())) return 0;
  return c->itemData[index];
}

int HeadlessControls::GetCurSel(int id) {
  HeadlessControl* c = Find(id);
  return c ? c->curSel : -1;
}

void HeadlessControls::SetCurSel(int id, int index) {
  HeadlessControl* c = Find(id);
  if (c == nullptr || !IsList(c->controlSpec.kind)) return;
  if (index < 0 || index >= static_cast<int>(c->items.size())) {
    c->curSel = -1;
    return;
  }
  c->curSel = index;
  if (c->controlSpec.kind != ControlKind::kListBox) c->text = c->items[index];
}

void HeadlessControls::SetRange(int id, int minimum, int maximum) {
  HeadlessControl* c = Find(id);
  if (c == nullptr || !IsRanged(c->controlSpec.kind)) return;
  c->minimum = minimum;
  c->maximum = maximum;
  c->pos = std::clamp(c->pos, std::min(minimum, maximum), std::max(minimum, maximum));
}

int HeadlessControls::GetPos(int id) {
  HeadlessControl* c = Find(id);
  return c ? c->pos : 0;
}

void HeadlessControls::SetPos(int id, int position) {
  HeadlessControl* c = Find(id);
  if (c == nullptr || !IsRanged(c->controlSpec.kind)) return;
  c->pos = std::clamp(position, std::min(c->minimum, c->maximum), std::max(c->minimum, c->maximum));
}

void HeadlessControls::SetColors(int id, uint32_t textColor, uint32_t backColor) {
  if (HeadlessControl* c = Find(id)) {
    c->textColor = textColor;
    c->backColor = backColor;
  }
}

void HeadlessControls::SetFont(int id, const FontSpec& font) {
  if (HeadlessControl* c = Find(id)) c->font = font;
}

void HeadlessControls::EndDialog(int result) {
  if (ended_) return;
  ended_ = true;
  result_ = result;
  timers_.clear();
}

void HeadlessControls::Type(DialogLogic& logic, int id, const std::u16string& text) {
  HeadlessControl* c = Usable(id);
  if (c == nullptr) return;
  if (c->controlSpec.kind == ControlKind::kEdit) {
    c->text = text;
    logic.OnCommand(*this, id, kEditChanged);
  } else if (c->controlSpec.kind == ControlKind::kComboBox) {
    c->text = text;
    c->curSel = -1;
    logic.OnCommand(*this, id, kEditUpdated);
  }
}

void HeadlessControls::Click(DialogLogic& logic, int id) {
  HeadlessControl* c = Usable(id);
  if (c == nullptr) return;
  switch (c->controlSpec.kind) {
    case ControlKind::kPushButton:
    case ControlKind::kDefaultButton:
      if (id == kIdOk) return PressOk(logic);
      if (id == kIdCancel) return PressCancel(logic);
      break;
    case ControlKind::kCheckBox:
      c->checked = !c->checked;
      break;
    case ControlKind::kRadioButton: {
      // The group is the run of adjacent radio buttons around this one.
      auto at = std::find(order_.begin(), order_.end(), id);
      auto first = at;
      while (first != order_.begin() &&
             controls_[*(first - 1)].controlSpec.kind == ControlKind::kRadioButton) {
        --first;
      }
      for (auto it = first;
           it != order_.end() && controls_[*it].controlSpec.kind == ControlKind::kRadioButton;
           ++it) {
        controls_[*it].checked = *it == id;
      }
      break;
    }
    case ControlKind::kSwatch:
    case ControlKind::kNameButton:
      break;
    default:
      return;
  }
  logic.OnCommand(*this, id, kClicked);
}

void HeadlessControls::Select(DialogLogic& logic, int id, int index) {
  HeadlessControl* c = Usable(id);
  if (c == nullptr || !IsList(c->controlSpec.kind)) return;
  if (index < 0 || index >= static_cast<int>(c->items.size())) return;
  SetCurSel(id, index);
  logic.OnCommand(*this, id, kSelChanged);
}

void HeadlessControls::DoubleClick(DialogLogic& logic, int id, int index) {
  HeadlessControl* c = Usable(id);
  if (c == nullptr || c->controlSpec.kind != ControlKind::kListBox) return;
  Select(logic, id, index);
  if (GetCurSel(id) == index) logic.OnCommand(*this, id, kDoubleClicked);
}

void HeadlessControls::Slide(DialogLogic& logic, int id, int position) {
  HeadlessControl* c = Usable(id);
  if (c == nullptr || c->controlSpec.kind != ControlKind::kSlider) return;
  SetPos(id, position);
  logic.OnScroll(*this, id, c->pos);
}

void HeadlessControls::Spin(DialogLogic& logic, int id, int steps) {
  HeadlessControl* c = Usable(id);
  if (c == nullptr || c->controlSpec.kind != ControlKind::kUpDown) return;
  const int low = std::min(c->minimum, c->maximum);
  const int high = std::max(c->minimum, c->maximum);
  HeadlessControl* buddy = Find(c->controlSpec.buddy);
  for (int i = 0; i < std::abs(steps) && !ended_; ++i) {
    const int current = buddy ? LeadingNumber(buddy->text) : c->pos;
    c->pos = std::clamp(current + (steps > 0 ? 1 : -1), low, high);
    if (buddy != nullptr) {
      buddy->text = NumberText(c->pos);
      logic.OnCommand(*this, c->controlSpec.buddy, kEditChanged);
    }
    logic.OnScroll(*this, id, c->pos);
  }
}

bool HeadlessControls::FireTimer(DialogLogic& logic, int id) {
  if (ended_ || timers_.count(id) == 0) return false;
  logic.OnTimer(*this, id);
  return true;
}

void HeadlessControls::PressOk(DialogLogic& logic) {
  if (ended_) return;
  if (logic.OnOk(*this)) EndDialog(kIdOk);
}

void HeadlessControls::PressCancel(DialogLogic& logic) {
  if (ended_) return;
  logic.OnCancel(*this);
  EndDialog(kIdCancel);
}

DialogStep TypeStep(int id, std::u16string text) {
  return [id, text](HeadlessControls& c, DialogLogic& d) { c.Type(d, id, text); };
}

DialogStep ClickStep(int id) {
  return [id](HeadlessControls& c, DialogLogic& d) { c.Click(d, id); };
}

DialogStep SelectStep(int id, int index) {
  return [id, index](HeadlessControls& c, DialogLogic& d) { c.Select(d, id, index); };
}

DialogStep DoubleClickStep(int id, int index) {
  return [id, index](HeadlessControls& c, DialogLogic& d) { c.DoubleClick(d, id, index); };
}

DialogStep SlideStep(int id, int position) {
  return [id, position](HeadlessControls& c, DialogLogic& d) { c.Slide(d, id, position); };
}

DialogStep SpinStep(int id, int steps) {
  return [id, steps](HeadlessControls& c, DialogLogic& d) { c.Spin(d, id, steps); };
}

DialogStep TimerStep(int id) {
  return [id](HeadlessControls& c, DialogLogic& d) { c.FireTimer(d, id); };
}

DialogStep OkStep() {
  return [](HeadlessControls& c, DialogLogic& d) { c.PressOk(d); };
}

DialogStep CancelStep() {
  return [](HeadlessControls& c, DialogLogic& d) { c.PressCancel(d); };
}

int HeadlessDialogRunner::RunModal(DialogLogic& dialog) {
  std::vector<DialogStep> steps;
  if (!modalScripts_.empty()) {
    steps = std::move(modalScripts_.front());
    modalScripts_.pop_front();
  }
  HeadlessControls controls(dialog.dialogSpec(), windowRect_, ownerRect_);
  dialog.OnInitDialog(controls);
  for (const DialogStep& step : steps) {
    if (controls.ended()) break;
    step(controls, dialog);
  }
  if (!controls.ended()) controls.PressCancel(dialog);
  runs_.push_back(DialogRun{dialog.dialogSpec().id, controls.result(), controls});
  return controls.result();
}

int HeadlessDialogRunner::RunPropertySheet(const std::u16string& caption,
                                           const std::vector<DialogLogic*>& pages) {
  SheetScript script;
  if (!sheetScripts_.empty()) {
    script = std::move(sheetScripts_.front());
    sheetScripts_.pop_front();
  }
  SheetRun run;
  run.caption = caption;
  run.pages.resize(pages.size());
  auto show = [&](size_t page) {
    if (!run.pages[page]) {
      run.pages[page].emplace(pages[page]->dialogSpec(), windowRect_, ownerRect_);
      pages[page]->OnInitDialog(*run.pages[page]);
    }
  };
  if (!pages.empty()) show(0);
  for (const SheetStep& step : script.steps) {
    if (step.page < 0 || step.page >= static_cast<int>(pages.size())) continue;
    show(step.page);
    if (step.step) step.step(*run.pages[step.page], *pages[step.page]);
  }
  run.result = kIdCancel;
  if (script.ok) {
    bool accepted = true;
    for (size_t i = 0; i < pages.size() && accepted; ++i) {
      if (run.pages[i]) accepted = pages[i]->OnOk(*run.pages[i]);
    }
    run.okRefused = !accepted;
    if (accepted) run.result = kIdOk;
  }
  if (run.result == kIdCancel) {
    for (size_t i = 0; i < pages.size(); ++i) {
      if (run.pages[i]) pages[i]->OnCancel(*run.pages[i]);
    }
  }
  sheetRuns_.push_back(std::move(run));
  return sheetRuns_.back().result;
}

}  // namespace lirako

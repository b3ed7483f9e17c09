#include "platform/qt/qt_controls.h"

#include <cstdlib>

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSlider>
#include <QTimer>

#include "platform/qt/qt_control_grid.h"
#include "platform/qt/qt_dialog_widgets.h"
#include "platform/qt/qt_font.h"

namespace lirako {

namespace {

QString ToQt(const std::u16string& text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

std::u16string FromQt(const QString& text) {
  return text.toStdU16String();
}

Rect FromQRect(const QRect& r) {
  return Rect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

constexpr int kPageMargin = 9;
constexpr int kSpacing = 6;

}  // namespace

QtControls::QtControls(DialogLogic& logic, QWidget* page, QDialog* dialog, QWidget* owner)
    : logic_(logic), page_(page), dialog_(dialog), owner_(owner) {
  auto* grid = new QGridLayout(page_);
  grid->setContentsMargins(kPageMargin, kPageMargin, kPageMargin, kPageMargin);
  grid->setHorizontalSpacing(kSpacing);
  grid->setVerticalSpacing(kSpacing);
  QtControlGrid::Build(logic_.dialogSpec().controls, page_, grid, factory_, &controls_);
}

QtControls::~QtControls() {
  KillAllTimers();
}

QtControls::Entry* QtControls::Find(int id) {
  auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : &it->second;
}

QWidget* QtControls::Widget(int id) const {
  auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : it->second.widget;
}

std::u16string QtControls::GetText(int id) {
  Entry* e = Find(id);
  if (e == nullptr) return {};
  QWidget* w = e->widget;
  if (auto* edit = qobject_cast<QLineEdit*>(w)) return FromQt(edit->text());
  if (auto* combo = qobject_cast<QComboBox*>(w)) return FromQt(combo->currentText());
  if (auto* label = qobject_cast<QLabel*>(w)) return FromQt(label->text());
  if (auto* button = qobject_cast<QAbstractButton*>(w)) return FromQt(button->text());
  if (e->kind == ControlKind::kSwatch) return FromQt(static_cast<QtSwatch*>(w)->text());
  return {};
}

void QtControls::SetText(int id, const std::u16string& text) {
  Entry* e = Find(id);
  if (e == nullptr) return;
  QWidget* w = e->widget;
  const QSignalBlocker block(w);
  if (auto* edit = qobject_cast<QLineEdit*>(w)) {
    edit->setText(ToQt(text));
  } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
    if (combo->isEditable()) combo->setEditText(ToQt(text));
  } else if (auto* label = qobject_cast<QLabel*>(w)) {
    label->setText(ToQt(text));
  } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
    button->setText(ToQt(text));
  } else if (e->kind == ControlKind::kSwatch) {
    static_cast<QtSwatch*>(w)->SetText(ToQt(text));
  }
}

bool QtControls::IsChecked(int id) {
  Entry* e = Find(id);
  auto* button = e ? qobject_cast<QAbstractButton*>(e->widget) : nullptr;
  return button != nullptr && button->isCheckable() && button->isChecked();
}

void QtControls::SetChecked(int id, bool checked) {
  Entry* e = Find(id);
  auto* button = e ? qobject_cast<QAbstractButton*>(e->widget) : nullptr;
  if (button == nullptr || !button->isCheckable()) return;
  const QSignalBlocker block(button);
  // An exclusive group refuses to clear its checked button; clear it through the group.
  QButtonGroup* group = button->group();
  if (!checked && group != nullptr && group->exclusive()) {
    group->setExclusive(false);
    button->setChecked(false);
    group->setExclusive(true);
  } else {
    button->setChecked(checked);
  }
}

void QtControls::Enable(int id, bool enabled) {
  if (Entry* e = Find(id)) e->widget->setEnabled(enabled);
}

void QtControls::Show(int id, bool shown) {
  if (Entry* e = Find(id)) e->widget->setVisible(shown);
}

void QtControls::ShowDropDown(int id) {
  Entry* e = Find(id);
  if (e == nullptr) return;
  if (auto* combo = qobject_cast<QComboBox*>(e->widget); combo != nullptr && combo->isVisible()) {
    combo->showPopup();
  }
}

void QtControls::ResetContent(int id) {
  Entry* e = Find(id);
  if (e == nullptr) return;
  const QSignalBlocker block(e->widget);
  if (auto* combo = qobject_cast<QComboBox*>(e->widget)) {
    const QString edit = combo->currentText();
    combo->clear();
    // Emptying the list of an editable combo box keeps the text of its edit.
    if (combo->isEditable()) combo->setEditText(edit);
  } else if (auto* list = qobject_cast<QListWidget*>(e->widget)) {
    list->clear();
  }
}

int QtControls::AddString(int id, const std::u16string& text) {
  Entry* e = Find(id);
  if (e == nullptr) return -1;
  const QSignalBlocker block(e->widget);
  if (auto* combo = qobject_cast<QComboBox*>(e->widget)) {
    const QString edit = combo->currentText();
    combo->addItem(ToQt(text));
    if (combo->isEditable()) combo->setEditText(edit);
    return combo->count() - 1;
  }
  if (auto* list = qobject_cast<QListWidget*>(e->widget)) {
    list->addItem(ToQt(text));
    return list->count() - 1;
  }
  return -1;
}

void QtControls::DeleteString(int id, int index) {
  Entry* e = Find(id);
  if (e == nullptr || index < 0) return;
  const QSignalBlocker block(e->widget);
  if (auto* combo = qobject_cast<QComboBox*>(e->widget)) {
    if (index < combo->count()) combo->removeItem(index);
  } else if (auto* list = qobject_cast<QListWidget*>(e->widget)) {
    if (index < list->count()) delete list->takeItem(index);
  }
}

int QtControls::GetCount(int id) {
  Entry* e = Find(id);
  if (e == nullptr) return 0;
  if (auto* combo = qobject_cast<QComboBox*>(e->widget)) return combo->count();
  if (auto* list = qobject_cast<QListWidget*>(e->widget)) return list->count();
  return 0;
}

std::u16string QtControls::GetItemText(int id, int index) {
  Entry* e = Find(id);
  if (e == nullptr || index < 0) return {};
  if (auto* combo = qobject_cast<QComboBox*>(e->widget)) {
    return index < combo->count() ? FromQt(combo->itemText(index)) : std::u16string();
  }
  if (auto* list = qobject_cast<QListWidget*>(e->widget)) {
    return index < list->count() ? FromQt(list->item(index)->text()) : std::u16string();
  }
  return {};
}

void QtControls::SetItemData(int id, int index, int64_t data) {
  Entry* e = Find(id);
  if (e == nullptr || index < 0) return;
  const QVariant value = QVariant::fromValue<qint64>(data);
  if (auto* combo = qobject_cast<QComboBox*>(e->widget)) {
    if (index < combo->count()) combo->setItemData(index, value);
  } else if (auto* list = qobject_cast<QListWidget*>(e->widget)) {
    if (index < list->count()) list->item(index)->setData(Qt::UserRole, value);
  }
}

int64_t QtControls::GetItemData(int id, int index) {
  Entry* e = Find(id);
  if (e == nullptr || index < 0) return 0;
  if (auto* combo = qobject_cast<QComboBox*>(e->widget)) {
    return index < combo->count() ? combo->itemData(index).toLongLong() : 0;
  }
  if (auto* list = qobject_cast<QListWidget*>(e->widget)) {
    return index < list->count() ? list->item(index)->data(Qt::UserRole).toLongLong() : 0;
  }
  return 0;
}

int QtControls::GetCurSel(int id) {
  Entry* e = Find(id);
  if (e == nullptr) return -1;
  if (auto* combo = qobject_cast<QComboBox*>(e->widget)) return combo->currentIndex();
  if (auto* list = qobject_cast<QListWidget*>(e->widget)) return list->currentRow();
  return -1;
}

void QtControls::SetCurSel(int id, int index) {
  Entry* e = Find(id);
  if (e == nullptr) return;
  const QSignalBlocker block(e->widget);
  if (auto* combo = qobject_cast<QComboBox*>(e->widget)) {
    combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
  } else if (auto* list = qobject_cast<QListWidget*>(e->widget)) {
    list->setCurrentRow(index >= 0 && index < list->count() ? index : -1);
  }
}

void QtControls::SetRange(int id, int minimum, int maximum) {
  Entry* e = Find(id);
  if (e == nullptr) return;
  const QSignalBlocker block(e->widget);
  if (auto* slider = qobject_cast<QSlider*>(e->widget)) {
    slider->setRange(minimum, maximum);
  } else if (e->kind == ControlKind::kUpDown) {
    static_cast<QtUpDown*>(e->widget)->SetRange(minimum, maximum);
  }
}

int QtControls::GetPos(int id) {
  Entry* e = Find(id);
  if (e == nullptr) return 0;
  if (auto* slider = qobject_cast<QSlider*>(e->widget)) return slider->value();
  if (e->kind == ControlKind::kUpDown) return static_cast<QtUpDown*>(e->widget)->position();
  return 0;
}

void QtControls::SetPos(int id, int position) {
  Entry* e = Find(id);
  if (e == nullptr) return;
  const QSignalBlocker block(e->widget);
  if (auto* slider = qobject_cast<QSlider*>(e->widget)) {
    slider->setValue(position);
  } else if (e->kind == ControlKind::kUpDown) {
    static_cast<QtUpDown*>(e->widget)->SetPosition(position);
  }
}

void QtControls::SetColors(int id, uint32_t textColor, uint32_t backColor) {
  Entry* e = Find(id);
  if (e != nullptr && e->kind == ControlKind::kSwatch) {
    static_cast<QtSwatch*>(e->widget)->SetColors(textColor, backColor);
  }
}

void QtControls::SetFont(int id, const FontSpec& font) {
  Entry* e = Find(id);
  if (e == nullptr) return;
  QFont qfont(InstalledFace(ToQt(font.face)));
  if (font.height != 0) qfont.setPixelSize(std::abs(font.height));
  qfont.setWeight(font.weight >= 700 ? QFont::Bold : QFont::Normal);
  if (e->kind == ControlKind::kSwatch) {
    static_cast<QtSwatch*>(e->widget)->SetSwatchFont(qfont);
  } else {
    e->widget->setFont(qfont);
  }
}

Rect QtControls::WindowRect() {
  return FromQRect(dialog_->geometry());
}

void QtControls::MoveWindow(const Rect& rect) {
  dialog_->setGeometry(rect.left, rect.top, rect.Width(), rect.Height());
}

void QtControls::SetCaption(const std::u16string& caption) {
  dialog_->setWindowTitle(ToQt(caption));
}

Rect QtControls::OwnerRect() {
  if (owner_ == nullptr) return Rect{};
  return FromQRect(QRect(owner_->mapToGlobal(QPoint(0, 0)), owner_->size()));
}

void QtControls::MakeFullScreen(unsigned) {
  // The desktop has no task bar or input panel to hide; the bar only comes to the front.
  dialog_->raise();
  dialog_->activateWindow();
}

void QtControls::SetTimer(int id, unsigned periodMs) {
  std::unique_ptr<QTimer>& timer = timers_[id];
  if (!timer) {
    timer = std::make_unique<QTimer>();
    QObject::connect(timer.get(), &QTimer::timeout, timer.get(),
                     [this, id] { logic_.OnTimer(*this, id); });
  }
  timer->start(static_cast<int>(periodMs));
}

// A timer may be killed from its own tick, so it is deleted once control returns to the
// event loop.
void QtControls::KillTimer(int id) {
  auto it = timers_.find(id);
  if (it == timers_.end()) return;
  it->second->stop();
  it->second.release()->deleteLater();
  timers_.erase(it);
}

void QtControls::KillAllTimers() {
  while (!timers_.empty())
    KillTimer(timers_.begin()->first);
}

void QtControls::EndDialog(int result) {
  KillAllTimers();
  dialog_->done(result);
}

}  // namespace lirako

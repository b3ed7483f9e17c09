#include "platform/qt/qt_controls.h"

#include <algorithm>
#include <cstdlib>

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSlider>
#include <QTimer>

#include "platform/qt/qt_dialog_widgets.h"
#include "platform/qt/qt_font.h"
#include "platform/view_host.h"

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
// A list box shows at least this many lines of this many digits.
constexpr int kListLines = 5;
constexpr int kListChars = 12;
// Drop-down lists and the names of choices are at least this many digits wide.
constexpr int kChoiceChars = 14;
// A number edit with arrows holds this many digits ("3,600" and room to spare).
constexpr int kNumberChars = 6;
// The frame and inner margins of an edit around its text.
constexpr int kEditPadding = 12;
// The side of the program's icon in the About box.
constexpr int kIconSide = 48;

bool IsButton(ControlKind kind) {
  return kind == ControlKind::kPushButton || kind == ControlKind::kDefaultButton;
}

// The directions in which some control of `grid` takes the room it is given.
Qt::Orientations ExpandingDirections(QGridLayout* grid) {
  Qt::Orientations expanding;
  for (int i = 0; i < grid->count(); ++i)
    expanding |= grid->itemAt(i)->expandingDirections();
  return expanding;
}

// Controls keep to the top left of `grid`, unless one of them (a list) takes the room left
// over; then the first column and the last row of such a control take the room, so that the
// buttons beside it keep together at the right and at the top.
void KeepToTopLeft(QGridLayout* grid, bool inGroup) {
  const Qt::Orientations expanding = ExpandingDirections(grid);
  // A group's grid fills its frame, which is only as large as the controls need.
  if (!inGroup && !(expanding & Qt::Horizontal)) grid->setColumnStretch(grid->columnCount(), 1);
  if (!inGroup && !(expanding & Qt::Vertical)) grid->setRowStretch(grid->rowCount(), 1);
  for (int i = 0; i < grid->count(); ++i) {
    const Qt::Orientations directions = grid->itemAt(i)->expandingDirections();
    int row = 0, column = 0, rows = 0, columns = 0;
    grid->getItemPosition(i, &row, &column, &rows, &columns);
    if (directions & Qt::Horizontal) grid->setColumnStretch(column, 1);
    if (directions & Qt::Vertical) grid->setRowStretch(row + rows - 1, 1);
  }
}

// The cells of a framed group in its dialog's grid, and the group's own grid.
struct Group {
  QGroupBox* box;
  QGridLayout* grid;
  int row, column, rows, columns;
  bool Holds(int r, int c) const {
    return r >= row && r < row + rows && c >= column && c < column + columns;
  }
};

}  // namespace

QtControls::QtControls(DialogLogic& logic, QWidget* page, QDialog* dialog, QWidget* owner)
    : logic_(logic), page_(page), dialog_(dialog), owner_(owner) {
  auto* grid = new QGridLayout(page_);
  grid->setContentsMargins(kPageMargin, kPageMargin, kPageMargin, kPageMargin);
  grid->setHorizontalSpacing(kSpacing);
  grid->setVerticalSpacing(kSpacing);
  Build(grid);
}

QtControls::~QtControls() {
  KillAllTimers();
}

void QtControls::Build(QGridLayout* grid) {
  const std::vector<ControlSpec>& controls = logic_.dialogSpec().controls;
  // Group boxes first: every other control whose cell lies in a group's cells goes into it.
  std::vector<Group> groups;
  for (const ControlSpec& controlSpec : controls) {
    if (controlSpec.kind != ControlKind::kGroupBox) continue;
    auto* box = static_cast<QGroupBox*>(Make(controlSpec, page_));
    box->setObjectName(QStringLiteral("control%1").arg(controlSpec.id));
    auto* inner = new QGridLayout(box);
    inner->setHorizontalSpacing(kSpacing);
    inner->setVerticalSpacing(kSpacing);
    Group group{box,
                inner,
                controlSpec.row,
                controlSpec.column,
                std::max(1, controlSpec.rowSpan),
                std::max(1, controlSpec.columnSpan)};
    grid->addWidget(box, group.row, group.column, group.rows, group.columns);
    groups.push_back(group);
    controls_[controlSpec.id] = Entry{controlSpec.kind, box};
  }
  auto groupOf = [&groups](const ControlSpec& controlSpec) -> const Group* {
    for (const Group& g : groups) {
      if (g.Holds(controlSpec.row, controlSpec.column)) return &g;
    }
    return nullptr;
  };

  // The columns of the dialog's own grid.
  int columns = 0;
  for (const ControlSpec& controlSpec : controls) {
    if (controlSpec.kind == ControlKind::kGroupBox || groupOf(controlSpec) == nullptr)
      columns = std::max(columns, controlSpec.column + std::max(1, controlSpec.columnSpan));
  }

  // Labels share one id, so widgets are placed by their place in the template.
  std::vector<QWidget*> widgets(controls.size(), nullptr);
  QButtonGroup* radioGroup = nullptr;
  for (size_t i = 0; i < controls.size(); ++i) {
    const ControlSpec& controlSpec = controls[i];
    if (controlSpec.kind == ControlKind::kGroupBox) continue;
    const Group* group = groupOf(controlSpec);
    QWidget* widget = Make(controlSpec, group != nullptr ? group->box : page_);
    widgets[i] = widget;
    widget->setObjectName(QStringLiteral("control%1").arg(controlSpec.id));
    controls_[controlSpec.id] = Entry{controlSpec.kind, widget};
    Size(controlSpec, widget);
    // Adjacent radio buttons form one exclusive group.
    if (controlSpec.kind == ControlKind::kRadioButton) {
      if (radioGroup == nullptr) radioGroup = new QButtonGroup(page_);
      radioGroup->addButton(static_cast<QRadioButton*>(widget));
    } else {
      radioGroup = nullptr;
    }
  }

  // The arrows of an up-down stand at the right of their edit, in the edit's cell.
  std::map<int, QWidget*> arrowsOf;
  for (const ControlSpec& controlSpec : controls) {
    if (controlSpec.kind != ControlKind::kUpDown) continue;
    auto* upDown = static_cast<QtUpDown*>(controls_[controlSpec.id].widget);
    Entry* buddy = Find(controlSpec.buddy);
    const bool edit = buddy != nullptr && buddy->kind == ControlKind::kEdit;
    upDown->SetBuddy(edit ? static_cast<QLineEdit*>(buddy->widget) : nullptr);
    if (edit) arrowsOf[controlSpec.buddy] = upDown;
  }

  for (size_t i = 0; i < controls.size(); ++i) {
    const ControlSpec& controlSpec = controls[i];
    if (controlSpec.kind == ControlKind::kGroupBox) continue;
    if (controlSpec.kind == ControlKind::kUpDown && arrowsOf.count(controlSpec.buddy) != 0) {
      continue;  // placed with its edit
    }
    const Group* group = groupOf(controlSpec);
    QGridLayout* target = group != nullptr ? group->grid : grid;
    const int row = controlSpec.row - (group != nullptr ? group->row : 0);
    const int column = controlSpec.column - (group != nullptr ? group->column : 0);
    QWidget* widget = widgets[i];
    if (auto arrows = arrowsOf.find(controlSpec.id); arrows != arrowsOf.end()) {
      const QFontMetrics metrics(widget->font());
      widget->setFixedWidth(metrics.horizontalAdvance(QLatin1Char('0')) * kNumberChars +
                            kEditPadding);
      auto* pair = new QWidget(widget->parentWidget());
      auto* line = new QHBoxLayout(pair);
      line->setContentsMargins(0, 0, 0, 0);
      line->setSpacing(1);
      line->addWidget(widget);
      line->addWidget(arrows->second);
      pair->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
      widget = pair;
    }
    // The icon stands at the top of its rows; a button in the last column keeps to the right;
    // a label right before its edit stands by it.
    Qt::Alignment alignment;
    if (controlSpec.kind == ControlKind::kStatic && i + 1 < controls.size() &&
        controls[i + 1].kind == ControlKind::kEdit && controls[i + 1].row == controlSpec.row &&
        controls[i + 1].column == controlSpec.column + 1) {
      alignment = Qt::AlignRight | Qt::AlignVCenter;
    }
    if (controlSpec.kind == ControlKind::kIcon) alignment = Qt::AlignTop | Qt::AlignHCenter;
    if (IsButton(controlSpec.kind) && group == nullptr &&
        controlSpec.column + std::max(1, controlSpec.columnSpan) == columns) {
      alignment = Qt::AlignRight;
    }
    target->addWidget(widget, row, column, std::max(1, controlSpec.rowSpan),
                      std::max(1, controlSpec.columnSpan), alignment);
  }
  // A group is as large as its controls unless one of them (a list) takes more room.
  for (const Group& g : groups) {
    const Qt::Orientations expanding = ExpandingDirections(g.grid);
    g.box->setSizePolicy(expanding & Qt::Horizontal ? QSizePolicy::Expanding : QSizePolicy::Fixed,
                         expanding & Qt::Vertical ? QSizePolicy::Expanding : QSizePolicy::Fixed);
    KeepToTopLeft(g.grid, true);
  }
  KeepToTopLeft(grid, false);
}

void QtControls::Size(const ControlSpec& controlSpec, QWidget* widget) {
  const QFontMetrics metrics(widget->font());
  switch (controlSpec.kind) {
    case ControlKind::kEdit: {
      auto* edit = static_cast<QLineEdit*>(widget);
      if (controlSpec.centred) edit->setAlignment(Qt::AlignCenter);
      edit->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
      break;
    }
    case ControlKind::kPushButton:
    case ControlKind::kDefaultButton:
      // A button keeps its size; the text fields and lists take the width.
      widget->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
      break;
    case ControlKind::kListBox:
      widget->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
      widget->setMinimumSize(metrics.horizontalAdvance(QLatin1Char('0')) * kListChars,
                             metrics.height() * kListLines);
      break;
    case ControlKind::kSwatch:
      // One swatch in one cell keeps its size; a spanning one (a preview, a quotation)
      // takes the width of its cells.
      widget->setSizePolicy(
          controlSpec.columnSpan > 1 ? QSizePolicy::Preferred : QSizePolicy::Fixed,
          QSizePolicy::Fixed);
      break;
    case ControlKind::kNameButton:
    case ControlKind::kDropList:
    case ControlKind::kComboBox:
      widget->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
      widget->setMinimumWidth(metrics.horizontalAdvance(QLatin1Char('0')) * kChoiceChars);
      break;
    default:
      break;
  }
}

QWidget* QtControls::Make(const ControlSpec& controlSpec, QWidget* parent) {
  const int id = controlSpec.id;
  const QString text = ToQt(controlSpec.text);
  switch (controlSpec.kind) {
    case ControlKind::kPushButton:
    case ControlKind::kDefaultButton: {
      auto* button = new QPushButton(text, parent);
      button->setAutoDefault(controlSpec.kind == ControlKind::kDefaultButton);
      button->setDefault(controlSpec.kind == ControlKind::kDefaultButton);
      QObject::connect(button, &QPushButton::clicked, button, [this, id] {
        if (id == kIdOk) {
          dialog_->accept();
        } else if (id == kIdCancel) {
          dialog_->reject();
        } else {
          logic_.OnCommand(*this, id, kClicked);
        }
      });
      return button;
    }
    case ControlKind::kCheckBox:
    case ControlKind::kRadioButton: {
      QAbstractButton* button = controlSpec.kind == ControlKind::kCheckBox
                                    ? static_cast<QAbstractButton*>(new QCheckBox(text, parent))
                                    : new QRadioButton(text, parent);
      if (controlSpec.textLeft) {
        // Mirrored, the box stands right of its text; kept at its size, it stays by the text.
        button->setLayoutDirection(Qt::RightToLeft);
        button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
      }
      QObject::connect(button, &QAbstractButton::clicked, button,
                       [this, id] { logic_.OnCommand(*this, id, kClicked); });
      return button;
    }
    case ControlKind::kEdit: {
      auto* edit = new QLineEdit(text, parent);
      if (controlSpec.number) {
        edit->setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
      }
      edit->setFrame(true);
      QObject::connect(edit, &QLineEdit::textEdited, edit,
                       [this, id] { logic_.OnCommand(*this, id, kEditChanged); });
      return edit;
    }
    case ControlKind::kSwatch: {
      auto* swatch = new QtSwatch(parent);
      swatch->SetText(text);
      swatch->SetClickHandler([this, id] { logic_.OnCommand(*this, id, kClicked); });
      return swatch;
    }
    case ControlKind::kComboBox:
    case ControlKind::kDropList: {
      auto* combo = new QtComboBox(parent);
      combo->setEditable(controlSpec.kind == ControlKind::kComboBox);
      if (combo->isEditable()) {
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->setMinimumContentsLength(12);
        QObject::connect(combo->lineEdit(), &QLineEdit::textEdited, combo,
                         [this, id] { logic_.OnCommand(*this, id, kEditUpdated); });
      }
      QObject::connect(combo, &QComboBox::activated, combo,
                       [this, id] { logic_.OnCommand(*this, id, kSelChanged); });
      combo->SetCloseHandler([this, id] { logic_.OnCommand(*this, id, kDropDownClosed); });
      return combo;
    }
    case ControlKind::kListBox: {
      auto* list = new QtListBox(parent);
      QObject::connect(list, &QListWidget::currentRowChanged, list,
                       [this, id] { logic_.OnCommand(*this, id, kSelChanged); });
      QObject::connect(list, &QListWidget::itemDoubleClicked, list,
                       [this, id] { logic_.OnCommand(*this, id, kDoubleClicked); });
      return list;
    }
    case ControlKind::kSlider: {
      auto* slider = new QSlider(Qt::Horizontal, parent);
      slider->setRange(controlSpec.minimum, controlSpec.maximum);
      slider->setTickPosition(QSlider::TicksAbove);
      slider->setTickInterval(std::max(1, (controlSpec.maximum - controlSpec.minimum) / 10));
      slider->setMinimumWidth(120);
      QObject::connect(slider, &QSlider::valueChanged, slider,
                       [this, id](int value) { logic_.OnScroll(*this, id, value); });
      return slider;
    }
    case ControlKind::kUpDown: {
      auto* upDown = new QtUpDown(parent);
      upDown->SetRange(controlSpec.minimum, controlSpec.maximum);
      const int buddy = controlSpec.buddy;
      upDown->SetStepHandler([this, id, buddy](int position) {
        if (Find(buddy) != nullptr) logic_.OnCommand(*this, buddy, kEditChanged);
        logic_.OnScroll(*this, id, position);
      });
      return upDown;
    }
    case ControlKind::kGroupBox:
      return new QGroupBox(text, parent);
    case ControlKind::kNameButton: {
      auto* name = new QtNameButton(text, parent);
      QObject::connect(name, &QPushButton::clicked, name,
                       [this, id] { logic_.OnCommand(*this, id, kClicked); });
      return name;
    }
    case ControlKind::kIcon: {
      auto* icon = new QLabel(parent);
      icon->setPixmap(QApplication::windowIcon().pixmap(kIconSide, kIconSide));
      return icon;
    }
    case ControlKind::kStatic:
      break;
  }
  auto* label = new QLabel(text, parent);
  label->setTextFormat(Qt::PlainText);
  return label;
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

#include "platform/qt/qt_control_grid.h"

#include <algorithm>

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRadioButton>

#include "platform/qt/qt_control_factory.h"
#include "platform/qt/qt_dialog_widgets.h"

namespace lirako {

namespace {

constexpr int kSpacing = 6;
// A number edit with arrows holds this many digits ("3,600" and room to spare).
constexpr int kNumberChars = 6;
// The frame and inner margins of an edit around its text.
constexpr int kEditPadding = 12;

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

void QtControlGrid::Build(const std::vector<ControlSpec>& controls, QWidget* page,
                          QGridLayout* grid, const QtControlFactory& factory,
                          std::map<int, QtControl>* placed) {
  auto find = [placed](int id) -> QtControl* {
    auto it = placed->find(id);
    return it == placed->end() ? nullptr : &it->second;
  };
  // Group boxes first: every other control whose cell lies in a group's cells goes into it.
  std::vector<Group> groups;
  for (const ControlSpec& controlSpec : controls) {
    if (controlSpec.kind != ControlKind::kGroupBox) continue;
    auto* box = static_cast<QGroupBox*>(factory.Make(controlSpec, page));
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
    (*placed)[controlSpec.id] = QtControl{controlSpec.kind, box};
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
    QWidget* widget = factory.Make(controlSpec, group != nullptr ? group->box : page);
    widgets[i] = widget;
    widget->setObjectName(QStringLiteral("control%1").arg(controlSpec.id));
    (*placed)[controlSpec.id] = QtControl{controlSpec.kind, widget};
    QtControlFactory::Size(controlSpec, widget);
    // Adjacent radio buttons form one exclusive group.
    if (controlSpec.kind == ControlKind::kRadioButton) {
      if (radioGroup == nullptr) radioGroup = new QButtonGroup(page);
      radioGroup->addButton(static_cast<QRadioButton*>(widget));
    } else {
      radioGroup = nullptr;
    }
  }

  // The arrows of an up-down stand at the right of their edit, in the edit's cell.
  std::map<int, QWidget*> arrowsOf;
  for (const ControlSpec& controlSpec : controls) {
    if (controlSpec.kind != ControlKind::kUpDown) continue;
    auto* upDown = static_cast<QtUpDown*>((*placed)[controlSpec.id].widget);
    QtControl* buddy = find(controlSpec.buddy);
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

}  // namespace lirako

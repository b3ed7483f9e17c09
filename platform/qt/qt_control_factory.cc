#include "platform/qt/qt_control_factory.h"

#include <algorithm>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSlider>

#include "platform/qt/qt_controls.h"
#include "platform/qt/qt_dialog_widgets.h"
#include "platform/view_host.h"

namespace lirako {

namespace {

QString ToQt(const std::u16string& text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

// A list box shows at least this many lines of this many digits.
constexpr int kListLines = 5;
constexpr int kListChars = 12;
// Drop-down lists and the names of choices are at least this many digits wide.
constexpr int kChoiceChars = 14;
// The side of the program's icon in the About box.
constexpr int kIconSide = 48;

}  // namespace

void QtControlFactory::Size(const ControlSpec& controlSpec, QWidget* widget) {
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

QWidget* QtControlFactory::Make(const ControlSpec& controlSpec, QWidget* parent) const {
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
          logic_.OnCommand(controls_, id, kClicked);
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
                       [this, id] { logic_.OnCommand(controls_, id, kClicked); });
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
                       [this, id] { logic_.OnCommand(controls_, id, kEditChanged); });
      return edit;
    }
    case ControlKind::kSwatch: {
      auto* swatch = new QtSwatch(parent);
      swatch->SetText(text);
      swatch->SetClickHandler([this, id] { logic_.OnCommand(controls_, id, kClicked); });
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
                         [this, id] { logic_.OnCommand(controls_, id, kEditUpdated); });
      }
      QObject::connect(combo, &QComboBox::activated, combo,
                       [this, id] { logic_.OnCommand(controls_, id, kSelChanged); });
      combo->SetCloseHandler([this, id] { logic_.OnCommand(controls_, id, kDropDownClosed); });
      return combo;
    }
    case ControlKind::kListBox: {
      auto* list = new QtListBox(parent);
      QObject::connect(list, &QListWidget::currentRowChanged, list,
                       [this, id] { logic_.OnCommand(controls_, id, kSelChanged); });
      QObject::connect(list, &QListWidget::itemDoubleClicked, list,
                       [this, id] { logic_.OnCommand(controls_, id, kDoubleClicked); });
      return list;
    }
    case ControlKind::kSlider: {
      auto* slider = new QSlider(Qt::Horizontal, parent);
      slider->setRange(controlSpec.minimum, controlSpec.maximum);
      slider->setTickPosition(QSlider::TicksAbove);
      slider->setTickInterval(std::max(1, (controlSpec.maximum - controlSpec.minimum) / 10));
      slider->setMinimumWidth(120);
      QObject::connect(slider, &QSlider::valueChanged, slider,
                       [this, id](int value) { logic_.OnScroll(controls_, id, value); });
      return slider;
    }
    case ControlKind::kUpDown: {
      auto* upDown = new QtUpDown(parent);
      upDown->SetRange(controlSpec.minimum, controlSpec.maximum);
      const int buddy = controlSpec.buddy;
      upDown->SetStepHandler([this, id, buddy](int position) {
        if (controls_.Widget(buddy) != nullptr) logic_.OnCommand(controls_, buddy, kEditChanged);
        logic_.OnScroll(controls_, id, position);
      });
      return upDown;
    }
    case ControlKind::kGroupBox:
      return new QGroupBox(text, parent);
    case ControlKind::kNameButton: {
      auto* name = new QtNameButton(text, parent);
      QObject::connect(name, &QPushButton::clicked, name,
                       [this, id] { logic_.OnCommand(controls_, id, kClicked); });
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

}  // namespace lirako

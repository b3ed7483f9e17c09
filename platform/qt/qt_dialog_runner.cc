#include "platform/qt/qt_dialog_runner.h"

#include <functional>
#include <memory>

#include <QDialog>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFrame>
#include <QKeyEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "platform/input_codes.h"
#include "platform/qt/qt_controls.h"
#include "platform/qt/qt_font.h"
#include "platform/view_host.h"

namespace lirako {

namespace {

// The settings sheet's size when its pages need less.
constexpr QSize kSheetSize(500, 400);

QString ToQt(const std::u16string& text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

// A dialog window whose OK and Cancel go through the dialog logic: accept() (button 1,
// Return) closes with kIdOk only when `onOk` agrees; reject() (button 2, Escape, the close
// box) runs `onCancel` and closes with kIdCancel.
class QtDialogWindow : public QDialog {
 public:
  explicit QtDialogWindow(QWidget* parent, Qt::WindowFlags flags) : QDialog(parent, flags) {}

  std::function<bool()> onOk;
  std::function<void()> onCancel;
  // F1 to F5, the application buttons, as virtual keys 0xC1 to 0xC5.
  std::function<void(unsigned)> onAppButton;

  void accept() override {
    if (!onOk || onOk()) done(kIdOk);
  }
  void reject() override {
    if (onCancel) onCancel();
    done(kIdCancel);
  }

 protected:
  // Return presses the push button that has the focus, else the default button; without
  // either it is OK, as in a dialog box of the device.
  void keyPressEvent(QKeyEvent* event) override {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        event->modifiers() == Qt::NoModifier) {
      if (auto* focused = qobject_cast<QPushButton*>(focusWidget());
          focused != nullptr && focused->isVisible()) {
        if (focused->isEnabled()) focused->click();
        return;
      }
      for (QPushButton* button : findChildren<QPushButton*>()) {
        if (button->isDefault() && button->isVisible()) {
          if (button->isEnabled()) button->click();
          return;
        }
      }
      accept();
      return;
    }
    if (event->key() >= Qt::Key_F1 && event->key() <= Qt::Key_F5 && onAppButton) {
      onAppButton(kVkApp1 + static_cast<unsigned>(event->key() - Qt::Key_F1));
    }
    QDialog::keyPressEvent(event);
  }
};

}  // namespace

int QtDialogRunner::RunModal(DialogLogic& dialog) {
  const DialogSpec& dialogSpec = dialog.dialogSpec();
  QWidget* parent = owner_ != nullptr ? owner_->window() : nullptr;
  const bool bar = dialogSpec.caption.empty();
  QtDialogWindow window(parent, bar ? Qt::Dialog | Qt::FramelessWindowHint : Qt::Dialog);
  window.setWindowTitle(ToQt(dialogSpec.caption));
  window.setObjectName(QStringLiteral("dialog%1").arg(dialogSpec.id));

  auto* outer = new QVBoxLayout(&window);
  outer->setContentsMargins(0, 0, 0, 0);
  auto* frame = new QFrame(&window);
  // A bar has no title bar; a thin raised frame sets it off the page.
  frame->setFrameStyle(bar ? QFrame::Panel | QFrame::Raised : QFrame::NoFrame);
  outer->addWidget(frame);
  QtControls controls(dialog, frame, &window, owner_);

  bool ended = false;
  window.onOk = [&] { return dialog.OnOk(controls); };
  window.onCancel = [&] { dialog.OnCancel(controls); };
  window.onAppButton = [&](unsigned key) { dialog.OnKeyDown(controls, key); };
  QObject::connect(&window, &QDialog::finished, &window, [&] {
    ended = true;
    controls.KillAllTimers();
  });

  // The size its controls ask for (adjustSize would make a window that can grow at least
  // 200 × 100 pixels, too tall for a bar).
  window.resize(window.sizeHint());
  if (owner_ != nullptr) {
    // Centred over the owner until the dialog places itself.
    const QRect area(owner_->mapToGlobal(QPoint(0, 0)), owner_->size());
    window.move(area.center() - window.rect().center());
  }
  dialog.OnInitDialog(controls);
  if (ended) return window.result();
  const int result = window.exec();
  ReactivateOwner();
  return result;
}

void QtDialogRunner::ReactivateOwner() {
  // Without a window manager nobody else hands the keyboard back to the main window.
  if (owner_ != nullptr && owner_->window()->isVisible()) owner_->window()->activateWindow();
}

int QtDialogRunner::RunPropertySheet(const std::u16string& caption,
                                     const std::vector<DialogLogic*>& pages) {
  QWidget* parent = owner_ != nullptr ? owner_->window() : nullptr;
  QtDialogWindow window(parent, Qt::Dialog);
  window.setWindowTitle(ToQt(caption));
  window.setObjectName(QStringLiteral("propertySheet"));
  auto* layout = new QVBoxLayout(&window);
  auto* tabs = new QTabWidget(&window);
  layout->addWidget(tabs);
  auto* buttons = new QDialogButtonBox(&window);
  buttons->addButton(QStringLiteral("확인"), QDialogButtonBox::AcceptRole)->setDefault(true);
  buttons->addButton(QStringLiteral("취소"), QDialogButtonBox::RejectRole);
  layout->addWidget(buttons);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &window, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &window, &QDialog::reject);

  std::vector<std::unique_ptr<QtControls>> controls;
  std::vector<bool> initialised(pages.size(), false);
  for (DialogLogic* page : pages) {
    auto* widget = new QWidget(tabs);
    controls.push_back(std::make_unique<QtControls>(*page, widget, &window, owner_));
    tabs->addTab(widget, ToQt(page->dialogSpec().caption));
  }
  // A page is initialised when its tab is first shown.
  auto show = [&](int index) {
    if (index < 0 || index >= static_cast<int>(pages.size()) || initialised[index]) return;
    initialised[index] = true;
    pages[index]->OnInitDialog(*controls[index]);
  };
  QObject::connect(tabs, &QTabWidget::currentChanged, &window, show);

  window.onOk = [&] {
    for (size_t i = 0; i < pages.size(); ++i) {
      if (initialised[i] && !pages[i]->OnOk(*controls[i])) {
        tabs->setCurrentIndex(static_cast<int>(i));
        return false;
      }
    }
    return true;
  };
  window.onCancel = [&] {
    for (size_t i = 0; i < pages.size(); ++i) {
      if (initialised[i]) pages[i]->OnCancel(*controls[i]);
    }
  };
  window.onAppButton = [&](unsigned key) {
    const int index = tabs->currentIndex();
    if (index >= 0 && initialised[index]) pages[index]->OnKeyDown(*controls[index], key);
  };
  bool ended = false;
  QObject::connect(&window, &QDialog::finished, &window, [&] {
    ended = true;
    for (auto& c : controls)
      c->KillAllTimers();
  });
  show(0);
  if (ended) return window.result();
  // Resizable, never smaller than its pages need, and roomy from the start.
  window.setSizeGripEnabled(true);
  window.setMinimumSize(window.minimumSizeHint());
  window.resize(window.sizeHint().expandedTo(kSheetSize));
  const int result = window.exec();
  QObject::disconnect(tabs, nullptr, &window, nullptr);
  ReactivateOwner();
  return result;
}

std::u16string QtDialogRunner::FaceInUse(const std::u16string& face) {
  return InstalledFace(ToQt(face)).toStdU16String();
}

std::vector<std::u16string> QtDialogRunner::FontFamilies() {
  // The faces that set Korean come first, serif (명조) and sans (고딕) alike, then the rest.
  const QStringList korean = QFontDatabase::families(QFontDatabase::Korean);
  std::vector<std::u16string> families;
  for (const QString& family : korean)
    families.push_back(family.toStdU16String());
  for (const QString& family : QFontDatabase::families()) {
    if (!korean.contains(family)) families.push_back(family.toStdU16String());
  }
  return families;
}

}  // namespace lirako
